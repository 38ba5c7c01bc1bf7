// The SQL texts and the geometry of the station search, without windows.
#include "stnfind/FindQueries.h"
#include "stnfind/FindZone.h"

#include <gtest/gtest.h>

using namespace zd;

namespace {
const Frame kScheme{0, -1000, 84000, 36000};
const QString kRus = QStringLiteral(" AND  Doroga.KodContry = '11' ");
}

TEST(FindQueries, StationListByCategoryAndCountry)
{
    const char* head = "SELECT Stn.KodStn, Stn.NazStn, Stn.StnX, Stn.StnY,Stn.KodDor, Stn.TipStn, Stn.StnBranch,"
                       "Doroga.KodDor,Doroga.KodContry FROM Stn, Doroga  WHERE Stn.KodDor = Doroga.KodDor ";
    struct Case { int area; bool rus; const char* tail; };
    const Case cases[] = {
        {0, false, " Order by NazStn"},
        {1, false, " AND Stn.TipStn = 9   Order by NazStn"},
        {2, false, " AND Stn.TipStn = 8  Order by NazStn"},
        {3, false, " AND Stn.TipStn = 7   Order by NazStn"},
        {-1, false, " Order by NazStn"},
        {0, true, " AND  Doroga.KodContry = '11'  Order by NazStn"},
        {3, true, " AND Stn.TipStn = 7   AND  Doroga.KodContry = '11'  Order by NazStn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "area " << c.area << (c.rus ? " Russia only" : ""));
        EXPECT_EQ(listStnSql(c.area, c.rus ? kRus : QString()).toStdString(), std::string(head) + c.tail);
    }
}

TEST(FindQueries, ZoneStationsAndSections)
{
    const Zone z{39740, 11445, 42260, 12555};
    EXPECT_EQ(zoneStationsSql(z, kRus).toStdString(),
              "SELECT  KodStn, NazStn, StnX, StnY,Stn.KodDor,TipStn,StnBranch, Doroga.KodDor,Doroga.KodContry  FROM "
              "Stn, Doroga WHERE Stn.KodDor = Doroga.KodDor  AND ( (StnX BETWEEN 39740 AND 42260) AND (StnY BETWEEN "
              "11445 AND 12555)) AND  Doroga.KodContry = '11' ");
    EXPECT_EQ(zoneSectionsSql(Zone{-5, -1000, 7, 20}, QString()).toStdString(),
              "SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, RL, EL,Peregon.KodDor, Doroga.KodDor, "
              "Doroga.KodContry  FROM Peregon, Doroga WHERE  Peregon.KodDor = Doroga.KodDor  AND (  (Stn1X BETWEEN -5 "
              "AND 7) AND (Stn1Y BETWEEN -1000 AND 20) OR (Stn2X BETWEEN -5 AND 7) AND (Stn2Y BETWEEN -1000 AND 20))");
}

TEST(FindZone, FivePassesFromThreeToElevenPercent)
{
    struct Step { int width, height; };
    const Step steps[] = {{2520, 1110}, {4200, 1850}, {5880, 2590}, {7560, 3330}, {9240, 4070}};
    std::vector<Zone> seen;
    const ZoneSearch s = growZone(41000, 12001, kScheme, [&](const Zone& z) {
        seen.push_back(z);
        return 8;   // never more than eight: every pass runs
    });
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(s.passes, 5);
    EXPECT_EQ(s.zone, seen.back());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "pass " << i + 1);
        EXPECT_EQ(seen[i].x2 - seen[i].x1, steps[i].width);
        EXPECT_EQ(seen[i].y2 - seen[i].y1, steps[i].height);
        EXPECT_EQ(seen[i].x1 + seen[i].x2, 82000);
        EXPECT_EQ(seen[i].y1 + seen[i].y2, 24002);
    }
    int calls = 0;
    const ZoneSearch dense = growZone(41000, 12000, kScheme, [&](const Zone&) { return ++calls == 2 ? 9 : 0; });
    EXPECT_EQ(dense.passes, 2);
    EXPECT_EQ(dense.zone, (Zone{38900, 11075, 43100, 12925}));
    // The fragment frame about a station: halves round to even.
    EXPECT_EQ(fragFrame(100.5, -0.5, kScheme), (Frame{-8300, -3700, 8500, 3700}));
}

TEST(FindZone, WindowCoversAStationThroughTheMapsPlaceOnTheScreen)
{
    // A map of 800 x 400 pixels at screen (100, 50) showing the frame 10000..18000 x 2000..6000:
    // 10 map units per pixel.
    MapOnScreen map{QPoint(100, 50), View{10000, 2000, 8000, 4000, QSizeF(800, 400), Dpi{}}};
    EXPECT_EQ(map.toMap(QPointF(100, 50)), QPointF(10000, 2000));
    EXPECT_EQ(map.toMap(QPointF(900, 450)), QPointF(18000, 6000));

    const QRect right(600, 60, 300, 200);   // covers map x 15000..18000, y 2100..4100
    struct Case { const char* name; double x, y; bool covered; };
    const Case cases[] = {
        {"inside", 16000, 3000, true},
        {"on the left edge", 15000, 3000, true},
        {"on the bottom edge", 16000, 4100, true},
        {"left of it", 14990, 3000, false},
        {"below it", 16000, 4110, false},
        // the naive mapping (screen pixels times units per pixel, no origins) would put the
        // window at 6000..9000 x 600..2600
        {"where the naive mapping puts it", 7000, 1000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(coversPoint(right, map, c.x, c.y), c.covered);
    }
    EXPECT_EQ(leftOffStation(right, map), 100);                     // right of the middle: to the left edge
    EXPECT_EQ(leftOffStation(QRect(150, 60, 300, 200), map), 600);  // else flush with the right edge
}
