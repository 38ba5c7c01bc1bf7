#include "data/Queries.h"
#include "data/SqlFunctions.h"

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

TEST(AccessVal, LeadingNumberOfText)
{
    struct Case { const char* name; const char* text; double value; };
    const Case cases[] = {
        {"plain", "123", 123}, {"blanks inside", "  12 34", 1234}, {"exponent", "1.5e2", 150},
        {"exponent D", "2D3", 2000}, {"no number", "abc", 0}, {"sign and tail", "-7x", -7},
        {"hex", "&H1F", 31}, {"octal", "&O17", 15}, {"empty", "", 0}, {"second point", "3.5.2", 3.5},
        {"dangling exponent", "1e", 1}, {"leading point", ".5", 0.5}, {"tab and newline", "\t4\n2", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(accessVal(c.text), c.value);
    }
}

TEST(RussianCollation, CaseInsensitiveWithYoBesideYe)
{
    auto less = [](const char* a, const char* b) { return russianCompare(a, b) < 0; };
    EXPECT_TRUE(less("Елец", "Ёлкино"));
    EXPECT_TRUE(less("Ёлкино", "Жмеринка"));
    EXPECT_TRUE(less("архангельск", "Бологое"));
    EXPECT_TRUE(less("Moscow", "Москва"));
    EXPECT_TRUE(less("Москва", "Москва-Пасс."));
    EXPECT_EQ(russianCompare("Орша", "Орша"), 0);
    EXPECT_NE(russianCompare("орша", "Орша"), 0);   // equal letters, still a stable order
}
