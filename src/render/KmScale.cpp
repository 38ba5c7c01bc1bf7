#include "render/KmScale.h"

#include "data/RowSet.h"

#include <algorithm>
#include <cmath>

namespace zd {

std::optional<double> kmPerUnitOf(double lenKm, double x1, double y1, double x2, double y2)
{
    const double units = std::hypot(x2 - x1, y2 - y1);
    if (!(lenKm > 0) || !std::isfinite(lenKm) || !(units > 0) || !std::isfinite(units)) return std::nullopt;
    return lenKm / units;
}

std::optional<double> medianRatio(std::vector<double>& ratios)
{
    if (ratios.empty()) return std::nullopt;
    const auto mid = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), mid, ratios.end());
    if (ratios.size() % 2 == 1) return *mid;
    const double upper = *mid;
    return (*std::max_element(ratios.begin(), mid) + upper) / 2;
}

std::optional<double> kmPerMapUnit(const RowSet& rows, int minSections, const std::atomic<bool>* stop)
{
    const int x1 = rows.column(u"Stn1X"), y1 = rows.column(u"Stn1Y"), x2 = rows.column(u"Stn2X");
    const int y2 = rows.column(u"Stn2Y"), len = rows.column(u"LenPer");
    std::vector<double> ratios;
    ratios.reserve(static_cast<size_t>(rows.recordCount()));
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (stop && (r & 0xffff) == 0 && stop->load()) return std::nullopt;
        if (rows.isNullAt(r, len) || rows.isNullAt(r, x1) || rows.isNullAt(r, y1) || rows.isNullAt(r, x2)
            || rows.isNullAt(r, y2))
            continue;
        if (auto k = kmPerUnitOf(rows.numberAt(r, len), rows.numberAt(r, x1), rows.numberAt(r, y1),
                                 rows.numberAt(r, x2), rows.numberAt(r, y2)))
            ratios.push_back(*k);
    }
    if (static_cast<int>(ratios.size()) < std::max(1, minSections)) return std::nullopt;
    return medianRatio(ratios);
}

} // namespace zd
