#include "export/Legend.h"

#include "data/Database.h"
#include "export/ExportQueries.h"
#include "render/Canvas.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <cmath>

namespace zd {

namespace {
constexpr double kPad = 6, kGap = 8, kMinSymbol = 28, kSectionPixels = 32;

QFontMetricsF metricsAt(const QFont& font, const Dpi& dpi)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(dpi.x / 0.0254));
    device.setDotsPerMeterY(qRound(dpi.y / 0.0254));
    return QFontMetricsF(font, &device);
}

// The drawing routines' state for one legend symbol: nothing reaches the map, nothing waits.
MapState symbolState(const MapState& st)
{
    MapState s = st;
    s.mainPic = nullptr;
    s.mainPeregons = nullptr;
    s.polyDraw = nullptr;
    s.processEvents = nullptr;
    s.keepDrawing = nullptr;
    return s;
}
} // namespace

QFont exportFont(double points, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

std::vector<LegendEntry> legendEntries(const MapState& st, const std::vector<LegendEntry>& highlights)
{
    const Color net = st.palette.net;
    std::vector<LegendEntry> e = {
        {LegendEntry::Station, net, QStringLiteral("Центр дороги"), 9},
        {LegendEntry::Station, net, QStringLiteral("Стык дорог"), 8},
        {LegendEntry::Station, net, QStringLiteral("Центр отделения"), 7},
        {LegendEntry::Station, net, QStringLiteral("Станция 4–6 класса"), 5},
        {LegendEntry::Station, net, QStringLiteral("Прочая станция"), 1},
        {LegendEntry::Section, net, QStringLiteral("Перегон"), 0},
    };
    if (st.rusMode == 2) {
        // Drawn as a station and a section of another country: the routines make them pale.
        e.push_back({LegendEntry::Station, net, QStringLiteral("Станция другой страны СНГ и Балтии"), 9, true});
        e.push_back({LegendEntry::Section, net, QStringLiteral("Перегон другой страны СНГ и Балтии"), 0, true});
    }
    e.insert(e.end(), highlights.begin(), highlights.end());
    return e;
}

Expected<Legend> Legend::make(const MapState& st, const View& mapView, const Database& db,
                              const std::vector<LegendEntry>& entries)
{
    Legend l;
    l.m_st = symbolState(st);
    l.m_st.kadrScale = mapView.kadrScale();
    l.m_view = mapView;
    l.m_font = exportFont(8);
    l.m_heading = exportFont(9, true);
    // Whole map units at a whole pixel near the middle: the symbol lands on the pixel grid
    // as it does on the map at such a point.
    const QPointF mid = mapView.toUser(QPointF(std::round(mapView.pixels.width() / 2), std::round(mapView.pixels.height() / 2)));
    const std::int32_t x = toLong(mid.x()), y = toLong(mid.y());
    l.m_at = mapView.toPixel(x, y);
    const std::int32_t half = toLong(kSectionPixels / 2 / std::fabs(mapView.pixelsPerUnitX()));
    for (const LegendEntry& e : entries) {
        const QString sql = e.kind == LegendEntry::Station ? legendStationSql(x, y, e.tip, !e.foreign)
                                                           : legendSectionSql(x - half, y, x + half, y, !e.foreign);
        auto rows = db.query(sql);
        if (!rows) return rows.error();
        l.m_rows.push_back(Row{e, std::move(*rows), {}, {}, 0, 0});
    }
    l.layOut();
    return l;
}

// Each symbol is drawn once into a picture that records it, for its extent on the map.
void Legend::layOut()
{
    const QFontMetricsF fm = metricsAt(m_font, m_view.dpi), hm = metricsAt(m_heading, m_view.dpi);
    double textWidth = hm.horizontalAdvance(QStringLiteral("Условные обозначения"));
    m_symbolWidth = kMinSymbol;
    for (Row& r : m_rows) {
        QPicture recorded;
        QPainter p(&recorded);
        drawSymbol(p, r, QPointF());
        p.end();
        r.box = QRectF(recorded.boundingRect()).adjusted(-1, -1, 1, 1);
        m_symbolWidth = std::max(m_symbolWidth, r.box.width());
        textWidth = std::max(textWidth - kPad, fm.horizontalAdvance(r.entry.caption));
    }
    m_headingHeight = hm.height() + kPad;
    double y = kPad + m_headingHeight;
    for (Row& r : m_rows) {
        r.height = std::max(r.box.height(), fm.height()) + 4;
        r.top = y;
        const QPointF cell(kPad + m_symbolWidth / 2, y + r.height / 2);
        r.offset = QPointF(std::round(cell.x() - r.box.center().x()), std::round(cell.y() - r.box.center().y()));
        y += r.height;
    }
    m_textLeft = kPad + m_symbolWidth + kGap;
    m_size = QSizeF(std::ceil(m_textLeft + textWidth + kPad), std::ceil(y + kPad));
}

QPointF Legend::anchor(int row, QPointF topLeft) const { return topLeft + m_rows[row].offset + m_at; }

void Legend::drawSymbol(QPainter& p, const Row& r, QPointF at) const
{
    p.save();
    p.translate(at + r.offset);
    Canvas canvas(m_view.pixels.toSize(), m_view.dpi);
    canvas.setScale(m_view.left, m_view.top, m_view.left + m_view.width, m_view.top + m_view.height);
    canvas.paintOn(&p);
    MapState st = m_st;
    RowSet rows = r.rows;
    if (r.entry.draw) r.entry.draw(st, canvas, rows);
    else if (r.entry.kind == LegendEntry::Station) DrawStations(st, canvas, rows, r.entry.color);
    else DrawPeregons(st, canvas, rows, r.entry.color);
    canvas.paintOn(nullptr);
    p.restore();
}

void Legend::draw(QPainter& p, QPointF topLeft) const
{
    p.save();
    const QRectF ground(topLeft, m_size);
    p.fillRect(ground, Qt::white);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(ground.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(Qt::black);
    p.setFont(m_heading);
    p.drawText(QRectF(topLeft + QPointF(kPad, kPad), QSizeF(m_size.width() - 2 * kPad, m_headingHeight)),
               Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Условные обозначения"));
    for (const Row& r : m_rows) {
        drawSymbol(p, r, topLeft);
        p.setPen(Qt::black);
        p.setFont(m_font);
        p.drawText(QRectF(topLeft.x() + m_textLeft, topLeft.y() + r.top, m_size.width() - m_textLeft, r.height),
                   Qt::AlignLeft | Qt::AlignVCenter, r.entry.caption);
    }
    p.restore();
}

} // namespace zd
