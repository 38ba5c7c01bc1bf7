#include "Bench.h"

#include "render/DrawStations.h"
#include "render/PictureBox.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace zd::bench {

double Samples::median() const
{
    if (ms.empty()) return 0;
    std::vector<double> v = ms;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Samples::min() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
double Samples::max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }

Frame frameAround(const Frame& scheme, int zoom, QPointF centre)
{
    const double w = (static_cast<double>(scheme.x2) - scheme.x1) / zoom;
    const double h = (static_cast<double>(scheme.y2) - scheme.y1) / zoom;
    return {toLong(centre.x() - w / 2), toLong(centre.y() - h / 2), toLong(centre.x() + w / 2),
            toLong(centre.y() + h / 2)};
}

QPointF nearestStation(sqlite3* db, const Frame& scheme, QPointF fraction)
{
    const QPointF at(scheme.x1 + fraction.x() * (static_cast<double>(scheme.x2) - scheme.x1),
                     scheme.y1 + fraction.y() * (static_cast<double>(scheme.y2) - scheme.y1));
    sqlite3_stmt* st = nullptr;
    QPointF found = at;
    const char* sql = "SELECT StnX, StnY FROM Stn WHERE StnX IS NOT NULL AND StnY IS NOT NULL "
                      "ORDER BY (StnX - ?1) * (StnX - ?1) + (StnY - ?2) * (StnY - ?2) LIMIT 1";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_double(st, 1, at.x());
        sqlite3_bind_double(st, 2, at.y());
        if (sqlite3_step(st) == SQLITE_ROW) found = QPointF(sqlite3_column_double(st, 0), sqlite3_column_double(st, 1));
    }
    sqlite3_finalize(st);
    return found;
}

const std::vector<QPointF>& zoomCentres()
{
    static const std::vector<QPointF> centres = {{0.5, 0.5}, {0.25, 0.3}, {0.75, 0.3}, {0.3, 0.7}, {0.7, 0.7}};
    return centres;
}

long long stepQueries(sqlite3* db, const QStringList& sqls)
{
    long long rows = 0;
    for (const QString& sql : sqls) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            return -1;
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) ++rows;
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) return -1;
    }
    return rows;
}

std::size_t DrawList::primitives() const
{
    std::size_t n = lengths.size() + symbols.size() + names.size();
    for (const LineBatch& b : lines) n += static_cast<std::size_t>(b.lines.size());
    return n;
}

namespace {

// Map units to pixels of the picture's current coordinate system.
struct ToPixel {
    double left, top, sx, sy;
    explicit ToPixel(const PictureBox& pic)
        : left(pic.scaleLeft()), top(pic.scaleTop()), sx(pic.width() / pic.scaleWidth()),
          sy(pic.height() / pic.scaleHeight()) {}
    QPointF operator()(double x, double y) const { return {(x - left) * sx, (y - top) * sy}; }
};

// The picture's face at each size and weight, with its metrics on the picture.
class Fonts {
public:
    Fonts(DrawList& list, PictureBox& pic) : m_list(list), m_pic(pic) {}
    ~Fonts() { m_list.metrics = m_metrics; }
    int index(double size, bool bold)
    {
        const auto key = std::make_pair(static_cast<int>(std::lround(size * 100)), bold);
        if (auto it = m_index.find(key); it != m_index.end()) return it->second;
        QFont f(QStringLiteral("MS Serif"));
        f.setStyleHint(QFont::Serif);
        f.setPointSizeF(size);
        f.setBold(bold);
        m_list.fonts.push_back(f);
        m_metrics.emplace_back(f, &m_pic);
        return m_index[key] = static_cast<int>(m_list.fonts.size() - 1);
    }
    const QFontMetricsF& metrics(int font) const { return m_metrics[static_cast<std::size_t>(font)]; }

private:
    DrawList& m_list;
    PictureBox& m_pic;
    std::map<std::pair<int, bool>, int> m_index;
    std::vector<QFontMetricsF> m_metrics;
};

void addSections(DrawList& list, const MapState& st, RowSet& rows, const ToPixel& px)
{
    const int x1 = rows.column(u"Stn1X"), y1 = rows.column(u"Stn1Y"), x2 = rows.column(u"Stn2X"),
              y2 = rows.column(u"Stn2Y"), country = rows.column(u"KodContry");
    const int width = st.kadrScale >= 0.6f ? 2 : 1;
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNullAt(r, x1) || rows.isNullAt(r, y1) || rows.isNullAt(r, x2) || rows.isNullAt(r, y2)) continue;
        const Color c = (st.rusMode == 2 && rows.numberAt(r, country) != 11) ? st.palette.netPale : st.palette.net;
        if (list.lines.empty() || list.lines.back().color != toQColor(c))
            list.lines.push_back({toQColor(c), width, {}});
        auto f = [&](int col) { return static_cast<double>(static_cast<float>(rows.numberAt(r, col))); };
        list.lines.back().lines.append(QLineF(px(f(x1), f(y1)), px(f(x2), f(y2))));
    }
}

void addLengths(DrawList& list, Fonts& fonts, const MapState& st, RowSet& rows)
{
    const double w = static_cast<double>(st.kadr.x2) - st.kadr.x1;
    const double s = (static_cast<double>(st.scheme.x2) - st.scheme.x1) / 4;
    if (!(s > w) || rows.recordCount() == 0) return;
    list.lengthFont = fonts.index(7, false);
    const int x1 = rows.column(u"Stn1X"), y1 = rows.column(u"Stn1Y"), x2 = rows.column(u"Stn2X"),
              y2 = rows.column(u"Stn2Y"), len = rows.column(u"LenPer");
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNullAt(r, x1) || rows.isNullAt(r, y1) || rows.isNullAt(r, x2) || rows.isNullAt(r, y2)
            || rows.isNullAt(r, len))
            continue;
        const std::int32_t n = toLong(rows.numberAt(r, len));
        list.lengths.push_back({rows.numberAt(r, x1), rows.numberAt(r, y1), rows.numberAt(r, x2), rows.numberAt(r, y2),
                                QString::number(n) + u'0',
                                (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + u' '});
    }
}

struct StationCols {
    int x, y, tip, kod, name, country;
    explicit StationCols(const RowSet& rs)
        : x(rs.column(u"StnX")), y(rs.column(u"StnY")), tip(rs.column(u"TipStn")), kod(rs.column(u"KodStn")),
          name(rs.column(u"NazStn")), country(rs.column(u"KodContry")) {}
};

void addSymbol(DrawList& list, const MapState& st, const PictureBox& pic, const ToPixel& px, std::int32_t x,
               std::int32_t y, std::int16_t tip, Color outline, Color fill)
{
    const float halfW = static_cast<float>(pic.scaleWidth() / 2), halfH = static_cast<float>(pic.scaleHeight() / 2);
    const float s = std::sqrt(st.kadrScale);
    const bool far = st.kadrScale <= 0.3f;
    const QColor pen = toQColor(outline), brush = toQColor(fill);
    if (tip == 9 || tip == 7) {
        std::int32_t r = toLong(s * halfW / (tip == 9 ? 40 : 75));
        if (far) r = toLong(r * 1.5);
        auto circle = [&](double radius, QColor c) {
            const double rp = std::fabs(radius * px.sx);
            const QPointF centre = px(x, y);
            list.symbols.push_back({DrawList::Symbol::Circle, c, brush, 2,
                                    QRectF(centre.x() - rp, centre.y() - rp, 2 * rp, 2 * rp), {}});
        };
        circle(r, pen);
        if (tip == 9) circle(0.75 * r, QColor(192, 192, 192));
        return;
    }
    if (tip == 8) {
        const float a = s * halfW / 50, b = s * halfH / 40, fx = static_cast<float>(x), fy = static_cast<float>(y);
        const float ox = static_cast<float>(pic.scaleLeft()), oy = static_cast<float>(pic.scaleTop());
        const float kx = static_cast<float>(px.sx), ky = static_cast<float>(px.sy);
        auto v = [&](float vx, float vy) { return QPoint(toLong((vx - ox) * kx), toLong((vy - oy) * ky)); };
        QPolygon tri;
        tri << v(fx - a, fy + b) << v(fx + a, fy + b) << v(fx, fy - b);
        list.symbols.push_back({DrawList::Symbol::Triangle, pen, pen, 1, {}, tri});
        return;
    }
    const float div = (tip >= 4 && tip <= 6) ? 100 : 150;
    float a = s * halfW / div, b = s * halfH / div;
    if (far) { a /= 1.5f; b /= 1.5f; }
    list.symbols.push_back({DrawList::Symbol::Box, pen, brush, 2,
                            QRectF(px(x - a, y - b), px(x + a, y + b)).normalized(), {}});
}

void addSymbols(DrawList& list, const MapState& st, const PictureBox& pic, RowSet& rows, const ToPixel& px)
{
    const StationCols c(rows);
    Color fill = st.palette.net;
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNullAt(r, c.x) || rows.isNullAt(r, c.y) || rows.isNullAt(r, c.tip)) continue;
        const std::int16_t tip = toInt16(rows.numberAt(r, c.tip));
        Color outline = st.palette.net;
        if (st.rusMode == 2) {
            const bool russia = rows.numberAt(r, c.country) == 11;
            if (!russia) outline = st.palette.netPale;
            fill = (russia || !(tip == 7 || tip == 9)) ? st.palette.stn : st.palette.stnPale;
        }
        addSymbol(list, st, pic, px, toLong(rows.numberAt(r, c.x)), toLong(rows.numberAt(r, c.y)), tip, outline, fill);
    }
}

void addNames(DrawList& list, Fonts& fonts, const MapState& st, const PictureBox& pic, RowSet& rows,
              const ToPixel& px)
{
    const StationCols c(rows);
    const float scale = st.kadrScale;
    const double unitsY = std::fabs(pic.scaleHeight()) / pic.height();
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNullAt(r, c.x) || rows.isNullAt(r, c.y) || rows.isNullAt(r, c.name)) continue;
        const double tip = rows.numberAt(r, c.tip);
        double size = 6;
        bool shown = scale >= st.scaleHigh, bold = false;
        if (tip == 9) {
            size = 8;
            shown = true;
            bold = scale >= st.scaleLow;
        } else if (tip == 7 || tip == 8) {
            size = 7;
            shown = scale >= st.scaleLow;
        }
        if (isAlwaysNamed(rows.numberAt(r, c.kod))) shown = true;
        if (scale >= 2.0f) size += 1;
        if (!shown) continue;
        const int font = fonts.index(size, bold);
        const double th = fonts.metrics(font).height() * unitsY;
        const double x = rows.numberAt(r, c.x), y = rows.numberAt(r, c.y);
        const bool circle = tip == 7 || tip == 9;
        const QPointF at = circle ? px(x + 0.8 * st.stnRadius, y - 0.8 * th) : px(x, y - 1.5 * th);
        const QColor color = (st.rusMode == 2 && rows.numberAt(r, c.country) != 11) ? toQColor(st.palette.stnPale)
                                                                                   : QColor(Qt::black);
        list.names.push_back({font, color, at, rows.textAt(r, c.name)});
    }
}

// Draws texts in order, setting the font and the pen only when they change.
class TextPainter {
public:
    TextPainter(QPainter& p, const DrawList& list) : m_p(p), m_list(list) {}
    void draw(int font, QColor color, QPointF at, const QString& text)
    {
        const QFontMetricsF& fm = m_list.metrics[static_cast<std::size_t>(font)];
        if (font != m_font) m_p.setFont(m_list.fonts[static_cast<std::size_t>(m_font = font)]);
        if (m_list.opaqueText) m_p.fillRect(QRectF(at, QSizeF(fm.horizontalAdvance(text), fm.height())), m_list.back);
        if (color != m_pen || !m_penSet) { m_p.setPen(m_pen = color); m_penSet = true; }
        m_p.drawText(QPointF(at.x(), at.y() + fm.ascent()), text);
    }
    void forgetPen() { m_penSet = false; }

private:
    QPainter& m_p;
    const DrawList& m_list;
    int m_font = -1;
    QColor m_pen;
    bool m_penSet = false;
};

void drawLengths(TextPainter& texts, const DrawList& list)
{
    if (list.lengths.empty()) return;
    const QFontMetricsF& fm = list.metrics[static_cast<std::size_t>(list.lengthFont)];
    const double unitsX = 1 / list.pxPerUnitX;
    const double half = roundEven(fm.height() / std::fabs(list.pxPerUnitY) / 2);
    for (const DrawList::Length& l : list.lengths) {
        const double w = fm.horizontalAdvance(l.digits) * unitsX;
        if (!(std::fabs(l.x2 - l.x1) > 3 * w || std::fabs(l.y2 - l.y1) > 3 * half)) continue;
        const double x = roundEven((l.x1 + l.x2) / 2) - w / 2, y = roundEven((l.y1 + l.y2) / 2) - half;
        texts.draw(list.lengthFont, Qt::black,
                   QPointF((x - list.left) * list.pxPerUnitX, (y - list.top) * list.pxPerUnitY), l.text);
    }
}

QPen roundPen(QColor c, int width)
{
    QPen pen(c);
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

DrawList buildDrawList(const MapState& st, PictureBox& pic, RowSet& sections, RowSet& stations)
{
    DrawList list;
    list.size = pic.image().size();
    list.back = toQColor(pic.backColor());
    const ToPixel px(pic);
    list.left = px.left;
    list.top = px.top;
    list.pxPerUnitX = px.sx;
    list.pxPerUnitY = px.sy;
    {
        Fonts fonts(list, pic);
        addSections(list, st, sections, px);
        addLengths(list, fonts, st, sections);
        addSymbols(list, st, pic, stations, px);
        addNames(list, fonts, st, pic, stations, px);
    }
    return list;
}

void drawList(const DrawList& list, QImage& image)
{
    image.fill(list.back);
    QPainter p(&image);
    for (const DrawList::LineBatch& b : list.lines) {
        p.setPen(roundPen(b.color, b.width));
        p.drawLines(b.lines);
    }
    TextPainter texts(p, list);
    drawLengths(texts, list);
    QColor symPen, symBrush;
    int symWidth = -1;
    for (const DrawList::Symbol& s : list.symbols) {
        if (s.pen != symPen || s.width != symWidth) p.setPen(roundPen(symPen = s.pen, symWidth = s.width));
        if (s.brush != symBrush) p.setBrush(symBrush = s.brush);
        switch (s.shape) {
        case DrawList::Symbol::Box: p.drawRect(s.rect); break;
        case DrawList::Symbol::Circle: p.drawEllipse(s.rect); break;
        case DrawList::Symbol::Triangle: p.drawPolygon(s.triangle); break;
        }
    }
    texts.forgetPen();
    for (const DrawList::Text& t : list.names) texts.draw(t.font, t.color, t.at, t.text);
}

double differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) return 1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    long long diff = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) diff += (p[col] & 0xFFFFFF) != (q[col] & 0xFFFFFF);
    }
    return static_cast<double>(diff) / (static_cast<double>(x.width()) * x.height());
}

namespace {
double statusMb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}
} // namespace

double peakMemoryMb() { return statusMb("VmHWM:"); }
double residentMemoryMb() { return statusMb("VmRSS:"); }

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace zd::bench
