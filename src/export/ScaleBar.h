#pragma once
// The scale bar of an exported or printed map: a round length in kilometres and its bar,
// from the network's own kilometres per map unit (render/KmScale.h).
#include <QPointF>
#include <QString>
#include <optional>

class QPainter;

namespace zd {

class Database;
class RowSet;

struct ScaleBar {
    double km = 0;       // 1, 2 or 5 × 10^n
    double pixels = 0;   // the bar's length on the picture
    QString label() const;
};

// The longest round length whose bar is at most maxPixels long, with kmPerUnit kilometres per
// map unit and pixelsPerUnit pixels per map unit along X; nothing when either is not positive.
std::optional<ScaleBar> roundScaleBar(double kmPerUnit, double pixelsPerUnit, double maxPixels);

// Kilometres per map unit of the frame's sections, or of the whole network's when the frame
// holds fewer than kMinFrameSections with a length; nothing when no section has a length.
inline constexpr int kMinFrameSections = 10;
std::optional<double> frameKmPerUnit(const RowSet& frameSections, const Database& db);

// Why there is no bar: the network has no section with a length.
inline const QString kNoScaleReason =
    QStringLiteral("Масштабная линейка не строится: в сети нет перегонов с известной длиной");

// Draws the bar with its ticks and label, its left end at bottomLeft (device pixels) on a
// white ground.
void drawScaleBar(QPainter& p, QPointF bottomLeft, const ScaleBar& bar);

} // namespace zd
