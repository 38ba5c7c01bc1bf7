#include "map/ZoneOutline.h"

#include <QPainter>

namespace zd {

namespace {
const QColor kZoneColor(255, 0, 255);
constexpr int kZoneBorder = 2;   // pixels
} // namespace

ZoneOutline::ZoneOutline(QWidget& map) : QWidget(&map)
{
    setObjectName(QStringLiteral("shpFindPic"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void ZoneOutline::showZone(const View& map, const Frame& zone)
{
    const QPointF a = map.toPixel(zone.x1, zone.y1), b = map.toPixel(zone.x2, zone.y2);
    const QRectF visible = QRectF(QPointF(0, 0), map.pixels)
                               .adjusted(-2 * kZoneBorder, -2 * kZoneBorder, 2 * kZoneBorder, 2 * kZoneBorder);
    QRectF r = QRectF(a, b).normalized();
    if (r.width() > 0 && r.height() > 0) r = r.intersected(visible);
    const QPoint tl(qRound(r.left()), qRound(r.top()));
    setGeometry(QRect(tl, QSize(qRound(r.right()) - tl.x(), qRound(r.bottom()) - tl.y())));
    show();
    raise();
}

void ZoneOutline::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen pen(kZoneColor);
    pen.setWidth(kZoneBorder);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double inset = kZoneBorder / 2.0;
    p.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

} // namespace zd
