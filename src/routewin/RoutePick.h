#pragma once
// The map's pointer while a station of the route is picked: the press finds the station
// nearest the pointer in the square the object under the pointer is searched in, among
// those the frame shows; the release hands it over. Esc cancels.
#include "map/PointerMode.h"

#include <QString>
#include <functional>
#include <optional>

namespace zd {

class MapHost;

struct PickedStation {
    QString code, name;
};

class RoutePick : public PointerMode {
public:
    // done: the station, or nothing when cancelled; not called for a press beside every
    // station (missed is, and the pick goes on).
    RoutePick(MapHost& host, std::function<void(std::optional<PickedStation>)> done, std::function<void()> missed)
        : m_host(host), m_done(std::move(done)), m_missed(std::move(missed)) {}

    void press(Qt::MouseButton button, float x, float y) override;
    void release(float x, float y) override;
    bool key(int key) override;

private:
    std::optional<PickedStation> stationAt(float x, float y);

    MapHost& m_host;
    std::function<void(std::optional<PickedStation>)> m_done;
    std::function<void()> m_missed;
    std::optional<PickedStation> m_pressed;
    bool m_down = false;
};

} // namespace zd
