#include "render/View.h"

#include "data/ZdTypes.h"

#include <cmath>
#include <limits>

namespace zd {

namespace {
double diagonal(double w, double h) { return static_cast<double>(toLong(std::sqrt(w * w + h * h))); }

float scaleOf(double widthTwips, double heightTwips, double widthUnits, double heightUnits)
{
    const double dm = diagonal(widthUnits, heightUnits);
    return dm > 0 ? static_cast<float>(diagonal(widthTwips, heightTwips) / dm) : 0.0f;
}
} // namespace

QRect Dpi::pixelRect(double left, double top, double width, double height) const
{
    const int x = pixelsX(left), y = pixelsY(top);
    return QRect(x, y, pixelsX(left + width) - x, pixelsY(top + height) - y);
}

View View::ofFrame(const Frame& f, QSizeF pixels, Dpi dpi)
{
    return View{double(f.x1), double(f.y1), double(f.x2) - f.x1, double(f.y2) - f.y1, pixels, dpi};
}

QTransform View::transform() const
{
    const double sx = pixelsPerUnitX(), sy = pixelsPerUnitY();
    return QTransform(sx, 0, 0, sy, -left * sx, -top * sy);
}

float View::kadrScale() const { return scaleOf(widthTwips(), heightTwips(), width, height); }

std::optional<Frame> zoomFrame(const Frame& f, bool near)
{
    const double w = static_cast<double>(f.x2) - f.x1, h = static_cast<double>(f.y2) - f.y1;
    const std::int64_t cx = toLong(f.x1 + w / 2), cy = toLong(f.y1 + h / 2);
    const std::int64_t hw = near ? toLong(w / 4) : static_cast<std::int64_t>(w);
    const std::int64_t hh = near ? toLong(h / 4) : static_cast<std::int64_t>(h);
    const std::int64_t x1 = cx - hw, x2 = cx + hw, y1 = cy - hh, y2 = cy + hh;
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    if (x2 - x1 < kMinFrameExtent || y2 - y1 < kMinFrameExtent) return std::nullopt;
    if (x1 < lo || y1 < lo || x2 > hi || y2 > hi) return std::nullopt;
    return Frame{static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1),
                 static_cast<std::int32_t>(x2), static_cast<std::int32_t>(y2)};
}

bool frameLargeEnough(const Frame& f)
{
    return std::int64_t(f.x2) - f.x1 >= kMinFrameExtent && std::int64_t(f.y2) - f.y1 >= kMinFrameExtent;
}

float kadrScaleFor(double widthTwips, double heightTwips, const Frame& f)
{
    return scaleOf(widthTwips, heightTwips, double(f.x2) - f.x1, double(f.y2) - f.y1);
}

} // namespace zd
