#include "mainwin/MapPointer.h"

#include "desk/Desk.h"
#include "fragment/Fragment.h"
#include "mainwin/FrmZdMain.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QKeyEvent>

namespace zd {

MapPointer::MapPointer(FrmZdMain& main, Fragment& frag, std::int16_t& mapMode, QWidget& toolbar)
    : m_main(main), m_frag(frag), m_mapMode(mapMode), m_identify(main), m_fragment(main, frag, mapMode, toolbar),
      m_shift(main, frag, mapMode, main.programDir() + QStringLiteral("/handgrab.cur")),
      m_pan(main, frag, [&main](const Frame& f) { return main.desk().go(f); },
            main.programDir() + QStringLiteral("/handgrab.cur"))
{
}

bool MapPointer::gestureUnderWay() const
{
    return m_panning || m_frag.sdvigDragging() || m_frag.fragActive() || m_main.kursInfObj() > 0;
}

PointerMode& MapPointer::current()
{
    if (m_pick) return *m_pick;
    switch (m_mapMode) {
    case 1: return m_fragment;
    case 2: return m_shift;
    default: return m_identify;
    }
}

// A second button pressed while one is held, and its release, are ignored: the press that
// began the gesture (a shift drag, a rubber frame, the object under the pointer) ends with
// its own release, and no second tool starts over it.
bool MapPointer::ignoredPress(const QMouseEvent& e)
{
    m_ignoredButtons &= e.buttons();   // released where the map did not see it
    if (!(e.buttons() & ~Qt::MouseButtons(e.button()))) return false;
    m_ignoredButtons |= e.button();
    return true;
}

bool MapPointer::ignoredRelease(const QMouseEvent& e)
{
    if (!(m_ignoredButtons & e.button())) return false;
    m_ignoredButtons &= ~Qt::MouseButtons(e.button());
    return true;
}

bool MapPointer::handle(QEvent* event)
{
    if (!m_main.startDone() || m_main.ended()) return false;
    auto mouse = [](QEvent* e) { return static_cast<QMouseEvent*>(e); };
    auto at = [this, mouse](QEvent* e) { return m_main.picture().toUser(mouse(e)->position()); };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (ignoredPress(*mouse(event))) return true;
        const QPointF p = at(event);
        press(mouse(event)->button(), float(p.x()), float(p.y()));
        return true;
    }
    case QEvent::MouseMove: {
        const QPointF p = at(event);
        move(float(p.x()), float(p.y()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (ignoredRelease(*mouse(event))) return true;
        const QPointF p = at(event);
        if (m_panning && mouse(event)->button() == Qt::MiddleButton) {
            m_panning = false;
            m_pan.release(float(p.x()), float(p.y()));
        } else {
            release(float(p.x()), float(p.y()));
        }
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        if (ignoredPress(*mouse(event))) return true;
        // The second press of a middle double click starts another pan.
        const QPointF p = at(event);
        if (mouse(event)->button() == Qt::MiddleButton) press(Qt::MiddleButton, float(p.x()), float(p.y()));
        else doubleClick();
        return true;
    }
    case QEvent::KeyPress: {
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k != Qt::Key_Return && k != Qt::Key_Enter && k != Qt::Key_Escape) return false;
        key(k == Qt::Key_Escape ? 27 : 13);
        return true;
    }
    default:
        return false;
    }
}

// The right button arms the tool whose toolbar button is down before the press is handled.
void MapPointer::press(Qt::MouseButton button, float x, float y)
{
    if (m_main.rendering()) return;
    if (button == Qt::MiddleButton) {
        m_panning = true;
        m_pan.press(button, x, y);
        return;
    }
    if (button == Qt::RightButton && !m_pick) {
        if (m_main.button(QStringLiteral("mnuMagist_Frag"))->isChecked()) m_mapMode = 1;
        if (m_main.button(QStringLiteral("mnuMagist_Sdvig"))->isChecked()) m_mapMode = 2;
    }
    current().press(button, x, y);
}

void MapPointer::move(float x, float y)
{
    if (m_panning) m_pan.move(x, y);
    else current().move(x, y);
}

// The object under the pointer goes with the release whatever the mode.
void MapPointer::release(float x, float y)
{
    if (m_main.kursInfObj() > 0) m_identify.release(x, y);
    else current().release(x, y);
}

void MapPointer::doubleClick() { current().doubleClick(); }

void MapPointer::key(int key)
{
    if (!m_panning || !m_pan.key(key)) current().key(key);
}

} // namespace zd
