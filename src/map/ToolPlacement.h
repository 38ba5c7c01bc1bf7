#pragma once
// Where a tool window opens: at the map's right edge, clear of the other tool windows and of
// the station last chosen by a search.
#include "platform/WindPos.h"

namespace zd {

class MapHost;

// Places the window as placeAtMapEdge does, keeping clear of the chosen station's symbol
// when the station is on the picture.
void placeToolWindow(QWidget& window, MapHost& host, int titleBars, OnScreen keep = OnScreen::AsPlaced);

} // namespace zd
