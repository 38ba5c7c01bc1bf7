// The route engine on every damaged network: the graph builds, and every route between
// its stations joins up, with lengths that are numbers and writers that write them.
#include "HostileDb.h"
#include "TestDb.h"

#include "route/RouteFormat.h"
#include "route/RouteNetwork.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

class HostileRoute : public ::testing::TestWithParam<hostile::Case> {};

TEST_P(HostileRoute, EveryRouteJoinsUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), GetParam().sql));
    auto db = zd::Database::open(dir.filePath("ZdShort.mdb"));
    if (!db) GTEST_SKIP() << "not a usable database: " << db.error().message().toStdString();
    auto g = zd::route::RouteNetwork(*db).graph();
    ASSERT_TRUE(g.ok()) << g.error().message().toStdString();
    const zd::route::RouteGraph& graph = **g;
    const std::uint32_t n = std::min<std::uint32_t>(graph.stationCount(), 12);
    for (std::uint32_t a = 0; a < n; ++a)
        for (std::uint32_t b = 0; b < n; ++b)
            for (const zd::route::RouteOptions o : {zd::route::RouteOptions{}, zd::route::RouteOptions{true, true}}) {
                const auto r = graph.shortest({a, b}, o);
                if (!r) continue;
                ASSERT_EQ(r->stations.size(), r->sections.size() + 1);
                for (std::size_t i = 0; i < r->sections.size(); ++i) {
                    EXPECT_EQ(r->sections[i].fromCode, r->stations[i].code);
                    EXPECT_EQ(r->sections[i].toCode, r->stations[i + 1].code);
                    EXPECT_TRUE(std::isfinite(r->sections[i].km) && r->sections[i].km >= 0) << r->sections[i].km;
                }
                EXPECT_FALSE(QJsonDocument::fromJson(zd::route::routeJson(*r)).isNull());
                EXPECT_FALSE(zd::route::routeText(*r).isEmpty());
            }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileRoute, ::testing::ValuesIn(hostile::allCases()),
                         [](const ::testing::TestParamInfo<hostile::Case>& i) { return i.param.name; });

} // namespace
