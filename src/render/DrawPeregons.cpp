#include "render/DrawPeregons.h"

#include "data/RowSet.h"
#include "render/Canvas.h"
#include "render/ScreenStyle.h"

#include <cmath>

namespace zd {

namespace {

struct SectionColumns {
    int x1, y1, x2, y2, country;
    explicit SectionColumns(const RowSet& rs)
        : x1(rs.column(u"Stn1X")), y1(rs.column(u"Stn1Y")), x2(rs.column(u"Stn2X")),
          y2(rs.column(u"Stn2Y")), country(rs.column(u"KodContry")) {}
    bool drawable(const RowSet& rs, int r) const
    {
        return !rs.isNullAt(r, x1) && !rs.isNullAt(r, y1) && !rs.isNullAt(r, x2) && !rs.isNullAt(r, y2);
    }
};

void processEvents(MapState& st)
{
    if (st.processEvents) st.processEvents();
}

} // namespace

void DrawPeregons(MapState& st, Canvas& pic, RowSet& rows, Color color, int widthPx)
{
    if (st.style == MapStyle::Screen) {
        screen::drawPeregons(st, pic, rows, color);
        processEvents(st);
        return;
    }
    const int savedWidth = pic.drawWidth();
    pic.setDrawWidth(widthPx > 0 ? widthPx : st.kadrScale >= 0.6f ? 2 : 1);
    const SectionColumns c(rows);
    const bool marking = st.rusMode == 2;

    // Consecutive lines of one colour go to the picture in one call, a few thousand at a time
    // so that a long frame can be superseded between them.
    constexpr int kBatch = 4096;
    QVector<QLineF> batch;
    Color batchColor = color;
    auto flush = [&] { pic.lines(batch, batchColor); batch.clear(); };
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const int r = rows.bookmark();
        if (!drawingGoesOn(st, r)) return;
        if (!c.drawable(rows, r)) continue;
        const Color lineColor = (marking && rows.numberAt(r, c.country) != 11) ? st.palette.netPale : color;
        if (lineColor != batchColor || batch.size() >= kBatch) { flush(); batchColor = lineColor; }
        batch.append(QLineF(static_cast<float>(rows.numberAt(r, c.x1)), static_cast<float>(rows.numberAt(r, c.y1)),
                            static_cast<float>(rows.numberAt(r, c.x2)), static_cast<float>(rows.numberAt(r, c.y2))));
    }
    flush();
    pic.setDrawWidth(savedWidth);
    processEvents(st);

    const double w = static_cast<double>(st.kadr.x2) - st.kadr.x1;
    const double s = (static_cast<double>(st.scheme.x2) - st.scheme.x1) / 4;
    // Only the map's own drawing labels it: a preview drawn elsewhere leaves the map as it is.
    if (s > w && st.mainPeregons && &pic == st.mainPic) DrawPeregonLengths(st, *st.mainPeregons);
}

void DrawPeregonLengths(MapState& st, RowSet& rows)
{
    if (rows.recordCount() == 0 || !st.mainPic) return;
    Canvas& pic = *st.mainPic;
    const double savedSize = std::round(pic.fontSize());
    pic.setFontSize(7);
    const double h = pic.textHeight(QStringLiteral("0"));
    const double half = roundEven(h / 2);
    pic.setFontTransparent(false);
    const SectionColumns c(rows);
    const int len = rows.column(u"LenPer");
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const int r = rows.bookmark();
        if (!drawingGoesOn(st, r)) break;
        if (!c.drawable(rows, r) || rows.isNullAt(r, len)) continue;
        const std::int32_t n = toLong(rows.numberAt(r, len));
        const double w = pic.textWidth(QString::number(n) + u'0');
        const double x1 = rows.numberAt(r, c.x1), y1 = rows.numberAt(r, c.y1);
        const double x2 = rows.numberAt(r, c.x2), y2 = rows.numberAt(r, c.y2);
        if (std::fabs(x2 - x1) > 3 * w || std::fabs(y2 - y1) > 3 * half) {
            const double xm = roundEven((x1 + x2) / 2), ym = roundEven((y1 + y2) / 2);
            pic.setCurrentX(xm - w / 2);
            pic.setCurrentY(ym - half);
            pic.print((n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + u' ');
        }
    }
    pic.setFontTransparent(true);
    pic.setFontSize(savedSize);
    processEvents(st);
}

} // namespace zd
