#include "render/RenderFrame.h"

#include "data/Queries.h"
#include "mainwin/FrameHistory.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"

namespace zd {

namespace {
// Below this many twips per map unit only the major and branching stations are drawn.
constexpr float kGenScale = 0.3f;

FrameBounds bounds(const Frame& f) { return {f.x1, f.y1, f.x2, f.y2}; }

std::optional<DbError> open(DataSource& ds, const QString& sql)
{
    ds.setRecordSource(sql);
    return ds.refresh();
}
} // namespace

FrameOutcome renderFrame(MapState& st, PictureBox& pic, DataSource& peregons, DataSource& stations, bool genOn)
{
    const Frame& k = st.kadr;
    pic.setScale(k.x1, k.y1, k.x2, k.y2);
    st.kadrScale = kadrScaleFor(pic.widthTwips(), pic.heightTwips(), k);
    st.rusFilter = rusFilter(st.rusMode);

    if (auto e = open(peregons, frameSectionsSql(bounds(k), st.rusFilter)))
        return {FrameOutcome::NoSections, e};
    if (peregons.rows().recordCount() == 0) return {FrameOutcome::NoSections, {}};
    pic.clearPicture();
    DrawPeregons(st, pic, peregons.rows(), st.palette.net);

    const bool generalised = st.kadrScale < kGenScale && genOn;
    if (auto e = open(stations, frameStationsSql(bounds(k), st.rusFilter, generalised)))
        return {FrameOutcome::NoStations, e};
    if (stations.rows().recordCount() == 0) return {FrameOutcome::NoStations, {}};
    DrawStations(st, pic, stations.rows(), st.palette.net);
    DrawStnNames(st, pic, stations.rows());
    return {};
}

} // namespace zd
