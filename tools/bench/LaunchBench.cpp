#include "LaunchBench.h"

#include "Bench.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/NetworkOpener.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"
#include "stnfind/FrmZdFind.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace zd::bench {

namespace {

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

QString figure(const Samples& s)
{
    return QStringLiteral("%1 (%2–%3)").arg(s.median(), 0, 'f', 1).arg(s.min(), 0, 'f', 1).arg(s.max(), 0, 'f', 1);
}

struct LaunchFigures { Samples wall, firstFrame, load, gap; };

// One start of the program; false when it did not report its first frame.
bool launchOnce(const QString& program, const QString& db, LaunchFigures& f)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, {QStringLiteral("--startup-report"), db});
    if (!p.waitForFinished(600000)) { p.kill(); return false; }
    const double wall = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const QJsonObject r = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    if (p.exitCode() != 0 || r.isEmpty()) {
        out(QStringLiteral("zdbench: ") + QString::fromUtf8(p.readAllStandardError()));
        return false;
    }
    f.wall.add(wall);
    f.firstFrame.add(r.value(QStringLiteral("first_frame_ms")).toDouble());
    f.load.add(r.value(QStringLiteral("load_ms")).toDouble());
    f.gap.add(r.value(QStringLiteral("largest_repaint_gap_ms")).toDouble());
    return true;
}

double msOf(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

struct WindowFigures { double loadAndCold = 0, load = 0; Samples warm, search, searchAfterPause, pauseGap; };

// The events of a user's pause before the next command: the longest any of them waited.
double pauseWithEvents(int ms)
{
    QElapsedTimer t, pass;
    t.start();
    double longest = 0;
    while (t.elapsed() < ms) {
        pass.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, static_cast<double>(pass.nsecsElapsed()) / 1e6);
        QThread::msleep(5);
    }
    return longest;
}

double openSearchWindow(FrmZdMain& w)
{
    const double ms = msOf([&] {
        w.mnuZdFind_Stn_Click();
        QCoreApplication::processEvents();
    });
    if (FrmZdFind* find = w.findWindow()) find->close();
    QCoreApplication::processEvents();
    return ms;
}

// The main window in this process: the start-up's load and first render, the same frame
// again, and the station search window opened and closed.
bool measureWindow(const QString& db, int runs, WindowFigures& f)
{
    QTemporaryDir dir;
    FrmZdMain w(dir.path());
    w.setStartFile(db);
    w.setEndHandler([](int) {});
    QElapsedTimer loadClock;
    QObject::connect(&w.opener(), &NetworkOpener::loadStarted, &w, [&] { loadClock.start(); });
    QObject::connect(&w.opener(), &NetworkOpener::loadEnded, &w, [&] { f.load = double(loadClock.nsecsElapsed()) / 1e6; });
    w.show();
    f.loadAndCold = msOf([&] { w.Form_Activate(); });
    if (!w.startDone() || w.ended()) return false;
    QCoreApplication::processEvents();
    for (int r = 0; r < runs; ++r) {
        f.warm.add(msOf([&] { w.redrawFrame(); }));
        f.search.add(openSearchWindow(w));
        w.redrawFrame();
        f.pauseGap.add(pauseWithEvents(3000));
        f.searchAfterPause.add(openSearchWindow(w));
    }
    return true;
}

} // namespace

int runLaunchBench(const QStringList& args)
{
    QCommandLineParser p;
    p.addOption({QStringLiteral("launch"), QStringLiteral("the launch benchmark")});
    p.addOption({QStringLiteral("db"), QStringLiteral("network file"), QStringLiteral("FILE")});
    p.addOption({QStringLiteral("runs"), QStringLiteral("runs"), QStringLiteral("N"), QStringLiteral("5")});
    p.addOption({QStringLiteral("program"), QStringLiteral("zdschema"), QStringLiteral("PATH"),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/zdschema")});
    if (!p.parse(args) || !p.isSet(QStringLiteral("db"))) {
        std::fprintf(stderr, "usage: zdbench --launch --db FILE [--runs 5] [--program PATH]\n");
        return 2;
    }
    const QString db = QFileInfo(p.value(QStringLiteral("db"))).absoluteFilePath();
    const int runs = std::max(1, p.value(QStringLiteral("runs")).toInt());
    LaunchFigures launch;
    for (int r = 0; r < runs; ++r)
        if (!launchOnce(p.value(QStringLiteral("program")), db, launch)) return 1;
    setMsgHandler([](const MsgRequest& r) { out(QStringLiteral("zdbench: ") + r.text); });
    WindowFigures win;
    if (!measureWindow(db, runs, win)) return 1;

    out(QStringLiteral("launch → first painted frame: %1 ms (in the program: %2)").arg(figure(launch.wall), figure(launch.firstFrame)));
    out(QStringLiteral("load: %1 ms; largest gap between repaints during it: %2 ms").arg(figure(launch.load), figure(launch.gap)));
    out(QStringLiteral("window: load %1 ms, cold first render %2 ms, warm render %3 ms")
            .arg(win.load, 0, 'f', 1).arg(win.loadAndCold - win.load, 0, 'f', 1).arg(figure(win.warm)));
    out(QStringLiteral("station search window opens: %1 ms at once after a frame, %2 ms after a pause of 3 s "
                       "(the longest event of the pause: %3 ms)")
            .arg(figure(win.search), figure(win.searchAfterPause), figure(win.pauseGap)));
    QJsonObject json{{QStringLiteral("launch_first_frame_ms"), launch.wall.median()},
                     {QStringLiteral("load_ms"), launch.load.median()},
                     {QStringLiteral("largest_repaint_gap_ms"), launch.gap.median()},
                     {QStringLiteral("cold_render_ms"), win.loadAndCold - win.load},
                     {QStringLiteral("warm_render_ms"), win.warm.median()},
                     {QStringLiteral("search_window_ms"), win.search.median()},
                     {QStringLiteral("search_window_after_pause_ms"), win.searchAfterPause.median()},
                     {QStringLiteral("pause_longest_event_ms"), win.pauseGap.median()}};
    out(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)));
    return 0;
}

} // namespace zd::bench
