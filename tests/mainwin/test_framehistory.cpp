#include "render/View.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(ZoomFrame, RefusesExtentsBelowSixteenUnitsAndBeyondThe32BitRange)
{
    EXPECT_TRUE(zoomFrame(Frame{0, 0, 64, 64}, true).has_value());     // 32 x 32 remains
    EXPECT_TRUE(zoomFrame(Frame{0, 0, 30, 30}, true).has_value());     // 16 x 16 (7.5 rounds to 8)
    EXPECT_FALSE(zoomFrame(Frame{0, 0, 28, 28}, true).has_value());    // would be 14 x 14
    EXPECT_FALSE(zoomFrame(Frame{-1500000000, 0, 1500000000, 100}, false).has_value());
    Frame f{0, -1000, 84000, 36000};
    int steps = 0;
    while (auto next = zoomFrame(f, true)) { f = *next; ++steps; }
    EXPECT_GT(steps, 8);
    EXPECT_GE(f.x2 - f.x1, 16);
    EXPECT_GE(f.y2 - f.y1, 16);
}

TEST(KadrScale, RoundedDiagonalsOfPictureAndFrame)
{
    // 1600 x 900 px at 15 twips per pixel over the whole scheme: diagonals 27536 and 91788.
    EXPECT_FLOAT_EQ(kadrScaleFor(24000, 13500, Frame{0, -1000, 84000, 36000}), 27536.0f / 91788.0f);
    EXPECT_FLOAT_EQ(kadrScaleFor(300, 400, Frame{0, 0, 30, 40}), 10.0f);
}
