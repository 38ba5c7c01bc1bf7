// Pointer and keys on the real map, and the object under the pointer.
#include "TestDb.h"
#include "data/Queries.h"
#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "identify/FrmKursInf.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>

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

class MapPointer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); });
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), networkSql()));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([](int) {});
        w->Form_Activate();
        pic = &w->picZdMain();
    }
    void TearDown() override { setMsgHandler({}); }

    void showFrame(const Frame& f)
    {
        w->state().kadr = f;
        w->setKadrZoomed(1);
        w->RenderKadr(*pic);
    }
    QPoint px(double x, double y) const { return pic->toPixel(x, y).toPoint(); }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(type, QPointF(at), QPointF(pic->mapToGlobal(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(pic, &e);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, from, b);
        send(QEvent::MouseMove, (from + to) / 2, b);
        send(QEvent::MouseMove, to, b);
        send(QEvent::MouseButtonRelease, to, b);
    }
    void doubleClick(QPoint at)
    {
        send(QEvent::MouseButtonPress, at);
        send(QEvent::MouseButtonRelease, at);
        send(QEvent::MouseButtonDblClick, at);
        send(QEvent::MouseButtonRelease, at);
    }
    void key(Qt::Key k) { QTest::keyClick(pic, k); }
    void tool(const char* key) { w->button(QLatin1String(key))->trigger(); }
    QStringList describe(float x, float y)
    {
        w->pointer().press(Qt::LeftButton, x, y);
        return w->kursInfObj() > 0 ? w->kursInfo().lines() : QStringList();
    }
    void release() { w->pointer().release(0, 0); }
    // The half-side of the station search square at the current frame.
    float searchHalfSide() const
    {
        return static_cast<float>(std::nearbyint(std::sqrt(static_cast<double>(w->state().kadrScale)) * pic->scaleHeight() / 50));
    }

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    PictureBox* pic = nullptr;
    std::vector<MsgRequest> boxes;
};

TEST_F(MapPointer, FragmentDrawnAndAppliedByDoubleClick)
{
    showFrame(kZoomed);
    const int count = w->history().count();
    tool("mnuMagist_Frag");
    EXPECT_EQ(w->mapMode(), 1);
    drag(px(2000, 1000), px(6000, 3000));
    ASSERT_TRUE(w->fragment().frameComplete());
    ASSERT_NE(pic->findChild<QWidget*>("Ramka"), nullptr);
    const RamkaShape* r = w->fragment().ramka();
    const float left = r->mapLeft(), top = r->mapTop(), width = r->mapWidth(), height = r->mapHeight();
    doubleClick(px(4000, 2000));   // inside the frame: the first click does not move it
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(pic->findChild<QWidget*>("Ramka"), nullptr);
    EXPECT_NEAR(w->state().kadr.x1, left, 1);
    EXPECT_NEAR(w->state().kadr.y1, top, 1);
    EXPECT_NEAR(w->state().kadr.x2, left + width, 1);
    EXPECT_NEAR(w->state().kadr.y2, top + height, 1);
    EXPECT_EQ(w->history().count(), count + 1);
    EXPECT_EQ(w->history().at(count + 1), w->state().kadr);
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_TRUE(w->menuItem("mnuMagist_Frag0")->isEnabled());
    // The final release of the double click finds the normal mode and does nothing.
    EXPECT_EQ(w->kursInfObj(), 0);
}

// Each applied frame may be a hundredth of the one before: inside a small frame that rounds
// to no map unit at all. A frame below the smallest zoom is dropped like Esc drops it; the
// map keeps its frame, its scale and its history.
TEST_F(MapPointer, NestedSmallFragmentsKeepAFrameWithExtents)
{
    showFrame(kZoomed);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const Frame before = w->state().kadr;
        const int count = w->history().count();
        tool("mnuMagist_Frag");
        const QPoint at = px(9000, 4000);   // a section's end: the frames about it are never empty
        const int side = pic->width() / 100 + 2;
        drag(at - QPoint(side / 2, side / 2), at + QPoint(side - side / 2, side - side / 2));
        ASSERT_TRUE(w->fragment().frameComplete());
        key(Qt::Key_Return);
        EXPECT_EQ(w->mapMode(), 0);
        EXPECT_EQ(pic->findChild<QWidget*>("Ramka"), nullptr);
        const Frame& k = w->state().kadr;
        ASSERT_GE(k.x2 - k.x1, kMinFrameExtent);
        ASSERT_GE(k.y2 - k.y1, kMinFrameExtent);
        EXPECT_EQ(pic->scaleLeft(), k.x1);
        EXPECT_EQ(pic->scaleTop(), k.y1);
        EXPECT_EQ(pic->scaleWidth(), k.x2 - k.x1);
        EXPECT_EQ(pic->scaleHeight(), k.y2 - k.y1);
        if (round >= 1) {   // 100 x 50 map units and smaller: a hundredth is below the smallest zoom
            EXPECT_EQ(k, before);
            EXPECT_EQ(w->history().count(), count);
        }
    }
}

TEST_F(MapPointer, EnterAppliesAndEscDropsTheFrame)
{
    showFrame(kZoomed);
    tool("mnuMagist_Frag");
    drag(px(2000, 1000), px(6000, 3000));
    const Frame before = w->state().kadr;
    const int count = w->history().count();
    key(Qt::Key_Escape);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(pic->findChild<QWidget*>("Ramka"), nullptr);
    EXPECT_EQ(w->state().kadr, before);
    EXPECT_EQ(w->history().count(), count);

    tool("mnuMagist_Frag");
    drag(px(2000, 1000), px(6000, 3000));
    key(Qt::Key_Return);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(w->history().count(), count + 1);
    EXPECT_NE(w->state().kadr, before);
}

TEST_F(MapPointer, NothingToApplyWithoutACompleteFrame)
{
    showFrame(kZoomed);
    tool("mnuMagist_Frag");
    key(Qt::Key_Return);                         // no frame drawn yet
    drag(px(2000, 1000), px(2000, 1000));        // no movement: dropped
    doubleClick(px(2000, 1000));
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(w->mapMode(), 1);
    key(Qt::Key_Escape);                         // before any complete frame: just leaves the mode
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(w->state().kadr, kZoomed);
}

TEST_F(MapPointer, EnterOutsideFragmentModeDoesNothing)
{
    showFrame(kZoomed);
    const int count = w->history().count();
    key(Qt::Key_Return);
    tool("mnuMagist_Sdvig");
    key(Qt::Key_Return);
    key(Qt::Key_Escape);                         // shift mode without a drag: nothing
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(w->history().count(), count);
    EXPECT_EQ(w->state().kadr, kZoomed);
}

TEST_F(MapPointer, ShiftMovesTheFrameByTheDragAndReturnsToNormal)
{
    showFrame(kZoomed);
    const int count = w->history().count();
    tool("mnuMagist_Sdvig");
    ASSERT_EQ(w->mapMode(), 2);
    const QPoint from = px(5000, 2500), to = px(4000, 2000);
    const QPointF a = pic->toUser(QPointF(from)), b = pic->toUser(QPointF(to));
    drag(from, to);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_NEAR(w->state().kadr.x1, -(b.x() - a.x()), 1);
    EXPECT_NEAR(w->state().kadr.y1, -(b.y() - a.y()), 1);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 10000);
    EXPECT_EQ(w->history().count(), count + 1);
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_EQ(pic->findChild<QWidget*>("PictSdvig"), nullptr);
    EXPECT_TRUE(w->button("mnuMagist_Sdvig")->isChecked());   // the button stays pressed

    send(QEvent::MouseButtonPress, px(1000, 1000));            // a left press identifies again
    EXPECT_EQ(w->kursInfObj(), 1);
    send(QEvent::MouseButtonRelease, px(1000, 1000));
    send(QEvent::MouseButtonPress, px(5000, 2500), Qt::RightButton);   // a right press re-arms the shift
    EXPECT_EQ(w->mapMode(), 2);
    send(QEvent::MouseButtonRelease, px(5000, 2500), Qt::RightButton);
    EXPECT_EQ(w->mapMode(), 0);
}

// At the widest frame "Дальше" allows, a drag of a third of the picture would carry the
// frame past the 32-bit range while the network is still inside it: the shift is refused
// and the frame stays as it was, whole.
TEST_F(MapPointer, ShiftNeverCarriesTheFrameOutOfTheCoordinateRange)
{
    showFrame(kZoomed);
    for (int i = 0; i < 40; ++i) tool("mnuMagist_Far");
    const Frame widest = w->state().kadr;
    ASSERT_GT(std::int64_t(widest.x2) - widest.x1, std::int64_t(1) << 31);
    for (int dir : {1, -1}) {
        SCOPED_TRACE(dir);
        tool("mnuMagist_Sdvig");
        const QPoint from(pic->width() / 2, pic->height() / 2);
        drag(from, from + QPoint(dir * pic->width() * 4 / 10, dir * pic->height() * 4 / 10));
        EXPECT_EQ(w->mapMode(), 0);
        const Frame& k = w->state().kadr;
        EXPECT_EQ(k, widest);
        EXPECT_EQ(pic->scaleLeft(), k.x1);
        EXPECT_EQ(pic->scaleTop(), k.y1);
        EXPECT_EQ(w->history().at(w->history().count()), widest);
    }
    // A drag that keeps the frame inside the range still moves it.
    tool("mnuMagist_Sdvig");
    const QPoint from(pic->width() / 2, pic->height() / 2);
    drag(from, from + QPoint(pic->width() / 20, 0));
    EXPECT_LT(w->state().kadr.x1, widest.x1);
    EXPECT_EQ(std::int64_t(w->state().kadr.x2) - w->state().kadr.x1, std::int64_t(widest.x2) - widest.x1);
}

TEST_F(MapPointer, EscDuringAShiftPutsTheFrameBack)
{
    showFrame(kZoomed);
    const int count = w->history().count();
    const QImage shown = pic->screenImage();
    tool("mnuMagist_Sdvig");
    send(QEvent::MouseButtonPress, px(5000, 2500));
    send(QEvent::MouseMove, px(3000, 1500));
    key(Qt::Key_Escape);
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(pic->scaleLeft(), 0);
    EXPECT_EQ(pic->scaleTop(), 0);
    EXPECT_EQ(w->history().count(), count);
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(pic->findChild<QWidget*>("PictSdvig"), nullptr);
    EXPECT_TRUE(pic->autoRedraw());
    EXPECT_EQ(pic->screenImage(), shown) << "the map the drag covered shows again";
    // The release that follows moves nothing.
    send(QEvent::MouseButtonRelease, px(3000, 1500));
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(pic->screenImage(), shown);
}

// The wheel while a drag is under way (a shift or a rubber frame) changes no frame: the
// gesture ends with its own release, on the frame it began on.
TEST_F(MapPointer, WheelDuringADragIsIgnored)
{
    for (const char* toolKey : {"mnuMagist_Sdvig", "mnuMagist_Frag"}) {
        SCOPED_TRACE(toolKey);
        showFrame(kZoomed);
        const int count = w->history().count();
        tool(toolKey);
        const QPoint from = px(5000, 2500), to = px(3000, 1500);
        send(QEvent::MouseButtonPress, from);
        send(QEvent::MouseMove, to);
        for (int delta : {120, -120}) {
            QWheelEvent wheel(QPointF(to), QPointF(pic->mapToGlobal(to)), QPoint(), QPoint(0, delta), Qt::LeftButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pic, &wheel);
            EXPECT_EQ(w->state().kadr, kZoomed);
            EXPECT_EQ(w->history().count(), count);
        }
        send(QEvent::MouseButtonRelease, to);
        EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 10000) << "no zoom came after the release either";
        if (w->mapMode() == 1) key(Qt::Key_Escape);
        EXPECT_EQ(w->mapMode(), 0);
        EXPECT_TRUE(pic->autoRedraw());
    }
}

// A second button pressed during a gesture neither re-arms a tool nor ends the gesture: the
// shift drag finishes with its own release (before, a right press with "Фрагмент" shown
// pressed switched to the rubber frame and left the map drawing on its screen layer only,
// covered by the drag's snapshot).
TEST_F(MapPointer, SecondButtonDuringAGestureIsIgnored)
{
    showFrame(kZoomed);
    tool("mnuMagist_Frag");
    key(Qt::Key_Escape);
    w->menuItem("mnuMagist_Sdvig")->trigger();   // the menu leaves "Фрагмент" pressed on the toolbar
    ASSERT_EQ(w->mapMode(), 2);
    ASSERT_TRUE(w->button("mnuMagist_Frag")->isChecked());
    const int count = w->history().count();
    auto event = [&](QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(pic->mapToGlobal(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(pic, &e);
    };
    const QPoint from = px(5000, 2500), to = px(4000, 2000);
    event(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    event(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    event(QEvent::MouseButtonPress, to, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(w->mapMode(), 2);
    EXPECT_EQ(pic->findChild<QWidget*>("Ramka"), nullptr);
    event(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(w->history().count(), count) << "the drag is still going";
    event(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->mapMode(), 0);
    EXPECT_EQ(w->history().count(), count + 1);
    EXPECT_NE(w->state().kadr, kZoomed);
    EXPECT_TRUE(pic->autoRedraw());
    EXPECT_EQ(pic->findChild<QWidget*>("PictSdvig"), nullptr);

    // The object under the pointer: a right press and release while it is shown change nothing.
    event(QEvent::MouseButtonPress, px(2000, 2000), Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(w->kursInfObj(), 1);
    event(QEvent::MouseButtonPress, px(2000, 2000), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    event(QEvent::MouseButtonRelease, px(2000, 2000), Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(w->kursInfObj(), 1);
    EXPECT_EQ(w->mapMode(), 0);
    event(QEvent::MouseButtonRelease, px(2000, 2000), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->kursInfObj(), 0);
    EXPECT_TRUE(pic->autoRedraw());
}

TEST_F(MapPointer, RightPressRearmsTheFragmentTool)
{
    showFrame(kZoomed);
    tool("mnuMagist_Frag");
    key(Qt::Key_Escape);
    ASSERT_EQ(w->mapMode(), 0);
    send(QEvent::MouseButtonPress, px(2000, 1000), Qt::RightButton);
    EXPECT_EQ(w->mapMode(), 1);
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
    showFrame(kZoomed);
    const float d = searchHalfSide();
    ASSERT_GT(d, 10);
    ASSERT_LT(d, 250);
    struct Case { const char* name; float x, y; QStringList lines; };
    const Case cases[] = {
        {"a station wins over the sections through it", 2000, 2000,
         {"ст Малая Вишера", "дор Октябрьская"}},
        {"a railway centre has its kind line", 1000, 1000,
         {"ст Санкт-Петербург", "Центр дороги", "дор Октябрьская"}},
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

// A section end without a station is neither marked nor joined by the marking line: the
// picture changes around the station that exists and nowhere else.
TEST_F(MapPointer, SectionEndWithoutAStationMarksOnlyTheOtherEnd)
{
    showFrame(kZoomed);
    const QImage before = pic->screenImage();
    const QRect station = QRect(px(5700, 4800), px(6300, 4200)).normalized();
    for (const QPointF at : {QPointF(6500, 4500), QPointF(6500, 4000)}) {
        SCOPED_TRACE(at.y());
        send(QEvent::MouseButtonPress, px(at.x(), at.y()));
        ASSERT_EQ(w->kursInfObj(), 2);
        const QImage shown = pic->screenImage();
        int inside = 0, outside = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != before.pixel(x, y)) ++(station.contains(x, y) ? inside : outside);
        EXPECT_GT(inside, 0) << "the station is marked";
        EXPECT_EQ(outside, 0);
        send(QEvent::MouseButtonRelease, px(at.x(), at.y()));
        EXPECT_EQ(pic->screenImage(), before);
    }
}

TEST_F(MapPointer, GeneralisedViewIgnoresOrdinaryStations)
{
    ASSERT_LT(w->state().kadrScale, 0.3f);   // the whole scheme
    EXPECT_EQ(describe(2500, 2500).join(" | ").toStdString(),
              "        Перегон | ст Малая Вишера | ст Бологое | длина(км) = 210 | кол-во путей = 2 | "
              "вид тяги  - электр. | дор Октябрьская");
    release();
    w->menuItem("mnuZdGen")->trigger();
    EXPECT_EQ(describe(2500, 2500).join(" | ").toStdString(), "ст Чудово | дор Октябрьская");
    release();
}

TEST_F(MapPointer, ReleaseRestoresThePictureExactly)
{
    showFrame(kZoomed);
    const QImage before = pic->screenImage();
    send(QEvent::MouseButtonPress, px(2000, 2000));
    ASSERT_EQ(w->kursInfObj(), 1);
    EXPECT_NE(pic->screenImage(), before);   // the marking shows
    EXPECT_EQ(pic->image(), before);         // but only on the screen layer
    send(QEvent::MouseButtonRelease, px(2000, 2000));
    EXPECT_EQ(w->kursInfObj(), 0);
    EXPECT_EQ(pic->screenImage(), before);
    EXPECT_TRUE(pic->autoRedraw());
}

// The wheel while the object under the pointer is shown (the button still held) zooms only
// once the button is up: a frame drawn while the marking is on would go to the screen layer
// alone, and the release would uncover the picture of the frame before.
TEST_F(MapPointer, WheelWhileTheButtonIsHeldDoesNotZoom)
{
    showFrame(kZoomed);
    const int count = w->history().count();
    const QPoint at = px(2000, 2000);
    send(QEvent::MouseButtonPress, at);
    ASSERT_EQ(w->kursInfObj(), 1);
    QWheelEvent wheel(QPointF(at), QPointF(pic->mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::LeftButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic, &wheel);
    EXPECT_EQ(w->state().kadr, kZoomed);
    EXPECT_EQ(w->history().count(), count);
    send(QEvent::MouseButtonRelease, at);
    EXPECT_TRUE(pic->autoRedraw());
    const QImage shown = pic->image();
    w->RenderKadr(*pic);
    EXPECT_EQ(pic->image(), shown) << "the picture is the frame's";

    QWheelEvent free(QPointF(at), QPointF(pic->mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic, &free);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 5000);   // with the button up it zooms
}

TEST_F(MapPointer, NothingUnderThePointerChangesNothing)
{
    showFrame(kZoomed);
    const QImage before = pic->screenImage();
    send(QEvent::MouseButtonPress, px(5000, 4800));
    EXPECT_EQ(w->kursInfObj(), 0);
    EXPECT_TRUE(w->kursInfo().popup() == nullptr || !w->kursInfo().popup()->isVisible());
    send(QEvent::MouseButtonRelease, px(5000, 4800));
    EXPECT_EQ(pic->screenImage(), before);
}

} // namespace
