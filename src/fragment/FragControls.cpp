#include "fragment/FragControls.h"

#include "render/PictureBox.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace zd {

RamkaShape::RamkaShape(PictureBox& pic) : QWidget(&pic), m_pic(pic)
{
    setObjectName(QStringLiteral("Ramka"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    pic.installEventFilter(this);
    relayout();
}

void RamkaShape::setMapRect(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = std::fabs(width);
    m_height = std::fabs(height);
    relayout();
}

void RamkaShape::relayout()
{
    const double down = m_pic.scaleHeight() < 0 ? -1.0 : 1.0;   // screen-downward in map y
    const QPointF a = m_pic.toPixel(m_left, m_top);
    const QPointF b = m_pic.toPixel(double(m_left) + m_width, m_top + down * m_height);
    const QRectF r = QRectF(a, b).normalized();
    const QPoint topLeft(static_cast<int>(std::lround(r.left())), static_cast<int>(std::lround(r.top())));
    const QPoint bottomRight(static_cast<int>(std::lround(r.right())),
                             static_cast<int>(std::lround(r.bottom())));
    setGeometry(QRect(topLeft, bottomRight));   // inclusive corners: at least one pixel
}

void RamkaShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, width() - 1, height() - 1));
}

bool RamkaShape::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_pic && event->type() == QEvent::Resize) relayout();
    return QWidget::eventFilter(watched, event);
}

SnapshotView::SnapshotView(PictureBox& pic) : QWidget(&pic), m_pic(pic)
{
    setObjectName(QStringLiteral("PictSdvig"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void SnapshotView::setSnapshot(const QImage& image)
{
    m_image = image;
    update();
}

void SnapshotView::placeAt(double mapLeft, double mapTop)
{
    const QPointF at = m_pic.toPixel(mapLeft, mapTop);
    move(static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y())));
}

void SnapshotView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_image);
}

} // namespace zd
