// The drawing surface without a window: user units, the screen layer, fills, text
// metrics and the polygon helper, checked at known points.
#include "TestDb.h"
#include "render/Canvas.h"
#include "render/Polygon.h"

#include <gtest/gtest.h>

using namespace zd;

namespace {

const QColor kBack(0xE0, 0xE0, 0xE0), kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);

// 200 × 100 pixels showing 1000 × 500 user units: 5 units a pixel.
struct Surface {
    Surface() : pic(QSize(200, 100)) { pic.setScale(0, 0, 1000, 500); }
    Canvas pic;
};

} // namespace

TEST(Canvas, LinesBoxesAndCirclesLandInUserUnits)
{
    Surface s;
    EXPECT_EQ(s.pic.pixel(10, 10), kBack);
    EXPECT_DOUBLE_EQ(s.pic.toPixel(500, 250).x(), 100);
    EXPECT_DOUBLE_EQ(s.pic.toUser(QPointF(50, 50)).y(), 250);
    s.pic.line(0, 250, 1000, 250, fromQColor(kRed));
    s.pic.line(0, 450, 1000, 450, fromQColor(kBlue));   // the same pen but for its colour
    s.pic.setDrawWidth(4);
    s.pic.line(0, 350, 1000, 350, fromQColor(kBlue));   // the same pen but for its width
    s.pic.setDrawWidth(2);
    s.pic.lines({QLineF(0, 100, 1000, 100), QLineF(500, 0, 500, 500)}, fromQColor(kRed));
    struct Probe { double x, y; QColor colour; };
    for (const Probe& p : {Probe{500, 250, kRed}, Probe{250, 450, kBlue}, Probe{250, 358, kBlue}, Probe{250, 100, kRed}, Probe{500, 400, kRed},
                           Probe{250, 400, kBack}, Probe{500, 150, kRed}})
        EXPECT_EQ(s.pic.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;

    s.pic.clearPicture();
    s.pic.setFillStyle(Canvas::FillSolid);
    s.pic.setFillColor(fromQColor(kGreen));
    s.pic.box(100, 100, 400, 400, fromQColor(kRed));
    s.pic.circle(800, 250, 100, fromQColor(kRed));   // 20 px radius
    EXPECT_EQ(s.pic.pixel(250, 250), kGreen);
    EXPECT_EQ(s.pic.pixel(800, 250), kGreen);
    EXPECT_EQ(s.pic.pixel(100, 250), kRed);
    EXPECT_EQ(s.pic.pixel(250, 50), kBack);
}

TEST(Canvas, ScreenLayerNeverTouchesThePersistentImage)
{
    Surface s;
    s.pic.line(0, 250, 1000, 250, fromQColor(kRed));
    const QImage before = s.pic.image();
    s.pic.setAutoRedraw(false);
    s.pic.setFillStyle(Canvas::FillSolid);
    s.pic.setFillColor(fromQColor(kBlue));
    s.pic.box(100, 100, 300, 300, fromQColor(kBlue));
    EXPECT_EQ(s.pic.image(), before);
    EXPECT_EQ(s.pic.screenImage().pixelColor(40, 40), kBlue);
    s.pic.clearScreenLayer();
    s.pic.setAutoRedraw(true);
    EXPECT_EQ(s.pic.screenImage(), before.convertToFormat(QImage::Format_RGB32));
}

TEST(Canvas, TextMetricsInTheScaleAndTheFontOfTheMoment)
{
    Surface s;
    const double wUser = s.pic.textWidth("Москва");
    s.pic.setScaleMode(Canvas::PixelScale);
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), 200);
    const double wPx = s.pic.textWidth("Москва");
    EXPECT_NEAR(wUser, wPx * 5, 1e-9);
    // Widths are kept per font: the same text measured again in another size.
    s.pic.setFontSize(s.pic.fontSize() * 2);
    EXPECT_GT(s.pic.textWidth("Москва"), wPx * 1.5);
    s.pic.setFontSize(s.pic.fontSize() / 2);
    EXPECT_DOUBLE_EQ(s.pic.textWidth("Москва"), wPx);
    s.pic.setScaleMode(Canvas::TwipsScale);
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), s.pic.widthTwips());
    EXPECT_GT(s.pic.textHeight(), 0);
}

// A polygon is drawn in map units with its own colours and line width, the picture's
// fill style, and gives the picture's settings back; black cannot be set as its colour.
TEST(Polygon, FillsInMapUnitsAndGivesTheSettingsBack)
{
    Surface s;
    s.pic.setDrawWidth(3);
    s.pic.setFillStyle(Canvas::FillSolid);
    s.pic.setFillColor(rgb(1, 2, 3));
    s.pic.setForeColor(rgb(4, 5, 6));
    Polygon poly;
    poly.setDevice(&s.pic);
    poly.draw();   // no vertices: nothing drawn
    poly.setForeColor(0);
    EXPECT_EQ(s.pic.foreColor(), rgb(4, 5, 6));
    poly.setDrawWidth(1);
    poly.setForeColor(fromQColor(kRed));
    poly.setFillColor(fromQColor(kRed));
    poly.setFillStyle(0);   // ignored: the picture keeps its solid fill
    poly.point(400, 400);
    poly.point(600, 400);
    poly.point(500, 100);
    poly.draw();
    EXPECT_EQ(s.pic.pixel(500, 300), kRed);   // inside the triangle pointing up
    EXPECT_EQ(s.pic.pixel(420, 150), kBack);
    EXPECT_EQ(s.pic.pixel(50, 50), kBack);
    EXPECT_EQ(s.pic.drawWidth(), 3);
    EXPECT_EQ(s.pic.fillColor(), rgb(1, 2, 3));
    EXPECT_EQ(s.pic.fillStyle(), Canvas::FillSolid);
    EXPECT_EQ(s.pic.foreColor(), rgb(4, 5, 6));
    EXPECT_DOUBLE_EQ(s.pic.scaleLeft(), 0);
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), 1000);
}
