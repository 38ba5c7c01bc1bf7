// Routes on the demo network, checked against a plain Dijkstra over its sections.
#include "RouteTestNet.h"

#include "route/RouteNetwork.h"
#include "route/RouteRequest.h"

#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <queue>
#include <random>

using namespace zd;
using namespace zd::route;
using namespace zdtest;

namespace {

class DemoRoutes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto db = Database::open(QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb"));
        ASSERT_TRUE(db.ok());
        s_db = *db;
        auto g = RouteNetwork(s_db).graph();
        ASSERT_TRUE(g.ok());
        s_graph = *g;
    }
    static RouteAnswer find(const char* from, const char* to, RouteOptions o = {})
    {
        return findRoute(*s_graph, {QString::fromUtf8(from), QString::fromUtf8(to), {}, o});
    }
    static inline std::shared_ptr<Database> s_db;
    static inline std::shared_ptr<const RouteGraph> s_graph;
};

// Kilometres by a textbook Dijkstra over every row of Peregon, by station code.
class Reference {
public:
    Reference(const Database& db, bool electricOnly)
    {
        auto rs = db.query(QStringLiteral("SELECT KodStn1, KodStn2, LenPer, EL FROM Peregon"));
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            const int el = static_cast<int>(rs->numberAt(r, 3));
            const int a = node(rs->textAt(r, 0)), b = node(rs->textAt(r, 1));
            if (electricOnly && el != 3 && el != 4) continue;
            m_edges[a].push_back({b, rs->numberAt(r, 2)});
            m_edges[b].push_back({a, rs->numberAt(r, 2)});
        }
    }
    double km(const QString& from, const QString& to) const
    {
        std::vector<double> dist(m_edges.size(), INFINITY);
        using Item = std::pair<double, int>;
        std::priority_queue<Item, std::vector<Item>, std::greater<Item>> q;
        q.push({dist[m_index.value(from)] = 0, m_index.value(from)});
        while (!q.empty()) {
            const auto [d, u] = q.top();
            q.pop();
            if (d > dist[u]) continue;
            for (const auto& [v, w] : m_edges[u])
                if (d + w < dist[v]) q.push({dist[v] = d + w, v});
        }
        return dist[m_index.value(to)];
    }

private:
    int node(const QString& code)
    {
        if (!m_index.contains(code)) {
            m_index.insert(code, static_cast<int>(m_edges.size()));
            m_edges.emplace_back();
        }
        return m_index.value(code);
    }
    QHash<QString, int> m_index;
    std::vector<std::vector<std::pair<int, double>>> m_edges;
};

TEST_F(DemoRoutes, MoscowToVladivostokJoinsEndToEndAndAddsUp)
{
    const RouteAnswer a = find("Москва", "Владивосток");
    ASSERT_EQ(a.status, RouteAnswer::Found) << a.message.toStdString();
    const Route& r = a.route;
    expectJoined(r);
    EXPECT_EQ(r.stations.front().name, QStringLiteral("Москва"));
    EXPECT_EQ(r.stations.back().name, QStringLiteral("Владивосток"));
    EXPECT_GT(r.km, 8000);   // about 9,300 km by rail; the demo's lengths are approximate
    EXPECT_LT(r.km, 10000);
    for (const auto* list : {&r.byRailway, &r.byTraction, &r.byTracks}) {
        double km = 0;
        int sections = 0;
        for (const Subtotal& t : *list) km += t.km, sections += t.sections;
        EXPECT_NEAR(km, r.km, 1e-6);
        EXPECT_EQ(sections, static_cast<int>(r.sections.size()));
    }
    EXPECT_GT(r.byRailway.size(), 5u);
}

TEST_F(DemoRoutes, SakhalinHasNoRouteToTheMainland)
{
    EXPECT_EQ(find("Холмск", "Южно-Сахалинск").status, RouteAnswer::Found);
    const RouteAnswer a = find("Южно-Сахалинск", "Москва");
    EXPECT_EQ(a.status, RouteAnswer::NoPath);
    EXPECT_EQ(a.message, QStringLiteral("Между станциями Южно-Сахалинск и Москва нет пути по сети"));
}

TEST_F(DemoRoutes, RussiaOnlyKeepsToRussianRailways)
{
    auto rs = s_db->query(QStringLiteral("SELECT KodDor FROM Doroga WHERE KodContry = '11'"));
    ASSERT_TRUE(rs.ok());
    QStringList russian;
    for (int r = 0; r < rs->recordCount(); ++r) russian << rs->textAt(r, 0);
    auto foreignSections = [&](const Route& r) {
        return std::count_if(r.sections.begin(), r.sections.end(), [&](const RouteSection& s) { return !russian.contains(s.railwayCode); });
    };
    const RouteAnswer all = find("Москва", "Калининград");
    ASSERT_EQ(all.status, RouteAnswer::Found);
    EXPECT_GT(foreignSections(all.route), 0);
    EXPECT_EQ(find("Москва", "Калининград", {false, true}).status, RouteAnswer::NoPath);
    const RouteAnswer east = find("Москва", "Владивосток", {false, true});
    ASSERT_EQ(east.status, RouteAnswer::Found);
    EXPECT_EQ(foreignSections(east.route), 0);
}

// Routes between random stations, all sections and electrified ones only, have the
// reference's kilometres and exist where it finds a way.
void expectReferenceKm(const Database& db, const RouteGraph& g, int pairs)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::uint32_t> pick(0, g.stationCount() - 1);
    for (bool electric : {false, true}) {
        const Reference ref(db, electric);
        for (int i = 0; i < pairs; ++i) {
            const std::uint32_t a = pick(rng), b = pick(rng);
            const QString from = g.station(a).code, to = g.station(b).code;
            const auto r = g.shortest({a, b}, {electric, false});
            const double expected = ref.km(from, to);
            SCOPED_TRACE((from + u' ' + to).toStdString() + (electric ? " electric" : ""));
            ASSERT_EQ(r.has_value(), std::isfinite(expected));
            if (!r) continue;
            EXPECT_NEAR(r->km, expected, 1e-6);
            expectJoined(*r);
            for (const RouteSection& s : r->sections) EXPECT_TRUE(!electric || s.traction == 3 || s.traction == 4);
        }
    }
}

TEST_F(DemoRoutes, SameKilometresAsAPlainDijkstra) { expectReferenceKm(*s_db, *s_graph, 100); }

// A generated network: a grid of lines whose traction changes from section to section,
// so that electric-only routes start, end and turn inside broken chains.
TEST(GeneratedRoutes, SameKilometresAsAPlainDijkstra)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gen.db"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(ZD_BUILD_DIR "/zdgen"),
                                {QStringLiteral("--stations"), QStringLiteral("3000"), QStringLiteral("--seed"), QStringLiteral("5"),
                                 QStringLiteral("--out"), path}),
              0);
    auto db = Database::open(path);
    ASSERT_TRUE(db.ok());
    auto g = RouteNetwork(*db).graph();
    ASSERT_TRUE(g.ok());
    EXPECT_LT((*g)->junctionCount(), (*g)->stationCount() / 4);
    expectReferenceKm(**db, **g, 60);
}

TEST_F(DemoRoutes, ReadInPiecesGivesTheSameGraph)
{
    RouteNetwork network(s_db);
    int pieces = 0;
    for (;;) {
        auto more = network.readSome(500);
        ASSERT_TRUE(more.ok());
        ++pieces;
        if (!*more) break;
    }
    EXPECT_GT(pieces, 20);   // 6,508 stations and 6,637 sections in pieces of 500 rows
    auto g = network.graph();
    ASSERT_TRUE(g.ok());
    EXPECT_TRUE(network.ready());
    EXPECT_EQ((*g)->stationCount(), s_graph->stationCount());
    const RouteAnswer a = findRoute(**g, {QStringLiteral("Москва"), QStringLiteral("Владивосток"), {}, {}});
    ASSERT_EQ(a.status, RouteAnswer::Found);
    EXPECT_EQ(a.route.km, find("Москва", "Владивосток").route.km);
}

} // namespace
