#pragma once
// The arithmetic of the desk's ways of moving about the map: zooming about a point, panning
// by a part of the frame, the frame of a small picture of the whole scheme, the scale shown
// in the status bar, and whether a frame can be shown at all. No widgets.
#include "data/Database.h"
#include "render/View.h"

#include <QPointF>
#include <QString>
#include <optional>

namespace zd {

// A zoom step ("Ближе" when near, "Дальше" otherwise) with the extents of zoomFrame, placed
// so that the map point at `fraction` of the frame (0..1 from the left and the top) stays at
// that fraction. Refused, as zoomFrame refuses, at the smallest extent and the 32-bit range.
std::optional<Frame> zoomAbout(const Frame& f, bool near, QPointF fraction);

// The frame moved by quarters of its width (dx) and height (dy), e.g. (1, 0) a quarter to
// the right; refused when an edge would leave the 32-bit range.
std::optional<Frame> panFrame(const Frame& f, int dx, int dy);

// The same frame with its centre at (x, y) map units; refused like panFrame.
std::optional<Frame> centredAt(const Frame& f, double x, double y);

// The smallest frame holding the scheme with the aspect of a picture of `pixels`, the
// scheme centred in it, so that a small picture of the whole scheme is not stretched.
Frame letterboxed(const Frame& scheme, QSizeF pixels);

// Whether a frame shares any area with the scheme.
bool overlapsScheme(const Frame& f, const Frame& scheme);

// Kilometres that one centimetre of the screen shows at kadrScale twips per map unit.
double kmPerCm(double kmPerUnit, float kadrScale);

// "1 см ≈ 12 км": two significant digits below 100 km, whole kilometres above, with the
// Russian decimal comma and thousands separated.
QString scaleText(double kmPerCm);

// Whether the frame's two queries give rows under the marking mode and generalisation: a
// frame the renderer draws rather than falling back to the whole scheme.
Expected<bool> frameHasRows(const Database& db, const Frame& f, int rusMode, bool generalised);

// The network's kilometres per map unit over every section; nothing when it cannot be
// estimated (no section with a length and two distinct ends).
Expected<std::optional<double>> networkKmPerUnit(const Database& db);

} // namespace zd
