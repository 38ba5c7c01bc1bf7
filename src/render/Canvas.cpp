#include "render/Canvas.h"

#include <QThreadPool>
#include <cmath>

namespace zd {

namespace {
// Fonts and measured texts kept per picture: the program uses a handful of sizes, and a
// large network has a few hundred thousand names.
constexpr std::size_t kMaxFaces = 16;
constexpr qsizetype kMaxWidths = 500000;

// A full table of widths is let go on a pool thread: freeing half a million names on the
// window's thread held it for more than 100 ms in the middle of a frame.
void dropWidths(QHash<QString, qreal>& widths)
{
    QThreadPool::globalInstance()->start([old = std::move(widths)]() mutable { old = {}; });
    widths = {};
}

void setImageDpi(QImage& image, Dpi dpi)
{
    image.setDotsPerMeterX(qRound(dpi.x / 0.0254));
    image.setDotsPerMeterY(qRound(dpi.y / 0.0254));
}
} // namespace

QColor toQColor(Color c)
{
    const Rgb p = splitRgb(c);
    return QColor(p.red, p.green, p.blue);
}

Color fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

Canvas::Canvas(QSize pixels, Dpi dpi, qreal deviceRatio) : m_pixels(pixels), m_dpi(dpi), m_ratio(deviceRatio)
{
    m_font = QFont(QStringLiteral("MS Serif"));
    m_font.setStyleHint(QFont::Serif);
    m_font.setPointSizeF(6);
}

Canvas::~Canvas() { stopBandThreads(); }

void Canvas::stopBandThreads()
{
    endPainting();
    m_bands.reset();
}

void Canvas::beginBands(int lines)
{
    if (m_bandThreads < 2 || lines < m_bandsFrom || m_external || !m_autoRedraw || banding()) return;
    ensureImages();
    endPainting();
    if (!m_bands) m_bands = std::make_unique<BandPainter>(m_bandThreads, [this] { bandsShown(); });
    m_bands->begin(m_image);
}

void Canvas::endBands()
{
    if (!banding()) return;
    m_bands->end();
    painted();
}

BandPainter::Pen Canvas::bandPen(Color c, bool cosmetic) const { return {toQColor(c).rgb(), m_drawWidth, cosmetic}; }

BandPainter::Fill Canvas::bandFill() const { return {m_fillStyle == FillSolid, toQColor(m_fillColor).rgb()}; }

void Canvas::setFontFamily(const QString& family)
{
    const double size = m_font.pointSizeF();
    const bool bold = m_font.bold();
    m_font = QFont(family);
    m_font.setStyleHint(QFont::Serif);
    m_font.setPointSizeF(size);
    m_font.setBold(bold);
}

void Canvas::setScale(double x1, double y1, double x2, double y2)
{
    m_left = x1;
    m_top = y1;
    m_width = x2 - x1;
    m_height = y2 - y1;
    m_mode = UserScale;
}

void Canvas::setScaleMode(ScaleMode mode)
{
    m_mode = mode;
    if (mode == UserScale) return;
    m_left = m_top = 0;
    m_width = mode == PixelScale ? pixelSize().width() : widthTwips();
    m_height = mode == PixelScale ? pixelSize().height() : heightTwips();
}

QPointF Canvas::toPixel(double x, double y) const
{
    const QSize s = pixelSize();
    return QPointF((x - m_left) * s.width() / m_width, (y - m_top) * s.height() / m_height);
}

QPointF Canvas::toUser(QPointF px) const
{
    const QSize s = pixelSize();
    return QPointF(m_left + px.x() * m_width / s.width(), m_top + px.y() * m_height / s.height());
}

void Canvas::ensureImages()
{
    endBands();
    const qreal dpr = deviceRatio();
    const QSize px = (QSizeF(pixelSize()) * dpr).toSize().expandedTo(QSize(1, 1));
    if (m_image.size() == px && m_image.dotsPerMeterY() == qRound(dpi().y / 0.0254)) return;
    endPainting();
    QImage fresh(px, QImage::Format_RGB32);
    fresh.setDevicePixelRatio(dpr);
    setImageDpi(fresh, dpi());
    fresh.fill(toQColor(m_back));
    if (!m_image.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, m_image);
    }
    m_image = fresh;
    m_screen = QImage(px, QImage::Format_ARGB32_Premultiplied);
    m_screen.setDevicePixelRatio(dpr);
    setImageDpi(m_screen, dpi());
    m_screen.fill(Qt::transparent);
}

void Canvas::paintOn(QPainter* painter)
{
    endPainting();
    m_external = painter;
    m_base = painter ? painter->transform() : QTransform();
}

QPainter& Canvas::painter()
{
    if (m_external) return *m_external;
    ensureImages();
    QImage* t = &target();
    if (!m_painter || m_painting != t) {
        endPainting();
        m_painter = std::make_unique<QPainter>(t);
        m_painting = t;
    }
    if (t == &m_screen) m_screenDirty = true;
    painted();
    return *m_painter;
}

void Canvas::endPainting()
{
    endBands();
    m_painter.reset();
    m_painting = nullptr;
    m_applied = {};
}

void Canvas::preparePen(QPainter& p, Color c)
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

void Canvas::prepareBrush(QPainter& p)
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

Canvas::FontFace& Canvas::face() const
{
    const double dpi = this->dpi().y;
    if (m_face && m_face->dpi == dpi && m_face->font == m_font) return *m_face;
    for (const auto& f : m_faces)
        if (f->dpi == dpi && f->font == m_font) return *(m_face = f.get());
    if (m_faces.size() >= kMaxFaces) {
        dropWidths(m_faces.front()->widths);
        m_faces.erase(m_faces.begin());
    }
    QImage device(1, 1, QImage::Format_RGB32);   // fonts are measured at the picture's DPI
    setImageDpi(device, this->dpi());
    m_faces.push_back(std::make_unique<FontFace>(FontFace{m_font, dpi, QFontMetricsF(m_font, &device), {}}));
    return *(m_face = m_faces.back().get());
}

qreal Canvas::pixelWidth(const QString& text) const
{
    FontFace& f = face();
    if (auto it = f.widths.constFind(text); it != f.widths.constEnd()) return *it;
    if (f.widths.size() >= kMaxWidths) dropWidths(f.widths);
    return *f.widths.insert(text, f.metrics.horizontalAdvance(text));
}

void Canvas::line(double x1, double y1, double x2, double y2, Color c)
{
    if (banding()) {
        m_bands->line(QLineF(toPixel(x1, y1), toPixel(x2, y2)), bandPen(c));
        painted();
    } else {
        QPainter& p = painter();
        preparePen(p, c);
        p.drawLine(toPixel(x1, y1), toPixel(x2, y2));
    }
    m_curX = x2;
    m_curY = y2;
}

void Canvas::lines(const QVector<QLineF>& segments, Color c)
{
    if (segments.isEmpty()) return;
    if (banding()) {
        m_bands->lines(segments, view().transform(), bandPen(c, true));
        return painted();
    }
    QPainter& p = painter();
    preparePen(p, c);
    if (m_external && (m_external->device()->devType() != QInternal::Image || m_base.type() > QTransform::TxTranslate)) {
        // Vector devices scale a stroke by the transform, and an enlarged picture enlarges
        // its lines as it does the symbols: the lines go there in the canvas's pixels.
        const QTransform toPixels = view().transform();
        QVector<QLineF> mapped;
        mapped.reserve(segments.size());
        for (const QLineF& l : segments) mapped.append(toPixels.map(l));
        const bool raster = m_external->device()->devType() == QInternal::Image;
        if (raster) {
            // Square ends close the joints of wide lines as round ones do, at a fraction
            // of the stroking work.
            QPen pen = p.pen();
            pen.setCapStyle(Qt::SquareCap);
            p.setPen(pen);
        }
        p.drawLines(mapped);
        if (raster) m_applied.penSet = false;
        return;
    }
    p.save();
    p.setTransform(view().transform() * m_base);
    QPen pen = p.pen();
    pen.setCosmetic(true);   // the width stays in pixels under the map transform
    p.setPen(pen);
    p.drawLines(segments);
    p.restore();
}

void Canvas::box(double x1, double y1, double x2, double y2, Color c)
{
    const QRectF r = QRectF(toPixel(x1, y1), toPixel(x2, y2)).normalized();
    if (banding()) {
        m_bands->rect(r, bandPen(c), bandFill());
        return painted();
    }
    QPainter& p = painter();
    preparePen(p, c);
    prepareBrush(p);
    p.drawRect(r);
}

void Canvas::circle(double x, double y, double radius, Color c)
{
    const double r = std::fabs(radius * pixelSize().width() / m_width);
    if (banding()) {
        m_bands->ellipse(toPixel(x, y), r, bandPen(c), bandFill());
        return painted();
    }
    QPainter& p = painter();
    preparePen(p, c);
    prepareBrush(p);
    p.drawEllipse(toPixel(x, y), r, r);
}

void Canvas::polygonPixels(const QPolygon& pixels)
{
    if (pixels.isEmpty()) return;
    if (banding()) {
        m_bands->polygon(pixels, bandPen(m_fore), bandFill());
        return painted();
    }
    QPainter& p = painter();
    preparePen(p, m_fore);
    prepareBrush(p);
    p.drawPolygon(pixels);
}

void Canvas::print(const QString& text)
{
    if (banding()) return recordText(text);
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
    m_curY += fm.height() * m_height / pixelSize().height();
}

void Canvas::recordText(const QString& text)
{
    const QFontMetricsF& fm = metrics();
    const QPointF at = toPixel(m_curX, m_curY);
    m_bands->text({m_font, text, QRectF(at, QSizeF(pixelWidth(text), fm.height())), fm.ascent(), !m_fontTransparent,
                   toQColor(m_back).rgb(), toQColor(m_fore).rgb()});
    m_curY += fm.height() * m_height / pixelSize().height();
    painted();
}

double Canvas::textWidth(const QString& text) const
{
    return pixelWidth(text) * m_width / pixelSize().width();
}

double Canvas::textHeight(const QString& text) const
{
    const int lines = static_cast<int>(text.count(u'\n')) + 1;
    return metrics().height() * lines * std::fabs(m_height) / pixelSize().height();
}

void Canvas::cls()
{
    if (m_autoRedraw) clearPicture();
    else clearScreenLayer();
    m_curX = m_left;
    m_curY = m_top;
}

void Canvas::clearScreenLayer()
{
    if (m_external) return;   // another device has no screen layer
    ensureImages();
    if (m_painting == &m_screen) endPainting();
    m_screen.fill(Qt::transparent);
    m_screenDirty = false;
    painted();
}

void Canvas::clearPicture()
{
    if (m_external) {
        m_external->fillRect(QRectF(QPointF(0, 0), QSizeF(pixelSize())), toQColor(m_back));
        ++m_clears;
        return;
    }
    if (banding()) m_bands->drop(false);   // all of it is painted over
    ensureImages();
    if (m_painting == &m_image) endPainting();
    m_image.fill(toQColor(m_back));
    ++m_clears;
    painted();
}

QImage Canvas::image()
{
    ensureImages();
    endPainting();
    return m_image;
}

QImage Canvas::screenImage()
{
    QImage out = image().convertToFormat(QImage::Format_RGB32);
    if (m_screenDirty) {
        QPainter p(&out);
        p.drawImage(0, 0, m_screen);
    }
    return out;
}

QColor Canvas::pixel(double x, double y)
{
    const QImage img = image();
    const QPointF px = toPixel(x, y) * img.devicePixelRatio();
    const QPoint at(static_cast<int>(std::floor(px.x())), static_cast<int>(std::floor(px.y())));
    return img.valid(at) ? img.pixelColor(at) : QColor();
}

} // namespace zd
