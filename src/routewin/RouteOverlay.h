#pragma once
// A route on the map: its sections drawn by the map's own drawing routines in a colour and
// width of their own, over every other highlight, and its stops (start, via stations, end)
// marked. Knows nothing of windows.
#include "data/Database.h"
#include "render/MapState.h"
#include "route/Route.h"

#include <optional>
#include <vector>

namespace zd {

inline constexpr Color kRouteColor = rgb(220, 20, 60);
inline constexpr int kRouteWidthPx = 4;
inline constexpr std::int16_t kRouteStopSymbol = 7;   // a circle without the inner ring of a railway centre

class RouteOverlay {
public:
    // Takes the route's sections and stops; a failed query is returned and leaves it empty.
    Expected<> setRoute(const Database& db, const route::Route& route);
    void clear();
    bool empty() const { return m_stops.empty(); }

    // Draws the route over the picture. The frame's length labels and the state the names
    // are placed by stay as the render left them.
    void draw(const MapState& st, Canvas& pic);

    // The route's look: its lines (Stn1X … Stn2Y) on their casing, and a stop's mark at
    // (x, y), map units. The legend draws its symbols with them.
    static void drawLines(const MapState& st, Canvas& pic, RowSet& lines);
    static void drawStop(const MapState& st, Canvas& pic, std::int32_t x, std::int32_t y);

private:
    struct Stop { std::int32_t x, y; };
    RowSet m_lines;
    std::vector<Stop> m_stops;
};

// The frame that shows the whole route with a margin in the left freeWidth pixels of the
// map (the rest is under a tool window), shaped like the map's current one (the same map
// units per pixel across as down); nothing when no station has a position.
std::optional<Frame> routeFrame(const route::Route& route, const View& map, double freeWidth);

} // namespace zd
