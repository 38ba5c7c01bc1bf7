#include "routewin/RouteOverlay.h"

#include "render/Canvas.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "routewin/RouteWinSql.h"

#include <algorithm>
#include <cmath>

namespace zd {

namespace {
constexpr double kMargin = 0.08;          // of the route's extent, on each side
constexpr double kMinExtent = 400;        // map units: a short route is shown with its surroundings
const Color kStopFill = rgb(255, 255, 255);
const Color kRouteCasing = rgb(255, 255, 255);
} // namespace

Expected<> RouteOverlay::setRoute(const Database& db, const route::Route& route)
{
    clear();
    RowSet lines;
    if (const QString sql = routeLinesSql(route); !sql.isEmpty()) {
        auto rows = db.query(sql);
        if (!rows) return rows.error();
        lines = std::move(*rows);
    }
    m_lines = std::move(lines);
    for (int i : route.stops) {
        const route::RouteStation& s = route.stations[static_cast<std::size_t>(i)];
        if (std::isfinite(s.x) && std::isfinite(s.y)) m_stops.push_back({toLong(s.x), toLong(s.y)});
    }
    return {};
}

void RouteOverlay::clear()
{
    m_lines = RowSet();
    m_stops.clear();
}

void RouteOverlay::draw(const MapState& st, Canvas& pic)
{
    drawLines(st, pic, m_lines);
    for (const Stop& s : m_stops) drawStop(st, pic, s.x, s.y);
}

void RouteOverlay::drawLines(const MapState& st, Canvas& pic, RowSet& lines)
{
    MapState own = st;
    own.mainPeregons = nullptr;   // no length labels over the route
    // A white casing first, so that the route stands out over the network's own lines.
    DrawPeregons(own, pic, lines, kRouteCasing, kRouteWidthPx + 4);
    DrawPeregons(own, pic, lines, kRouteColor, kRouteWidthPx);
}

void RouteOverlay::drawStop(const MapState& st, Canvas& pic, std::int32_t x, std::int32_t y)
{
    MapState own = st;
    const int savedWidth = pic.drawWidth(), savedFill = pic.fillStyle();
    const Color savedFillColor = pic.fillColor();
    pic.setDrawWidth(3);
    pic.setFillStyle(Canvas::FillSolid);
    pic.setFillColor(kStopFill);
    DrawStnSymbol(own, pic, x, y, kRouteStopSymbol, kRouteColor);
    pic.setFillColor(savedFillColor);
    pic.setFillStyle(savedFill);
    pic.setDrawWidth(savedWidth);
}

std::optional<Frame> routeFrame(const route::Route& route, const View& map, double freeWidth)
{
    double x1 = INFINITY, y1 = INFINITY, x2 = -INFINITY, y2 = -INFINITY;
    for (const route::RouteStation& s : route.stations) {
        if (!std::isfinite(s.x) || !std::isfinite(s.y)) continue;
        x1 = std::min(x1, double(s.x));
        x2 = std::max(x2, double(s.x));
        y1 = std::min(y1, double(s.y));
        y2 = std::max(y2, double(s.y));
    }
    if (x1 > x2) return std::nullopt;
    double w = std::max(x2 - x1, kMinExtent) * (1 + 2 * kMargin);
    double h = std::max(y2 - y1, kMinExtent) * (1 + 2 * kMargin);
    const double pw = std::clamp(freeWidth, 1.0, map.pixels.width()), ph = map.pixels.height();
    // Map units per pixel across over those down, as the map shows them now.
    const double shape = std::fabs(map.width / map.pixels.width()) / std::fabs(map.height / ph);
    if (std::isfinite(shape) && shape > 0) {
        if (w / pw > shape * h / ph) h = w / pw * ph / shape;
        else w = shape * h / ph * pw;
    }
    const double left = (x1 + x2) / 2 - w / 2, top = (y1 + y2) / 2 - h / 2;
    const double whole = w * map.pixels.width() / pw;   // the free part and what lies under the window
    return Frame{toLong(left), toLong(top), toLong(left + whole), toLong(top + h)};
}

} // namespace zd
