#include "routewin/RoutePick.h"

#include "identify/KursInfo.h"
#include "map/MapHost.h"
#include "render/PictureBox.h"
#include "routewin/RouteWinSql.h"

namespace zd {

void RoutePick::press(Qt::MouseButton button, float x, float y)
{
    if (button != Qt::LeftButton) return;
    m_down = true;
    m_pressed = stationAt(x, y);
}

void RoutePick::release(float, float)
{
    if (!m_down) return;
    m_down = false;
    if (m_pressed) m_done(std::exchange(m_pressed, std::nullopt));
    else if (!m_host.ended()) m_missed();
}

bool RoutePick::key(int key)
{
    if (key != 27) return false;
    m_down = false;
    m_done(std::nullopt);
    return true;
}

std::optional<PickedStation> RoutePick::stationAt(float x, float y)
{
    const MapState& st = m_host.state();
    const std::int32_t d = cursorSearchHalf(st.kadrScale, m_host.picture().scaleHeight());
    const bool generalised = st.kadrScale < kGenScale && st.generalise;
    std::shared_ptr<Database> db = m_host.database();
    if (!db) return std::nullopt;
    auto rows = db->query(pickStationSql(toLong(x), toLong(y), d, generalised, st.rusFilter));
    if (!rows) {
        m_host.reportFailure(rows.error());
        return std::nullopt;
    }
    if (rows->recordCount() == 0) return std::nullopt;
    return PickedStation{rows->textAt(0, rows->column(u"KodStn")), rows->textAt(0, rows->column(u"NazStn"))};
}

} // namespace zd
