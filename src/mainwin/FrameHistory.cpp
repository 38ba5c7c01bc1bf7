#include "mainwin/FrameHistory.h"

#include <cmath>
#include <limits>

namespace zd {

void FrameHistory::append(const Frame& f)
{
    m_frames.push_back(f);
    m_pos = count();
}

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
    const double dt = static_cast<double>(toLong(std::sqrt(widthTwips * widthTwips + heightTwips * heightTwips)));
    const double w = static_cast<double>(f.x2) - f.x1, h = static_cast<double>(f.y2) - f.y1;
    const double dm = static_cast<double>(toLong(std::sqrt(w * w + h * h)));
    return dm > 0 ? static_cast<float>(dt / dm) : 0.0f;
}

} // namespace zd
