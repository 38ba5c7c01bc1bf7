#include "identify/SuperTxt.h"

#include "render/PictureBox.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace zd;

TEST(SuperTxt, BreaksAtTheCarryLimitAndDropsBlanksAtBreaks)
{
    // Every character one unit wide, so widths read as character counts.
    const auto chars = [](const QString& s) { return static_cast<double>(s.size()); };
    struct Row { const char* name; const char* text; float maxWidth; CarryLimit carry; const char* expected; };
    const Row rows[] = {
        {"fits: unchanged, blanks kept", "  ab  ", 10, {}, "  ab  "},
        {"empty text", "", 0, {}, ""},
        {"word carried whole", "abcd efghijkl", 10, std::int32_t(10), "abcd\nefghijkl"},
        {"long word broken whatever the limit", "abcdefghijkl", 5, std::int32_t(10), "abcde\nfghij\nkl"},
        {"carried part over the char limit", "abcd efghij", 8, std::int32_t(2), "abcd efg\nhij"},
        {"carried part at the char limit", "abcd efghij", 8, std::int32_t(3), "abcd\nefghij"},
        {"carried part at the width limit", "abcd efghij", 8, 3.0, "abcd\nefghij"},
        {"carried part over the width limit", "abcd efghij", 8, 2.5, "abcd efg\nhij"},
        {"no limit: hard break", "abcd efghij", 8, {}, "abcd efg\nhij"},
        {"blanks removed on both sides", "abcd     efgh", 6, std::int32_t(10), "abcd\nefgh"},
        {"remainder of blanks only", "abcdef    ", 6, {}, "abcdef\n"},
        {"below one character", "ab c", 0.5f, {}, "a\nb\nc"},
        {"negative width", "abc", -1, std::int32_t(3), "a\nb\nc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(WrapText(chars, QString::fromUtf8(r.text), r.maxWidth, r.carry), QString::fromUtf8(r.expected));
    }
}

TEST(SuperTxt, MeasuresOnThePictureAndClearsItOnlyWhenTrue)
{
    PictureBox pic;
    pic.resize(300, 200);
    pic.setScaleMode(PictureBox::TwipsScale);
    pic.setFontSize(10);
    pic.setBackColor(rgb(255, 255, 255));
    pic.cls();
    const QString a = QStringLiteral("Малая Вишера"), b = QStringLiteral("Октябрьская");
    const float maxWidth = static_cast<float>(std::max(pic.textWidth(a), pic.textWidth(b)) + 1);
    EXPECT_EQ(WrapText(pic, a + u' ' + b, maxWidth, std::int32_t(20)), a + u'\n' + b);

    for (std::int16_t clear : {std::int16_t(1), kTrue}) {
        SCOPED_TRACE(clear);
        pic.line(0, 1500, 4500, 1500, rgb(255, 0, 0));
        pic.setCurrentY(600);
        EXPECT_EQ(WrapText(pic, QStringLiteral(" ab "), 3000, {}, clear), QStringLiteral(" ab "));
        EXPECT_EQ(pic.pixel(2000, 1500) == QColor(255, 0, 0), clear != kTrue);
        EXPECT_DOUBLE_EQ(pic.currentY(), clear == kTrue ? 0 : 600);
    }
}
