// "Сервис" → "Подписи латиницей" in the real main window: the station names of the map
// and of the popup in Latin letters, back in Cyrillic when switched off, the choice kept
// between runs.
#include "MapWindow.h"

#include <QMenu>
#include <QSettings>

using namespace zd;

namespace {

const Frame kNear{0, 0, 10000, 6000};   // the sample network with its names

class LatinLabels : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        QSettings().clear();
    }
    void TearDown() override
    {
        MapWindowTest::TearDown();
        QSettings().clear();
    }
    QAction* item() { return w->menuItem(QStringLiteral("mnuService_Latin")); }
    // The popup's lines for the object under the pointer at a map point.
    QStringList popupAt(double x, double y)
    {
        zdtest::sendMouse(&pic(), QEvent::MouseButtonPress, px(x, y));
        const QStringList lines = w->kursInfo().lines();
        zdtest::sendMouse(&pic(), QEvent::MouseButtonRelease, px(x, y));
        return lines;
    }
};

} // namespace

TEST_F(LatinLabels, NamesChangeAloneAndComeBackCyrillic)
{
    start();
    showFrame(kNear);
    const QImage cyrillic = pic().image();
    const QPoint onSection = px(5000, 3000);   // the section Бологое – Минск, clear of every name
    ASSERT_EQ(popupAt(1000, 1000).value(0), QStringLiteral("ст Санкт-Петербург"));

    item()->trigger();
    EXPECT_EQ(w->state().kadr, kNear) << "the same frame drawn again";
    const QImage latin = pic().image();
    EXPECT_NE(latin, cyrillic);
    EXPECT_EQ(latin.pixel(onSection), cyrillic.pixel(onSection));
    EXPECT_EQ(popupAt(1000, 1000).value(0), QStringLiteral("ст Sankt-Peterburg"));

    item()->trigger();
    EXPECT_EQ(pic().image(), cyrillic) << "pixel for pixel the picture of Cyrillic names";
    EXPECT_EQ(popupAt(1000, 1000).value(0), QStringLiteral("ст Санкт-Петербург"));
    EXPECT_TRUE(takeBoxes().isEmpty());
}

TEST_F(LatinLabels, TheChoiceIsKeptBetweenRuns)
{
    start();
    ASSERT_EQ(QString(item()->text()).remove(u'&'), QStringLiteral("Подписи латиницей"));
    EXPECT_EQ(item()->parent(), static_cast<QObject*>(&w->extraMenu(QStringLiteral("mnuService"))));
    EXPECT_FALSE(item()->isChecked()) << "off at first";
    item()->trigger();
    w.reset();
    start();
    EXPECT_TRUE(item()->isChecked());
    showFrame(kNear);
    EXPECT_EQ(popupAt(7000, 3000).value(0), QStringLiteral("ст Minsk"));

    item()->trigger();
    w.reset();
    start();
    EXPECT_FALSE(item()->isChecked());
    EXPECT_FALSE(w->state().latinNames);
}
