#pragma once
// Draws the current frame from the database: the coordinate system follows the frame,
// the sections and stations inside it are queried and drawn. Knows nothing of windows.
#include "data/DataSource.h"
#include "render/MapState.h"

namespace zd {

// Superseded: the window's keepDrawing said stop; the picture is left as far as it got.
enum class FrameDrawn { Drawn, NoSections, NoStations, Superseded };

// Sets the canvas's scale to st.kadr, computes st.kadrScale and st.rusFilter, runs the
// section query into `peregons` and the station query into `stations`, and draws them.
// With no section the picture is left untouched; with sections but no station they stay
// drawn. A query that fails is returned; the frame is then incomplete.
Expected<FrameDrawn> renderFrame(MapState& st, Canvas& pic, DataSource& peregons, DataSource& stations, bool genOn);

} // namespace zd
