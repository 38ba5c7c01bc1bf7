#include "render/PictureBox.h"

#include <QAbstractEventDispatcher>
#include <QPaintEvent>
#include <QThread>

#include <algorithm>

namespace zd {

namespace {
// Drawing that has gone unseen this long is shown at the next processing of events.
constexpr qint64 kProgressMs = 100;
} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBandThreads(std::clamp(QThread::idealThreadCount(), 1, 4));
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &PictureBox::repaintWhenIdle);
}

PictureBox::~PictureBox() { stopBandThreads(); }

void PictureBox::bandsShown()
{
    QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
}

Dpi PictureBox::dpi() const
{
    if (!m_dpi) m_dpi = Dpi{double(logicalDpiX()), double(logicalDpiY())};
    return *m_dpi;
}

bool PictureBox::event(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show) m_dpi.reset();
    return QWidget::event(event);
}

void PictureBox::painted()
{
    if (!m_repaintDue) {
        m_repaintDue = true;
        m_unseen.start();
    } else if (m_unseen.elapsed() >= kProgressMs) {
        update();
        m_unseen.start();
    }
}

void PictureBox::repaintWhenIdle()
{
    if (!m_repaintDue) return;
    m_repaintDue = false;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    // While the picture is drawn in bands it shows what the helpers have put in so far.
    std::unique_lock<std::mutex> shown;
    if (banding()) shown = std::unique_lock(bandsLock());
    else {
        ensureImages();
        endPainting();
    }
    const QImage& image = persistentImage();
    QPainter p(this);
    const qreal dpr = image.devicePixelRatio();
    p.drawImage(event->rect(), image, QRectF(QPointF(event->rect().topLeft()) * dpr, QSizeF(event->rect().size()) * dpr));
    if (screenDirty()) p.drawImage(QPoint(0, 0), screenLayer());
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureImages();
}

} // namespace zd
