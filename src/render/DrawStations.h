#pragma once
// Station symbols by type and zoom, and station names beside them.
#include "render/MapState.h"

#include <cstdint>

namespace zd {

// Codes of the stations whose names are printed at every scale.
bool isAlwaysNamed(double kodStn);

// Symbols of every row (StnX, StnY, TipStn; KodContry in marking mode 2) in the colour.
void DrawStations(MapState& st, Canvas& pic, RowSet& rows, Color color);

// One symbol at (x, y) map units: circles for types 9 and 7, a triangle for 8, boxes
// for the others; drawn with the picture's own line width and fill.
void DrawStnSymbol(MapState& st, Canvas& pic, std::int32_t x, std::int32_t y, std::int16_t tip, Color color);

// Names of the rows (TipStn, KodStn, NazStn, StnX, StnY; KodContry in marking mode 2),
// shown and sized by type and scale.
void DrawStnNames(MapState& st, Canvas& pic, RowSet& rows);

} // namespace zd
