#pragma once
// Geometry of the station search: the frame of "Фрагмент", the preview zone that grows
// around the chosen station, and whether a window on the screen covers a map point.
#include "render/View.h"
#include "stnfind/FindQueries.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

namespace zd {

// The frame of "Фрагмент": a tenth of the scheme's extent on each side of (x, y) map units.
Frame fragFrame(double x, double y, const Frame& scheme);

// The zone of fraction f of the scheme's extent, centred on (x, y) map units.
Zone zoneAround(double x, double y, const Frame& scheme, float f);

struct ZoneSearch {
    Zone zone;
    int passes = 0;
};

// Grows the zone about (x, y) from 3 % of the scheme by 2 % per pass until
// countStations(zone) is more than 8, or five passes have run. countStations runs the
// zone's station query; the rows of its last call belong to the returned zone.
ZoneSearch growZone(double x, double y, const Frame& scheme, const std::function<int(const Zone&)>& countStations);

// Where a picture scaled to map units lies on the screen.
struct MapOnScreen {
    QPoint topLeft;   // screen pixels of the picture's top-left corner
    View view;        // its coordinate system over its size

    QPointF toMap(QPointF screen) const;
};

// Whether a window's screen rectangle (pixels) lies over the map point (x, y).
bool coversPoint(const QRect& window, const MapOnScreen& map, double x, double y);

// The left edge (screen pixels) a window that covers the chosen station moves to: the
// map's left edge when it stood right of the map's middle, else flush with its right edge.
int leftOffStation(const QRect& window, const MapOnScreen& map);

} // namespace zd
