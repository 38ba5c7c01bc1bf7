#pragma once
// The one adapter between the map picture's pointer and key events and the pointer modes:
// positions into map units, a second button held during a gesture ignored, the right
// button's choice of the armed tool, and the handler of MapMode (or a tool's pick) called.
#include "mainwin/PointerModes.h"

#include <QMouseEvent>

namespace zd {

class FrmZdMain;

class MapPointer {
public:
    MapPointer(FrmZdMain& main, Fragment& frag, std::int16_t& mapMode, QWidget& toolbar);

    // An event of the map picture; true when it was used here.
    bool handle(QEvent* event);
    // A tool window's handler for the next presses, or null for MapMode's.
    void setPick(PointerMode* mode) { m_pick = mode; }
    PointerMode* pick() const { return m_pick; }
    // A press is being followed (a drag, a rubber frame, the object under the pointer, the
    // middle button's pan): commands that change the frame wait for its end.
    bool gestureUnderWay() const;
    bool panning() const { return m_panning; }

    // The handlers themselves, as a press on the map reaches them (map units).
    void press(Qt::MouseButton button, float x, float y);
    void move(float x, float y);
    void release(float x, float y);
    void doubleClick();
    void key(int key);   // 13 Enter, 27 Esc

private:
    PointerMode& current();
    bool ignoredPress(const QMouseEvent& e);
    bool ignoredRelease(const QMouseEvent& e);

    FrmZdMain& m_main;
    Fragment& m_frag;
    std::int16_t& m_mapMode;
    IdentifyMode m_identify;
    FragmentMode m_fragment;
    ShiftMode m_shift;
    PanMode m_pan;
    bool m_panning = false;   // the middle button's press went to m_pan
    PointerMode* m_pick = nullptr;
    Qt::MouseButtons m_ignoredButtons;   // pressed on the map while another button was held
};

} // namespace zd
