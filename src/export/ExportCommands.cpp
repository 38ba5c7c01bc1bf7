#include "export/ExportCommands.h"

#include "export/FrmExport.h"
#include "export/FrmStats.h"
#include "export/LegendDock.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>

namespace zd {

ExportCommands::ExportCommands(FrmZdMain& main) : QObject(&main), m_main(main)
{
    item("mnuFiles_Export", QStringLiteral("&Экспорт изображения…"), &ExportCommands::mnuFiles_Export_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    item("mnuFiles_Print", QStringLiteral("&Печать…"), &ExportCommands::mnuFiles_Print_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    item("mnuFiles_Preview", QStringLiteral("Пред&варительный просмотр…"), &ExportCommands::mnuFiles_Preview_Click);
    auto* bar = new QAction(this);
    bar->setSeparator(true);
    bar->setObjectName(QStringLiteral("BarExport"));
    m_main.addFileItem(bar);

    QMenu& service = m_main.extraMenu(QStringLiteral("mnuService"));
    for (auto [name, caption, handler] : {std::tuple{"mnuService_Stats", "&Статистика…", &ExportCommands::mnuService_Stats_Click},
                                          std::tuple{"mnuService_Legend", "&Условные обозначения", &ExportCommands::mnuService_Legend_Click}}) {
        QAction* a = service.addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
    }
    auto* copy = new QShortcut(QKeySequence::Copy, &m_main.picZdMain(), this, &ExportCommands::copyPicture, Qt::WidgetShortcut);
    copy->setObjectName(QStringLiteral("keyCopyPicture"));
}

QAction* ExportCommands::item(const char* name, const QString& caption, void (ExportCommands::*handler)())
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, handler);
    m_main.addFileItem(a);
    return a;
}

bool ExportCommands::mapReady() const { return m_main.startDone() && !m_main.ended() && !m_main.rendering(); }

ExportScene ExportCommands::scene() const
{
    ExportScene s;
    const PictureBox& pic = m_main.picZdMain();
    s.state = m_main.state();
    s.db = m_main.database();
    s.genOn = m_main.genOn();
    s.back = pic.backColor();
    s.dpi = pic.dpi();
    s.aspect = pic.height() > 0 ? double(pic.width()) / pic.height() : 0;
    s.screenMap = pic.size();
    for (const MapTool* t : m_main.mapTools()) {
        const auto entries = t->highlightLegend();
        s.highlights.insert(s.highlights.end(), entries.begin(), entries.end());
    }
    FrmZdMain* main = &m_main;
    s.drawHighlights = [main](MapPicture& target) {
        for (MapTool* t : main->mapTools()) t->drawHighlightOn(target);
    };
    return s;
}

QString ExportCommands::title() const
{
    QStringList titles;
    for (const MapTool* t : m_main.mapTools()) titles << t->frameTitle();
    return defaultTitle(m_main.state(), titles);
}

QString ExportCommands::scaleProblem() const
{
    return frameKmPerUnit(m_main.frameSections(), *m_main.database()) ? QString() : kNoScaleReason;
}

void ExportCommands::mnuFiles_Export_Click()
{
    if (!mapReady()) return;
    FrmExport dialog(FrmExport::Export, scene(), m_main.picZdMain().size(), scaleProblem(), &m_main);
    dialog.setTitle(title());
    dialog.exec();
}

void ExportCommands::mnuFiles_Print_Click()
{
    if (!mapReady()) return;
    FrmExport dialog(FrmExport::Print, scene(), m_main.picZdMain().size(), scaleProblem(), &m_main);
    dialog.setTitle(title());
    if (dialog.exec() == QDialog::Accepted) m_printOptions = dialog.options();
}

void ExportCommands::mnuFiles_Preview_Click()
{
    if (!mapReady()) return;
    ExportOptions o = m_printOptions;
    o.title = title();
    o.scaleBar = o.scaleBar && scaleProblem().isEmpty();
    const ExportScene s = scene();
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, &m_main);
    preview.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) {
        if (auto printed = printScene(*p, s, o); !printed) msgBox(printed.error().message(), MsgIcon::Exclamation);
    });
    preview.exec();
}

void ExportCommands::mnuService_Stats_Click() { m_main.loadStatsWindow().LoadStats(); }

void ExportCommands::mnuService_Legend_Click()
{
    LegendDock& dock = m_main.loadLegendPanel();
    dock.show();
    dock.raise();
}

void ExportCommands::copyPicture() { QGuiApplication::clipboard()->setImage(m_main.picZdMain().image()); }

} // namespace zd
