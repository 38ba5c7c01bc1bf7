#pragma once
// The map's three pointer modes (MapMode 0, 1, 2): the object under the pointer, the
// rubber-band fragment and the picture shift, each a small handler over the map.
#include "map/PointerMode.h"

#include <QString>
#include <cstdint>

class QWidget;

namespace zd {

class Fragment;
class MapHost;

// MapMode 0: a press describes the object under the pointer until the release.
class IdentifyMode : public PointerMode {
public:
    explicit IdentifyMode(MapHost& host) : m_host(host) {}
    void press(Qt::MouseButton button, float x, float y) override;
    void release(float x, float y) override;

private:
    MapHost& m_host;
};

// MapMode 1: a rubber-band frame, applied by a double click or Enter, dropped by Esc.
class FragmentMode : public PointerMode {
public:
    FragmentMode(MapHost& host, Fragment& frag, std::int16_t& mapMode, QWidget& toolbar)
        : m_host(host), m_frag(frag), m_mapMode(mapMode), m_toolbar(toolbar) {}
    void press(Qt::MouseButton button, float x, float y) override;
    void move(float x, float y) override;
    void release(float x, float y) override;
    void doubleClick() override { apply(); }
    bool key(int key) override;

private:
    void apply();
    MapHost& m_host;
    Fragment& m_frag;
    std::int16_t& m_mapMode;
    QWidget& m_toolbar;
};

// MapMode 2: the picture follows the pointer; the release makes the moved frame the frame.
class ShiftMode : public PointerMode {
public:
    ShiftMode(MapHost& host, Fragment& frag, std::int16_t& mapMode, QString cursorFile)
        : m_host(host), m_frag(frag), m_mapMode(mapMode), m_cursorFile(std::move(cursorFile)) {}
    void press(Qt::MouseButton button, float x, float y) override;
    void move(float x, float y) override;
    void release(float x, float y) override;
    bool key(int key) override;

private:
    MapHost& m_host;
    Fragment& m_frag;
    std::int16_t& m_mapMode;
    QString m_cursorFile;
};

} // namespace zd
