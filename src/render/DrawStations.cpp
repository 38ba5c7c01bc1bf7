#include "render/DrawStations.h"

#include "data/RowSet.h"
#include "render/Canvas.h"
#include "render/Polygon.h"
#include "render/ScreenStyle.h"
#include "render/StnLabel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zd {

namespace {

constexpr std::array<int, 24> kAlwaysNamed = {1840, 28950, 29050, 98000, 61680, 74630, 47390, 28010,
                                               93550, 76100, 30010, 64540, 65450, 84010, 20010, 17010,
                                               21600, 25540, 96010, 13000, 57390, 54000, 15000, 7060};
const Color kLightGrey = rgb(192, 192, 192);

void processEvents(MapState& st)
{
    if (st.processEvents) st.processEvents();
}

void drawTriangle(MapState& st, Canvas& pic, float x, float y, float a, float b, Color color)
{
    Polygon local;
    Polygon& poly = st.polyDraw ? *st.polyDraw : local;
    poly.setDevice(&pic);
    poly.setDrawWidth(1);
    poly.setForeColor(color);
    poly.setFillColor(color);
    poly.point(x - a, y + b);
    poly.point(x + a, y + b);
    poly.point(x, y - b);
    poly.draw();
}

} // namespace

bool isAlwaysNamed(double kodStn)
{
    return std::find(kAlwaysNamed.begin(), kAlwaysNamed.end(), kodStn) != kAlwaysNamed.end();
}

void DrawStnSymbol(MapState& st, Canvas& pic, std::int32_t x, std::int32_t y, std::int16_t tip, Color color)
{
    if (st.style == MapStyle::Screen) return screen::drawStnSymbol(st, pic, x, y, tip, color);
    const float scale = pic.isPreview() ? 5.0f : st.kadrScale;
    const float halfW = static_cast<float>(pic.scaleWidth() / 2);
    const float halfH = static_cast<float>(pic.scaleHeight() / 2);
    const float s = std::sqrt(scale);
    const bool far = scale <= 0.3f;

    if (tip == 9 || tip == 7) {
        std::int32_t r = toLong(s * halfW / (tip == 9 ? 40 : 75));
        if (far) r = toLong(r * 1.5);
        st.stnRadius = r;
        pic.circle(x, y, r, color);
        if (tip == 9 && !pic.isPreview()) pic.circle(x, y, 0.75 * r, kLightGrey);
        return;
    }
    if (tip == 8) {
        drawTriangle(st, pic, static_cast<float>(x), static_cast<float>(y), s * halfW / 50, s * halfH / 40, color);
        return;
    }
    const float div = (tip >= 4 && tip <= 6) ? 100 : 150;
    float a = s * halfW / div, b = s * halfH / div;
    if (far) { a /= 1.5f; b /= 1.5f; }
    pic.box(x - a, y - b, x + a, y + b, color);
}

void DrawStations(MapState& st, Canvas& pic, RowSet& rows, Color color)
{
    if (st.style == MapStyle::Screen) {
        screen::drawStations(st, pic, rows, color);
        processEvents(st);
        return;
    }
    rows.moveFirst();
    processEvents(st);
    const int savedFill = pic.fillStyle();
    const int savedWidth = pic.drawWidth();
    pic.setFillStyle(Canvas::FillSolid);
    pic.setFillColor(st.palette.net);
    pic.setDrawWidth(2);
    const int cx = rows.column(u"StnX"), cy = rows.column(u"StnY"), ct = rows.column(u"TipStn");
    const int cc = rows.column(u"KodContry");
    for (; !rows.eof(); rows.moveNext()) {
        const int r = rows.bookmark();
        if (!drawingGoesOn(st, r)) break;
        if (rows.isNullAt(r, cx) || rows.isNullAt(r, cy) || rows.isNullAt(r, ct)) continue;
        const std::int16_t tip = toInt16(rows.numberAt(r, ct));
        Color outline = color;
        if (st.rusMode == 2) {
            if (rows.numberAt(r, cc) == 11) {
                pic.setFillColor(st.palette.stn);
            } else {
                outline = st.palette.netPale;
                pic.setFillColor((tip == 7 || tip == 9) ? st.palette.stnPale : st.palette.stn);
            }
        }
        DrawStnSymbol(st, pic, toLong(rows.numberAt(r, cx)), toLong(rows.numberAt(r, cy)), tip, outline);
    }
    processEvents(st);
    pic.setFillStyle(savedFill);
    pic.setFontTransparent(true);
    pic.setDrawWidth(savedWidth);
}

void DrawStnNames(MapState& st, Canvas& pic, RowSet& rows)
{
    if (st.style == MapStyle::Screen) return screen::drawStnNames(st, pic, rows);
    rows.moveFirst();
    pic.setFontTransparent(false);
    const bool preview = pic.isPreview();
    const float scale = preview ? 2.0f : st.kadrScale;
    const int cx = rows.column(u"StnX"), cy = rows.column(u"StnY"), ct = rows.column(u"TipStn");
    const int ck = rows.column(u"KodStn"), cn = rows.column(u"NazStn"), cc = rows.column(u"KodContry");
    for (; !rows.eof(); rows.moveNext()) {
        const int r = rows.bookmark();
        if (!drawingGoesOn(st, r)) break;
        if (rows.isNullAt(r, cx) || rows.isNullAt(r, cy) || rows.isNullAt(r, cn)) continue;
        const double tip = rows.numberAt(r, ct);
        double size = 6;
        bool shown = scale >= st.scaleHigh;
        bool bold = false;
        if (tip == 9) {
            size = 8;
            shown = true;
            bold = scale >= st.scaleLow;
        } else if (tip == 7 || tip == 8) {
            size = 7;
            shown = scale >= st.scaleLow;
        }
        if (isAlwaysNamed(rows.numberAt(r, ck))) shown = true;
        if (scale >= 2.0f) size += 1;
        if (preview) { size -= 3; shown = true; }
        if (shown) {
            pic.setFontSize(size);
            pic.setFontBold(bold);
            if (st.rusMode == 2)
                pic.setForeColor(rows.numberAt(r, cc) != 11 ? st.palette.stnPale : 0);
            const QString name = shownStnName(st, rows.textAt(r, cn));
            const double th = pic.textHeight(name);
            const double x = rows.numberAt(r, cx), y = rows.numberAt(r, cy);
            const bool circle = tip == 7 || tip == 9;
            pic.setCurrentX(circle ? x + 0.8 * st.stnRadius : x);
            pic.setCurrentY(circle ? y - 0.8 * th : y - 1.5 * th);
            pic.print(name);
            pic.setForeColor(0);
        }
        pic.setFontBold(false);
    }
    pic.setFontTransparent(true);
}

} // namespace zd
