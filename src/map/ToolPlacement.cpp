#include "map/ToolPlacement.h"

#include "map/MapHost.h"
#include "render/Canvas.h"
#include "render/PictureBox.h"

namespace zd {

namespace {

// The symbol and its search mark, with room around them, in pixels.
constexpr int kStationClearance = 32;

std::vector<QRect> chosenStationOnScreen(MapHost& host)
{
    const std::optional<QPointF> chosen = host.chosenStation();
    if (!chosen) return {};
    PictureBox& map = host.picture();
    const QPointF px = map.toPixel(chosen->x(), chosen->y());
    if (!QRectF(map.rect()).contains(px)) return {};   // off the picture, or not a number
    QRect box(0, 0, kStationClearance, kStationClearance);
    box.moveCenter(map.mapToGlobal(px.toPoint()));
    return {box};
}

} // namespace

void placeToolWindow(QWidget& window, MapHost& host, int titleBars, OnScreen keep)
{
    placeAtMapEdge(window, host.picture(), titleBars, keep, chosenStationOnScreen(host));
}

} // namespace zd
