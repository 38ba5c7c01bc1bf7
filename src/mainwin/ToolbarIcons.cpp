#include "mainwin/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

namespace zd {

namespace {
using Painter = std::function<void(QPainter&)>;

const QColor kLine(128, 128, 0);   // the colour of the network on the map
const QColor kInk(40, 40, 40);

void magnifier(QPainter& p, bool plus, bool minus)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(230, 240, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(kInk, 1.5));
    if (plus || minus) p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (plus) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void arrow(QPainter& p, bool right)
{
    QPainterPath path;
    const double s = right ? 1 : -1, c = 8;
    path.moveTo(c + s * 6, 8);
    path.lineTo(c + s * 0.5, 2.5);
    path.lineTo(c + s * 0.5, 5.5);
    path.lineTo(c - s * 6, 5.5);
    path.lineTo(c - s * 6, 10.5);
    path.lineTo(c + s * 0.5, 10.5);
    path.lineTo(c + s * 0.5, 13.5);
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 140, 60));
    p.drawPath(path);
}

void network(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 1.5));
    p.drawLine(QPointF(1, 12), QPointF(6, 5));
    p.drawLine(QPointF(6, 5), QPointF(14, 8));
    p.drawLine(QPointF(6, 5), QPointF(9, 14));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6, 5), 2, 2);
}

void flag(QPainter& p, const QColor& top, const QColor& mid, const QColor& bottom)
{
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(1, 3, 14, 3.4), top);
    p.fillRect(QRectF(1, 6.4, 14, 3.3), mid);
    p.fillRect(QRectF(1, 9.7, 14, 3.3), bottom);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
}

const std::map<QString, std::pair<const char*, Painter>>& painters()
{
    static const std::map<QString, std::pair<const char*, Painter>> m = {
        {"mnuMagist_Frag", {"", [](QPainter& p) {
             network(p, kLine);
             p.setPen(QPen(kInk, 1, Qt::DashLine));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(2.5, 2.5, 11, 9));
         }}},
        {"mnuMagist_Sdvig", {"transform-move", [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.drawLine(QPointF(8, 1), QPointF(8, 15));
             p.drawLine(QPointF(1, 8), QPointF(15, 8));
             p.setBrush(kInk);
             for (const QPolygonF& t : {QPolygonF({{8, 0.5}, {5.5, 3.5}, {10.5, 3.5}}),
                                        QPolygonF({{8, 15.5}, {5.5, 12.5}, {10.5, 12.5}}),
                                        QPolygonF({{0.5, 8}, {3.5, 5.5}, {3.5, 10.5}}),
                                        QPolygonF({{15.5, 8}, {12.5, 5.5}, {12.5, 10.5}})})
                 p.drawPolygon(t);
         }}},
        {"mnuMagist_Near", {"zoom-in", [](QPainter& p) { magnifier(p, true, false); }}},
        {"mnuMagist_Far", {"zoom-out", [](QPainter& p) { magnifier(p, false, true); }}},
        {"mnuKadrFore", {"go-next", [](QPainter& p) { arrow(p, true); }}},
        {"mnuKadrBack", {"go-previous", [](QPainter& p) { arrow(p, false); }}},
        {"mnuMagist_Frag0", {"zoom-fit-best", [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(QColor(0xE0, 0xE0, 0xE0));
             p.drawRect(QRectF(0.5, 1.5, 15, 13));
             network(p, kLine);
         }}},
        {"mnuZdLight_RusAll", {"", [](QPainter& p) { flag(p, QColor(70, 150, 70), QColor(230, 200, 60), QColor(60, 110, 200)); }}},
        {"mnuZdLight_RusBlank", {"", [](QPainter& p) { flag(p, QColor(225, 225, 225), QColor(190, 200, 225), QColor(225, 190, 190)); }}},
        {"mnuZdLight_RusOnly", {"", [](QPainter& p) { flag(p, Qt::white, QColor(0, 57, 166), QColor(213, 43, 30)); }}},
        {"mnuZdLight_Peregon", {"", [](QPainter& p) { network(p, QColor(0, 192, 192)); }}},
        {"mnuZdLight_Erase", {"edit-clear", [](QPainter& p) {
             network(p, QColor(0, 192, 192));
             p.setPen(QPen(QColor(200, 30, 30), 2));
             p.drawLine(QPointF(3, 3), QPointF(13, 13));
             p.drawLine(QPointF(13, 3), QPointF(3, 13));
         }}},
        {"mnuZdFind_Stn", {"", [](QPainter& p) {
             magnifier(p, false, false);
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(6.5, 6.5), 2, 2);
         }}},
        {"mnuZdFind_Dor", {"", [](QPainter& p) {
             magnifier(p, false, false);
             p.setPen(QPen(kLine, 1.5));
             p.drawLine(QPointF(3.5, 8.5), QPointF(9.5, 4.5));
         }}},
        {"mnuService_Route", {"", [](QPainter& p) {
             p.setPen(QPen(kLine, 1.5));
             p.drawLine(QPointF(2, 4), QPointF(8, 2));
             p.drawLine(QPointF(9, 14), QPointF(14, 9));
             p.setPen(QPen(QColor(220, 20, 60), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawPolyline(QPolygonF({{3, 13}, {6, 7}, {10, 8}, {13, 3}}));
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(3, 13), 2, 2);
             p.drawEllipse(QPointF(13, 3), 2, 2);
         }}},
        {"mnuHelp_About", {"help-contents", [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(QColor(255, 240, 150));
             p.drawEllipse(QPointF(8, 8), 7, 7);
             QFont f = p.font();
             f.setPixelSize(12);
             f.setBold(true);
             p.setFont(f);
             p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
         }}},
    };
    return m;
}

QPixmap drawn(const Painter& paint)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return pm;
}
} // namespace

QIcon toolbarIcon(const QString& key)
{
    const auto it = painters().find(key);
    if (it == painters().end()) return {};
    const QIcon fallback(drawn(it->second.second));
    const char* theme = it->second.first;
    return *theme ? QIcon::fromTheme(QLatin1String(theme), fallback) : fallback;
}

} // namespace zd
