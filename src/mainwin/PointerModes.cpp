#include "mainwin/PointerModes.h"

#include "data/ZdTypes.h"
#include "fragment/Fragment.h"
#include "map/MapHost.h"
#include "render/PictureBox.h"

#include <QWidget>
#include <algorithm>
#include <iterator>
#include <limits>

namespace zd {

void IdentifyMode::press(Qt::MouseButton, float x, float y)
{
    m_host.showObjectAt(m_host.frameSections(), m_host.picture(), x, y);
}

void IdentifyMode::release(float, float)
{
    if (m_host.kursInfObj() > 0) m_host.endObjectAt(m_host.picture());
}

void FragmentMode::press(Qt::MouseButton, float x, float y)
{
    m_frag.FragDown(m_host.picture(), x, y);
    m_toolbar.update();
}

void FragmentMode::move(float x, float y) { m_frag.FragMove(x, y); }

void FragmentMode::release(float, float) { m_frag.FragUp(); }

bool FragmentMode::key(int key)
{
    if (key == 13) {
        apply();
    } else if (key == 27) {
        m_mapMode = 0;
        m_frag.FragEnd(QStringLiteral("ESC"));
    }
    return true;
}

// The rubber frame comes back through the picture's scale, its lower edge as the top.
// Without a complete frame there is nothing to apply. A frame smaller than the smallest
// zoom (inside a small frame a hundredth of it rounds to no map unit at all) is dropped as
// Esc drops it: the map keeps its frame and its scale.
void FragmentMode::apply()
{
    if (!m_frag.frameComplete()) return;
    m_frag.FragEnd(QString());
    PictureBox& p = m_host.picture();
    const Frame f{toLong(p.scaleLeft()), toLong(p.scaleTop() - p.scaleHeight()),
                  toLong(p.scaleLeft() + p.scaleWidth()), toLong(p.scaleTop())};
    m_mapMode = 0;
    if (!frameLargeEnough(f)) {
        p.setScale(m_host.state().kadr);
        return;
    }
    m_host.showFrame(f, 1);
}

void ShiftMode::press(Qt::MouseButton, float x, float y)
{
    m_frag.SdvigPrepare(m_host.picture(), m_cursorFile);
    m_frag.SdvigStep(1, x, y);
}

void ShiftMode::move(float x, float y) { m_frag.SdvigStep(2, x, y); }

Frame shiftedFrame(const PictureBox& p, const Frame& unchanged)
{
    const double edges[] = {p.scaleLeft(), p.scaleTop(), p.scaleLeft() + p.scaleWidth(), p.scaleTop() + p.scaleHeight()};
    constexpr double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    if (!std::all_of(std::begin(edges), std::end(edges), [](double v) { return v >= lo && v <= hi; })) return unchanged;
    return Frame{toLong(edges[0]), toLong(edges[1]), toLong(edges[2]), toLong(edges[3])};
}

// The picture's scale origin has moved with the drag: that is the new frame.
void ShiftMode::release(float x, float y)
{
    PictureBox& p = m_host.picture();
    p.unsetCursor();
    m_frag.SdvigStep(0, x, y);
    m_host.showFrame(shiftedFrame(p, m_host.state().kadr), m_host.kadrZoomed());
    m_mapMode = 0;
}

// Esc during a drag puts the picture back where it was; true when a drag was cancelled.
static bool cancelDrag(MapHost& host, Fragment& frag)
{
    if (!frag.sdvigDragging()) return false;
    host.picture().unsetCursor();
    frag.SdvigStep(-1, 0, 0);
    host.redrawFrame();
    return true;
}

bool ShiftMode::key(int key)
{
    if (key == 27) cancelDrag(m_host, m_frag);
    return true;
}

// A rubber frame would stay where it was on the screen while the map moves under it.
void PanMode::press(Qt::MouseButton, float x, float y)
{
    if (m_frag.fragActive()) m_frag.FragEnd(QStringLiteral("ESC"));
    m_frag.SdvigPrepare(m_host.picture(), m_cursorFile);
    m_frag.SdvigStep(1, x, y);
}

void PanMode::move(float x, float y) { m_frag.SdvigStep(2, x, y); }

// The release clears the picture for the moved frame: a frame refused, or not moved at
// all, is drawn again as it was.
void PanMode::release(float x, float y)
{
    if (!m_frag.sdvigDragging()) return;   // cancelled by Esc
    PictureBox& p = m_host.picture();
    p.unsetCursor();
    m_frag.SdvigStep(0, x, y);
    const Frame was = m_host.state().kadr, f = shiftedFrame(p, was);
    if (f == was || !m_go(f)) {
        p.setScale(was);
        m_host.redrawFrame();
    }
}

bool PanMode::key(int key) { return key == 27 && cancelDrag(m_host, m_frag); }

} // namespace zd
