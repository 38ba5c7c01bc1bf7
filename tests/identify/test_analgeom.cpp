#include "identify/AnalGeom.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace zd;

TEST(AnalGeom, PointInRectAppliesTheMarginBeforeOrderingTheCorners)
{
    struct Row { const char* name; float px, py, x1, y1, x2, y2, margin; int expected; };
    const Row rows[] = {
        {"corner, margin 0", 10, 10, 0, 0, 10, 10, 0, 1},
        {"just past an edge", 10.001f, 5, 0, 0, 10, 10, 0, 0},
        {"within the margin", 11, 5, 0, 0, 10, 10, 1, 1},
        {"beyond the margin", 11.5f, 5, 0, 0, 10, 10, 1, 0},
        {"swapped corners narrowed to 2..8", 5, 5, 10, 10, 0, 0, 2, 1},
        {"swapped corners exclude 1", 1, 5, 10, 10, 0, 0, 2, 0},
        {"swapped corners keep 8", 8, 8, 10, 10, 0, 0, 2, 1},
        // 1e8 - 5 is stored as the 32-bit 99999992, which takes the point in.
        {"bounds stored as 32-bit", 99999992.0f, 0, 1e8f, 0, 2e8f, 10, 5, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(PointInRect(r.px, r.py, r.x1, r.y1, r.x2, r.y2, r.margin), r.expected);
    }
}

TEST(AnalGeom, DistanceIsToTheInfiniteLineOrToACoincidentEnd)
{
    float a = 9, b = 9, c = 9;
    LineCoef(0, 0, 10, 0, a, b, c);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, -10);
    EXPECT_EQ(c, 0);
    LineCoef(12000, -500, 83000, 35000, a, b, c);
    EXPECT_EQ(c, -461500000.0f);

    struct Row { const char* name; float px, py, x1, y1, x2, y2, dist; };
    const Row rows[] = {
        {"above a horizontal section", 3, 4, 0, 0, 10, 0, 4},
        {"beyond the end, on the line", 20, 0, 0, 0, 10, 0, 0},
        {"beside a vertical section", 7, 100, 5, 0, 5, 10, 2},
        {"off a diagonal", 0, 10, 0, 0, 10, 10, static_cast<float>(10 / std::sqrt(2.0))},
        {"ends coincide", 3, 4, 0, 0, 0, 0, 5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_FLOAT_EQ(DistToLine(r.px, r.py, r.x1, r.y1, r.x2, r.y2), r.dist);
    }
}

TEST(AnalGeom, PointOnSegmentIsTheStripInsideTheWidenedBox)
{
    struct Row { const char* name; float px, py, x1, y1, x2, y2, tol; int expected; };
    const Row rows[] = {
        {"beyond the end inside the box", 11, 0.5f, 0, 0, 10, 0, 2, 1},
        {"beyond the widened box", 13, 0, 0, 0, 10, 0, 2, 0},
        {"outside the strip", 5, 2.5f, 0, 0, 10, 0, 2, 0},
        {"reversed section", -1, 0.5f, 10, 0, 0, 0, 2, 1},
        {"vertical, beside", 6.5f, 5, 5, 0, 5, 10, 2, 1},
        {"vertical, too far beside", 7.5f, 5, 5, 0, 5, 10, 2, 0},
        {"vertical, past the box", 5, 12.5f, 5, 0, 5, 10, 2, 0},
        {"diagonal, square corner of the box", 11.9f, 11.9f, 0, 0, 10, 10, 2, 1},
        {"diagonal, in the box but off the strip", 12, 9, 0, 0, 10, 10, 2, 0},
        {"at an end point, tolerance 0", 10, 10, 0, 0, 10, 10, 0, 1},
        {"ends coincide, near", 5.5f, 5.5f, 5, 5, 5, 5, 1, 1},
        {"ends coincide, box corner too far", 5.9f, 5.9f, 5, 5, 5, 5, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(PointOnSegment(r.px, r.py, r.x1, r.y1, r.x2, r.y2, r.tol), r.expected);
    }
}
