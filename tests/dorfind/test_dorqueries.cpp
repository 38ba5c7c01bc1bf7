// The SQL texts of the railway search and the rectangle test.
#include "dorfind/DorQueries.h"
#include "dorfind/RectOverlap.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(DorQueries, Texts)
{
    const std::string list = "SELECT KodDor, NazDor, XL, YL, XR, YR, KodCentr, NazCentr, KodContry FROM  Doroga";
    EXPECT_EQ(findDorSql(false).toStdString(), list + " Order by NazDor");
    EXPECT_EQ(findDorSql(true).toStdString(), list + " WHERE  Doroga.KodContry = '11'  Order by NazDor");

    const std::string centres = "SELECT Stn.KodDor, Stn.NazStn, Stn.TipStn, Doroga.KodDor, Doroga.KodContry, Doroga.XL, "
                                "Doroga.YL, Doroga.XR, Doroga.YR FROM Stn, Doroga  WHERE Stn.KodDor = Doroga.KodDor  "
                                "AND Stn.TipStn = 7  AND Stn.KodDor = '17'";
    EXPECT_EQ(centrOtdSql("17", {}).toStdString(), centres + " Order by NazStn");
    EXPECT_EQ(centrOtdSql("17", " AND  Doroga.KodContry = '11' ").toStdString(),
              centres + " AND  Doroga.KodContry = '11'  Order by NazStn");

    for (std::int16_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(dorStationsSql("17", mode), "SELECT KodDor, KodStn, NazStn, StnX, StnY, TipStn FROM Stn WHERE KodDor = '17'");
        EXPECT_EQ(dorSectionsSql("17", mode), "SELECT KodDor,Stn1X, Stn1Y,Stn2X, Stn2Y  FROM Peregon WHERE KodDor = '17'");
    }
    // Marking the CIS needs the railway's country in every row.
    EXPECT_TRUE(dorStationsSql("17", 2).contains("Doroga.KodContry"));
    EXPECT_TRUE(dorSectionsSql("17", 2).contains("Doroga.KodContry"));
}

TEST(RectOverlapTest, AgainstTheSquare10To20)
{
    struct Case { const char* name; float ax1, ay1, ax2, ay2; int expected; };
    const Case cases[] = {
        {"inside", 12, 12, 18, 18, 1},          {"around", 0, 0, 30, 30, 1},
        {"across an edge", 5, 12, 12, 14, 1},   {"corners reversed", 18, 18, 5, 5, 1},
        {"touching left", 0, 12, 10, 14, 1},    {"touching right", 20, 12, 25, 14, 1},
        {"touching top", 12, 0, 14, 10, 1},     {"touching bottom", 12, 20, 14, 30, 1},
        {"touching a corner", 25, 25, 20, 20, 1},
        {"left of it", 0, 12, 9.5f, 14, 0},     {"right of it", 25, 12, 20.5f, 14, 0},
        {"above it", 12, 0, 14, 9.5f, 0},       {"below it", 12, 20.5f, 14, 30, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RectOverlap(c.ax1, c.ay1, c.ax2, c.ay2, 10, 10, 20, 20), c.expected);
    }
}
