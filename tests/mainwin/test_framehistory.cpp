#include "mainwin/FrameHistory.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(ZoomFrame, InAndOutOfTheWholeScheme)
{
    const Frame whole{0, -1000, 84000, 36000};
    EXPECT_EQ(zoomFrame(whole, true), (Frame{21000, 8250, 63000, 26750}));
    EXPECT_EQ(zoomFrame(whole, false), (Frame{-42000, -19500, 126000, 54500}));
}

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

TEST(FrameHistoryTest, BackThenANewFrameKeepsTheLaterEntries)
{
    const Frame a{0, 0, 10, 10}, b{1, 1, 11, 11}, c{2, 2, 12, 12}, d{3, 3, 13, 13};
    FrameHistory h;
    EXPECT_FALSE(h.canBack());
    h.append(a);
    EXPECT_FALSE(h.canBack());
    EXPECT_FALSE(h.canFore());
    h.append(b);
    h.append(c);
    h.setPos(h.pos() - 1);
    EXPECT_EQ(h.at(h.pos()), b);
    EXPECT_TRUE(h.canFore());
    h.append(d);
    EXPECT_EQ(h.count(), 4);
    EXPECT_EQ(h.at(3), c);
    EXPECT_FALSE(h.canFore());
    h.setPos(h.pos() - 1);
    EXPECT_EQ(h.at(h.pos()), c);
    h.setPos(0);   // outside 1..count: ignored
    EXPECT_EQ(h.pos(), 3);
}

TEST(KadrScale, RoundedDiagonalsOfPictureAndFrame)
{
    // 1600 x 900 px at 15 twips per pixel over the whole scheme.
    const Frame whole{0, -1000, 84000, 36000};
    const double dt = std::round(std::sqrt(24000.0 * 24000 + 13500.0 * 13500));
    const double dm = std::round(std::sqrt(84000.0 * 84000 + 37000.0 * 37000));
    EXPECT_FLOAT_EQ(kadrScaleFor(24000, 13500, whole), static_cast<float>(dt / dm));
    EXPECT_FLOAT_EQ(kadrScaleFor(300, 400, Frame{0, 0, 30, 40}), 10.0f);
}
