#pragma once
// Rectangle tests of the railway search window.
#include <cstdint>

namespace zd {

// 1 when rectangle A (two corners in any order) and rectangle B (left, top, right, bottom,
// left <= right and top <= bottom) overlap or touch, 0 when they are apart.
std::int16_t RectOverlap(float ax1, float ay1, float ax2, float ay2, float bx1, float by1, float bx2, float by2);

} // namespace zd
