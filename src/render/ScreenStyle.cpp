#include "render/ScreenScene.h"

#include "data/RowSet.h"
#include "render/Canvas.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace zd::screen {

namespace {

// Sizes grow with the zoom between these scales (twips per map unit) and no further.
constexpr double kFarScale = 0.3, kNearScale = 9.6;
constexpr double kHighlightCasing = 1.5;   // pixels of the darker edge round a highlight

Sizes lerp(double t)
{
    auto at = [t](double lo, double hi) { return lo + (hi - lo) * t; };
    auto font = [t](int lo, int hi) { return lo + static_cast<int>(std::lround((hi - lo) * t)); };
    return Sizes{at(4.5, 7.5), at(3.5, 5.5), at(4.5, 6.5), at(2.5, 4), at(1.6, 3),
                 at(1.5, 2),   at(2.4, 3),   at(4.5, 5.5),
                 font(12, 14), font(11, 12), font(10, 11)};
}

double zoomFraction(float scale)
{
    if (!(scale > kFarScale)) return 0;
    return std::min(1.0, std::log2(scale / kFarScale) / std::log2(kNearScale / kFarScale));
}

struct SectionColumns {
    int x1, y1, x2, y2, country, tracks, length;
    explicit SectionColumns(const RowSet& rs)
        : x1(rs.column(u"Stn1X")), y1(rs.column(u"Stn1Y")), x2(rs.column(u"Stn2X")), y2(rs.column(u"Stn2Y")),
          country(rs.column(u"KodContry")), tracks(rs.column(u"RL")), length(rs.column(u"LenPer")) {}
    bool drawable(const RowSet& rs, int r) const
    {
        return !rs.isNullAt(r, x1) && !rs.isNullAt(r, y1) && !rs.isNullAt(r, x2) && !rs.isNullAt(r, y2);
    }
};

bool outsideRussia(const MapState& st, const RowSet& rows, int r, int country)
{
    return st.rusMode == 2 && rows.numberAt(r, country) != 11;
}

// The look of a station of the network: dark outline on white, pale outside Russia when
// the CIS is marked.
Symbol stationSymbol(const MapState& st, QPointF at, std::int16_t tip, bool pale)
{
    return Symbol{at, tip, toColor(pale ? st.palette.stnPale : st.palette.stn), pale ? QColor(246, 246, 240) : Qt::white};
}

Overlay* findOverlay(Scene& sc, const void* key, bool stations)
{
    for (Overlay& o : sc.overlays)
        if (o.key == key && o.stations == stations) return &o;
    return nullptr;
}

// A highlight drawn again in the network colour is taken off; in another colour it is
// drawn anew. Either way the picture is painted again from its scene.
bool updateOverlay(Canvas& pic, Store& store, const void* key, bool stations, Color color, const MapState& st,
                   Overlay fresh)
{
    Scene& sc = store.scene;
    Overlay* o = findOverlay(sc, key, stations);
    if (color == st.palette.net) {
        if (!o) return false;
        sc.overlays.erase(sc.overlays.begin() + (o - sc.overlays.data()));
    } else if (o) {
        *o = std::move(fresh);
    } else {
        sc.overlays.push_back(std::move(fresh));
    }
    if (!store.held) paintScene(pic, store);
    return true;
}

QVector<QLineF> sectionLines(const View& v, RowSet& rows)
{
    const SectionColumns c(rows);
    QVector<QLineF> lines;
    lines.reserve(rows.recordCount());
    for (int r = 0; r < rows.recordCount(); ++r)
        if (c.drawable(rows, r))
            lines.append(QLineF(v.toPixel(rows.numberAt(r, c.x1), rows.numberAt(r, c.y1)),
                                v.toPixel(rows.numberAt(r, c.x2), rows.numberAt(r, c.y2))));
    return lines;
}

void collectNetwork(const MapState& st, const View& v, RowSet& rows, Color color, Scene& sc)
{
    const SectionColumns c(rows);
    const double quarter = (static_cast<double>(st.scheme.x2) - st.scheme.x1) / 4;
    sc.withLengths = !sc.preview && c.length >= 0 && std::fabs(v.width) < quarter;
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (!c.drawable(rows, r)) continue;
        const QLineF line(v.toPixel(rows.numberAt(r, c.x1), rows.numberAt(r, c.y1)),
                          v.toPixel(rows.numberAt(r, c.x2), rows.numberAt(r, c.y2)));
        const QColor lineColor = toColor(outsideRussia(st, rows, r, c.country) ? st.palette.netPale : color);
        const double width = rows.numberAt(r, c.tracks) >= 2 ? sc.sizes.doubleTrack : sc.sizes.singleTrack;
        if (sc.network.empty() || sc.network.back().color != lineColor || sc.network.back().width != width)
            sc.network.push_back(StrokeBatch{lineColor, width, {}});
        sc.network.back().lines.append(line);
        if (sc.withLengths && !rows.isNullAt(r, c.length))
            sc.lengths.push_back(LengthSite{line.center(), line.length(),
                                            QString::number(toLong(rows.numberAt(r, c.length)))});
    }
}

std::vector<Symbol> symbolsOf(const MapState& st, Canvas& pic, RowSet& rows, const std::vector<int>* kept)
{
    const int cc = rows.column(u"KodContry");
    std::vector<Symbol> out;
    for (const StationRow& s : stationRows(st, pic, rows)) {
        if (kept && !std::binary_search(kept->begin(), kept->end(), s.row)) continue;
        out.push_back(stationSymbol(st, s.at, s.tip, outsideRussia(st, rows, s.row, cc)));
    }
    // Drawn in the rows' order (ascending type from the frame's query): centres on top.
    std::stable_sort(out.begin(), out.end(), [](const Symbol& a, const Symbol& b) { return a.tip < b.tip; });
    return out;
}

} // namespace

double Sizes::symbol(int tip) const
{
    switch (tip) {
    case 9: return centre;
    case 8: return junction;
    case 7: return division;
    case 4: case 5: case 6: return major;
    default: return minor;
    }
}

Sizes sizesAt(float scale, bool preview) { return lerp(preview ? 0.3 : zoomFraction(scale)); }
Sizes sizesFloor() { return lerp(0); }
Sizes sizesCeiling() { return lerp(1); }

QColor background() { return QColor(247, 245, 240); }
QColor toColor(Color c) { return toQColor(c); }

Store* currentStore(Canvas& pic)
{
    auto* store = static_cast<Store*>(pic.drawingData().get());
    return store && store->clears == pic.clearCount() ? store : nullptr;
}

Store& storeOf(MapState& st, Canvas& pic)
{
    std::shared_ptr<void>& data = pic.drawingData();
    if (!data) data = std::make_shared<Store>();
    auto& store = *static_cast<Store*>(data.get());
    if (store.clears != pic.clearCount()) {
        store.clears = pic.clearCount();
        store.scene = Scene{};
        store.scene.preview = pic.isPreview();
        store.scene.sizes = sizesAt(st.kadrScale, pic.isPreview());
        store.scene.area = QRectF(QPointF(0, 0), QSizeF(pic.pixelSize()));
        // A picture never cleared (a legend's symbol on another page) keeps what is under it.
        store.scene.ground = pic.clearCount() != 0;
        if (store.scene.ground && !store.held) pic.directPainter().fillRect(store.scene.area, background());
    }
    return store;
}

// ---------------------------------------------------------------- painting

void paintNetwork(QPainter& p, const std::vector<StrokeBatch>& network)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const StrokeBatch& b : network) {
        // Square caps keep the painter on its fast path for wide antialiased lines.
        p.setPen(QPen(b.color, b.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawLines(b.lines);
    }
    p.restore();
}

void paintSymbols(QPainter& p, const Sizes& s, const std::vector<Symbol>& symbols, const QColor& ring)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Symbol& y : symbols) {
        const double e = s.symbol(y.tip);
        if (ring.isValid()) {
            p.setPen(QPen(ring, 2.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(y.at, e + 3, e + 3);
        }
        switch (y.tip) {
        case 9:
        case 7:
            p.setPen(QPen(y.outline, y.tip == 9 ? 1.8 : 1.4));
            p.setBrush(y.fill);
            p.drawEllipse(y.at, e, e);
            if (y.tip == 9) {
                p.setPen(Qt::NoPen);
                p.setBrush(y.outline);
                p.drawEllipse(y.at, e * 0.42, e * 0.42);
            }
            break;
        case 8: {
            const QPointF pts[3] = {y.at + QPointF(-e, e * 0.8), y.at + QPointF(e, e * 0.8), y.at + QPointF(0, -e)};
            p.setPen(QPen(y.fill, 1));
            p.setBrush(y.outline);
            p.drawPolygon(pts, 3);
            break;
        }
        case 4: case 5: case 6:
            p.setPen(QPen(y.outline, 1.2));
            p.setBrush(y.fill);
            p.drawRect(QRectF(y.at - QPointF(e, e), QSizeF(2 * e, 2 * e)));
            break;
        default:
            p.fillRect(QRectF(y.at - QPointF(e, e), QSizeF(2 * e, 2 * e)), y.outline);
            break;
        }
    }
    p.restore();
}

void paintOverlay(QPainter& p, const Sizes& s, const Overlay& o)
{
    if (!o.lines.isEmpty()) {
        const double w = s.highlight;
        paintNetwork(p, {StrokeBatch{o.color.darker(170), w + kHighlightCasing, o.lines}, StrokeBatch{o.color, w, o.lines}});
    }
    paintSymbols(p, s, o.symbols, o.color);
}

void paintLabels(QPainter& p, Store& store, const std::vector<Label>& labels)
{
    const Sizes& s = store.scene.sizes;
    QColor plate = background();
    plate.setAlpha(205);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const Label& l : labels) p.fillRect(l.box, plate);
    int font = -1;
    for (const Label& l : labels) {
        if (l.font != font) { font = l.font; p.setFont(store.fonts.font(font, s)); }
        p.setPen(l.color);
        p.drawStaticText(QPointF(l.box.left() + 1, l.box.top()), store.fonts.laidOut(font, s, l.text));
    }
    p.restore();
}

void paintScene(Canvas& pic, Store& store)
{
    const Scene& sc = store.scene;
    QPainter& p = pic.directPainter();
    if (sc.ground) p.fillRect(sc.area, background());
    paintNetwork(p, sc.network);
    paintSymbols(p, sc.sizes, sc.symbols);
    for (const Overlay& o : sc.overlays) paintOverlay(p, sc.sizes, o);
    paintLabels(p, store, sc.names);
    paintLabels(p, store, sc.lengthLabels);
    for (const Mark& m : sc.marks) paintSymbols(p, sc.sizes, {m.symbol}, m.color);
}

// ---------------------------------------------------------------- the drawing routines

void drawPeregons(MapState& st, Canvas& pic, RowSet& rows, Color color)
{
    Store& store = storeOf(st, pic);
    Scene& sc = store.scene;
    const View v = pic.view();
    if (findOverlay(sc, &rows, false) || color != st.palette.net) {
        Overlay o{&rows, false, toColor(color), sectionLines(v, rows), {}};
        updateOverlay(pic, store, &rows, false, color, st, std::move(o));
        return;
    }
    if (sc.networkKey) return;   // the network is on the picture already
    sc.networkKey = &rows;
    collectNetwork(st, v, rows, color, sc);
    if (!store.held) paintNetwork(pic.directPainter(), sc.network);
}

void drawStations(MapState& st, Canvas& pic, RowSet& rows, Color color)
{
    Store& store = storeOf(st, pic);
    Scene& sc = store.scene;
    if (findOverlay(sc, &rows, true) || color != st.palette.net) {
        Overlay o{&rows, true, toColor(color), {}, symbolsOf(st, pic, rows, nullptr)};
        updateOverlay(pic, store, &rows, true, color, st, std::move(o));
        return;
    }
    if (sc.symbolsKey) return;   // the frame's symbols are drawn already
    sc.symbolsKey = &rows;
    sc.keptRows = thinStations(st, sc, stationRows(st, pic, rows));
    sc.symbols = symbolsOf(st, pic, rows, &sc.keptRows);
    if (!store.held) paintSymbols(pic.directPainter(), sc.sizes, sc.symbols);
}

void drawStnSymbol(MapState& st, Canvas& pic, std::int32_t x, std::int32_t y, std::int16_t tip, Color color)
{
    Store* store = currentStore(pic);
    const Sizes sizes = store ? store->scene.sizes : sizesAt(st.kadrScale, pic.isPreview());
    const double pxPerUnit = std::fabs(pic.view().pixelsPerUnitX());
    if (tip == 7 || tip == 9) st.stnRadius = toLong(pxPerUnit > 0 ? sizes.symbol(tip) / pxPerUnit : 0);
    const Symbol symbol = stationSymbol(st, pic.view().toPixel(x, y), tip, false);
    const QColor ring = color == st.palette.net ? QColor() : toColor(color);
    if (store && pic.autoRedraw()) {
        auto& marks = store->scene.marks;
        if (!ring.isValid()) {
            // The station drawn in the network colour again: its mark goes.
            const auto gone = std::remove_if(marks.begin(), marks.end(), [&](const Mark& m) { return m.x == x && m.y == y; });
            if (gone != marks.end()) {
                marks.erase(gone, marks.end());
                if (!store->held) paintScene(pic, *store);
                return;
            }
        } else {
            marks.push_back(Mark{x, y, symbol, ring});
        }
    }
    if (!store || !store->held) paintSymbols(pic.directPainter(), sizes, {symbol}, ring);
}

void drawStnNames(MapState& st, Canvas& pic, RowSet& rows)
{
    Store& store = storeOf(st, pic);
    Scene& sc = store.scene;
    if (sc.labelled) return;   // the frame's names are placed already
    sc.labelled = true;
    std::vector<int> kept = sc.symbolsKey == &rows ? sc.keptRows : thinStations(st, sc, stationRows(st, pic, rows));
    placeLabels(st, pic, store, rows, kept);
    if (store.held) return;
    QPainter& p = pic.directPainter();
    paintLabels(p, store, sc.names);
    paintLabels(p, store, sc.lengthLabels);
}

// ---------------------------------------------------------------- what the scene holds

namespace {
std::vector<QRectF> boxes(const std::vector<Label>& labels)
{
    std::vector<QRectF> out;
    for (const Label& l : labels) out.push_back(l.box);
    return out;
}
} // namespace

std::vector<QRectF> placedNames(Canvas& pic)
{
    const Store* s = currentStore(pic);
    return s ? boxes(s->scene.names) : std::vector<QRectF>();
}

std::vector<QRectF> placedLengths(Canvas& pic)
{
    const Store* s = currentStore(pic);
    return s ? boxes(s->scene.lengthLabels) : std::vector<QRectF>();
}

std::vector<std::pair<QRectF, QString>> placedNameTexts(Canvas& pic)
{
    std::vector<std::pair<QRectF, QString>> out;
    if (const Store* s = currentStore(pic))
        for (const Label& l : s->scene.names) out.emplace_back(l.box, l.text);
    return out;
}

int drawnSymbols(Canvas& pic)
{
    const Store* s = currentStore(pic);
    return s ? static_cast<int>(s->scene.symbols.size()) : 0;
}

void holdPainting(MapState& st, Canvas& pic) { storeOf(st, pic).held = true; }

void releasePainting(Canvas& pic)
{
    auto* store = static_cast<Store*>(pic.drawingData().get());
    if (!store || !store->held) return;
    store->held = false;
    if (store == currentStore(pic)) paintScene(pic, *store);
}

} // namespace zd::screen
