// Which stations the "Для экрана" style draws and names: thinning by density, and names
// placed in priority order at the first free side of their symbol.
#include "render/ScreenScene.h"

#include "data/RowSet.h"
#include "render/Canvas.h"
#include "render/DrawStations.h"
#include "render/RectGrid.h"
#include "render/StnLabel.h"

#include <algorithm>
#include <cmath>

namespace zd::screen {

namespace {

constexpr double kGridCell = 48;       // pixels
constexpr double kLabelGap = 2;        // between a symbol and its name
constexpr double kLengthRoom = 16;     // a length needs its width and this much more of its section
constexpr int kLengthFontPx = 10;
constexpr qsizetype kMaxWidths = 200000;

// Priority of a station for its name and for staying when thinned, 0 first: the always
// named, centres of railways, junctions, centres of divisions, branching stations, then
// the others by class.
int priorityOf(int tip, bool branch, bool always)
{
    if (always) return 0;
    switch (tip) {
    case 9: return 1;
    case 8: return 2;
    case 7: return 3;
    default: break;
    }
    if (branch) return 4;
    return (tip >= 4 && tip <= 6) ? 5 + (6 - tip) : 8;
}

bool isMajor(int priority) { return priority <= 4; }

int fontRole(int tip)
{
    if (tip == 9) return FontCentre;
    return (tip == 7 || tip == 8) ? FontMajor : FontMinor;
}

// The classic rule of which names a scale shows; the preview shows every name.
bool nameShown(const MapState& st, const Scene& sc, int tip, bool always)
{
    if (sc.preview || always || tip == 9) return true;
    if (tip == 7 || tip == 8) return st.kadrScale >= st.scaleLow;
    return st.kadrScale >= st.scaleHigh;
}

QRectF square(QPointF c, double half) { return QRectF(c.x() - half, c.y() - half, 2 * half, 2 * half); }

} // namespace

// ---------------------------------------------------------------- fonts

Fonts::Face& Fonts::face(int role, const Sizes& s)
{
    const int px = role == FontCentre ? s.fontCentre
        : role == FontMajor          ? s.fontMajor
        : role == FontMinor          ? s.fontMinor
                                     : kLengthFontPx;
    const bool bold = role == FontCentre;
    const int key = px * 2 + (bold ? 1 : 0);
    auto it = m_faces.find(key);
    if (it == m_faces.end()) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(px);
        f.setBold(bold);
        it = m_faces.insert(key, std::make_shared<Face>(Face{f, QFontMetricsF(f), {}, {}}));
    }
    return **it;
}

const QFont& Fonts::font(int role, const Sizes& s) { return face(role, s).font; }
qreal Fonts::height(int role, const Sizes& s) { return face(role, s).metrics.height(); }

const QStaticText& Fonts::laidOut(int role, const Sizes& s, const QString& text)
{
    Face& f = face(role, s);
    if (auto it = f.texts.constFind(text); it != f.texts.constEnd()) return *it;
    if (f.texts.size() >= kMaxWidths) f.texts.clear();
    QStaticText t(text);
    t.setTextFormat(Qt::PlainText);
    return *f.texts.insert(text, t);
}

qreal Fonts::width(int role, const Sizes& s, const QString& text)
{
    Face& f = face(role, s);
    if (auto it = f.widths.constFind(text); it != f.widths.constEnd()) return *it;
    if (f.widths.size() >= kMaxWidths) f.widths.clear();
    return *f.widths.insert(text, f.metrics.horizontalAdvance(text));
}

// ---------------------------------------------------------------- stations

std::vector<StationRow> stationRows(const MapState&, Canvas& pic, RowSet& rows)
{
    const int cx = rows.column(u"StnX"), cy = rows.column(u"StnY"), ct = rows.column(u"TipStn");
    const int ck = rows.column(u"KodStn"), cb = rows.column(u"StnBranch");
    const View v = pic.view();
    std::vector<StationRow> out;
    out.reserve(rows.recordCount());
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNullAt(r, cx) || rows.isNullAt(r, cy) || rows.isNullAt(r, ct)) continue;
        const std::int16_t tip = toInt16(rows.numberAt(r, ct));
        const bool always = ck >= 0 && isAlwaysNamed(rows.numberAt(r, ck));
        out.push_back(StationRow{r, v.toPixel(toLong(rows.numberAt(r, cx)), toLong(rows.numberAt(r, cy))), tip,
                                 priorityOf(tip, cb >= 0 && rows.numberAt(r, cb) == 1, always)});
    }
    std::stable_sort(out.begin(), out.end(), [](const StationRow& a, const StationRow& b) { return a.priority < b.priority; });
    return out;
}

std::vector<int> thinStations(const MapState& st, const Scene& sc, const std::vector<StationRow>& rows)
{
    std::vector<int> kept;
    kept.reserve(rows.size());
    const double area = sc.area.width() * sc.area.height();
    const bool dense = st.generalise && area > 0 && rows.size() / (area / 10000) > kMaxSymbolsPer100;
    if (!dense) {
        for (const StationRow& r : rows) kept.push_back(r.row);
    } else {
        // A minor station stays only when no station kept before it is this close.
        const double room = 100 / std::sqrt(kMaxSymbolsPer100);
        RectGrid grid(sc.area.adjusted(-room, -room, room, room), room * 2);
        for (const StationRow& r : rows) {
            const QRectF around = square(r.at, room / 2);
            if (!isMajor(r.priority) && grid.intersects(around)) continue;
            grid.insert(around);
            kept.push_back(r.row);
        }
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

// ---------------------------------------------------------------- names and lengths

void placeLabels(MapState& st, Canvas& pic, Store& store, RowSet& rows, const std::vector<int>& kept)
{
    Scene& sc = store.scene;
    const Sizes& s = sc.sizes;
    const int cn = rows.column(u"NazStn"), cc = rows.column(u"KodContry");
    RectGrid grid(sc.area, kGridCell);      // names and lengths placed
    RectGrid symbols(sc.area, kGridCell);   // the symbols drawn
    std::vector<StationRow> stations = stationRows(st, pic, rows);
    std::erase_if(stations, [&](const StationRow& r) { return !std::binary_search(kept.begin(), kept.end(), r.row); });
    for (const StationRow& r : stations) symbols.insert(square(r.at, s.symbol(r.tip)));
    sc.names.clear();
    for (const StationRow& r : stations) {
        if (rows.isNullAt(r.row, cn) || !nameShown(st, sc, r.tip, r.priority == 0)) continue;
        const QString name = shownStnName(st, rows.textAt(r.row, cn));   // measured as drawn
        const int role = fontRole(r.tip);
        const double w = store.fonts.width(role, s, name) + 2, h = store.fonts.height(role, s);
        const double e = s.symbol(r.tip) + kLabelGap, d = e * 0.7;
        const QPointF at = r.at;
        // Right, left, above, below, then the corners.
        const QRectF sides[] = {QRectF(at.x() + e, at.y() - h / 2, w, h), QRectF(at.x() - e - w, at.y() - h / 2, w, h),
                                QRectF(at.x() - w / 2, at.y() - e - h, w, h), QRectF(at.x() - w / 2, at.y() + e, w, h),
                                QRectF(at.x() + d, at.y() - d - h, w, h), QRectF(at.x() + d, at.y() + d, w, h),
                                QRectF(at.x() - d - w, at.y() - d - h, w, h), QRectF(at.x() - d - w, at.y() + d, w, h)};
        // The names of the major stations may cover other symbols; the others keep clear of them.
        const bool overSymbols = r.priority <= 3;
        for (const QRectF& box : sides) {
            if (!sc.area.contains(box) || grid.intersects(box) || (!overSymbols && symbols.intersects(box))) continue;
            grid.insert(box);
            const bool pale = st.rusMode == 2 && rows.numberAt(r.row, cc) != 11;
            sc.names.push_back(Label{box, name, role, toColor(pale ? st.palette.stnPale : st.palette.stn)});
            break;
        }
    }
    sc.lengthLabels.clear();
    if (!sc.withLengths) return;
    const double h = store.fonts.height(FontLength, s);
    for (const LengthSite& site : sc.lengths) {
        const double w = store.fonts.width(FontLength, s, site.text) + 2;
        if (site.length < w + kLengthRoom) continue;
        const QRectF box(site.mid.x() - w / 2, site.mid.y() - h / 2, w, h);
        if (!sc.area.contains(box) || grid.intersects(box) || symbols.intersects(box)) continue;
        grid.insert(box);
        sc.lengthLabels.push_back(Label{box, site.text, FontLength, QColor(90, 90, 90)});
    }
}

} // namespace zd::screen
