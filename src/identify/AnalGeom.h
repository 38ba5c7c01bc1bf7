#pragma once
// Plane geometry of the hit tests, in map units: a point in a rectangle with a margin, the
// line through two points, the distance from a line, a point near a straight section.
// Values said to be stored are rounded to 32-bit floats; yes/no results are 1 or 0.
#include <cstdint>

namespace zd {

// 1 when (px, py) lies in the rectangle of corners (x1, y1), (x2, y2), edges included.
// The margin moves the first corner down and the second up before the bounds are ordered,
// so a positive margin widens the rectangle only when the first corner is the smaller one.
std::int16_t PointInRect(float px, float py, float x1, float y1, float x2, float y2,
                         const float& margin);

// Coefficients of a·x + b·y + c = 0 through (x1, y1) and (x2, y2).
void LineCoef(float x1, float y1, float x2, float y2, float& a, float& b, float& c);

// Distance of (px, py) from the infinite line through the two points. When the two points
// coincide there is no line: the distance from that point is returned instead.
float DistToLine(float px, float py, float x1, float y1, float x2, float y2);

// 1 when (px, py) lies within tol of the line through the section and inside the section's
// bounding box widened by tol on every side.
std::int16_t PointOnSegment(const float& px, const float& py, const float& x1, const float& y1,
                            const float& x2, const float& y2, const float& tol);

} // namespace zd
