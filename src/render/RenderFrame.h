#pragma once
// Draws the current frame from the database: the coordinate system follows the frame,
// the sections and stations inside it are queried and drawn. Knows nothing of windows.
#include "data/DataSource.h"
#include "render/MapState.h"

#include <optional>

namespace zd {

struct FrameOutcome {
    enum Kind { Drawn, NoSections, NoStations } kind = Drawn;
    std::optional<DbError> error;   // a query that failed; the frame is then incomplete
};

// Sets the picture's scale to st.kadr, computes st.kadrScale and st.rusFilter, runs the
// section query into `peregons` and the station query into `stations`, and draws them.
// With no section the picture is left untouched; with sections but no station they stay
// drawn.
FrameOutcome renderFrame(MapState& st, PictureBox& pic, DataSource& peregons, DataSource& stations, bool genOn);

} // namespace zd
