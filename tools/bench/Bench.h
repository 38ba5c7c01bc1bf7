#pragma once
// Pieces of zdbench that are tested on their own: sample statistics, the frames the
// benchmark draws, the query floor, and the draw floor (the frame's lines, symbols and
// texts drawn straight with QPainter from plain arrays, without row sets).
#include "data/RowSet.h"
#include "render/MapState.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

struct sqlite3;

namespace zd {
class PictureBox;
}

namespace zd::bench {

// Milliseconds of the runs of one figure.
struct Samples {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double median() const;   // mean of the two middle values for an even count; 0 when empty
    double min() const;
    double max() const;
};

// A frame of 1/zoom of the scheme's width and height centred on a map point.
Frame frameAround(const Frame& scheme, int zoom, QPointF centre);

// The fixed centres of the zoomed frames, as fractions of the scheme.
const std::vector<QPointF>& zoomCentres();

// The map position of the station nearest to a fraction of the scheme, so that a zoomed
// frame is never empty; the point itself when the table has no station.
QPointF nearestStation(sqlite3* db, const Frame& scheme, QPointF fraction);

// Prepares and steps each SQL text to its end, reading nothing; returns the rows stepped,
// or -1 when a text fails.
long long stepQueries(sqlite3* db, const QStringList& sqls);

// What one frame puts on the picture, in pixels, ready to be drawn with QPainter. Texts
// are measured while drawing, as an opaque label must be: the width of its cell, and for
// a section length also whether it fits the section and where it is centred.
struct DrawList {
    struct LineBatch { QColor color; int width; QVector<QLineF> lines; };
    struct Symbol {
        enum Shape { Box, Circle, Triangle } shape;
        QColor pen, brush;
        int width;
        QRectF rect;      // box, or the circle's bounding square
        QPolygon triangle;
    };
    struct Text { int font; QColor color; QPointF at; QString text; };   // at: top left, pixels
    struct Length {
        double x1, y1, x2, y2;   // section ends, map units
        QString digits;          // the length's digits and one "0": the width it needs
        QString text;            // what is printed
    };

    QSize size;
    QColor back;
    std::vector<QFont> fonts;
    std::vector<QFontMetricsF> metrics;   // of each font on the picture
    std::vector<LineBatch> lines;
    std::vector<Length> lengths;  // section lengths, drawn after the lines
    int lengthFont = -1;
    double left = 0, top = 0, pxPerUnitX = 1, pxPerUnitY = 1;   // the frame's coordinate system
    std::vector<Symbol> symbols;
    std::vector<Text> names;      // station names, drawn last
    bool opaqueText = true;

    std::size_t primitives() const;
};

// Builds the draw list of the rows that the renderer has just drawn on pic. The picture
// must still have the frame's coordinate system; st is the state after the render.
DrawList buildDrawList(const MapState& st, PictureBox& pic, RowSet& sections, RowSet& stations);

// Clears the image to the back colour and draws the list on it.
void drawList(const DrawList& list, QImage& image);

// Fraction of pixels in which two images of the same size differ (1 when the sizes differ).
double differingPixels(const QImage& a, const QImage& b);

// Peak resident memory of the process in megabytes (VmHWM), and the present one (VmRSS).
double peakMemoryMb();
double residentMemoryMb();
// Starts the peak anew from the present resident memory; false where the system cannot.
bool resetPeakMemory();

} // namespace zd::bench
