#include "ExportBench.h"

#include "Bench.h"
#include "data/Database.h"
#include "export/ExportRender.h"
#include "export/Stats.h"
#include "render/Canvas.h"
#include "render/RenderFrame.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QImageWriter>
#include <QPainter>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace zd::bench {

namespace {

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

double msOf(const std::function<bool()>& work, bool& ok)
{
    QElapsedTimer t;
    t.start();
    ok = work() && ok;
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Named for a profiler: valgrind --tool=callgrind --toggle-collect='*timedExport*'.
[[gnu::noinline]] bool timedExport(const ExportTarget& t, const ExportScene& s, const ExportOptions& o)
{
    auto written = writeExport(t, s, o);
    if (!written) out(QStringLiteral("zdbench: ") + written.error().message());
    return written.ok();
}
[[gnu::noinline]] bool timedScreen(const ExportScene& s, QSize size)
{
    Canvas canvas(size);
    MapState st = s.state;
    DataSource sections, stations;
    sections.setDatabase(s.db);
    stations.setDatabase(s.db);
    st.mainPic = &canvas;
    st.mainPeregons = &sections.rows();
    return renderFrame(st, canvas, sections, stations, true).ok();
}
// The PNG's picture alone, drawn without encoding or writing, and its encoding alone.
[[gnu::noinline]] bool timedPicture(const ExportScene& s, QImage& image)
{
    image.fill(Qt::white);
    QPainter p(&image);
    return drawExport(p, image.size(), Dpi{}, s, {}, false).ok();
}
[[gnu::noinline]] bool timedEncode(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return QImageWriter(&buffer, "png").write(image);
}
[[gnu::noinline]] bool timedStats(const Database& db) { return countStats(db, StatsScope{}, false).ok(); }

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QJsonObject json(const Samples& s)
{
    return {{QStringLiteral("median"), s.median()}, {QStringLiteral("min"), s.min()}, {QStringLiteral("max"), s.max()}};
}

} // namespace

int runExportBench(const QStringList& args)
{
    QCommandLineParser p;
    p.addOptions({{QStringLiteral("export"), QStringLiteral("the export benchmark")},
                  {QStringLiteral("db"), QStringLiteral("network database"), QStringLiteral("file")},
                  {QStringLiteral("stats-only"), QStringLiteral("the statistics alone (large networks)")},
                  {QStringLiteral("runs"), QStringLiteral("runs of every figure"), QStringLiteral("n"), QStringLiteral("7")},
                  {QStringLiteral("width"), QStringLiteral("screen map width"), QStringLiteral("px"), QStringLiteral("1600")},
                  {QStringLiteral("height"), QStringLiteral("screen map height"), QStringLiteral("px"), QStringLiteral("900")}});
    bool runsOk = false;
    if (!p.parse(args) || !p.isSet(QStringLiteral("db")) || p.value(QStringLiteral("runs")).toInt(&runsOk) < 1 || !runsOk) {
        std::fprintf(stderr, "usage: zdbench --export --db FILE [--runs 7] [--width 1600 --height 900] [--stats-only]\n");
        return 2;
    }
    const int runs = p.value(QStringLiteral("runs")).toInt();
    const QSize screen(p.value(QStringLiteral("width")).toInt(), p.value(QStringLiteral("height")).toInt());
    auto db = Database::open(p.value(QStringLiteral("db")));
    if (!db) {
        out(QStringLiteral("zdbench: ") + db.error().message());
        return 1;
    }
    QTemporaryDir dir;
    ExportScene scene;
    scene.db = *db;
    scene.screenMap = screen;   // as the window exports its map of that size
    const ExportTarget pdf{dir.filePath(QStringLiteral("whole.pdf")), QSize(), QPageSize::A4, QPageLayout::Landscape};
    const ExportTarget png{dir.filePath(QStringLiteral("whole.png")), QSize(4000, 2250), QPageSize::A4, QPageLayout::Landscape};
    const ExportOptions withLegend{true, true, QStringLiteral("Общая схема")};

    Samples pdfMs, pngMs, screenMs, statsMs, statsCpuMs, pictureMs, encodeMs;
    QImage picture(png.pixels, QImage::Format_RGB32);
    bool ok = true;
    const bool pictures = !p.isSet(QStringLiteral("stats-only"));
    for (int r = 0; r < runs; ++r) {
        const double cpu = threadCpuMs();
        statsMs.add(msOf([&] { return timedStats(**db); }, ok));
        statsCpuMs.add(threadCpuMs() - cpu);   // a shared machine's wall clock counts the waits too
        if (!pictures) continue;
        pdfMs.add(msOf([&] { return timedExport(pdf, scene, withLegend); }, ok));
        pngMs.add(msOf([&] { return timedExport(png, scene, {}); }, ok));
        screenMs.add(msOf([&] { return timedScreen(scene, screen); }, ok));
        pictureMs.add(msOf([&] { return timedPicture(scene, picture); }, ok));
        encodeMs.add(msOf([&] { return timedEncode(picture); }, ok));
    }
    const double ratio = screenMs.median() > 0 ? pngMs.median() / screenMs.median() : 0;
    out(QStringLiteral("zdbench --export: %1, %2 runs").arg(QFileInfo(p.value(QStringLiteral("db"))).fileName()).arg(runs));
    out(QStringLiteral("%1%2%3%4").arg(QStringLiteral("figure"), -34).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10));
    auto row = [](const QString& name, const Samples& s) {
        out(QStringLiteral("%1%2%3%4").arg(name, -34).arg(s.median(), 10, 'f', 1).arg(s.min(), 10, 'f', 1).arg(s.max(), 10, 'f', 1));
    };
    row(QStringLiteral("pdf/whole, legend, scale bar"), pdfMs);
    row(QStringLiteral("png/whole 4000x2250"), pngMs);
    row(QStringLiteral("  of which drawing"), pictureMs);
    row(QStringLiteral("  of which PNG encoding"), encodeMs);
    row(QStringLiteral("screen/whole %1x%2").arg(screen.width()).arg(screen.height()), screenMs);
    row(QStringLiteral("stats/whole network"), statsMs);
    row(QStringLiteral("stats/whole network, thread CPU"), statsCpuMs);
    out(QStringLiteral("ratio png / screen: %1").arg(ratio, 0, 'f', 2));
    out(QStringLiteral("peak memory: %1 MB").arg(peakMemoryMb(), 0, 'f', 1));
    const QJsonObject all{{QStringLiteral("db"), p.value(QStringLiteral("db"))},
                          {QStringLiteral("runs"), runs},
                          {QStringLiteral("pdf_whole_legend"), json(pdfMs)},
                          {QStringLiteral("png_whole_4000x2250"), json(pngMs)},
                          {QStringLiteral("png_drawing"), json(pictureMs)},
                          {QStringLiteral("png_encoding"), json(encodeMs)},
                          {QStringLiteral("screen_whole"), json(screenMs)},
                          {QStringLiteral("stats_whole"), json(statsMs)},
                          {QStringLiteral("stats_whole_cpu"), json(statsCpuMs)},
                          {QStringLiteral("ratio_png_screen"), ratio},
                          {QStringLiteral("peak_memory_mb"), peakMemoryMb()}};
    out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
    return ok ? 0 : 1;
}

} // namespace zd::bench
