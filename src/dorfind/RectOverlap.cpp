#include "dorfind/RectOverlap.h"

#include <algorithm>

namespace zd {

std::int16_t RectOverlap(float ax1, float ay1, float ax2, float ay2, float bx1, float by1, float bx2, float by2)
{
    const float minX = std::min(ax1, ax2), maxX = std::max(ax1, ax2);
    const float minY = std::min(ay1, ay2), maxY = std::max(ay1, ay2);
    const bool apart = minX > bx2 || minY > by2 || bx1 > maxX || by1 > maxY;
    return apart ? 0 : 1;
}

} // namespace zd
