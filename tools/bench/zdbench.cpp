// zdbench: how long the program takes to load a network database and to draw frames of
// it, against the floor of the same work (the bare queries and the bare painting).
// Prints a table, then one JSON line with every figure.
#include "Bench.h"
#include "ExportBench.h"
#include "LaunchBench.h"
#include "OverviewBench.h"
#include "QuickBench.h"
#include "RouteBench.h"
#include "SearchBench.h"

#include "data/Database.h"
#include "desk/Desk.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"
#include "render/RenderFrame.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

using namespace zd;
using namespace zd::bench;

namespace {

struct Options {
    QString db;
    QSize size{1600, 900};
    int runs = 15;
    QStringList only;   // frame kinds to measure; all when empty
    bool screen = false; // also every frame in the style "Для экрана"
    bool route = false; // the route graph instead of the frames
    int threads = -1;    // the picture's drawing threads; -1: the program's own choice
};

double msOf(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// The timed pieces have names of their own so that a profiler can be told to count
// inside them only (valgrind --tool=callgrind --toggle-collect='*timedRender*').
[[gnu::noinline]] void timedRender(FrmZdMain& w) { w.RenderKadr(w.picZdMain()); }
[[gnu::noinline]] void timedFrame(FrmZdMain& w)
{
    w.desk().frameRowsChanging();   // as the window does before it replaces the frame's rows
    (void)renderFrame(w.state(), w.picZdMain(), w.dtaPeregon(), w.dtaStn(), w.genOn());
}
[[gnu::noinline]] void timedQuery(sqlite3* db, const QStringList& sqls) { stepQueries(db, sqls); }
[[gnu::noinline]] void timedDraw(const DrawList& list, QImage& image) { drawList(list, image); }

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

// The figures of one kind of frame.
struct FrameFigures {
    QString name;
    std::vector<Frame> frames;
    Samples render, frame, query, draw;   // frame: the renderer alone, without the window's part
    double cold = 0;     // the very first render of the first frame: caches and pages still cold
    Samples gap;         // largest time between two chances to repaint the window and answer input during a render
    long long sections = 0, stations = 0, primitives = 0;   // of the first frame's first run
    double mismatch = 0;                                  // worst share of differing pixels
    MapStyle style = MapStyle::Classic;
    static FrameFigures of(QString name, std::vector<Frame> frames, MapStyle style = MapStyle::Classic)
    {
        FrameFigures f;
        f.name = std::move(name);
        f.frames = std::move(frames);
        f.style = style;
        return f;
    }
    double ratio() const
    {
        const double floor = query.median() + draw.median();
        const double warm = render.ms.empty() ? cold : render.median();   // one run has no warm render
        return floor > 0 ? warm / floor : 0;
    }
};

// The same frames again in the style "Для экрана", named screen/<frame>.
void addScreenFigures(std::vector<FrameFigures>& figures)
{
    const std::size_t classic = figures.size();
    for (std::size_t i = 0; i < classic; ++i) {
        figures.push_back(FrameFigures::of(QStringLiteral("screen/") + figures[i].name, figures[i].frames, MapStyle::Screen));
    }
}

// Median render of each frame in the style "Для экрана" over the classic one.
std::vector<std::pair<QString, double>> styleRatios(const std::vector<FrameFigures>& figures)
{
    std::vector<std::pair<QString, double>> out;
    for (const FrameFigures& s : figures)
        for (const FrameFigures& c : figures)
            if (s.style == MapStyle::Screen && s.name == QStringLiteral("screen/") + c.name && c.render.median() > 0)
                out.emplace_back(c.name, s.render.median() / c.render.median());
    return out;
}

class Bench {
public:
    Bench(const Options& o) : m_o(o) {}
    int run();

private:
    void measureLoad();
    bool startWindow();
    bool sizePicture();
    void measureFrame(FrameFigures& f, const Frame& frame, bool record);
    void report() const;
    struct Rendered { double ms, widestGap; };
    static Rendered timeRender(FrmZdMain& w);
    // Lets the event loop run until it would wait, as between two commands of a user.
    static void flushEvents()
    {
        QEventLoop idle;
        QTimer::singleShot(10, &idle, &QEventLoop::quit);
        idle.exec(QEventLoop::ExcludeUserInputEvents);
    }

    Options m_o;
    Samples m_load;
    double m_start = 0;
    QTemporaryDir m_dir;
    std::unique_ptr<FrmZdMain> m_win;
    std::vector<FrameFigures> m_figures;
    QStringList m_messages;
    int m_strayRenders = 0;   // timed calls that recorded other than exactly one frame
    QImage m_floorImage;
};

int Bench::run()
{
    setMsgHandler([this](const MsgRequest& r) { m_messages << r.text; });
    measureLoad();
    if (!startWindow() || !sizePicture()) return 1;

    const Frame scheme = m_win->state().scheme;
    sqlite3* db = m_win->dtaStn().database()->handle();
    m_figures.push_back(FrameFigures::of(QStringLiteral("whole"), {scheme}));
    for (int zoom : {4, 16, 64}) {
        FrameFigures f = FrameFigures::of(QStringLiteral("zoom%1").arg(zoom), {});
        for (const QPointF& c : zoomCentres())
            f.frames.push_back(frameAround(scheme, zoom, nearestStation(db, scheme, c)));
        m_figures.push_back(f);
    }
    if (!m_o.only.isEmpty())
        std::erase_if(m_figures, [this](const FrameFigures& f) { return !m_o.only.contains(f.name); });
    if (m_o.screen) addScreenFigures(m_figures);
    m_floorImage = m_win->picZdMain().image();
    for (int r = 0; r < m_o.runs; ++r)
        for (FrameFigures& f : m_figures)
            for (const Frame& frame : f.frames) measureFrame(f, frame, r == 0 && &frame == &f.frames.front());
    report();
    return m_messages.isEmpty() && m_strayRenders == 0 ? 0 : 1;
}

void Bench::measureLoad()
{
    for (int r = 0; r < m_o.runs; ++r) {
        std::shared_ptr<Database> db;
        QString error;
        m_load.add(msOf([&] {
            auto opened = Database::open(m_o.db);
            if (opened) db = *opened;
            else error = opened.error().message();
        }));
        if (!error.isEmpty()) { out(QStringLiteral("zdbench: ") + error); std::exit(1); }
    }
}

// The program's main window against a program folder that holds the database.
bool Bench::startWindow()
{
    if (!m_dir.isValid() || !QFile::link(QFileInfo(m_o.db).absoluteFilePath(), m_dir.filePath(QStringLiteral("ZdShort.mdb")))) {
        out(QStringLiteral("zdbench: cannot prepare a program folder"));
        return false;
    }
    m_win = std::make_unique<FrmZdMain>(m_dir.path());
    m_win->setEndHandler([](int) {});
    if (m_o.threads >= 0) m_win->picZdMain().setBandThreads(m_o.threads);
    m_start = msOf([&] { m_win->Form_Activate(); });
    flushEvents();
    if (!m_win->startDone() || m_win->ended()) {
        out(QStringLiteral("zdbench: the program did not start: ") + m_messages.join(u"; "));
        return false;
    }
    return true;
}

bool Bench::sizePicture()
{
    PictureBox& pic = m_win->picZdMain();
    for (int attempt = 0; attempt < 3 && pic.size() != m_o.size; ++attempt) {
        m_win->resize(m_win->size() + m_o.size - pic.size());
        flushEvents();
    }
    for (int i = 0; i < 5; ++i) flushEvents();   // the redraw that follows a resize
    if (pic.size() != m_o.size) {
        out(QStringLiteral("zdbench: the picture is %1x%2, not %3x%4")
                .arg(pic.width()).arg(pic.height()).arg(m_o.size.width()).arg(m_o.size.height()));
        return false;
    }
    return true;
}

void Bench::measureFrame(FrameFigures& f, const Frame& frame, bool first)
{
    FrmZdMain& w = *m_win;
    PictureBox& pic = w.picZdMain();
    flushEvents();
    w.state().kadr = frame;
    w.state().style = f.style;
    w.setKadrZoomed(frame == w.state().scheme ? 0 : 1);
    const int recorded = w.history().count();
    const Rendered rendered = timeRender(w);
    if (w.history().count() != recorded + 1) ++m_strayRenders;
    if (first) f.cold = rendered.ms;
    else f.render.add(rendered.ms);
    f.gap.add(rendered.widestGap);
    flushEvents();
    f.frame.add(msOf([&] { timedFrame(w); }));

    // Every timed piece starts from an idle event loop, as the render does.
    sqlite3* db = w.dtaPeregon().database()->handle();
    const QStringList sqls{w.dtaPeregon().recordSource(), w.dtaStn().recordSource()};
    flushEvents();
    f.query.add(msOf([&] { timedQuery(db, sqls); }));
    const DrawList list = buildDrawList(w.state(), pic, w.dtaPeregon().rows(), w.dtaStn().rows());
    flushEvents();
    f.draw.add(msOf([&] { timedDraw(list, m_floorImage); }));
    f.mismatch = std::max(f.mismatch, differingPixels(m_floorImage, pic.image()));
    if (first) {
        f.sections = w.dtaPeregon().rows().recordCount();
        f.stations = w.dtaStn().rows().recordCount();
        f.primitives = static_cast<long long>(list.primitives());
    }
}

// The render of the current frame, in milliseconds, and the longest stretch of it in which
// the window had no chance to repaint or answer input (between two of its event passes).
Bench::Rendered Bench::timeRender(FrmZdMain& w)
{
    const auto passes = w.state().processEvents;
    QElapsedTimer clock;
    qint64 last = 0, widest = 0;
    w.state().processEvents = [&] {
        const qint64 now = clock.nsecsElapsed();
        widest = std::max(widest, now - last);
        last = now;
        if (passes) passes();
    };
    clock.start();
    timedRender(w);
    const qint64 total = clock.nsecsElapsed();
    w.state().processEvents = passes;
    return {static_cast<double>(total) / 1e6, static_cast<double>(std::max(widest, total - last)) / 1e6};
}

QString cell(double v, int width = 10) { return QStringLiteral("%1").arg(v, width, 'f', 2); }

void Bench::report() const
{
    const PictureBox& pic = m_win->picZdMain();
    out(QStringLiteral("zdbench: %1, %2x%3 px at %4 DPI, %5 runs")
            .arg(QFileInfo(m_o.db).fileName()).arg(pic.width()).arg(pic.height()).arg(pic.logicalDpiX()).arg(m_o.runs));
    out(QStringLiteral("%1%2%3%4").arg(QStringLiteral("figure"), -22).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10));
    auto row = [](const QString& name, const Samples& s) {
        out(QStringLiteral("%1%2%3%4").arg(name, -22).arg(cell(s.median()), cell(s.min()), cell(s.max())));
    };
    row(QStringLiteral("load"), m_load);
    for (const FrameFigures& f : m_figures) row(QStringLiteral("render/") + f.name, f.render);
    for (const FrameFigures& f : m_figures)
        out(QStringLiteral("%1%2").arg(QStringLiteral("cold/") + f.name, -22).arg(cell(f.cold)));
    for (const FrameFigures& f : m_figures) row(QStringLiteral("repaint-gap/") + f.name, f.gap);
    for (const FrameFigures& f : m_figures) row(QStringLiteral("renderer-only/") + f.name, f.frame);
    for (const FrameFigures& f : m_figures) row(QStringLiteral("floor/query/") + f.name, f.query);
    for (const FrameFigures& f : m_figures) row(QStringLiteral("floor/draw/") + f.name, f.draw);
    for (const FrameFigures& f : m_figures)
        out(QStringLiteral("%1%2").arg(QStringLiteral("ratio/") + f.name, -22).arg(cell(f.ratio())));
    for (const auto& [name, ratio] : styleRatios(m_figures))
        out(QStringLiteral("%1%2").arg(QStringLiteral("screen/classic/") + name, -22).arg(cell(ratio)));
    for (const FrameFigures& f : m_figures)
        out(QStringLiteral("rows/%1: %2 sections, %3 stations, %4 primitives; floor differs in %5% of pixels")
                .arg(f.name).arg(f.sections).arg(f.stations).arg(f.primitives).arg(f.mismatch * 100, 0, 'f', 3));
    out(QStringLiteral("start-up (window, load, first frame): %1 ms").arg(m_start, 0, 'f', 1));
    out(QStringLiteral("peak memory: %1 MB").arg(peakMemoryMb(), 0, 'f', 1));
    for (const QString& m : m_messages) out(QStringLiteral("message: ") + m);
    if (m_strayRenders) out(QStringLiteral("warning: %1 timed renders did not record exactly one frame").arg(m_strayRenders));

    auto json = [](const Samples& s) {
        return QJsonObject{{QStringLiteral("median"), s.median()}, {QStringLiteral("min"), s.min()},
                           {QStringLiteral("max"), s.max()}};
    };
    QJsonObject frames;
    for (const FrameFigures& f : m_figures)
        frames[f.name] = QJsonObject{{QStringLiteral("render"), json(f.render)},
                                     {QStringLiteral("renderer_only"), json(f.frame)},
                                     {QStringLiteral("cold_render"), f.cold},
                                     {QStringLiteral("repaint_gap"), json(f.gap)},
                                     {QStringLiteral("floor_query"), json(f.query)},
                                     {QStringLiteral("floor_draw"), json(f.draw)},
                                     {QStringLiteral("ratio"), f.ratio()},
                                     {QStringLiteral("sections"), f.sections},
                                     {QStringLiteral("stations"), f.stations},
                                     {QStringLiteral("floor_mismatch"), f.mismatch}};
    for (const auto& [name, ratio] : styleRatios(m_figures))
        frames[QStringLiteral("screen_over_classic_") + name] = ratio;
    const QJsonObject all{{QStringLiteral("db"), m_o.db},
                          {QStringLiteral("width"), pic.width()},
                          {QStringLiteral("height"), pic.height()},
                          {QStringLiteral("runs"), m_o.runs},
                          {QStringLiteral("load"), json(m_load)},
                          {QStringLiteral("startup_ms"), m_start},
                          {QStringLiteral("frames"), frames},
                          {QStringLiteral("peak_memory_mb"), peakMemoryMb()},
                          {QStringLiteral("stray_renders"), m_strayRenders},
                          {QStringLiteral("messages"), QJsonArray::fromStringList(m_messages)}};
    out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
}

bool parse(const QStringList& args, Options& o)
{
    QCommandLineParser p;
    p.addOptions({{QStringLiteral("db"), QStringLiteral("network database"), QStringLiteral("file")},
                  {QStringLiteral("width"), QStringLiteral("picture width, pixels"), QStringLiteral("px"), QStringLiteral("1600")},
                  {QStringLiteral("height"), QStringLiteral("picture height, pixels"), QStringLiteral("px"), QStringLiteral("900")},
                  {QStringLiteral("runs"), QStringLiteral("runs of every figure"), QStringLiteral("n"), QStringLiteral("15")},
                  {QStringLiteral("only"), QStringLiteral("frames to measure: whole,zoom4,zoom16,zoom64"), QStringLiteral("list")},
                  {QStringLiteral("threads"), QStringLiteral("threads drawing the picture (0: the window's own thread)"),
                   QStringLiteral("n"), QStringLiteral("-1")},
                  {QStringLiteral("route"), QStringLiteral("the route graph and routes instead of the frames")}});
    if (!p.parse(args) || !p.isSet(QStringLiteral("db"))) return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    o.db = p.value(QStringLiteral("db"));
    o.size = QSize(p.value(QStringLiteral("width")).toInt(&ok1), p.value(QStringLiteral("height")).toInt(&ok2));
    o.runs = p.value(QStringLiteral("runs")).toInt(&ok3);
    o.route = p.isSet(QStringLiteral("route"));
    o.threads = p.value(QStringLiteral("threads")).toInt();
    if (p.isSet(QStringLiteral("only"))) o.only = p.value(QStringLiteral("only")).split(u',');
    return ok1 && ok2 && ok3 && o.runs > 0 && o.size.width() > 0 && o.size.height() > 0;
}

// "--style NAME" is taken out of the arguments before QApplication, which would read it as
// the widgets' style: "screen" also times the map style "Для экрана"; empty when absent,
// "?" when malformed.
QString takeMapStyle(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--style") != 0 && std::strcmp(argv[i], "-style") != 0) continue;
        const QString name = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        const int taken = i + 1 < argc ? 2 : 1;
        for (int j = i; j + taken <= argc; ++j) argv[j] = argv[j + taken];
        argc -= taken;
        return name == QLatin1String("screen") || name == QLatin1String("classic") ? name : QStringLiteral("?");
    }
    return QString();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString mapStyle = takeMapStyle(argc, argv);
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--search"))) return runSearchBench(app.arguments());
    if (app.arguments().contains(QStringLiteral("--overview"))) return runOverviewBench(app.arguments());
    if (app.arguments().contains(QStringLiteral("--export"))) return runExportBench(app.arguments());
    if (app.arguments().contains(QStringLiteral("--quick"))) return runQuickBench(app.arguments());
    if (app.arguments().contains(QStringLiteral("--launch"))) return runLaunchBench(app.arguments());
    Options o;
    o.screen = mapStyle == QLatin1String("screen");
    if (mapStyle == QLatin1String("?") || !parse(app.arguments(), o)) {
        std::fprintf(stderr, "usage: zdbench --db FILE [--width 1600 --height 900] [--runs 15] [--only whole,zoom16] "
                             "[--style screen] [--threads N] [--route]\n");
        return 2;
    }
    if (o.route) return runRouteBench(o.db, o.runs);
    return Bench(o).run();
}
