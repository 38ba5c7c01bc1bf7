#include "data/Queries.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(FrameQueries, ExactTextsForTheWholeSchemeNegativeTopAndRussiaOnly)
{
    const FrameBounds whole{0, -1000, 84000, 36000};
    EXPECT_EQ(frameSectionsSql(whole, rusFilter(0)).toStdString(),
              "SELECT KodStn1,KodStn2, Stn1X, Stn1Y,Stn2X, Stn2Y,LenPer,Peregon.KodDor,RL, EL, Doroga.KodDor, "
              "Doroga.KodContry  FROM Peregon,Doroga WHERE  Doroga.KodDor=Peregon.KodDor  AND ( (Stn1X BETWEEN 0 "
              "AND 84000) AND (Stn1Y BETWEEN -1000 AND 36000) OR (Stn2X BETWEEN 0 AND 84000) AND (Stn2Y BETWEEN "
              "-1000 AND 36000))");
    EXPECT_EQ(frameStationsSql(whole, rusFilter(0), false).toStdString(),
              "SELECT KodStn, NazStn, StnX, StnY,Stn.KodDor, TipStn, StnBranch, Doroga.KodDor, Doroga.KodContry "
              "FROM Stn, Doroga WHERE   Doroga.KodDor=Stn.KodDor AND ((StnX BETWEEN 0 AND 84000) AND (StnY "
              "BETWEEN -1000 AND 36000)) Order by TipStn ASC");

    const FrameBounds f{-42000, -19500, 126000, 54500};
    EXPECT_EQ(frameSectionsSql(f, rusFilter(1)).toStdString(),
              "SELECT KodStn1,KodStn2, Stn1X, Stn1Y,Stn2X, Stn2Y,LenPer,Peregon.KodDor,RL, EL, Doroga.KodDor, "
              "Doroga.KodContry  FROM Peregon,Doroga WHERE  Doroga.KodDor=Peregon.KodDor  AND  Doroga.KodContry "
              "= '11'  AND ( (Stn1X BETWEEN -42000 AND 126000) AND (Stn1Y BETWEEN -19500 AND 54500) OR (Stn2X "
              "BETWEEN -42000 AND 126000) AND (Stn2Y BETWEEN -19500 AND 54500))");
    EXPECT_EQ(frameStationsSql(f, rusFilter(1), true).toStdString(),
              "SELECT KodStn, NazStn, StnX, StnY,Stn.KodDor, TipStn, StnBranch, Doroga.KodDor, Doroga.KodContry "
              "FROM Stn, Doroga WHERE   Doroga.KodDor=Stn.KodDor AND ((StnX BETWEEN -42000 AND 126000) AND "
              "(StnY BETWEEN -19500 AND 54500)) AND  Doroga.KodContry = '11'  AND (TipStn BETWEEN 7 AND 9 OR "
              "StnBranch = 1) Order by TipStn ASC");
    // Marking mode 2 pales the other countries instead of leaving them out.
    EXPECT_TRUE(rusFilter(2).isEmpty());
}

TEST(Quoting, QuotesAreDoubled)
{
    EXPECT_EQ(quoted(QStringLiteral("18'40")).toStdString(), "'18''40'");
    EXPECT_EQ(quoted(QStringLiteral("")).toStdString(), "''");
}
