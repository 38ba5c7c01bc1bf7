#pragma once
// The outline of the station search's preview zone on the map (shpFindPic): a border two
// pixels wide in light magenta, a child of the map picture that lets the pointer through.
#include "render/View.h"

#include <QWidget>

namespace zd {

class ZoneOutline : public QWidget {
    Q_OBJECT
public:
    explicit ZoneOutline(QWidget& map);

    // Places the outline round the zone (map units) as the map's view shows it, and shows
    // it. Far inside a small frame the zone can run thousands of pixels past the map: only
    // what can show is kept, with its border just outside the visible edges.
    void showZone(const View& map, const Frame& zone);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zd
