// The network's own kilometres per map unit.
#include "render/KmScale.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace zd;

TEST(KmScale, MedianOfTheUsableSections)
{
    EXPECT_DOUBLE_EQ(*kmPerUnitOf(10, 0, 0, 30, 40), 0.2);   // 10 km over 50 units
    for (const auto& bad : std::vector<std::vector<double>>{{0, 0, 0, 1, 1}, {-5, 0, 0, 1, 1}, {5, 3, 3, 3, 3},
                                                           {NAN, 0, 0, 1, 1}, {INFINITY, 0, 0, 1, 1}})
        EXPECT_FALSE(kmPerUnitOf(bad[0], bad[1], bad[2], bad[3], bad[4]));

    std::vector<double> odd{3, 1, 2}, even{4, 1, 3, 2}, none;
    EXPECT_DOUBLE_EQ(*medianRatio(odd), 2);
    EXPECT_DOUBLE_EQ(*medianRatio(even), 2.5);
    EXPECT_FALSE(medianRatio(none));
}
