// The frame "Показать на схеме" shows: the whole route with a margin, in the part of the map
// that no tool window covers, shaped as the map is drawn now.
#include "routewin/RouteOverlay.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace zd;

namespace {

route::Route through(std::initializer_list<QPointF> points)
{
    route::Route r;
    for (QPointF p : points) r.stations.push_back({QString(), QString(), float(p.x()), float(p.y()), 5});
    return r;
}

// Map units per pixel across over those down.
double shapeOf(const Frame& f, QSizeF pixels) { return (f.x2 - f.x1) / pixels.width() / ((f.y2 - f.y1) / pixels.height()); }

} // namespace

TEST(RouteFrame, HoldsTheRouteInTheFreePartShapedLikeTheMap)
{
    const View wholeScheme = View::ofFrame(Frame{}, QSizeF(1600, 800));
    const View squareUnits = View::ofFrame(Frame{0, 0, 16000, 8000}, QSizeF(1600, 800));
    const struct {
        const char* name;
        route::Route route;
        View map;
        double free;
    } cases[] = {
        {"wide, whole map", through({{10000, 10000}, {70000, 12000}}), wholeScheme, 1600},
        {"tall, whole map", through({{30000, 0}, {31000, 30000}}), wholeScheme, 1600},
        {"wide, window over the right half", through({{10000, 10000}, {70000, 12000}}), squareUnits, 800},
        {"one station", through({{5000, 5000}}), squareUnits, 1600},
        {"a station without position left out", through({{5000, 5000}, {NAN, NAN}, {9000, 6000}}), squareUnits, 1200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Frame> f = routeFrame(c.route, c.map, c.free);
        ASSERT_TRUE(f.has_value());
        EXPECT_NEAR(shapeOf(*f, c.map.pixels), c.map.width / c.map.pixels.width() / (c.map.height / c.map.pixels.height()), 0.01);
        // Every station inside the free part, clear of its edges; the route fills it on one axis.
        const double freeRight = f->x1 + (f->x2 - f->x1) * c.free / c.map.pixels.width();
        double spanX = 0, spanY = 0;
        for (const route::RouteStation& s : c.route.stations) {
            if (std::isnan(s.x)) continue;
            EXPECT_GT(s.x, f->x1);
            EXPECT_LT(s.x, freeRight);
            EXPECT_GT(s.y, f->y1);
            EXPECT_LT(s.y, f->y2);
            spanX = std::max(spanX, std::fabs(double(s.x) - c.route.stations.front().x));
            spanY = std::max(spanY, std::fabs(double(s.y) - c.route.stations.front().y));
        }
        const double fill = std::max(spanX / (freeRight - f->x1), spanY / double(f->y2 - f->y1));
        if (spanX + spanY > 0) {
            EXPECT_GT(fill, 0.75);
        }
    }
    EXPECT_FALSE(routeFrame(through({{NAN, NAN}}), wholeScheme, 1600).has_value());
}
