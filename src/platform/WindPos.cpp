#include "platform/WindPos.h"

#include "data/ZdTypes.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zd {

Dpi dpiOf(const QWidget& widget) { return Dpi{double(widget.logicalDpiX()), double(widget.logicalDpiY())}; }

std::int16_t FormMetric(const QWidget& window, std::int16_t kind)
{
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    const Dpi dpi = dpiOf(window);
    const double dw = dpi.twipsX(outer.width() - client.width());
    const double dh = dpi.twipsY(outer.height() - client.height());
    double value = 0;
    switch (kind) {
    case 1: value = dh - dw; break;
    case 2: value = dw / 2; break;
    case 3: value = dpi.twipsY(client.height()); break;
    default: break;
    }
    return toInt16(value);
}

void SetTopmost(QWidget& window, bool on)
{
    const bool visible = window.isVisible();
    const bool active = window.isActiveWindow();
    const Qt::WindowFlags flags = window.windowFlags();
    const Qt::WindowFlags wanted = on ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted == flags) return;
    const QRect geometry = window.geometry();
    window.setWindowFlags(wanted);   // hides the window; show it again where it was
    window.setGeometry(geometry);
    if (!visible) return;
    const bool quiet = window.testAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_ShowWithoutActivating, !active);
    window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}

void placeAtMapEdge(QWidget& window, const QWidget& map, int titleBars, OnScreen keep)
{
    const QPoint origin = map.mapToGlobal(QPoint(0, 0));
    const int titleBar = dpiOf(window).pixelsY(FormMetric(window, 1));
    const int outerWidth = window.frameGeometry().width(), outerHeight = window.frameGeometry().height();
    int left = origin.x() + map.width() - outerWidth;
    int top = origin.y() + titleBars * titleBar;
    if (const QScreen* s = map.screen(); s && keep == OnScreen::Inside) {
        const QRect avail = s->availableGeometry();
        left = std::max(avail.left(), std::min(left, avail.right() + 1 - outerWidth));
        top = std::max(avail.top(), std::min(top, avail.bottom() + 1 - outerHeight));
    }
    window.move(left, top);
}

} // namespace zd
