// The numeric key filter and the up-down control on their own.
#include "light/KeyDigit.h"
#include "light/UpDown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zd;

TEST(KeyDigit, DecidesEachKeyFromTheTextAndTheCaret)
{
    struct Row {
        const char* name;
        const char* text; int caret; char16_t key; int maxLen; bool sign; char16_t sep;
        char16_t accepted; const char* textAfter; bool beep;
    };
    const Row rows[] = {
        {"digit passes", "12", 2, u'3', 4, false, u'.', u'3', "12", false},
        {"comma becomes the separator", "12", 2, u',', 4, false, u'.', u'.', "12", false},
        {"dot becomes a comma separator", "12", 2, u'.', 0, false, u',', u',', "12", false},
        {"second separator refused", "1.2", 3, u'.', 4, false, u'.', 0, "1.2", false},
        {"second separator as a comma refused", "1.2", 3, u',', 4, false, u'.', 0, "1.2", false},
        {"minus without sign", "", 0, u'-', 4, false, u'.', 0, "", false},
        {"minus at the start with sign", "5", 0, u'-', 4, true, u'.', u'-', "5", false},
        {"minus after the start with sign", "5", 1, u'-', 4, true, u'.', 0, "5", false},
        {"fifth character refused with a beep", "12.5", 4, u'3', 4, false, u'.', 0, "12.5", true},
        {"blanks do not count for the length", "12  ", 4, u'3', 4, false, u'.', u'3', "12  ", false},
        {"no limit", "123456", 6, u'7', 0, false, u'.', u'7', "123456", false},
        {"backspace at the limit passes", "12.5", 4, kKeyBack, 4, false, u'.', kKeyBack, "12.5", false},
        {"lone zero removed before a digit", "0", 1, u'7', 4, false, u'.', u'7', "", false},
        {"lone zero removed: the caret is at the start", "0", 1, u'-', 4, true, u'.', u'-', "", false},
        {"zero after a digit stays", "10", 2, u'5', 4, false, u'.', u'5', "10", false},
        {"colon just above the digits", "1", 1, u':', 4, false, u'.', 0, "1", false},
        {"slash just below the digits", "1", 1, u'/', 4, false, u'.', 0, "1", false},
        {"cyrillic letter", "1", 1, u'б', 4, false, u'.', 0, "1", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QString text = QString::fromUtf8(r.text);
        bool beep = !r.beep;
        EXPECT_EQ(KeyDigit(r.key, r.maxLen, text, r.caret, r.sign, QChar(r.sep), &beep), r.accepted);
        EXPECT_EQ(text, QString::fromUtf8(r.textAfter));
        EXPECT_EQ(beep, r.beep);
    }
}

TEST(UpDown, StepsWithinItsRange)
{
    UpDown u;
    u.setRange(0, 9);
    u.setValue(1);
    QSignalSpy changed(&u, &UpDown::valueChanged);
    for (int i = 0; i < 12; ++i) u.upButton().click();
    EXPECT_EQ(u.value(), 9);
    EXPECT_EQ(changed.count(), 8);
    EXPECT_FALSE(u.upButton().isEnabled());
    QTest::keyClick(&u, Qt::Key_Down);
    EXPECT_EQ(u.value(), 8);
    for (int i = 0; i < 12; ++i) u.downButton().click();
    EXPECT_EQ(u.value(), 0);
    EXPECT_FALSE(u.downButton().isEnabled());
    EXPECT_TRUE(u.upButton().isEnabled());
    u.setValue(42);
    EXPECT_EQ(u.value(), 9);
}
