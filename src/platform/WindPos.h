#pragma once
// Window placement: the measures of a window's frame, the always-on-top band, and where
// a tool window stands beside the map.
#include "render/View.h"

#include <cstdint>
#include <vector>

class QWidget;

namespace zd {

// The logical DPI of the screen a widget is on.
Dpi dpiOf(const QWidget& widget);

// Twips (1/1440 inch), rounded half to even and clamped to 16 bits.
// Kind 1: caption and menu bar without the borders, (outer height − client height) −
// (outer width − client width); kind 2: one border, (outer width − client width) / 2;
// kind 3: the client height. Any other kind gives 0.
std::int16_t FormMetric(const QWidget& window, std::int16_t kind);

// Puts a top-level window into the always-on-top band (on = true) or takes it out,
// keeping its position, size and visibility.
void SetTopmost(QWidget& window, bool on = false);

// Moves a tool window so that its right edge (frame included) stands on the right edge of
// the map picture and its top `titleBars` title-bar heights below the map's top; kept
// inside the screen's available area when asked. A tool window of the same owner already
// shown there is not covered, nor any of `keepClear` (screen pixels): the window goes below
// it, or further left, while it stays inside the map.
enum class OnScreen { AsPlaced, Inside };
void placeAtMapEdge(QWidget& window, const QWidget& map, int titleBars, OnScreen keep = OnScreen::AsPlaced,
                    const std::vector<QRect>& keepClear = {});

// Where a window of the outer size goes beside the pointer (screen pixels): below and to the
// right of it, on the other side of it where the screen ends.
QPoint besidePointer(QSize outer, QPoint pointer, const QRect& screen);

// The top-left corner for a window of the outer size at `wanted` that covers none of
// `others`: `wanted` itself when it is free, else the first free place below one of them
// or left of one of them that lies inside `area` (all screen pixels); `wanted` when there
// is none.
QPoint clearOf(QSize outer, QPoint wanted, const std::vector<QRect>& others, const QRect& area);

} // namespace zd
