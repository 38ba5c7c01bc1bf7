#include "stnfind/FindZone.h"

#include "data/ZdTypes.h"
#include "identify/AnalGeom.h"

namespace zd {

namespace {
constexpr float kZoneStart = 0.03f;
constexpr float kZoneStep = 0.02f;
constexpr int kZonePasses = 5;
constexpr int kZoneEnough = 8;   // the zone must hold more stations than this
constexpr float kFragShare = 0.1f;

double spanX(const Frame& s) { return static_cast<double>(s.x2) - s.x1; }
double spanY(const Frame& s) { return static_cast<double>(s.y2) - s.y1; }
} // namespace

Frame fragFrame(double x, double y, const Frame& scheme)
{
    const std::int32_t hw = toLong(static_cast<double>(kFragShare) * spanX(scheme));
    const std::int32_t hh = toLong(static_cast<double>(kFragShare) * spanY(scheme));
    return Frame{toLong(x - hw), toLong(y - hh), toLong(x + hw), toLong(y + hh)};
}

Zone zoneAround(double x, double y, const Frame& scheme, float f)
{
    const std::int32_t dx = toLong(static_cast<double>(f) * spanX(scheme));
    const std::int32_t dy = toLong(static_cast<double>(f) * spanY(scheme));
    return Zone{toLong(x - dx / 2.0), toLong(y - dy / 2.0), toLong(x + dx / 2.0), toLong(y + dy / 2.0)};
}

ZoneSearch growZone(double x, double y, const Frame& scheme, const std::function<int(const Zone&)>& countStations)
{
    ZoneSearch s;
    float f = kZoneStart;
    for (s.passes = 1;; ++s.passes) {
        s.zone = zoneAround(x, y, scheme, f);
        const int count = countStations(s.zone);
        f = f + kZoneStep;
        if (count > kZoneEnough || s.passes == kZonePasses) break;
    }
    return s;
}

QPointF MapOnScreen::toMap(QPointF screen) const
{
    View v = view;   // a picture without a size is taken as one pixel
    v.pixels = v.pixels.expandedTo(QSizeF(1, 1));
    return v.toUser(screen - QPointF(topLeft));
}

bool coversPoint(const QRect& window, const MapOnScreen& map, double x, double y)
{
    // The window's outer edges: its right and bottom edges lie one pixel past the last one.
    const QPointF a = map.toMap(QPointF(window.left(), window.top()));
    const QPointF b = map.toMap(QPointF(window.left() + window.width(), window.top() + window.height()));
    const float margin = 0;
    return PointInRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(a.x()),
                       static_cast<float>(a.y()), static_cast<float>(b.x()), static_cast<float>(b.y()), margin)
        == 1;
}

int leftOffStation(const QRect& window, const MapOnScreen& map)
{
    const int mapLeft = map.topLeft.x();
    const int mapWidth = qRound(map.view.pixels.width());
    if (mapWidth / 2.0 < window.left() - mapLeft) return mapLeft;
    return mapLeft + mapWidth - window.width();
}

} // namespace zd
