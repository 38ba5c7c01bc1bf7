#pragma once
// How many kilometres a map unit stands for, estimated from the network itself: the map
// has no projection, but every section carries its length (LenPer) and the positions of
// its ends. The status bar's scale, the scale bar of exports and the routes' estimated
// lengths all use this one estimate.
#include <atomic>
#include <optional>
#include <vector>

namespace zd {

class RowSet;

// The ratio of one section: km over its map length, or nothing when the length is not a
// positive number or the ends coincide.
std::optional<double> kmPerUnitOf(double lenKm, double x1, double y1, double x2, double y2);

// The median of the ratios (the vector is reordered); nothing when it is empty.
std::optional<double> medianRatio(std::vector<double>& ratios);

// The median ratio over rows with Stn1X, Stn1Y, Stn2X, Stn2Y and LenPer; nothing when fewer
// than minSections rows give a ratio, or when stop is set while the rows are read.
std::optional<double> kmPerMapUnit(const RowSet& sections, int minSections = 1,
                                   const std::atomic<bool>* stop = nullptr);

} // namespace zd
