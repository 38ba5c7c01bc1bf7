// The style chosen in the menu "Вид" and on the toolbar: the map is drawn again in it
// without a history entry, the choice is kept for the next run, and the classic picture
// comes back pixel for pixel.
#include "MapWindow.h"
#include "identify/FrmKursInf.h"
#include "mainwin/StyleMenu.h"

#include <QCoreApplication>

using namespace zd;

namespace {
class StyleChoice : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        StyleMenu::save(MapStyle::Classic);
        MapWindowTest::SetUp();
    }
    void TearDown() override
    {
        MapWindowTest::TearDown();
        StyleMenu::save(MapStyle::Classic);
    }
    bool checked(const char* name) { return w->menuItem(QLatin1String(name))->isChecked(); }
};
} // namespace

TEST_F(StyleChoice, MenuAndToolbarSwitchTheMapAndTheChoiceIsKept)
{
    start();
    const QImage classic = pic().image();
    const int frames = w->history().count();
    EXPECT_TRUE(checked("mnuView_Classic"));
    EXPECT_FALSE(w->button(QStringLiteral("tlbView_Screen"))->isChecked());

    struct Step { const char* name; std::function<void()> act; MapStyle style; };
    const Step steps[] = {
        {"menu: Для экрана", [&] { trigger("mnuView_Screen"); }, MapStyle::Screen},
        {"toolbar off", [&] { press("tlbView_Screen"); }, MapStyle::Classic},
        {"toolbar on", [&] { press("tlbView_Screen"); }, MapStyle::Screen},
        {"menu: Классический", [&] { trigger("mnuView_Classic"); }, MapStyle::Classic},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        const bool screen = s.style == MapStyle::Screen;
        EXPECT_EQ(w->state().style, s.style);
        EXPECT_EQ(checked("mnuView_Screen"), screen);
        EXPECT_EQ(checked("mnuView_Classic"), !screen);
        EXPECT_EQ(w->button(QStringLiteral("tlbView_Screen"))->isChecked(), screen);
        EXPECT_EQ(StyleMenu::saved(), s.style);
        EXPECT_EQ(pic().image() == classic, !screen);
        EXPECT_EQ(w->history().count(), frames);
    }

    // The next run starts in the style chosen last.
    trigger("mnuView_Screen");
    w.reset();
    start();
    EXPECT_EQ(w->state().style, MapStyle::Screen);
    EXPECT_TRUE(checked("mnuView_Screen"));
    EXPECT_FALSE(pic().image() == classic);
}

// In the style "Для экрана" the popup of the object under the pointer stands beside the
// pointer, not at the map's edge.
TEST_F(StyleChoice, PopupBesideThePointerInTheScreenStyle)
{
    start();
    w->resize(900, 600);
    w->show();
    QCoreApplication::processEvents();
    struct Case { const char* item; bool beside; };
    for (const Case c : {Case{"mnuView_Classic", false}, Case{"mnuView_Screen", true}}) {
        SCOPED_TRACE(c.item);
        trigger(c.item);
        const QPoint pointer = pic().mapToGlobal(px(3000, 3000));   // Бологое
        w->showObjectAt(w->frameSections(), pic(), 3000, 3000);
        ASSERT_GT(w->kursInfObj(), 0);
        const QRect popup = w->kursInfo().popup()->frameGeometry();
        const int away = (popup.center() - pointer).manhattanLength();
        EXPECT_EQ(away < popup.width() + popup.height(), c.beside) << away;
        EXPECT_FALSE(popup.contains(pointer));
        w->endObjectAt(pic());
    }
}
