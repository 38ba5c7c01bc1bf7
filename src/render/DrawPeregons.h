#pragma once
// Track sections: one straight line per row, and their lengths when zoomed in.
#include "render/MapState.h"

namespace zd {

// Draws every row (Stn1X, Stn1Y, Stn2X, Stn2Y; KodContry in marking mode 2) as a line in
// the colour; sections outside Russia are pale in marking mode 2. Rows without
// coordinates are skipped. Ends with the length labels on the main map when zoomed in.
// widthPx: the lines' width in pixels; 0 for the map's own (2 zoomed in, else 1).
void DrawPeregons(MapState& st, Canvas& pic, RowSet& rows, Color color, int widthPx = 0);

// Prints each section's length at its midpoint on the main map, where there is room.
void DrawPeregonLengths(MapState& st, RowSet& rows);

} // namespace zd
