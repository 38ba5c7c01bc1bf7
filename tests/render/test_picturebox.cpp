#include "render/PictureBox.h"

#include <gtest/gtest.h>

using namespace zd;

namespace {
struct Surface {
    Surface()
    {
        pic.resize(200, 100);
        pic.setScale(0, 0, 1000, 500);
    }
    PictureBox pic;
};
const Color kRed = rgb(255, 0, 0);
} // namespace

TEST(PictureBox, UserScaleMapsToPixelsAndBackgroundIsTheBackColour)
{
    Surface s;
    EXPECT_EQ(s.pic.pixel(10, 10), QColor(0xE0, 0xE0, 0xE0));
    s.pic.line(0, 250, 1000, 250, kRed);
    EXPECT_EQ(s.pic.pixel(500, 250), QColor(255, 0, 0));
    EXPECT_EQ(s.pic.pixel(500, 100), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_DOUBLE_EQ(s.pic.toPixel(500, 250).x(), 100);
    EXPECT_DOUBLE_EQ(s.pic.toUser(QPointF(50, 50)).y(), 250);
}

TEST(PictureBox, ManyLinesInOneCallLandLikeSingleLines)
{
    Surface s;
    s.pic.setDrawWidth(2);
    s.pic.lines({QLineF(0, 100, 1000, 100), QLineF(500, 0, 500, 500)}, kRed);
    EXPECT_EQ(s.pic.pixel(250, 100), QColor(255, 0, 0));
    EXPECT_EQ(s.pic.pixel(500, 400), QColor(255, 0, 0));
    EXPECT_EQ(s.pic.pixel(250, 400), QColor(0xE0, 0xE0, 0xE0));
}

TEST(PictureBox, ScreenLayerNeverTouchesThePersistentImage)
{
    Surface s;
    s.pic.line(0, 250, 1000, 250, kRed);
    const QImage before = s.pic.image();
    s.pic.setAutoRedraw(false);
    s.pic.setFillStyle(PictureBox::FillSolid);
    s.pic.setFillColor(rgb(0, 0, 255));
    s.pic.box(100, 100, 300, 300, rgb(0, 0, 255));
    EXPECT_EQ(s.pic.image(), before);
    EXPECT_EQ(s.pic.screenImage().pixelColor(40, 40), QColor(0, 0, 255));
    s.pic.clearScreenLayer();
    s.pic.setAutoRedraw(true);
    EXPECT_EQ(s.pic.screenImage(), before.convertToFormat(QImage::Format_RGB32));
}

TEST(PictureBox, FilledBoxAndCircleUseFillColourInsideAndLineColourOutside)
{
    Surface s;
    s.pic.setFillStyle(PictureBox::FillSolid);
    s.pic.setFillColor(rgb(0, 255, 0));
    s.pic.box(100, 100, 400, 400, kRed);
    EXPECT_EQ(s.pic.pixel(250, 250), QColor(0, 255, 0));
    s.pic.circle(800, 250, 100, kRed);   // 20 px radius
    EXPECT_EQ(s.pic.pixel(800, 250), QColor(0, 255, 0));
    s.pic.clearPicture();
    EXPECT_EQ(s.pic.pixel(250, 250), QColor(0xE0, 0xE0, 0xE0));
}

TEST(PictureBox, ScaleModesAndTextMetricsInUserUnits)
{
    Surface s;
    const double wUser = s.pic.textWidth("Москва");
    s.pic.setScaleMode(PictureBox::PixelScale);
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), 200);
    const double wPx = s.pic.textWidth("Москва");
    EXPECT_NEAR(wUser, wPx * 5, 1e-9);
    s.pic.setScaleMode(PictureBox::TwipsScale);
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), s.pic.widthTwips());
    EXPECT_GT(s.pic.textHeight(), 0);
}
