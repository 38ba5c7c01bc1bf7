#include "platform/WindPos.h"

#include "data/ZdTypes.h"

#include <QWidget>

namespace zd {

namespace {
double twipsPerPixel(const QWidget& w) { return 1440.0 / w.logicalDpiY(); }
} // namespace

std::int16_t FormMetric(const QWidget& window, std::int16_t kind)
{
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    const double t = twipsPerPixel(window);
    const double dw = (outer.width() - client.width()) * t;
    const double dh = (outer.height() - client.height()) * t;
    double value = 0;
    switch (kind) {
    case 1: value = dh - dw; break;
    case 2: value = dw / 2; break;
    case 3: value = client.height() * t; break;
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

} // namespace zd
