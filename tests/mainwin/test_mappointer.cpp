// Pointer and keys on the real map, and the object under the pointer.
#include "MapWindow.h"
#include "data/Queries.h"
#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "identify/FrmKursInf.h"
#include "mainwin/MapPointer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cmath>

using namespace zd;

namespace {

QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('401','Разъезд 1',9000,4000,'1',3,0),('402','Разъезд 2',9500,4500,'1',3,0);"
        "INSERT INTO Peregon VALUES('401','402',9000,4000,9500,4500,71.5,'1',0,2);"
        // A station of a railway that has no row in Doroga, and sections whose other end
        // has no station row.
        "INSERT INTO Stn VALUES('403','Безымянная',6000,4500,'9',3,0);"
        "INSERT INTO Peregon VALUES('403','999',6000,4500,7000,4500,15,'1',1,2),"
        " ('998','403',6000,4000,7000,4000,16,'1',1,2);");
}

const Frame kZoomed{0, 0, 10000, 5000};

class MapPointer : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        start(networkSql());
        showFrame(kZoomed);
    }
    void key(Qt::Key k) { QTest::keyClick(&pic(), k); }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton b = Qt::LeftButton) { zdtest::sendMouse(&pic(), type, at, b); }
    // A mouse event with the buttons held given apart from the one that changes.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(at), QPointF(pic().mapToGlobal(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(&pic(), &e);
    }
    void drag(QPointF from, QPointF to) { zdtest::dragOn(&pic(), px(from.x(), from.y()), px(to.x(), to.y())); }
    QWidget* ramka() { return pic().findChild<QWidget*>("Ramka"); }
    QStringList describe(float x, float y)
    {
        w->pointer().press(Qt::LeftButton, x, y);
        return w->kursInfObj() > 0 ? w->kursInfo().lines() : QStringList();
    }
    void release() { w->pointer().release(0, 0); }
    int count() { return w->history().count(); }
};

TEST_F(MapPointer, FragmentDrawnAndAppliedByDoubleClick)
{
    const int before = count();
    press("mnuMagist_Frag");
    EXPECT_EQ(w->mapMode(), 1);
    drag({2000, 1000}, {6000, 3000});
    ASSERT_TRUE(w->fragment().frameComplete());
    ASSERT_NE(ramka(), nullptr);
    const RamkaShape* r = w->fragment().ramka();
    const float left = r->mapLeft(), top = r->mapTop(), width = r->mapWidth(), height = r->mapHeight();
    zdtest::doubleClickAt(&pic(), px(4000, 2000));   // inside the frame: the first click does not move it
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(ramka(), nullptr);
    EXPECT_NEAR(w->state().kadr.x1, left, 1);
    EXPECT_NEAR(w->state().kadr.y1, top, 1);
    EXPECT_NEAR(w->state().kadr.x2, left + width, 1);
    EXPECT_NEAR(w->state().kadr.y2, top + height, 1);
    EXPECT_EQ(count(), before + 1);
    EXPECT_EQ(w->history().at(before + 1), w->state().kadr);
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));
    EXPECT_EQ(w->kursInfObj(), 0) << "the final release of the double click finds the normal mode";
}

// Each applied frame may be a hundredth of the one before: inside a small frame that rounds
// to no map unit at all. A frame below the smallest zoom is dropped like Esc drops it; the
// map keeps its frame, its scale and its history.
TEST_F(MapPointer, NestedSmallFragmentsKeepAFrameWithExtents)
{
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const Frame before = w->state().kadr;
        const int entries = count();
        press("mnuMagist_Frag");
        const QPoint at = px(9000, 4000);   // a section's end: the frames about it are never empty
        const int side = pic().width() / 100 + 2;
        zdtest::dragOn(&pic(), at - QPoint(side / 2, side / 2), at + QPoint(side - side / 2, side - side / 2));
        ASSERT_TRUE(w->fragment().frameComplete());
        key(Qt::Key_Return);
        EXPECT_EQ(w->mapMode(), 0);
        EXPECT_EQ(ramka(), nullptr);
        const Frame& k = w->state().kadr;
        ASSERT_GE(k.x2 - k.x1, kMinFrameExtent);
        ASSERT_GE(k.y2 - k.y1, kMinFrameExtent);
        EXPECT_EQ(QRectF(pic().scaleLeft(), pic().scaleTop(), pic().scaleWidth(), pic().scaleHeight()),
                  QRectF(k.x1, k.y1, k.x2 - k.x1, k.y2 - k.y1));
        if (round >= 1) {   // 100 x 50 map units and smaller: a hundredth is below the smallest zoom
            EXPECT_EQ(k, before);
            EXPECT_EQ(count(), entries);
        }
    }
}

// Enter applies a complete frame and Esc drops it; without a complete frame there is nothing
// to apply; outside the fragment mode neither key does anything.
TEST_F(MapPointer, EnterAppliesAndEscDropsTheFrame)
{
    const int before = count();
    press("mnuMagist_Frag");
    key(Qt::Key_Return);                         // no frame drawn yet
    drag({2000, 1000}, {2000, 1000});            // no movement: dropped
    zdtest::doubleClickAt(&pic(), px(2000, 1000));
    EXPECT_EQ(w->mapMode(), 1);
    drag({2000, 1000}, {6000, 3000});
    key(Qt::Key_Escape);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(ramka(), nullptr);
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(count(), before);

    key(Qt::Key_Return);
    press("mnuMagist_Sdvig");
    key(Qt::Key_Return);
    key(Qt::Key_Escape);                         // shift mode without a drag: nothing
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(w->state().kadr, kZoomed);

    press("mnuMagist_Frag");
    drag({2000, 1000}, {6000, 3000});
    key(Qt::Key_Return);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(count(), before + 1);
    EXPECT_NE(w->state().kadr, kZoomed);
}

TEST_F(MapPointer, ShiftMovesTheFrameByTheDragAndReturnsToNormal)
{
    const int before = count();
    press("mnuMagist_Sdvig");
    ASSERT_EQ(w->mapMode(), 2);
    const QPoint from = px(5000, 2500), to = px(4000, 2000);
    const QPointF a = pic().toUser(QPointF(from)), b = pic().toUser(QPointF(to));
    zdtest::dragOn(&pic(), from, to);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_NEAR(w->state().kadr.x1, -(b.x() - a.x()), 1);
    EXPECT_NEAR(w->state().kadr.y1, -(b.y() - a.y()), 1);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 10000);
    EXPECT_EQ(count(), before + 1);
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_EQ(pic().findChild<QWidget*>("PictSdvig"), nullptr);
    EXPECT_TRUE(w->button("mnuMagist_Sdvig")->isChecked());   // the button stays pressed

    mouse(QEvent::MouseButtonPress, px(1000, 1000));          // a left press identifies again
    EXPECT_EQ(w->kursInfObj(), 1);
    mouse(QEvent::MouseButtonRelease, px(1000, 1000));
    mouse(QEvent::MouseButtonPress, px(5000, 2500), Qt::RightButton);   // a right press re-arms the shift
    EXPECT_EQ(w->mapMode(), 2);
    mouse(QEvent::MouseButtonRelease, px(5000, 2500), Qt::RightButton);
    EXPECT_EQ(w->mapMode(), 0);
    press("mnuMagist_Frag");
    key(Qt::Key_Escape);
    mouse(QEvent::MouseButtonPress, px(2000, 1000), Qt::RightButton);   // and the fragment tool
    EXPECT_EQ(w->mapMode(), 1);
}

// At the widest frame "Дальше" allows, a drag of a third of the picture would carry the
// frame past the 32-bit range while the network is still inside it: the shift is refused
// and the frame stays as it was, whole.
TEST_F(MapPointer, ShiftNeverCarriesTheFrameOutOfTheCoordinateRange)
{
    for (int i = 0; i < 40; ++i) press("mnuMagist_Far");
    const Frame widest = w->state().kadr;
    ASSERT_GT(std::int64_t(widest.x2) - widest.x1, std::int64_t(1) << 31);
    const QPoint centre = pic().rect().center();
    for (int dir : {1, -1}) {
        SCOPED_TRACE(dir);
        press("mnuMagist_Sdvig");
        zdtest::dragOn(&pic(), centre, centre + QPoint(dir * pic().width() * 4 / 10, dir * pic().height() * 4 / 10));
        EXPECT_EQ(w->mapMode(), 0);
        EXPECT_EQ(w->state().kadr, widest);
        EXPECT_EQ(pic().scaleLeft(), widest.x1);
        EXPECT_EQ(pic().scaleTop(), widest.y1);
        EXPECT_EQ(w->history().at(count()), widest);
    }
    press("mnuMagist_Sdvig");   // a drag that keeps the frame inside the range still moves it
    zdtest::dragOn(&pic(), centre, centre + QPoint(pic().width() / 20, 0));
    EXPECT_LT(w->state().kadr.x1, widest.x1);
    EXPECT_EQ(std::int64_t(w->state().kadr.x2) - w->state().kadr.x1, std::int64_t(widest.x2) - widest.x1);
}

TEST_F(MapPointer, EscDuringAShiftPutsTheFrameBack)
{
    const int before = count();
    const QImage shown = pic().screenImage();
    press("mnuMagist_Sdvig");
    mouse(QEvent::MouseButtonPress, px(5000, 2500));
    mouse(QEvent::MouseMove, px(3000, 1500));
    key(Qt::Key_Escape);
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(pic().scaleLeft(), 0);
    EXPECT_EQ(pic().scaleTop(), 0);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(pic().findChild<QWidget*>("PictSdvig"), nullptr);
    EXPECT_TRUE(pic().autoRedraw());
    EXPECT_EQ(pic().screenImage(), shown) << "the map the drag covered shows again";
    mouse(QEvent::MouseButtonRelease, px(3000, 1500));   // the release that follows moves nothing
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(pic().screenImage(), shown);
}

// The wheel while a button is down changes no frame, and a change of the map's size is drawn
// only after the release: a drag (a shift or a rubber frame) ends with its own release on the
// frame it began on; with the object under the pointer shown, a frame drawn then would go to
// the screen layer alone and the release would uncover the picture of the frame before.
// With the button up the wheel zooms.
TEST_F(MapPointer, WheelAndResizeWhileAButtonIsDownWaitForTheRelease)
{
    int narrower = 0;
    for (const char* tool : {"mnuMagist_Sdvig", "mnuMagist_Frag", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(tool ? tool : "the object under the pointer");
        showFrame(kZoomed);
        const int before = count();
        if (tool) press(tool);
        const QPoint from = px(2000, 2000), to = px(tool ? 3000 : 2000, tool ? 1500 : 2000);
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, to);
        EXPECT_EQ(w->kursInfObj(), tool ? 0 : 1);
        for (int delta : {120, -120}) {
            QWheelEvent wheel(QPointF(to), QPointF(pic().mapToGlobal(to)), QPoint(), QPoint(0, delta), Qt::LeftButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&pic(), &wheel);
            EXPECT_EQ(w->state().kadr, kZoomed);
            EXPECT_EQ(count(), before);
        }
        w->resize(w->width() - 40 * ++narrower, w->height());
        QApplication::processEvents();
        mouse(QEvent::MouseButtonRelease, to);
        QApplication::processEvents();
        EXPECT_EQ(pic().image().size(), pic().size());
        EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 10000) << "no zoom came after the release either";
        if (w->mapMode() == 1) key(Qt::Key_Escape);
        EXPECT_EQ(w->mapMode(), 0);
        EXPECT_TRUE(pic().autoRedraw());
        const QImage shown = pic().image();
        w->redrawFrame();
        EXPECT_EQ(pic().image(), shown) << "the picture is the frame's";
    }
    zdtest::wheelAt(&pic(), px(2000, 2000), 120);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 5000);
}

// A second button pressed during a gesture neither re-arms a tool nor ends the gesture: the
// shift drag finishes with its own release (before, a right press with "Фрагмент" shown
// pressed switched to the rubber frame and left the map drawing on its screen layer only,
// covered by the drag's snapshot).
TEST_F(MapPointer, SecondButtonDuringAGestureIsIgnored)
{
    press("mnuMagist_Frag");
    key(Qt::Key_Escape);
    trigger("mnuMagist_Sdvig");   // the menu leaves "Фрагмент" pressed on the toolbar
    ASSERT_EQ(w->mapMode(), 2);
    ASSERT_TRUE(w->button("mnuMagist_Frag")->isChecked());
    const int before = count();
    const QPoint from = px(5000, 2500), to = px(4000, 2000);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonPress, to, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(ramka(), nullptr);
    mouse(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(count(), before) << "the drag is still going";
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(count(), before + 1);
    EXPECT_NE(w->state().kadr, kZoomed);
    EXPECT_TRUE(pic().autoRedraw());
    EXPECT_EQ(pic().findChild<QWidget*>("PictSdvig"), nullptr);

    // The object under the pointer: a right press and release while it is shown change nothing.
    mouse(QEvent::MouseButtonPress, px(2000, 2000), Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(w->kursInfObj(), 1);
    mouse(QEvent::MouseButtonPress, px(2000, 2000), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, px(2000, 2000), Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(w->kursInfObj(), 1);
    EXPECT_EQ(w->mapMode(), 0);
    mouse(QEvent::MouseButtonRelease, px(2000, 2000), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->kursInfObj(), 0);
    EXPECT_TRUE(pic().autoRedraw());
}

TEST_F(MapPointer, StationQueryTextForAKnownPosition)
{
    EXPECT_EQ(cursorStationsSql(41235, -120, 296, true).toStdString(),
              "SELECT NazStn, StnX, StnY,KodDor,TipStn,StnBranch  FROM Stn WHERE Abs(Val(StnX)  - 41235) <= 296"
              " AND Abs(Val(StnY) - -120) <= 296 AND (TipStn BETWEEN 7 AND 9 OR StnBranch = 1)");
    EXPECT_EQ(cursorStationsSql(5, 6, 7, false).toStdString(),
              "SELECT NazStn, StnX, StnY,KodDor,TipStn,StnBranch  FROM Stn WHERE Abs(Val(StnX)  - 5) <= 7"
              " AND Abs(Val(StnY) - 6) <= 7");
}

TEST_F(MapPointer, DescriptionsOfStationsAndSections)
{
    // The half-side of the station search square at this frame.
    const float d = float(std::nearbyint(std::sqrt(double(w->state().kadrScale)) * pic().scaleHeight() / 50));
    ASSERT_GT(d, 10);
    ASSERT_LT(d, 250);
    struct Case { const char* name; float x, y; QStringList lines; };
    const Case cases[] = {
        {"a station wins over the sections through it", 2000, 2000, {"ст Малая Вишера", "дор Октябрьская"}},
        {"a railway centre has its kind line", 1000, 1000, {"ст Санкт-Петербург", "Центр дороги", "дор Октябрьская"}},
        {"a junction of railways", 3000, 3000, {"ст Бологое", "Стык дорог", "дор Октябрьская"}},
        {"a station exactly d away on both axes", 2500 + d, 2500 - d, {"ст Чудово", "дор Октябрьская"}},
        {"a section without tracks and with diesel traction", 9250, 4250,
         {"        Перегон", "ст Разъезд 1", "ст Разъезд 2", "длина(км) = 71.5", "кол-во путей не опр.",
          "вид тяги  - тепл.", "дор Октябрьская"}},
        {"a section of the other railway", 5000, 3000,
         {"        Перегон", "ст Бологое", "ст Минск", "длина(км) = 600", "кол-во путей = 1", "вид тяги  - тепл.",
          "дор Белорусская"}},
        {"a station whose railway has no row: an empty railway line", 6000, 4500, {"ст Безымянная", ""}},
        {"a second end without a station keeps the first end's line", 6500, 4500,
         {"        Перегон", "ст Безымянная", "ст Безымянная", "длина(км) = 15", "кол-во путей = 1",
          "вид тяги  - тепл.", "дор Октябрьская"}},
        {"a first end without a station leaves its line empty", 6500, 4000,
         {"        Перегон", "", "ст Безымянная", "длина(км) = 16", "кол-во путей = 1", "вид тяги  - тепл.",
          "дор Октябрьская"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(describe(c.x, c.y).join(" | ").toStdString(), c.lines.join(" | ").toStdString());
        EXPECT_TRUE(w->kursInfo().popup()->isVisible());
        release();
        EXPECT_FALSE(w->kursInfo().popup()->isVisible());
    }
    EXPECT_TRUE(describe(2500 + d + 2, 2500 - d - 2).isEmpty()) << "just beyond the square, no section there";
}

// The marking shows on the screen layer only, around what was found and nowhere else (a
// section end without a station is neither marked nor joined by the marking line); the
// release restores the picture exactly. Nothing under the pointer changes nothing.
TEST_F(MapPointer, MarkingOnlyAroundTheObjectAndGoneWithTheRelease)
{
    const QImage before = pic().screenImage();
    struct Case { const char* name; QPointF at; int object; QRectF around; };
    const Case cases[] = {
        {"a station", {2000, 2000}, 1, {1700, 1700, 600, 600}},
        {"a section whose second end has no station", {6500, 4500}, 2, {5700, 4200, 600, 600}},
        {"a section whose first end has no station", {6500, 4000}, 2, {5700, 4200, 600, 600}},
        {"nothing", {5000, 4800}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mouse(QEvent::MouseButtonPress, px(c.at.x(), c.at.y()));
        ASSERT_EQ(w->kursInfObj(), c.object);
        EXPECT_EQ(pic().image(), before);
        const QImage shown = pic().screenImage();
        const QRect around = QRect(px(c.around.left(), c.around.top()), px(c.around.right(), c.around.bottom())).normalized();
        int inside = 0, outside = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != before.pixel(x, y)) ++(around.contains(x, y) ? inside : outside);
        EXPECT_EQ(inside > 0, c.object > 0);
        EXPECT_EQ(outside, 0);
        mouse(QEvent::MouseButtonRelease, px(c.at.x(), c.at.y()));
        EXPECT_EQ(w->kursInfObj(), 0);
        EXPECT_EQ(pic().screenImage(), before);
        EXPECT_TRUE(pic().autoRedraw());
        EXPECT_TRUE(w->kursInfo().popup() == nullptr || !w->kursInfo().popup()->isVisible());
    }
}

TEST_F(MapPointer, GeneralisedViewIgnoresOrdinaryStations)
{
    trigger("mnuMagist_Frag0");
    ASSERT_LT(w->state().kadrScale, 0.3f);
    EXPECT_EQ(describe(2500, 2500).join(" | ").toStdString(),
              "        Перегон | ст Малая Вишера | ст Бологое | длина(км) = 210 | кол-во путей = 2 | "
              "вид тяги  - электр. | дор Октябрьская");
    release();
    trigger("mnuZdGen");
    EXPECT_EQ(describe(2500, 2500).join(" | ").toStdString(), "ст Чудово | дор Октябрьская");
    release();
}

} // namespace
