#include "export/FrmExport.h"

#include "platform/MsgBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zd {

Expected<ExportDrawn> printScene(QPrinter& printer, const ExportScene& scene, const ExportOptions& o)
{
    QPainter p;
    if (!p.begin(&printer)) return DbError{QString(), QStringLiteral("Не удалось начать печать")};
    const QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    auto drawn = drawExport(p, page, Dpi{double(printer.logicalDpiX()), double(printer.logicalDpiY())}, scene, o, true);
    p.end();
    return drawn;
}

FrmExport::FrmExport(Mode mode, ExportScene scene, QSize mapPixels, const QString& scaleProblem, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_scene(std::move(scene)), m_map(mapPixels.expandedTo(QSize(1, 1)))
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(mode == Export ? QStringLiteral("Экспорт изображения") : QStringLiteral("Печать"));
    buildControls(scaleProblem);
}

void FrmExport::buildControls(const QString& scaleProblem)
{
    auto* form = new QFormLayout;
    auto named = [](QWidget* w, const char* name) { w->setObjectName(QLatin1String(name)); return w; };
    if (m_mode == Export) {
        m_file = new QLineEdit(QDir::home().filePath(QStringLiteral("схема.png")));
        named(m_file, "txtExportFile");
        auto* browse = new QPushButton(QStringLiteral("Обзор…"));
        named(browse, "cmdExportBrowse");
        connect(browse, &QPushButton::clicked, this, &FrmExport::browse);
        auto* row = new QHBoxLayout;
        row->addWidget(m_file, 1);
        row->addWidget(browse);
        form->addRow(QStringLiteral("Файл (PNG, SVG, PDF):"), row);
        m_width = new QSpinBox;
        m_height = new QSpinBox;
        for (QSpinBox* s : {m_width, m_height}) s->setRange(1, kMaxExportPixels);
        named(m_width, "spnExportWidth");
        named(m_height, "spnExportHeight");
        m_width->setValue(m_map.width());
        m_height->setValue(m_map.height());
        connect(m_width, &QSpinBox::valueChanged, this, &FrmExport::widthChanged);
        connect(m_height, &QSpinBox::valueChanged, this, &FrmExport::heightChanged);
        auto* size = new QHBoxLayout;
        size->addWidget(m_width);
        size->addWidget(new QLabel(QStringLiteral("×")));
        size->addWidget(m_height);
        size->addWidget(new QLabel(QStringLiteral("пикселей")));
        form->addRow(QStringLiteral("Размер:"), size);
        m_keepAspect = new QCheckBox(QStringLiteral("Пропорции карты"));
        named(m_keepAspect, "chkExportAspect");
        m_keepAspect->setChecked(true);
        form->addRow(QString(), m_keepAspect);
        m_page = new QComboBox;
        m_page->addItems({QStringLiteral("A4"), QStringLiteral("A3")});
        named(m_page, "cboExportPage");
        m_orientation = new QComboBox;
        m_orientation->addItems({QStringLiteral("альбомная"), QStringLiteral("книжная")});
        named(m_orientation, "cboExportOrientation");
        auto* page = new QHBoxLayout;
        page->addWidget(m_page);
        page->addWidget(m_orientation);
        form->addRow(QStringLiteral("Страница PDF:"), page);
        connect(m_file, &QLineEdit::textChanged, this, &FrmExport::fileChanged);
        fileChanged(m_file->text());
    }
    m_legend = new QCheckBox(QStringLiteral("Легенда"));
    named(m_legend, "chkExportLegend");
    m_scaleBar = new QCheckBox(QStringLiteral("Масштабная линейка"));
    named(m_scaleBar, "chkExportScale");
    m_title = new QCheckBox(QStringLiteral("Заголовок:"));
    named(m_title, "chkExportTitle");
    m_titleText = new QLineEdit(m_scene.state.kadr == m_scene.state.scheme ? QStringLiteral("Общая схема") : QString());
    named(m_titleText, "txtExportTitle");
    m_legend->setChecked(true);
    m_title->setChecked(true);
    m_scaleBar->setChecked(scaleProblem.isEmpty());
    m_scaleBar->setEnabled(scaleProblem.isEmpty());
    form->addRow(QString(), m_legend);
    form->addRow(QString(), m_scaleBar);
    if (!scaleProblem.isEmpty()) {
        auto* why = new QLabel(scaleProblem);
        named(why, "lblExportScale");
        why->setWordWrap(true);
        form->addRow(QString(), why);
    }
    auto* title = new QHBoxLayout;
    title->addWidget(m_title);
    title->addWidget(m_titleText, 1);
    form->addRow(title);

    auto* buttons = new QDialogButtonBox;
    if (m_mode == Export) {
        named(buttons->addButton(QStringLiteral("Сохранить"), QDialogButtonBox::AcceptRole), "cmdExportSave");
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { if (save()) accept(); });
    } else {
        auto* print = buttons->addButton(QStringLiteral("Печать…"), QDialogButtonBox::AcceptRole);
        auto* preview = buttons->addButton(QStringLiteral("Просмотр…"), QDialogButtonBox::ActionRole);
        named(print, "cmdPrint");
        named(preview, "cmdPrintPreview");
        connect(print, &QPushButton::clicked, this, &FrmExport::printClicked);
        connect(preview, &QPushButton::clicked, this, &FrmExport::previewClicked);
    }
    connect(buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole), &QPushButton::clicked, this,
            &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(buttons);
}

void FrmExport::setTitle(const QString& title) { m_titleText->setText(title); }

ExportOptions FrmExport::options() const
{
    return ExportOptions{m_legend->isChecked(), m_scaleBar->isChecked() && m_scaleBar->isEnabled(),
                         m_title->isChecked() ? m_titleText->text().trimmed() : QString()};
}

ExportTarget FrmExport::target() const
{
    ExportTarget t;
    if (!m_file) return t;
    t.path = m_file->text().trimmed();
    t.pixels = QSize(m_width->value(), m_height->value());
    t.page = m_page->currentIndex() == 1 ? QPageSize::A3 : QPageSize::A4;
    t.orientation = m_orientation->currentIndex() == 1 ? QPageLayout::Portrait : QPageLayout::Landscape;
    return t;
}

// The other side follows at the map's aspect ratio.
void FrmExport::widthChanged(int w)
{
    if (m_syncing || !m_keepAspect->isChecked()) return;
    m_syncing = true;
    m_height->setValue(std::max(1, qRound(w * double(m_map.height()) / m_map.width())));
    m_syncing = false;
}

void FrmExport::heightChanged(int h)
{
    if (m_syncing || !m_keepAspect->isChecked()) return;
    m_syncing = true;
    m_width->setValue(std::max(1, qRound(h * double(m_map.width()) / m_map.height())));
    m_syncing = false;
}

void FrmExport::fileChanged(const QString& path)
{
    const bool pdf = exportFormatOf(path) == ExportFormat::Pdf;
    m_page->setEnabled(pdf);
    m_orientation->setEnabled(pdf);
    m_width->setEnabled(!pdf);
    m_height->setEnabled(!pdf);
}

void FrmExport::browse()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Экспорт изображения"), m_file->text(),
                                                      QStringLiteral("Изображение PNG (*.png);;Рисунок SVG (*.svg);;Документ PDF (*.pdf)"));
    if (!path.isEmpty()) m_file->setText(path);
}

bool FrmExport::save()
{
    auto written = writeExport(target(), m_scene, options());
    if (!written) {
        msgBox(written.error().message(), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void FrmExport::printOn(QPrinter& printer)
{
    if (auto printed = printScene(printer, m_scene, options()); !printed)
        msgBox(printed.error().message(), MsgIcon::Exclamation);
}

void FrmExport::printClicked()
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    printOn(printer);
    accept();
}

void FrmExport::previewClicked()
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { printOn(*p); });
    preview.exec();
}

} // namespace zd
