#include "OverviewBench.h"

#include "Bench.h"
#include "desk/Desk.h"
#include "desk/OverviewPanel.h"
#include "mainwin/FrmZdMain.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace zd::bench {

namespace {

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

template <class F>
double ms(F&& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

QString row(const QString& name, const Samples& s)
{
    return QStringLiteral("%1%2%3%4").arg(name, -22).arg(s.median(), 10, 'f', 2).arg(s.min(), 10, 'f', 2).arg(s.max(), 10, 'f', 2);
}

} // namespace

int runOverviewBench(const QStringList& args)
{
    QCommandLineParser p;
    p.addOptions({{QStringLiteral("overview"), QStringLiteral("this benchmark")},
                  {QStringLiteral("db"), QStringLiteral("network database"), QStringLiteral("file")},
                  {QStringLiteral("runs"), QStringLiteral("runs"), QStringLiteral("n"), QStringLiteral("15")},
                  {QStringLiteral("width"), QStringLiteral("window width"), QStringLiteral("px"), QStringLiteral("1920")},
                  {QStringLiteral("height"), QStringLiteral("window height"), QStringLiteral("px"), QStringLiteral("1000")}});
    const int runs = p.parse(args) ? p.value(QStringLiteral("runs")).toInt() : 0;
    QTemporaryDir dir;
    if (runs <= 0 || !p.isSet(QStringLiteral("db"))
        || !QFile::link(QFileInfo(p.value(QStringLiteral("db"))).absoluteFilePath(), dir.filePath(QStringLiteral("ZdShort.mdb")))) {
        std::fprintf(stderr, "usage: zdbench --overview --db FILE [--runs 15] [--width 1920 --height 1000]\n");
        return 2;
    }
    FrmZdMain w(dir.path());
    w.setEndHandler([](int) {});
    w.Form_Activate();
    if (!w.startDone() || w.ended()) return 1;
    w.resize(p.value(QStringLiteral("width")).toInt(), p.value(QStringLiteral("height")).toInt());
    w.menuItem(QStringLiteral("mnuView_Overview"))->trigger();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    OverviewMap& map = w.desk().overview().map();
    const Frame scheme = w.state().scheme;
    const Frame near{scheme.x1 + (scheme.x2 - scheme.x1) / 3, scheme.y1 + (scheme.y2 - scheme.y1) / 3,
                     scheme.x1 + (scheme.x2 - scheme.x1) / 2, scheme.y1 + (scheme.y2 - scheme.y1) / 2};

    Samples whole, rebuild, follow;
    for (int r = 0; r < runs; ++r) {
        w.state().kadr = scheme;
        w.setKadrZoomed(0);
        whole.add(ms([&] { w.RenderKadr(w.picZdMain()); }));
        rebuild.add(ms([&] {
            map.invalidate();
            map.rebuild();
        }));
        w.state().kadr = r % 2 ? scheme : near;
        follow.add(ms([&] { map.repaint(); }));
    }
    const PictureBox& pic = w.picZdMain();
    out(QStringLiteral("zdbench --overview: %1, map %2x%3 px, overview %4x%5 px, %6 runs")
            .arg(QFileInfo(p.value(QStringLiteral("db"))).fileName()).arg(pic.width()).arg(pic.height())
            .arg(map.width()).arg(map.height()).arg(runs));
    out(QStringLiteral("%1%2%3%4").arg(QStringLiteral("figure"), -22).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10));
    out(row(QStringLiteral("render/whole"), whole));
    out(row(QStringLiteral("overview/rebuild"), rebuild));
    out(row(QStringLiteral("overview/follow"), follow));
    out(QStringLiteral("ratio rebuild / whole: %1, follow / whole: %2")
            .arg(rebuild.median() / whole.median(), 0, 'f', 3).arg(follow.median() / whole.median(), 0, 'f', 4));
    return map.builds() >= runs ? 0 : 1;
}

} // namespace zd::bench
