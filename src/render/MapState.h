#pragma once
// What the drawing routines read of the program's state: the frame, the scales, the
// marking mode and the palette. The main window owns one and hands it to them.
#include "data/ZdTypes.h"
#include "render/View.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace zd {

class Canvas;
class Polygon;
class RowSet;

struct Palette {
    Color net = rgb(128, 128, 0);
    Color netPale = lighten(rgb(128, 128, 0));
    Color stn = 0;
    Color stnPale = lighten(0);
    Color find = rgb(0, 255, 255);
    Color light = rgb(0, 192, 192);
};

// How the map is drawn: the classic picture, or the one made for today's screens (sizes in
// device-independent pixels, thinned by density, labels without collisions).
enum class MapStyle { Classic, Screen };

struct MapState {
    Frame kadr;                 // the current frame
    Frame scheme;               // the whole scheme
    float kadrScale = 0;        // twips per map unit of the current frame
    std::int16_t rusMode = 0;   // 0 all countries, 1 Russia only, 2 CIS with Russia standing out
    QString rusFilter;          // the Russia-only condition of the last render, or empty
    Palette palette;
    float scaleLow = 0.25f, scaleHigh = 1.1f;   // name thresholds
    std::int32_t stnRadius = 0; // radius of the last circle symbol drawn (map units)
    MapStyle style = MapStyle::Classic;
    bool generalise = false;    // generalisation is on for the frame being drawn
    bool latinNames = false;    // station names in Latin letters ("Подписи латиницей")

    Canvas* mainPic = nullptr;           // picZdMain
    RowSet* mainPeregons = nullptr;      // the sections of the last render
    Polygon* polyDraw = nullptr;
    std::function<void()> processEvents; // lets the window handle its events once
    // Asked every few hundred rows of a frame: lets the window answer its events, and says
    // false once a newer command supersedes the frame. None: the frame is drawn to its end.
    std::function<bool()> keepDrawing;
    bool superseded = false;             // the frame being drawn was superseded: drawing stops
};

// Whether the drawing of a frame goes on at this row: every 256 rows the window is asked.
inline bool drawingGoesOn(MapState& st, int row)
{
    if (st.superseded) return false;
    if ((row & 255) != 0 || !st.keepDrawing) return true;
    st.superseded = !st.keepDrawing();
    return !st.superseded;
}

} // namespace zd
