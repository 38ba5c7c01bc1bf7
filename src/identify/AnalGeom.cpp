#include "identify/AnalGeom.h"

#include <cmath>

namespace zd {

namespace {
float stored(double v) { return static_cast<float>(v); }
} // namespace

std::int16_t PointInRect(float px, float py, float x1, float y1, float x2, float y2,
                         const float& margin)
{
    const float ax = stored(double(x1) - margin), ay = stored(double(y1) - margin);
    const float bx = stored(double(x2) + margin), by = stored(double(y2) + margin);
    const float xlo = std::fmin(ax, bx), xhi = std::fmax(ax, bx);
    const float ylo = std::fmin(ay, by), yhi = std::fmax(ay, by);
    return (xlo <= px && px <= xhi && ylo <= py && py <= yhi) ? 1 : 0;
}

void LineCoef(float x1, float y1, float x2, float y2, float& a, float& b, float& c)
{
    a = stored(double(y2) - y1);
    b = stored(double(x1) - x2);
    c = stored(-(double(x1) * a + double(b) * y1));
}

float DistToLine(float px, float py, float x1, float y1, float x2, float y2)
{
    float a = 0, b = 0, c = 0;
    LineCoef(x1, y1, x2, y2, a, b, c);
    const double d = std::sqrt(double(a) * a + double(b) * b);
    if (d == 0) return stored(std::hypot(double(px) - x1, double(py) - y1));
    return stored(std::fabs(double(a) * px + double(b) * py + c) / d);
}

std::int16_t PointOnSegment(const float& px, const float& py, const float& x1, const float& y1,
                            const float& x2, const float& y2, const float& tol)
{
    const float xlo = x2 < x1 ? stored(double(x2) - tol) : stored(double(x1) - tol);
    const float xhi = x2 < x1 ? stored(double(x1) + tol) : stored(double(x2) + tol);
    const float ylo = y2 < y1 ? stored(double(y2) - tol) : stored(double(y1) - tol);
    const float yhi = y2 < y1 ? stored(double(y1) + tol) : stored(double(y2) + tol);
    const float noMargin = 0;
    if (PointInRect(px, py, xlo, ylo, xhi, yhi, noMargin) != 1) return 0;
    const float dist = DistToLine(px, py, x1, y1, x2, y2);
    return dist <= tol ? 1 : 0;
}

} // namespace zd
