#include "render/PictureBox.h"

#include <QAbstractEventDispatcher>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace zd {

namespace {
// Drawing that has gone unseen this long is shown at the next processing of events.
constexpr qint64 kProgressMs = 100;
// Fonts and measured texts kept per picture: the program uses a handful of sizes, and a
// large network has a few hundred thousand names.
constexpr std::size_t kMaxFaces = 16;
constexpr qsizetype kMaxWidths = 500000;
} // namespace

QColor toQColor(Color c)
{
    const Rgb p = splitRgb(c);
    return QColor(p.red, p.green, p.blue);
}

Color fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font = QFont(QStringLiteral("MS Serif"));
    m_font.setStyleHint(QFont::Serif);
    m_font.setPointSizeF(6);
    m_width = 1;
    m_height = 1;
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &PictureBox::repaintWhenIdle);
}

PictureBox::~PictureBox() { endPainting(); }

void PictureBox::setFontFamily(const QString& family)
{
    const double size = m_font.pointSizeF();
    const bool bold = m_font.bold();
    m_font = QFont(family);
    m_font.setStyleHint(QFont::Serif);
    m_font.setPointSizeF(size);
    m_font.setBold(bold);
}

void PictureBox::setScale(double x1, double y1, double x2, double y2)
{
    m_left = x1;
    m_top = y1;
    m_width = x2 - x1;
    m_height = y2 - y1;
    m_mode = UserScale;
}

void PictureBox::setScaleMode(ScaleMode mode)
{
    m_mode = mode;
    if (mode == UserScale) return;
    m_left = m_top = 0;
    m_width = mode == PixelScale ? width() : widthTwips();
    m_height = mode == PixelScale ? height() : heightTwips();
}

double PictureBox::twipsPerPixelX() const
{
    const double dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

double PictureBox::twipsPerPixelY() const
{
    const double dpi = logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QPointF PictureBox::toPixel(double x, double y) const
{
    return QPointF((x - m_left) * width() / m_width, (y - m_top) * height() / m_height);
}

QPointF PictureBox::toUser(QPointF px) const
{
    return QPointF(m_left + px.x() * m_width / width(), m_top + px.y() * m_height / height());
}

void PictureBox::ensureImages()
{
    const qreal dpr = devicePixelRatioF();
    const QSize px = (QSizeF(size()) * dpr).toSize().expandedTo(QSize(1, 1));
    if (m_image.size() != px) {
        endPainting();
        QImage fresh(px, QImage::Format_RGB32);
        fresh.setDevicePixelRatio(dpr);
        fresh.fill(toQColor(m_back));
        if (!m_image.isNull()) {
            QPainter p(&fresh);
            p.drawImage(0, 0, m_image);
        }
        m_image = fresh;
        m_screen = QImage(px, QImage::Format_ARGB32_Premultiplied);
        m_screen.setDevicePixelRatio(dpr);
        m_screen.fill(Qt::transparent);
    }
}

QPainter& PictureBox::painter()
{
    ensureImages();
    QImage* t = &target();
    if (!m_painter || m_painting != t) {
        endPainting();
        m_painter = std::make_unique<QPainter>(t);
        m_painting = t;
    }
    if (t == &m_screen) m_screenDirty = true;
    scheduleRepaint();
    return *m_painter;
}

void PictureBox::endPainting()
{
    m_painter.reset();
    m_painting = nullptr;
    m_applied = {};
}

void PictureBox::scheduleRepaint()
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

void PictureBox::preparePen(QPainter& p, Color c)
{
    const QColor color = toQColor(c);
    if (m_applied.penSet && m_applied.pen == color && m_applied.width == m_drawWidth) return;
    QPen pen(color);
    pen.setWidthF(m_drawWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    m_applied.pen = color;
    m_applied.width = m_drawWidth;
    m_applied.penSet = true;
}

void PictureBox::prepareBrush(QPainter& p)
{
    const bool none = m_fillStyle != FillSolid;
    const QColor color = toQColor(m_fillColor);
    if (m_applied.brushSet && m_applied.noBrush == none && (none || m_applied.brush == color)) return;
    if (none) p.setBrush(Qt::NoBrush);
    else p.setBrush(color);
    m_applied.brush = color;
    m_applied.noBrush = none;
    m_applied.brushSet = true;
}

PictureBox::FontFace& PictureBox::face() const
{
    const int dpi = logicalDpiY();
    if (m_face && m_face->dpi == dpi && m_face->font == m_font) return *m_face;
    for (const auto& f : m_faces)
        if (f->dpi == dpi && f->font == m_font) return *(m_face = f.get());
    if (m_faces.size() >= kMaxFaces) m_faces.erase(m_faces.begin());
    m_faces.push_back(std::make_unique<FontFace>(FontFace{m_font, dpi, QFontMetricsF(m_font, this), {}}));
    return *(m_face = m_faces.back().get());
}

qreal PictureBox::pixelWidth(const QString& text) const
{
    FontFace& f = face();
    if (auto it = f.widths.constFind(text); it != f.widths.constEnd()) return *it;
    if (f.widths.size() >= kMaxWidths) f.widths.clear();
    return *f.widths.insert(text, f.metrics.horizontalAdvance(text));
}

void PictureBox::line(double x1, double y1, double x2, double y2, Color c)
{
    QPainter& p = painter();
    preparePen(p, c);
    p.drawLine(toPixel(x1, y1), toPixel(x2, y2));
    m_curX = x2;
    m_curY = y2;
}

void PictureBox::lines(const QVector<QLineF>& segments, Color c)
{
    if (segments.isEmpty()) return;
    QPainter& p = painter();
    preparePen(p, c);
    p.save();
    p.setTransform(QTransform(width() / m_width, 0, 0, height() / m_height,
                              -m_left * width() / m_width, -m_top * height() / m_height));
    QPen pen = p.pen();
    pen.setCosmetic(true);   // the width stays in pixels under the map transform
    p.setPen(pen);
    p.drawLines(segments);
    p.restore();
}

void PictureBox::box(double x1, double y1, double x2, double y2, Color c)
{
    QPainter& p = painter();
    preparePen(p, c);
    prepareBrush(p);
    p.drawRect(QRectF(toPixel(x1, y1), toPixel(x2, y2)).normalized());
}

void PictureBox::circle(double x, double y, double radius, Color c)
{
    QPainter& p = painter();
    preparePen(p, c);
    prepareBrush(p);
    const double r = std::fabs(radius * width() / m_width);
    p.drawEllipse(toPixel(x, y), r, r);
}

void PictureBox::polygonPixels(const QPolygon& pixels)
{
    if (pixels.isEmpty()) return;
    QPainter& p = painter();
    preparePen(p, m_fore);
    prepareBrush(p);
    p.drawPolygon(pixels);
}

void PictureBox::print(const QString& text)
{
    QPainter& p = painter();
    if (!(p.font() == m_font)) p.setFont(m_font);
    const QFontMetricsF& fm = metrics();
    const QPointF at = toPixel(m_curX, m_curY);
    if (!m_fontTransparent) p.fillRect(QRectF(at, QSizeF(pixelWidth(text), fm.height())), toQColor(m_back));
    const QColor fore = toQColor(m_fore);
    if (!m_applied.penSet || m_applied.pen != fore || m_applied.width != 0) {
        p.setPen(fore);
        m_applied.pen = fore;
        m_applied.width = 0;   // the plain text pen, never a line pen
        m_applied.penSet = true;
    }
    p.drawText(QPointF(at.x(), at.y() + fm.ascent()), text);
    m_curY += fm.height() * m_height / height();
}

double PictureBox::textWidth(const QString& text) const
{
    return pixelWidth(text) * m_width / width();
}

double PictureBox::textHeight(const QString& text) const
{
    const int lines = static_cast<int>(text.count(u'\n')) + 1;
    return metrics().height() * lines * std::fabs(m_height) / height();
}

void PictureBox::cls()
{
    if (m_autoRedraw) clearPicture();
    else clearScreenLayer();
    m_curX = m_left;
    m_curY = m_top;
}

void PictureBox::clearScreenLayer()
{
    ensureImages();
    if (m_painting == &m_screen) endPainting();
    m_screen.fill(Qt::transparent);
    m_screenDirty = false;
    scheduleRepaint();
}

void PictureBox::clearPicture()
{
    ensureImages();
    if (m_painting == &m_image) endPainting();
    m_image.fill(toQColor(m_back));
    scheduleRepaint();
}

QImage PictureBox::image()
{
    ensureImages();
    endPainting();
    return m_image;
}

QImage PictureBox::screenImage()
{
    QImage out = image().convertToFormat(QImage::Format_RGB32);
    if (m_screenDirty) {
        QPainter p(&out);
        p.drawImage(0, 0, m_screen);
    }
    return out;
}

QColor PictureBox::pixel(double x, double y)
{
    const QImage img = image();
    const QPointF px = toPixel(x, y) * img.devicePixelRatio();
    const QPoint at(static_cast<int>(std::floor(px.x())), static_cast<int>(std::floor(px.y())));
    return img.valid(at) ? img.pixelColor(at) : QColor();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    ensureImages();
    endPainting();
    QPainter p(this);
    p.drawImage(event->rect(), m_image, QRectF(QPointF(event->rect().topLeft()) * m_image.devicePixelRatio(),
                                               QSizeF(event->rect().size()) * m_image.devicePixelRatio()));
    if (m_screenDirty) p.drawImage(QPoint(0, 0), m_screen);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureImages();
}

} // namespace zd
