#pragma once
// The "Для экрана" style of the drawing routines: the same rows as the classic picture,
// drawn for today's screens. Sizes are device-independent pixels with a floor and a
// ceiling, lines antialiased and wider by tracks, minor stations thinned by density,
// names placed without collisions, highlights on top of the station symbols.
//
// The picture keeps what the style drew since it was last cleared (its scene): a highlight
// drawn later goes between the symbols and the names, and one taken off (drawn again in
// the network colour) leaves no trace.
#include "render/MapState.h"

#include <QRectF>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace zd::screen {

// Sizes at a scale, device-independent pixels: circle radii and half-sides of boxes and
// triangles, line widths, name fonts.
struct Sizes {
    double centre, division, junction, major, minor;   // types 9, 7, 8, 4-6, the others
    double singleTrack, doubleTrack, highlight;
    int fontCentre, fontMajor, fontMinor;              // types 9, 7-8, the others
    double symbol(int tip) const;
};

// The sizes at twips per map unit `scale`; the preview has fixed ones.
Sizes sizesAt(float scale, bool preview = false);
// The smallest and largest sizes at any scale.
Sizes sizesFloor();
Sizes sizesCeiling();

// More station symbols than this per 100 × 100 device-independent pixels thin the minor ones.
inline constexpr double kMaxSymbolsPer100 = 8;

void drawPeregons(MapState& st, Canvas& pic, RowSet& rows, Color color);
void drawStations(MapState& st, Canvas& pic, RowSet& rows, Color color);
void drawStnSymbol(MapState& st, Canvas& pic, std::int32_t x, std::int32_t y, std::int16_t tip, Color color);
void drawStnNames(MapState& st, Canvas& pic, RowSet& rows);

// What the picture's scene holds now, in device-independent pixels.
std::vector<QRectF> placedNames(Canvas& pic);
std::vector<QRectF> placedLengths(Canvas& pic);
// The names placed with their texts as drawn.
std::vector<std::pair<QRectF, QString>> placedNameTexts(Canvas& pic);
int drawnSymbols(Canvas& pic);

// While the picture's painting is held, the routines of this style only build its scene;
// the release paints the finished scene once. A vector page is drawn so: painted as it
// grows, it would stack a copy of the network for every highlight that joins the scene.
void holdPainting(MapState& st, Canvas& pic);
void releasePainting(Canvas& pic);

} // namespace zd::screen
