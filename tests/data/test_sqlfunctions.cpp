#include "data/SqlFunctions.h"

#include <gtest/gtest.h>

using namespace zd;

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
