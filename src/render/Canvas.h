#pragma once
// The drawing surface of the program without a window: a persistent image and a screen
// layer for temporary drawing over it, a user coordinate system, and the drawing state
// (line width in pixels, colours, fill, font, text position) the drawing routines use.
// The map picture on the screen is a Canvas shown by a widget (PictureBox); a Canvas of
// its own size draws the same pictures off the screen.
#include "data/ZdTypes.h"
#include "render/BandPainter.h"
#include "render/View.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <vector>

namespace zd {

class Canvas {
public:
    enum ScaleMode { UserScale = 0, TwipsScale = 1, PixelScale = 3 };
    enum FillStyle { FillSolid = 0, FillTransparent = 1 };

    // A picture of the size in logical pixels, at the DPI and device pixel ratio.
    explicit Canvas(QSize pixels = QSize(1, 1), Dpi dpi = {}, qreal deviceRatio = 1);
    virtual ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // --- size of the picture
    virtual QSize pixelSize() const { return m_pixels; }
    virtual Dpi dpi() const { return m_dpi; }
    virtual qreal deviceRatio() const { return m_ratio; }
    void setPixelSize(QSize pixels) { m_pixels = pixels; }

    // --- coordinate system (user units; Y grows downward unless the height is negative)
    void setScale(double x1, double y1, double x2, double y2);   // first corner = top-left
    void setScale(const Frame& f) { setScale(f.x1, f.y1, f.x2, f.y2); }
    double scaleLeft() const { return m_left; }
    double scaleTop() const { return m_top; }
    double scaleWidth() const { return m_width; }
    double scaleHeight() const { return m_height; }
    void setScaleLeft(double v) { m_left = v; m_mode = UserScale; }
    void setScaleTop(double v) { m_top = v; m_mode = UserScale; }
    void setScaleWidth(double v) { m_width = v; m_mode = UserScale; }
    void setScaleHeight(double v) { m_height = v; m_mode = UserScale; }
    ScaleMode scaleMode() const { return m_mode; }
    void setScaleMode(ScaleMode mode);   // twips and pixels reset the origin to (0, 0)

    View view() const { return View{m_left, m_top, m_width, m_height, QSizeF(pixelSize()), dpi()}; }
    double twipsPerPixelX() const { return dpi().twipsPerPixelX(); }
    double twipsPerPixelY() const { return dpi().twipsPerPixelY(); }
    double widthTwips() const { return view().widthTwips(); }    // outer size
    double heightTwips() const { return view().heightTwips(); }
    QPointF toPixel(double x, double y) const;
    QPointF toUser(QPointF pixel) const;

    // The station search preview draws its symbols and names at fixed scales of its own.
    bool isPreview() const { return m_preview; }
    void setPreview(bool on) { m_preview = on; }

    // --- drawing state
    int drawWidth() const { return m_drawWidth; }
    void setDrawWidth(int px) { m_drawWidth = px < 1 ? 1 : px; }
    Color foreColor() const { return m_fore; }
    void setForeColor(Color c) { m_fore = c; }
    int fillStyle() const { return m_fillStyle; }
    void setFillStyle(int s) { m_fillStyle = s; }
    Color fillColor() const { return m_fillColor; }
    void setFillColor(Color c) { m_fillColor = c; }
    Color backColor() const { return m_back; }
    void setBackColor(Color c) { m_back = c; }
    double fontSize() const { return m_font.pointSizeF(); }
    void setFontSize(double points) { m_font.setPointSizeF(points > 0 ? points : 1); }
    bool fontBold() const { return m_font.bold(); }
    void setFontBold(bool bold) { m_font.setBold(bold); }
    void setFontFamily(const QString& family);
    bool fontTransparent() const { return m_fontTransparent; }
    void setFontTransparent(bool t) { m_fontTransparent = t; }
    double currentX() const { return m_curX; }
    double currentY() const { return m_curY; }
    void setCurrentX(double v) { m_curX = v; }
    void setCurrentY(double v) { m_curY = v; }

    // Draws through the painter of another device (an image of another size, an SVG or PDF
    // page, a printer) instead of the canvas's own images: the picture's pixel (0, 0) lands
    // at the painter's origin, under the transform and clip the painter has now. The size
    // and DPI of the canvas must be those of that area. Null: back to the own images.
    void paintOn(QPainter* painter);
    bool paintsElsewhere() const { return m_external != nullptr; }

    // Persistent drawing on: drawing goes into the image. Off: to the screen layer only.
    bool autoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { endPainting(); m_autoRedraw = on; }

    // A large picture drawn by the renderer: between beginBands() and endBands() its
    // primitives are drawn by `threads` helper threads, with the pixels of one thread, while
    // the caller goes on. Any other use of the picture first waits for them. Fewer than two
    // threads, or a drawing of fewer than `fromLines` lines, where handing over costs more
    // than it gains: everything is drawn at once, as always.
    void setBandThreads(int threads, int fromLines = 5000)
    {
        m_bandThreads = threads;
        m_bandsFrom = fromLines;
    }
    void beginBands(int lines);
    bool bandsDrawn(int waitMs) { return !banding() || m_bands->drawn(waitMs); }
    void endBands();
    void dropBands() { if (banding()) m_bands->drop(true); }   // keeps what was drawn

    // --- operations (user units unless said otherwise)
    void line(double x1, double y1, double x2, double y2, Color c);
    void lines(const QVector<QLineF>& segments, Color c);     // one call for many lines
    void box(double x1, double y1, double x2, double y2, Color c);
    void circle(double x, double y, double radius, Color c);   // radius along the X axis
    void polygonPixels(const QPolygon& pixels);               // fore colour, width, fill
    void print(const QString& text);                          // then to the next line
    double textWidth(const QString& text) const;
    double textHeight(const QString& text = QStringLiteral("0")) const;

    // Persistent drawing on: erase the image to the back colour. Off: clear the screen layer.
    void cls();
    void clearScreenLayer();
    void clearPicture();   // replaces the picture by an empty one

    // The painter on the current target, for drawing routines that set their own pen, brush
    // and render hints between save() and restore().
    QPainter& directPainter() { return painter(); }
    // How many times the picture was replaced by an empty one: a style that keeps what it
    // drew (drawingData) knows by it that the picture started afresh.
    std::uint64_t clearCount() const { return m_clears; }
    // What a drawing style keeps with this picture; the canvas itself never reads it.
    std::shared_ptr<void>& drawingData() { return m_drawingData; }

    QImage image();               // the persistent image (drawing finished)
    QImage screenImage();         // what the user sees: image and screen layer
    QColor pixel(double x, double y);   // colour of the persistent image at a user point

protected:
    // Drawing went into one of the images, or an image was cleared.
    virtual void painted() {}
    void ensureImages();
    void endPainting();
    const QImage& persistentImage() const { return m_image; }
    const QImage& screenLayer() const { return m_screen; }
    bool screenDirty() const { return m_screenDirty; }
    bool banding() const { return m_bands && m_bands->active(); }
    // Held while the picture is shown during drawing in bands.
    std::mutex& bandsLock() { return m_bands->pictureLock(); }
    // A helper thread has put what it drew into the picture.
    virtual void bandsShown() {}
    void stopBandThreads();

private:
    QPainter& painter();
    void preparePen(QPainter& p, Color c);
    void prepareBrush(QPainter& p);
    QImage& target() { return m_autoRedraw ? m_image : m_screen; }
    BandPainter::Pen bandPen(Color c, bool cosmetic = false) const;
    BandPainter::Fill bandFill() const;
    void recordText(const QString& text);
    const QFontMetricsF& metrics() const { return face().metrics; }

    QSize m_pixels;
    Dpi m_dpi;
    qreal m_ratio;
    QImage m_image, m_screen;
    std::unique_ptr<QPainter> m_painter;
    QPainter* m_external = nullptr;
    QTransform m_base;   // the external painter's transform: pixels of the canvas to the device's
    QImage* m_painting = nullptr;
    double m_left = 0, m_top = 0, m_width = 1, m_height = 1;
    ScaleMode m_mode = PixelScale;
    bool m_preview = false;
    int m_drawWidth = 1;
    Color m_fore = 0, m_fillColor = 0, m_back = rgb(0xE0, 0xE0, 0xE0);
    int m_fillStyle = FillTransparent;
    QFont m_font;
    bool m_fontTransparent = true;
    bool m_autoRedraw = true;
    bool m_screenDirty = false;
    double m_curX = 0, m_curY = 0;
    std::uint64_t m_clears = 0;
    std::shared_ptr<void> m_drawingData;
    int m_bandThreads = 0, m_bandsFrom = 0;
    std::unique_ptr<BandPainter> m_bands;

    // What the painter was last given, so that a run of equal settings costs nothing.
    struct PainterState {
        QColor pen, brush;
        int width = -1;
        bool penSet = false, brushSet = false, noBrush = false;
    } m_applied;

    // Metrics of each font used on this picture, with the widths of the texts measured in
    // it: the same names are measured again by every render of nearby frames.
    struct FontFace {
        QFont font;
        double dpi;
        QFontMetricsF metrics;
        QHash<QString, qreal> widths;
    };
    FontFace& face() const;
    qreal pixelWidth(const QString& text) const;
    mutable std::vector<std::unique_ptr<FontFace>> m_faces;
    mutable FontFace* m_face = nullptr;
};

QColor toQColor(Color c);
Color fromQColor(const QColor& c);

} // namespace zd
