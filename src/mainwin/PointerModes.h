#pragma once
// The map's three pointer modes (MapMode 0, 1, 2): the object under the pointer, the
// rubber-band fragment and the picture shift, each a small handler over the map.
#include "map/PointerMode.h"

#include "render/View.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace zd {

class Fragment;
class MapHost;
class PictureBox;

// The frame the picture's scale shows after a drag, or `unchanged` when an edge would
// leave the 32-bit range (rounding would clamp that edge and change the frame's size).
Frame shiftedFrame(const PictureBox& p, const Frame& unchanged);

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

// The middle button in any mode: the picture follows the pointer as in the shift, and the
// release shows the moved frame through `go` (which may refuse it); MapMode, the armed tool
// and a rubber frame's mode stay as they were.
class PanMode : public PointerMode {
public:
    PanMode(MapHost& host, Fragment& frag, std::function<bool(const Frame&)> go, QString cursorFile)
        : m_host(host), m_frag(frag), m_go(std::move(go)), m_cursorFile(std::move(cursorFile)) {}
    void press(Qt::MouseButton button, float x, float y) override;
    void move(float x, float y) override;
    void release(float x, float y) override;
    bool key(int key) override;

private:
    MapHost& m_host;
    Fragment& m_frag;
    std::function<bool(const Frame&)> m_go;
    QString m_cursorFile;
};

} // namespace zd
