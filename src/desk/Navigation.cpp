#include "desk/Navigation.h"

#include "data/Queries.h"
#include "data/ZdTypes.h"
#include "render/KmScale.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace zd {

namespace {
constexpr double kLo = std::numeric_limits<std::int32_t>::min(), kHi = std::numeric_limits<std::int32_t>::max();
constexpr double kTwipsPerCm = 1440.0 / 2.54;

// The frame of the given extents with its left and top edge at (x1, y1), when it fits.
std::optional<Frame> frameAt(double x1, double y1, double w, double h)
{
    const double left = std::round(x1), top = std::round(y1);
    if (left < kLo || top < kLo || left + w > kHi || top + h > kHi) return std::nullopt;
    return Frame{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                 static_cast<std::int32_t>(left + w), static_cast<std::int32_t>(top + h)};
}

double widthOf(const Frame& f) { return double(f.x2) - f.x1; }
double heightOf(const Frame& f) { return double(f.y2) - f.y1; }
} // namespace

std::optional<Frame> zoomAbout(const Frame& f, bool near, QPointF fraction)
{
    const std::optional<Frame> z = zoomFrame(f, near);
    if (!z) return std::nullopt;
    const double px = f.x1 + fraction.x() * widthOf(f), py = f.y1 + fraction.y() * heightOf(f);
    return frameAt(px - fraction.x() * widthOf(*z), py - fraction.y() * heightOf(*z), widthOf(*z), heightOf(*z));
}

std::optional<Frame> panFrame(const Frame& f, int dx, int dy)
{
    const double w = widthOf(f), h = heightOf(f);
    return frameAt(f.x1 + dx * std::round(w / 4), f.y1 + dy * std::round(h / 4), w, h);
}

std::optional<Frame> centredAt(const Frame& f, double x, double y)
{
    const double w = widthOf(f), h = heightOf(f);
    return frameAt(x - w / 2, y - h / 2, w, h);
}

Frame letterboxed(const Frame& scheme, QSizeF pixels)
{
    const double w = widthOf(scheme), h = heightOf(scheme);
    if (!(pixels.width() > 0) || !(pixels.height() > 0) || !(w > 0) || !(h > 0)) return scheme;
    const double aspect = pixels.width() / pixels.height();
    const double fw = std::max(w, h * aspect), fh = std::max(h, w / aspect);
    const double cx = scheme.x1 + w / 2, cy = scheme.y1 + h / 2;
    return Frame{toLong(cx - fw / 2), toLong(cy - fh / 2), toLong(cx + fw / 2), toLong(cy + fh / 2)};
}

bool overlapsScheme(const Frame& f, const Frame& scheme)
{
    return f.x1 < scheme.x2 && scheme.x1 < f.x2 && f.y1 < scheme.y2 && scheme.y1 < f.y2;
}

double kmPerCm(double kmPerUnit, float kadrScale)
{
    return kadrScale > 0 ? kmPerUnit * kTwipsPerCm / kadrScale : 0;
}

QString scaleText(double km)
{
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    QString number;
    if (km >= 100) {
        number = ru.toString(std::llround(km));
    } else {
        // Two significant digits, counted after rounding: 9.96 is "10", not "10,0".
        auto decimalsOf = [](double v) { return v > 0 ? std::max(0, 1 - int(std::floor(std::log10(v)))) : 0; };
        const double scale = std::pow(10.0, decimalsOf(km));
        const double rounded = std::round(km * scale) / scale;
        number = ru.toString(rounded, 'f', decimalsOf(rounded));
    }
    return QStringLiteral("1 см ≈ %1 км").arg(number);
}

Expected<bool> frameHasRows(const Database& db, const Frame& f, int rusMode, bool generalised)
{
    Expected<RowSet> rows = db.query(frameHasRowsSql({f.x1, f.y1, f.x2, f.y2}, rusFilter(rusMode), generalised));
    if (!rows) return rows.error();
    return rows->recordCount() > 0 && rows->numberAt(0, 0) != 0;
}

Expected<std::optional<double>> networkKmPerUnit(const Database& db)
{
    Expected<RowSet> rows = db.query(sectionLengthsSql());
    if (!rows) return rows.error();
    return kmPerMapUnit(*rows);
}

} // namespace zd
