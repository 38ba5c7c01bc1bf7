#include "RouteBench.h"

#include "Bench.h"

#include "data/Database.h"
#include "route/NetworkRows.h"
#include "route/RouteGraph.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <tuple>
#include <utility>

namespace zd::bench {

namespace {

using route::RouteGraph;

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

double msSince(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// The stations at the ends of the network: least and most x, y, x + y and x - y.
std::vector<std::uint32_t> extremeStations(const RouteGraph& g)
{
    using Key = double (*)(const route::RouteStation&);
    const Key keys[] = {[](const route::RouteStation& s) { return double(s.x); },
                        [](const route::RouteStation& s) { return double(s.y); },
                        [](const route::RouteStation& s) { return double(s.x) + s.y; },
                        [](const route::RouteStation& s) { return double(s.x) - s.y; }};
    std::vector<std::uint32_t> ends;
    for (Key key : keys) {
        std::uint32_t lo = 0, hi = 0;
        double min = INFINITY, max = -INFINITY;
        for (std::uint32_t v = 0; v < g.stationCount(); ++v) {
            const double k = key(g.station(v));
            if (k < min) min = k, lo = v;
            if (k > max) max = k, hi = v;
        }
        ends.push_back(lo);
        ends.push_back(hi);
    }
    return ends;
}

// Of the routes between the ends of the network, the longest.
std::pair<std::uint32_t, std::uint32_t> longestRoute(const RouteGraph& g)
{
    const std::vector<std::uint32_t> ends = extremeStations(g);
    std::pair<std::uint32_t, std::uint32_t> best{0, 0};
    double bestKm = -1;
    for (std::size_t i = 0; i < ends.size(); ++i)
        for (std::size_t j = i + 1; j < ends.size(); ++j)
            if (auto r = g.shortest({ends[i], ends[j]}, {}); r && r->km > bestKm) {
                bestKm = r->km;
                best = {ends[i], ends[j]};
            }
    return best;
}

QJsonObject json(const Samples& s)
{
    return {{QStringLiteral("median"), s.median()}, {QStringLiteral("min"), s.min()}, {QStringLiteral("max"), s.max()}};
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Wall-clock and CPU milliseconds of one figure. On a shared machine the wall clock also
// counts the waits for a core; the CPU time of the thread is what the work itself costs.
struct Figure {
    Samples wall, cpu;
    QJsonObject toJson() const { return {{QStringLiteral("wall"), json(wall)}, {QStringLiteral("cpu"), json(cpu)}}; }
};

class Stopwatch {
public:
    Stopwatch() : m_cpu(threadCpuMs()) { m_wall.start(); }
    double wallMs() const { return msSince(m_wall); }
    void addTo(Figure& f) const
    {
        f.wall.add(wallMs());
        f.cpu.add(threadCpuMs() - m_cpu);
    }

private:
    QElapsedTimer m_wall;
    double m_cpu;
};

struct Measured {
    Figure read, build, route, lookUp;
    Samples piece;   // the longest piece of reading in each run: what a window waits at most
    double before = 0, peak = 0, held = 0;   // resident MB before, and the growth at the peak and after
    std::shared_ptr<const RouteGraph> graph;
    std::optional<route::Route> found;
    std::uint32_t from = 0, to = 0;
};

// Reads the rows in pieces, as a window does, and builds the graph, `runs` times.
bool measureBuild(const Database& db, int runs, Measured& m)
{
    for (int r = 0; r < runs; ++r) {
        m.graph.reset();
        const bool first = r == 0 && resetPeakMemory();
        if (r == 0) m.before = residentMemoryMb();
        const Stopwatch read;
        route::NetworkReader reader(db);
        double longest = 0;
        for (bool more = true; more;) {
            const Stopwatch piece;
            auto next = reader.readSome();
            if (!next) {
                out(QStringLiteral("zdbench: ") + next.error().message());
                return false;
            }
            more = *next;
            longest = std::max(longest, piece.wallMs());
        }
        read.addTo(m.read);
        m.piece.add(longest);
        const Stopwatch build;
        m.graph = RouteGraph::build(reader.take());
        build.addTo(m.build);
        if (first) m.peak = peakMemoryMb() - m.before;
        if (r == 0) m.held = residentMemoryMb() - m.before;
    }
    return true;
}

void measureRoutes(int runs, Measured& m)
{
    std::tie(m.from, m.to) = longestRoute(*m.graph);
    for (int r = 0; r < runs; ++r) {
        const Stopwatch t;
        m.found = m.graph->shortest({m.from, m.to}, {});
        t.addTo(m.route);
    }
    const QString name = m.graph->station(m.to).name;   // as a window's field gives it
    for (int r = 0; r < runs; ++r) {
        const Stopwatch t;
        m.graph->find(name);
        t.addTo(m.lookUp);
    }
}

void report(const QString& dbPath, int runs, const Measured& m)
{
    const RouteGraph& g = *m.graph;
    out(QStringLiteral("zdbench --route: %1, %2 stations, %3 runs").arg(QFileInfo(dbPath).fileName()).arg(g.stationCount()).arg(runs));
    out(QStringLiteral("%1%2%3%4%5").arg(QStringLiteral("figure"), -24).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10).arg(QStringLiteral("cpu ms"), 10));
    auto row = [](const QString& name, const Samples& s, std::optional<double> cpu) {
        out(QStringLiteral("%1%2%3%4%5").arg(name, -24).arg(s.median(), 10, 'f', 2).arg(s.min(), 10, 'f', 2).arg(s.max(), 10, 'f', 2)
                .arg(cpu ? QString::number(*cpu, 'f', 2) : QString(), 10));
    };
    row(QStringLiteral("route/read rows"), m.read.wall, m.read.cpu.median());
    row(QStringLiteral("route/longest piece"), m.piece, std::nullopt);
    row(QStringLiteral("route/build graph"), m.build.wall, m.build.cpu.median());
    row(QStringLiteral("route/across"), m.route.wall, m.route.cpu.median());
    row(QStringLiteral("route/look-up by name"), m.lookUp.wall, m.lookUp.cpu.median());
    const route::RouteStation a = g.station(m.from), b = g.station(m.to);
    out(QStringLiteral("route across: %1 (%2) to %3 (%4), %5 km, %6 sections")
            .arg(a.name, a.code, b.name, b.code).arg(m.found ? m.found->km : 0, 0, 'f', 1).arg(m.found ? m.found->sections.size() : 0));
    out(QStringLiteral("memory: graph holds %1 MB; resident +%2 MB with the graph, peak +%3 MB while reading and building")
            .arg(static_cast<double>(g.memoryBytes()) / 1048576, 0, 'f', 1).arg(m.held, 0, 'f', 1).arg(m.peak, 0, 'f', 1));
    out(QStringLiteral("sections: %1 lengths estimated, %2 left out; median %3 km per map unit; %4 junctions")
            .arg(g.estimatedSections()).arg(g.droppedSections()).arg(g.kmPerMapUnit(), 0, 'f', 4).arg(g.junctionCount()));
    const QJsonObject all{{QStringLiteral("db"), dbPath},
                          {QStringLiteral("runs"), runs},
                          {QStringLiteral("stations"), static_cast<double>(g.stationCount())},
                          {QStringLiteral("read_rows"), m.read.toJson()},
                          {QStringLiteral("read_longest_piece"), json(m.piece)},
                          {QStringLiteral("build_graph"), m.build.toJson()},
                          {QStringLiteral("route_across"), m.route.toJson()},
                          {QStringLiteral("look_up"), m.lookUp.toJson()},
                          {QStringLiteral("route_km"), m.found ? m.found->km : 0},
                          {QStringLiteral("route_sections"), m.found ? static_cast<double>(m.found->sections.size()) : 0},
                          {QStringLiteral("graph_mb"), static_cast<double>(g.memoryBytes()) / 1048576},
                          {QStringLiteral("resident_mb"), m.held},
                          {QStringLiteral("peak_mb"), m.peak}};
    out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
}

} // namespace

int runRouteBench(const QString& dbPath, int runs)
{
    auto db = Database::open(dbPath);
    if (!db) {
        out(QStringLiteral("zdbench: ") + db.error().message());
        return 1;
    }
    Measured m;
    if (!measureBuild(**db, runs, m)) return 1;
    measureRoutes(runs, m);
    report(dbPath, runs, m);
    return m.found ? 0 : 1;
}

} // namespace zd::bench
