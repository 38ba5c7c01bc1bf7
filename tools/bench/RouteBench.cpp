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

} // namespace

int runRouteBench(const QString& dbPath, int runs)
{
    auto db = Database::open(dbPath);
    if (!db) {
        out(QStringLiteral("zdbench: ") + db.error().message());
        return 1;
    }
    Samples read, piece, build, route, lookUp;   // piece: the longest piece of reading in each run
    std::shared_ptr<const RouteGraph> graph;
    double before = 0, peak = 0, held = 0;
    for (int r = 0; r < runs; ++r) {
        graph.reset();
        const bool first = r == 0 && resetPeakMemory();
        if (r == 0) before = residentMemoryMb();
        QElapsedTimer t;
        t.start();
        route::NetworkReader reader(**db);
        double longest = 0;
        for (bool more = true; more;) {
            QElapsedTimer p;
            p.start();
            auto next = reader.readSome();
            if (!next) {
                out(QStringLiteral("zdbench: ") + next.error().message());
                return 1;
            }
            more = *next;
            longest = std::max(longest, msSince(p));
        }
        read.add(msSince(t));
        piece.add(longest);
        t.restart();
        graph = RouteGraph::build(reader.take());
        build.add(msSince(t));
        if (first) peak = peakMemoryMb() - before;
        if (r == 0) held = residentMemoryMb() - before;
    }
    const auto [from, to] = longestRoute(*graph);
    std::optional<route::Route> found;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        found = graph->shortest({from, to}, {});
        route.add(msSince(t));
    }
    const route::RouteStation a = graph->station(from), b = graph->station(to);
    for (int r = 0; r < runs; ++r) {   // a name, as a window's field gives it
        QElapsedTimer t;
        t.start();
        graph->find(b.name);
        lookUp.add(msSince(t));
    }
    out(QStringLiteral("zdbench --route: %1, %2 stations, %3 runs").arg(QFileInfo(dbPath).fileName()).arg(graph->stationCount()).arg(runs));
    out(QStringLiteral("%1%2%3%4").arg(QStringLiteral("figure"), -22).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10));
    auto row = [](const QString& name, const Samples& s) {
        out(QStringLiteral("%1%2%3%4").arg(name, -22).arg(s.median(), 10, 'f', 2).arg(s.min(), 10, 'f', 2).arg(s.max(), 10, 'f', 2));
    };
    row(QStringLiteral("route/read rows"), read);
    row(QStringLiteral("route/longest piece"), piece);
    row(QStringLiteral("route/build graph"), build);
    row(QStringLiteral("route/across"), route);
    row(QStringLiteral("route/look-up by name"), lookUp);
    out(QStringLiteral("route across: %1 (%2) to %3 (%4), %5 km, %6 sections")
            .arg(a.name, a.code, b.name, b.code).arg(found ? found->km : 0, 0, 'f', 1).arg(found ? found->sections.size() : 0));
    out(QStringLiteral("memory: graph holds %1 MB; resident +%2 MB with the graph, peak +%3 MB while reading and building")
            .arg(static_cast<double>(graph->memoryBytes()) / 1048576, 0, 'f', 1).arg(held, 0, 'f', 1).arg(peak, 0, 'f', 1));
    out(QStringLiteral("sections: %1 lengths estimated, %2 left out; median %3 km per map unit; %4 junctions")
            .arg(graph->estimatedSections()).arg(graph->droppedSections()).arg(graph->kmPerMapUnit(), 0, 'f', 4)
            .arg(graph->junctionCount()));
    const QJsonObject all{{QStringLiteral("db"), dbPath},
                          {QStringLiteral("runs"), runs},
                          {QStringLiteral("stations"), static_cast<double>(graph->stationCount())},
                          {QStringLiteral("read_rows"), json(read)},
                          {QStringLiteral("read_longest_piece"), json(piece)},
                          {QStringLiteral("build_graph"), json(build)},
                          {QStringLiteral("route_across"), json(route)},
                          {QStringLiteral("look_up"), json(lookUp)},
                          {QStringLiteral("route_km"), found ? found->km : 0},
                          {QStringLiteral("route_sections"), found ? static_cast<double>(found->sections.size()) : 0},
                          {QStringLiteral("graph_mb"), static_cast<double>(graph->memoryBytes()) / 1048576},
                          {QStringLiteral("resident_mb"), held},
                          {QStringLiteral("peak_mb"), peak}};
    out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
    return found ? 0 : 1;
}

} // namespace zd::bench
