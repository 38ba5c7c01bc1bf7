#include "Bench.h"

#include <gtest/gtest.h>

using namespace zd;
using namespace zd::bench;

TEST(BenchStats, MedianOfOddAndEvenCounts)
{
    Samples s;
    EXPECT_EQ(s.median(), 0);
    for (double v : {5.0, 1.0, 3.0}) s.add(v);
    EXPECT_EQ(s.median(), 3);
    s.add(10);
    EXPECT_EQ(s.median(), 4);
    EXPECT_EQ(s.min(), 1);
    EXPECT_EQ(s.max(), 10);
}
