// Shortest routes on small networks of the tests' own, one named row per case.
#include "RouteTestNet.h"

#include "route/RouteGraph.h"

#include <gtest/gtest.h>

using namespace zd::route;
using namespace zdtest;

namespace {

struct PathCase {
    const char* name;
    std::vector<NetStation> stations;
    std::vector<NetSection> sections;
    std::vector<const char*> stops;   // codes: from, via…, to
    RouteOptions options;
    const char* path;                 // the station codes of the route; nullptr: no route
    double km = 0;
    int estimated = 0;
};

// A line of stations 100 map units apart.
std::vector<NetStation> line(std::initializer_list<const char*> codes)
{
    std::vector<NetStation> out;
    int x = 0;
    for (const char* c : codes) out.push_back({c, x += 100, 0});
    return out;
}

const RouteOptions kElectric{true, false};
const RouteOptions kRussia{false, true};

const PathCase kCases[] = {
    {"FewerKilometresBeatFewerSections",
     line({"A", "B", "C", "D", "E", "F", "G"}),
     {{"A", "B", "10"}, {"B", "D", "10"}, {"A", "C", "5"}, {"C", "D", "30"},
      {"A", "E", "3"}, {"E", "F", "3"}, {"F", "G", "3"}, {"G", "D", "3"}},
     {"A", "D"}, {}, "A E F G D", 12},
    {"DisconnectedPair", line({"A", "B", "C", "D"}), {{"A", "B", "10"}, {"C", "D", "10"}}, {"A", "D"}, {}, nullptr},
    {"ViaStationTakenInOrder",
     line({"A", "B", "C"}), {{"A", "B", "10"}, {"B", "C", "10"}, {"A", "C", "15"}},
     {"A", "C", "B"}, {}, "A C B", 25},
    {"ViaStationThereAndBack",
     line({"A", "B", "C"}), {{"A", "B", "10"}, {"B", "C", "7"}},
     {"A", "C", "A"}, {}, "A B C B A", 34},
    {"ShortestOfParallelAndDuplicateSections",
     line({"A", "B", "C"}), {{"A", "B", "50"}, {"A", "B", "30"}, {"B", "A", "30"}, {"B", "C", "5"}},
     {"A", "C"}, {}, "A B C", 35},
    {"EndMissingFromStnStillJoins",
     {{"A", 0, 0}, {"M", 100, 0, false}, {"B", 200, 0}}, {{"A", "M", "10"}, {"M", "B", "10"}, {"A", "B", "25"}},
     {"A", "B"}, {}, "A M B", 20},
    {"NullTextAndNegativeLengthsEstimatedFromTheMap",
     line({"A", "B", "C", "D", "E", "F"}),
     {{"A", "B", "10"}, {"B", "C", "NULL"}, {"C", "D", "'abc'"}, {"D", "E", "-5"}, {"E", "F", "10"}},
     {"A", "F"}, {}, "A B C D E F", 50, 3},
    {"EstimateMakesALongerWayLose",
     {{"A", 0, 0}, {"B", 100, 0}, {"C", 50, 1000}},
     {{"A", "B", "10"}, {"A", "C", "NULL"}, {"C", "B", "NULL"}},
     {"A", "B"}, {}, "A B", 10},
    {"ElectricOnlyTakesTheLongerElectrifiedWay",
     line({"A", "B", "C"}), {{"A", "B", "10", 2}, {"A", "C", "8", 3}, {"C", "B", "8", 4}},
     {"A", "B"}, kElectric, "A C B", 16},
    {"WithoutOptionsTheDieselWayIsShorter",
     line({"A", "B", "C"}), {{"A", "B", "10", 2}, {"A", "C", "8", 3}, {"C", "B", "8", 4}},
     {"A", "B"}, {}, "A B", 10},
    {"ElectricOnlyCutsTheWay",
     line({"A", "B", "C", "D"}), {{"A", "B", "10", 3}, {"B", "C", "10", 2}, {"C", "D", "10", 4}},
     {"A", "D"}, kElectric, nullptr},
    {"TractionOneIsNotElectrified", line({"A", "B"}), {{"A", "B", "10", 1}}, {"A", "B"}, kElectric, nullptr},
    {"RussiaOnlyCutsTheWay",
     line({"A", "B", "C"}), {{"A", "B", "10"}, {"B", "C", "10", 3, "2"}},
     {"A", "C"}, kRussia, nullptr},
    {"RussiaOnlyGoesAround",
     line({"A", "B", "C"}), {{"A", "B", "10", 3, "2"}, {"A", "C", "20"}, {"C", "B", "20"}},
     {"A", "B"}, kRussia, "A C B", 40},
    {"RailwayMissingFromDorogaIsNotRussia",
     line({"A", "B"}), {{"A", "B", "10", 3, "9"}}, {"A", "B"}, kRussia, nullptr},
    {"RailwayMissingFromDorogaStillCarries",
     line({"A", "B"}), {{"A", "B", "10", 3, "9"}}, {"A", "B"}, {}, "A B", 10},
    {"BothInsideOneChainAlongIt",
     line({"J", "A", "B", "C", "K"}), {{"J", "A", "1"}, {"A", "B", "2"}, {"B", "C", "3"}, {"C", "K", "4"}},
     {"C", "A"}, {}, "C B A", 5},
    {"InsideOneChainTheOtherWayRoundIsShorter",
     line({"J", "A", "B", "C", "K"}),
     {{"J", "A", "1"}, {"A", "B", "50"}, {"B", "C", "1"}, {"C", "K", "1"}, {"J", "K", "1"}},
     {"A", "B"}, {}, "A J K C B", 4},
    {"InsideOneChainPastACutSection",
     line({"J", "A", "B", "C", "K"}),
     {{"J", "A", "1"}, {"A", "B", "5", 2}, {"B", "C", "1"}, {"C", "K", "1"}, {"J", "K", "9"}},
     {"A", "C"}, kElectric, "A J K C", 11},
    {"RingWithoutJunctions",
     line({"A", "B", "C", "D"}), {{"A", "B", "1"}, {"B", "C", "1"}, {"C", "D", "5"}, {"D", "A", "1"}},
     {"B", "D"}, {}, "B A D", 2},
    {"LoopBackToItsJunction",
     line({"K", "J", "X", "Y"}), {{"K", "J", "4"}, {"J", "X", "1"}, {"X", "Y", "1"}, {"Y", "J", "1"}},
     {"Y", "K"}, {}, "Y J K", 5},
    {"ZeroLengthIsEstimatedNotFree",
     line({"A", "B", "C", "D"}), {{"A", "B", "10"}, {"B", "C", "0"}, {"C", "D", "10"}, {"A", "D", "25"}},
     {"A", "D"}, {}, "A D", 25},
    {"SelfLoopAndEmptyCodeIgnored",
     {{"A", 0, 0}, {"B", 100, 0}, {"", 50, 50, false}}, {{"A", "A", "1"}, {"A", "", "1"}, {"A", "B", "7"}}, {"A", "B"}, {}, "A B", 7},
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class ShortestRoute : public ::testing::TestWithParam<PathCase> {};

TEST_P(ShortestRoute, FindsTheExpectedWay)
{
    const PathCase& c = GetParam();
    auto g = routeGraph(networkSql(c.stations, c.sections));
    ASSERT_TRUE(g);
    std::vector<std::uint32_t> stops;
    for (const char* code : c.stops) {
        const auto found = g->find(QString::fromLatin1(code));
        ASSERT_EQ(found.size(), 1u) << code;
        stops.push_back(found.front());
    }
    std::size_t blocked = 99;
    const auto r = g->shortest(stops, c.options, &blocked);
    if (!c.path) {
        EXPECT_FALSE(r) << stationCodes(*r).toStdString();
        EXPECT_LT(blocked, stops.size() - 1);
        return;
    }
    ASSERT_TRUE(r);
    EXPECT_EQ(stationCodes(*r).toStdString(), c.path);
    EXPECT_NEAR(r->km, c.km, 1e-9);
    EXPECT_EQ(r->estimated, c.estimated);
    expectJoined(*r);
}

INSTANTIATE_TEST_SUITE_P(SmallNetworks, ShortestRoute, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RouteGraph, MissingEndIsKnownByCodeAtTheSectionsEnd)
{
    auto g = routeGraph(networkSql({{"A", 0, 0}, {"M", 300, 40, false}}, {{"A", "M", "10"}}));
    ASSERT_TRUE(g);
    const auto m = g->find(QStringLiteral("M"));
    ASSERT_EQ(m.size(), 1u);
    const RouteStation s = g->station(m.front());
    EXPECT_TRUE(s.name.isEmpty());
    EXPECT_EQ(s.x, 300);
    EXPECT_EQ(s.y, 40);
    EXPECT_EQ(stationLabel(s.name, s.code), QStringLiteral("код M"));
}

TEST(RouteGraph, SectionsTravelledBackwardsHaveTheirEndsSwapped)
{
    auto g = routeGraph(networkSql({{"A", 10, 20}, {"B", 30, 40}, {"C", 50, 60}}, {{"B", "A", "1"}, {"C", "B", "1", 2, "2", 1}}));
    const auto r = g->shortest({g->find(QStringLiteral("A")).front(), g->find(QStringLiteral("C")).front()}, {});
    ASSERT_TRUE(r);
    ASSERT_EQ(r->sections.size(), 2u);
    const RouteSection& s = r->sections[1];
    EXPECT_EQ(s.fromCode, QStringLiteral("B"));
    EXPECT_EQ(s.fromName, QStringLiteral("Станция B"));
    EXPECT_EQ(s.toCode, QStringLiteral("C"));
    EXPECT_EQ(std::vector<float>({s.x1, s.y1, s.x2, s.y2}), std::vector<float>({30, 40, 50, 60}));
    EXPECT_EQ(s.tracks, 1);
    EXPECT_EQ(s.traction, 2);
    EXPECT_EQ(s.railwayName, QStringLiteral("Белорусская"));
    expectJoined(*r);
}

TEST(RouteGraph, LookUpByExactNameOrCode)
{
    auto g = routeGraph(networkSql({{"10", 0, 0, true, "Узловая"}, {"11", 1, 0, true, "Узловая"}, {"12", 2, 0, true, "Тихая"},
                                    {"13", 3, 0, true, "12"}},
                                   {{"10", "11", "1"}}) +
                        QStringLiteral("INSERT INTO Stn VALUES('12','Дубль',0,0,'1',5,0);"));
    ASSERT_TRUE(g);
    auto codes = [&](const char* text) {
        QStringList out;
        for (std::uint32_t v : g->find(QString::fromUtf8(text))) out << g->station(v).code;
        return out.join(u',').toStdString();
    };
    EXPECT_EQ(codes("Тихая"), "12");
    EXPECT_EQ(codes("  Тихая "), "12");
    EXPECT_EQ(codes("11"), "11");
    EXPECT_EQ(codes("Узловая"), "10,11");
    EXPECT_EQ(codes("12"), "12,13");   // a code and another station's name
    EXPECT_EQ(codes("тихая"), "");
    EXPECT_EQ(codes("Дубль"), "");     // a second row of code 12: the first row holds
    EXPECT_EQ(codes(""), "");
}

} // namespace
