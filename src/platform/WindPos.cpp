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

void placeAtMapEdge(QWidget& window, const QWidget& map, int titleBars, OnScreen keep,
                    const std::vector<QRect>& keepClear)
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
    std::vector<QRect> others = keepClear;
    for (const QWidget* w : map.window()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != &window && w->isWindow() && w->isVisible() && (w->windowFlags() & Qt::Tool) == Qt::Tool)
            others.push_back(w->frameGeometry());
    const QRect area(origin, map.size());
    window.move(clearOf(window.frameGeometry().size(), QPoint(left, top), others, area));
}

QPoint besidePointer(QSize outer, QPoint pointer, const QRect& screen)
{
    constexpr int kOffset = 16;   // pixels between the pointer and the window
    int left = pointer.x() + kOffset, top = pointer.y() + kOffset;
    if (left + outer.width() > screen.right() + 1) left = pointer.x() - kOffset - outer.width();
    if (top + outer.height() > screen.bottom() + 1) top = pointer.y() - kOffset - outer.height();
    left = std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - outer.width()));
    top = std::clamp(top, screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer.height()));
    return QPoint(left, top);
}

QPoint clearOf(QSize outer, QPoint wanted, const std::vector<QRect>& others, const QRect& area)
{
    constexpr int kGap = 4;   // pixels between two tool windows
    auto free = [&](QPoint at) {
        const QRect r(at, outer);
        return std::none_of(others.begin(), others.end(), [&](const QRect& o) { return o.intersects(r); });
    };
    if (free(wanted)) return wanted;
    // Below the windows in the way first, in columns from the map's right edge leftward.
    std::vector<QPoint> places;
    for (const QRect& o : others) places.push_back(QPoint(wanted.x(), o.bottom() + 1 + kGap));
    for (const QRect& o : others) {
        const int left = o.left() - kGap - outer.width();
        places.push_back(QPoint(left, wanted.y()));
        for (const QRect& p : others) places.push_back(QPoint(left, p.bottom() + 1 + kGap));
    }
    std::sort(places.begin(), places.end(), [](QPoint a, QPoint b) { return a.x() > b.x() || (a.x() == b.x() && a.y() < b.y()); });
    for (QPoint at : places)
        if (area.contains(QRect(at, outer)) && free(at)) return at;
    return wanted;
}

} // namespace zd
