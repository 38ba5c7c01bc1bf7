#include "render/RenderFrame.h"

#include "data/Queries.h"
#include "render/Canvas.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"

namespace zd {

namespace {
FrameBounds bounds(const Frame& f) { return {f.x1, f.y1, f.x2, f.y2}; }

// The picture's helper threads draw what the frame gave them while the window answers its
// events; a frame superseded meanwhile keeps what they drew.
bool bandsFinished(MapState& st, Canvas& pic)
{
    constexpr int kWaitMs = 10;
    while (!pic.bandsDrawn(kWaitMs))
        if (!drawingGoesOn(st, 0)) return false;
    pic.endBands();
    return true;
}

struct Bands {
    Canvas& pic;
    Bands(Canvas& c, int sections, bool handedOver) : pic(c)
    {
        if (handedOver) pic.beginBands(sections);
    }
    ~Bands() { pic.dropBands(); }
};
} // namespace

Expected<FrameDrawn> renderFrame(MapState& st, Canvas& pic, DataSource& peregons, DataSource& stations, bool genOn)
{
    const Frame& k = st.kadr;
    pic.setScale(k);
    st.kadrScale = pic.view().kadrScale();
    st.rusFilter = rusFilter(st.rusMode);
    st.superseded = false;
    StepHook hook;
    if (st.keepDrawing) hook = [&st] { return drawingGoesOn(st, 0); };
    // A query stopped by the hook is a superseded frame, not a failure.
    auto failed = [&](const Expected<>& opened) -> Expected<FrameDrawn> {
        if (opened.error().interrupted) return FrameDrawn::Superseded;
        return opened.error();
    };

    if (auto opened = peregons.open(frameSectionsSql(bounds(k), st.rusFilter), hook); !opened) return failed(opened);
    if (peregons.rows().recordCount() == 0) return FrameDrawn::NoSections;
    pic.clearPicture();
    // The style "Для экрана" paints through the picture's own painter, which would only wait
    // for the helpers: its frames are not handed over.
    Bands bands(pic, peregons.rows().recordCount(), st.style != MapStyle::Screen);
    DrawPeregons(st, pic, peregons.rows(), st.palette.net);
    if (!drawingGoesOn(st, 0)) return FrameDrawn::Superseded;

    st.generalise = genOn;
    const bool generalised = st.kadrScale < kGenScale && genOn;
    if (auto opened = stations.open(frameStationsSql(bounds(k), st.rusFilter, generalised), hook); !opened)
        return failed(opened);
    if (stations.rows().recordCount() == 0)
        return bandsFinished(st, pic) ? FrameDrawn::NoStations : FrameDrawn::Superseded;
    DrawStations(st, pic, stations.rows(), st.palette.net);
    if (!drawingGoesOn(st, 0)) return FrameDrawn::Superseded;
    DrawStnNames(st, pic, stations.rows());
    if (!bandsFinished(st, pic)) return FrameDrawn::Superseded;
    return st.superseded ? FrameDrawn::Superseded : FrameDrawn::Drawn;
}

} // namespace zd
