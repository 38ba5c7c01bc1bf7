#pragma once
// Inside the "Для экрана" style: what a picture holds since it was last cleared, in the
// order it is painted (network lines, station symbols, highlights, names and lengths,
// marked stations), and the fonts with their measured texts. Device-independent pixels.
#include "render/ScreenStyle.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QPointF>
#include <QStaticText>
#include <QString>
#include <QVector>

#include <memory>

class QPainter;

namespace zd::screen {

struct Symbol {
    QPointF at;
    std::int16_t tip = 0;
    QColor outline, fill;
};

struct StrokeBatch {
    QColor color;
    double width = 1;
    QVector<QLineF> lines;
};

struct Label {
    QRectF box;   // the plate under the text
    QString text;
    int font = 0;
    QColor color;
};

// Where a section's length may go: its midpoint, its length on the picture, the text.
struct LengthSite {
    QPointF mid;
    double length = 0;
    QString text;
};

// A highlight: the rows of one caller drawn in its colour, over the symbols.
struct Overlay {
    const void* key = nullptr;   // the caller's row set, only compared
    bool stations = false;
    QColor color;
    QVector<QLineF> lines;
    std::vector<Symbol> symbols;
};

// A station marked on its own (the chosen station of the search), at whole map units.
struct Mark {
    std::int32_t x = 0, y = 0;
    Symbol symbol;
    QColor color;
};

struct Scene {
    Sizes sizes{};
    QRectF area;            // the picture
    bool preview = false;
    bool ground = false;    // the picture was cleared for it: its background is the style's
    bool withLengths = false;
    const void* networkKey = nullptr;
    const void* symbolsKey = nullptr;
    bool labelled = false;
    std::vector<StrokeBatch> network;
    std::vector<LengthSite> lengths;
    std::vector<Symbol> symbols;
    std::vector<int> keptRows;   // rows of symbolsKey drawn after thinning
    std::vector<Overlay> overlays;
    std::vector<Label> names, lengthLabels;
    std::vector<Mark> marks;
};

enum FontRole { FontCentre, FontMajor, FontMinor, FontLength };

// Fonts by pixel size and weight, with the widths of the texts measured in them: the same
// names are measured again by every frame.
class Fonts {
public:
    const QFont& font(int role, const Sizes& s);
    qreal width(int role, const Sizes& s, const QString& text);
    qreal height(int role, const Sizes& s);
    // The text laid out once in the font: drawn again by every frame that shows it.
    const QStaticText& laidOut(int role, const Sizes& s, const QString& text);

private:
    struct Face {
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, qreal> widths;
        QHash<QString, QStaticText> texts;
    };
    Face& face(int role, const Sizes& s);
    QHash<int, std::shared_ptr<Face>> m_faces;
};

struct Store {
    std::uint64_t clears = ~0ull;   // the picture's clear count the scene belongs to
    Scene scene;
    Fonts fonts;
    bool held = false;              // the routines build the scene without painting it
};

// The picture's store; a picture cleared since gets a fresh scene on the screen background.
Store& storeOf(MapState& st, Canvas& pic);
// The store only when its scene is the picture's current one.
Store* currentStore(Canvas& pic);

QColor background();
QColor toColor(Color c);

// Painting (the painter's state is saved and given back).
void paintNetwork(QPainter& p, const std::vector<StrokeBatch>& network);
void paintSymbols(QPainter& p, const Sizes& s, const std::vector<Symbol>& symbols, const QColor& ring = QColor());
void paintOverlay(QPainter& p, const Sizes& s, const Overlay& o);
void paintLabels(QPainter& p, Store& store, const std::vector<Label>& labels);
void paintScene(Canvas& pic, Store& store);   // the whole picture again

// Station rows in the order their names are placed and their symbols kept when thinned.
struct StationRow {
    int row;
    QPointF at;
    std::int16_t tip;
    int priority;
};
std::vector<StationRow> stationRows(const MapState& st, Canvas& pic, RowSet& rows);
// The rows kept: all of them, or with generalisation on in a frame too dense, the major
// ones and the minor ones with room around them.
std::vector<int> thinStations(const MapState& st, const Scene& scene, const std::vector<StationRow>& rows);
// Places the names of the rows, then the lengths of the sections, without collisions.
void placeLabels(MapState& st, Canvas& pic, Store& store, RowSet& rows, const std::vector<int>& kept);

} // namespace zd::screen
