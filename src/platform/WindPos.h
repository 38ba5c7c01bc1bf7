#pragma once
// Window placement: the measures of a window's frame, the always-on-top band, and where
// a tool window stands beside the map.
#include "render/View.h"

#include <cstdint>

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
// inside the screen's available area when asked.
enum class OnScreen { AsPlaced, Inside };
void placeAtMapEdge(QWidget& window, const QWidget& map, int titleBars, OnScreen keep = OnScreen::AsPlaced);

} // namespace zd
