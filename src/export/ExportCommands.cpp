#include "export/ExportCommands.h"

#include "export/FrmExport.h"
#include "map/MapHost.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>

namespace zd {

ExportCommands::ExportCommands(MapHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    item("mnuFiles_Export", QStringLiteral("&Экспорт изображения…"), &ExportCommands::mnuFiles_Export_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    item("mnuFiles_Print", QStringLiteral("&Печать…"), &ExportCommands::mnuFiles_Print_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    item("mnuFiles_Preview", QStringLiteral("Пред&варительный просмотр…"), &ExportCommands::mnuFiles_Preview_Click);
    auto* bar = new QAction(this);
    bar->setSeparator(true);
    bar->setObjectName(QStringLiteral("BarExport"));
    m_fileItems << bar;
    auto* copy = new QShortcut(QKeySequence::Copy, &m_host.picture(), this, &ExportCommands::copyPicture, Qt::WidgetShortcut);
    copy->setObjectName(QStringLiteral("keyCopyPicture"));
}

QAction* ExportCommands::item(const char* name, const QString& caption, void (ExportCommands::*handler)())
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, handler);
    m_fileItems << a;
    return a;
}

ExportScene ExportCommands::scene() const
{
    ExportScene s;
    const PictureBox& pic = m_host.picture();
    s.state = m_host.state();
    s.db = m_host.database();
    s.genOn = m_host.generalised();
    s.back = pic.backColor();
    s.dpi = pic.dpi();
    s.aspect = pic.height() > 0 ? double(pic.width()) / pic.height() : 0;
    s.screenMap = pic.size();
    for (const MapTool* t : m_host.mapTools()) {
        const auto entries = t->highlightLegend();
        s.highlights.insert(s.highlights.end(), entries.begin(), entries.end());
    }
    MapHost* host = &m_host;
    s.drawHighlights = [host](MapPicture& target) {
        for (MapTool* t : host->mapTools()) t->drawHighlightOn(target);
    };
    return s;
}

QString ExportCommands::title() const
{
    QStringList titles;
    for (const MapTool* t : m_host.mapTools()) titles << t->frameTitle();
    return defaultTitle(m_host.state(), titles);
}

QString ExportCommands::scaleProblem() const
{
    return frameKmPerUnit(m_host.frameSections(), *m_host.database()) ? QString() : kNoScaleReason;
}

void ExportCommands::mnuFiles_Export_Click()
{
    if (!m_host.acceptsCommands()) return;
    FrmExport dialog(FrmExport::Export, scene(), m_host.picture().size(), scaleProblem(), &m_host.window());
    dialog.setTitle(title());
    dialog.exec();
}

void ExportCommands::mnuFiles_Print_Click()
{
    if (!m_host.acceptsCommands()) return;
    FrmExport dialog(FrmExport::Print, scene(), m_host.picture().size(), scaleProblem(), &m_host.window());
    dialog.setTitle(title());
    if (dialog.exec() == QDialog::Accepted) m_printOptions = dialog.options();
}

void ExportCommands::mnuFiles_Preview_Click()
{
    if (!m_host.acceptsCommands()) return;
    ExportOptions o = m_printOptions;
    o.title = title();
    o.scaleBar = o.scaleBar && scaleProblem().isEmpty();
    const ExportScene s = scene();
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, &m_host.window());
    preview.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) {
        if (auto printed = printScene(*p, s, o); !printed) msgBox(printed.error().message(), MsgIcon::Exclamation);
    });
    preview.exec();
}

void ExportCommands::copyPicture() { QGuiApplication::clipboard()->setImage(m_host.picture().image()); }

} // namespace zd
