#pragma once
// The view of a picture: what part of the map it shows, at what size in pixels and at what
// logical DPI, with the conversions between map units, pixels and twips (1/1440 inch).
// One value type for every window and the renderer.
#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <QTransform>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace zd {

// A frame in whole map units: left, top, right, bottom (top is the smaller Y).
struct Frame {
    std::int32_t x1 = 0, y1 = -1000, x2 = 84000, y2 = 36000;
    bool operator==(const Frame&) const = default;
};

// The frame of a rectangle given by two corners in any order (map units).
inline Frame frameOfCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return Frame{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// Logical dots per inch of a screen or a picture, on each axis: widths and horizontal
// positions convert with x, heights and vertical positions with y.
struct Dpi {
    double x = 96, y = 96;

    double twipsPerPixelX() const { return x > 0 ? 1440.0 / x : 15.0; }
    double twipsPerPixelY() const { return y > 0 ? 1440.0 / y : 15.0; }
    double twipsX(double pixels) const { return pixels * twipsPerPixelX(); }
    double twipsY(double pixels) const { return pixels * twipsPerPixelY(); }
    int pixelsX(double twips) const { return qRound(x > 0 ? twips * x / 1440.0 : twips / 15.0); }
    int pixelsY(double twips) const { return qRound(y > 0 ? twips * y / 1440.0 : twips / 15.0); }
    // A rectangle given in twips (left, top, width, height) in whole pixels: its edges are
    // rounded, so that rectangles that touch in twips touch in pixels.
    QRect pixelRect(double left, double top, double width, double height) const;
};

struct View {
    // The coordinate system: the user (map) point at the picture's top-left corner and the
    // extent shown, in user units. A negative height makes Y grow upward.
    double left = 0, top = 0, width = 1, height = 1;
    QSizeF pixels{1, 1};   // the picture's size in logical pixels
    Dpi dpi;

    static View ofFrame(const Frame& f, QSizeF pixels, Dpi dpi = {});

    QPointF toPixel(double x, double y) const
    {
        return QPointF((x - left) * pixels.width() / width, (y - top) * pixels.height() / height);
    }
    QPointF toUser(QPointF px) const
    {
        return QPointF(left + px.x() * width / pixels.width(), top + px.y() * height / pixels.height());
    }
    double pixelsPerUnitX() const { return pixels.width() / width; }
    double pixelsPerUnitY() const { return pixels.height() / height; }
    QTransform transform() const;   // user units to pixels

    double widthTwips() const { return dpi.twipsX(pixels.width()); }   // the picture's outer size
    double heightTwips() const { return dpi.twipsY(pixels.height()); }
    // Twips per user unit along the diagonal: the picture's diagonal in twips over the
    // diagonal of the coordinate system, both rounded to whole numbers first (KadrScale).
    float kadrScale() const;
};

// The smallest width and height of a frame the map shows, in map units.
inline constexpr std::int32_t kMinFrameExtent = 16;

// Zooms about the frame's centre: in halves both extents, out doubles them. A zoom that
// would make an extent smaller than kMinFrameExtent or leave the 32-bit range is refused.
std::optional<Frame> zoomFrame(const Frame& f, bool near);

// True when both extents are at least kMinFrameExtent map units.
bool frameLargeEnough(const Frame& f);

// Twips per map unit of a picture of the given outer size showing the frame (see kadrScale).
float kadrScaleFor(double widthTwips, double heightTwips, const Frame& f);

// Below this many twips per map unit a generalised frame shows only the major and
// branching stations.
inline constexpr float kGenScale = 0.3f;

} // namespace zd
