#include "render/PictureBox.h"
#include "render/Polygon.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(Polygon, FillsInMapUnitsAndGivesTheSettingsBack)
{
    PictureBox pic;
    pic.resize(200, 100);
    pic.setScale(0, 0, 1000, 500);
    pic.setDrawWidth(3);
    pic.setFillStyle(PictureBox::FillSolid);
    pic.setFillColor(rgb(1, 2, 3));
    pic.setForeColor(rgb(4, 5, 6));

    Polygon poly;
    poly.setDevice(&pic);
    poly.setDrawWidth(1);
    poly.setForeColor(rgb(255, 0, 0));
    poly.setFillColor(rgb(255, 0, 0));
    poly.setFillStyle(0);   // ignored: the picture keeps its solid fill
    poly.point(400, 400);
    poly.point(600, 400);
    poly.point(500, 100);
    poly.draw();

    EXPECT_EQ(pic.pixel(500, 300), QColor(255, 0, 0));   // inside the triangle pointing up
    EXPECT_EQ(pic.pixel(420, 150), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(pic.drawWidth(), 3);
    EXPECT_EQ(pic.fillColor(), rgb(1, 2, 3));
    EXPECT_EQ(pic.fillStyle(), PictureBox::FillSolid);
    EXPECT_EQ(pic.foreColor(), rgb(4, 5, 6));
    EXPECT_DOUBLE_EQ(pic.scaleLeft(), 0);
    EXPECT_DOUBLE_EQ(pic.scaleWidth(), 1000);
}

TEST(Polygon, BlackCannotBeSetAndTheSavedColourComesBack)
{
    PictureBox pic;
    pic.resize(100, 100);
    pic.setScale(0, 0, 100, 100);
    pic.setForeColor(rgb(9, 9, 9));
    Polygon poly;
    poly.setDevice(&pic);
    poly.setForeColor(0);
    EXPECT_EQ(pic.foreColor(), rgb(9, 9, 9));
    poly.draw();   // no vertices: nothing drawn
    EXPECT_EQ(pic.foreColor(), rgb(9, 9, 9));
    EXPECT_EQ(pic.pixel(50, 50), QColor(0xE0, 0xE0, 0xE0));
}
