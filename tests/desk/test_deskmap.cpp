// The pointer and the keys on the map: the wheel about the pointer, the middle button's
// pan in every tool mode, the keys, the quiet refusal of an empty frame, the status bar.
#include "DeskNetwork.h"

#include "desk/Desk.h"
#include "desk/MapStatus.h"
#include "fragment/Fragment.h"
#include "mainwin/MapPointer.h"

#include <QApplication>
#include <QSemaphore>
#include <QStatusBar>
#include <QTest>
#include <QThreadPool>
#include <QToolBar>
#include <cmath>

using namespace zd;
using namespace zdtest;

namespace {

const Frame kScheme{0, -1000, 84000, 36000};
const Frame kNearMoscow{17000, 11000, 27000, 21000};

class DeskMap : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        startDesk();
    }
    QPointF mapAt(QPoint pixel) { return pic().toUser(QPointF(pixel)); }
    std::vector<bool> toolbarChecks()
    {
        std::vector<bool> on;
        for (QAction* a : w->findChild<QToolBar*>("tlbZd")->actions()) on.push_back(a->isChecked());
        return on;
    }
};

// The map point under the pointer is under it again after each notch, within a pixel.
TEST_F(DeskMap, WheelKeepsThePointUnderThePointer)
{
    struct Row { const char* name; double fx, fy; int delta; int notches; };
    const Row rows[] = {
        {"in at Moscow", -1, -1, 120, 1},    {"in twice at Moscow", -1, -1, 240, 2},
        {"in near a corner", 0.2, 0.15, 120, 1}, {"out at Moscow", -1, -1, -120, 1},
        {"in at the lower left", 0.3, 0.6, 120, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        showFrame(kNearMoscow);
        const int before = w->history().count();
        const QPoint at = r.fx < 0 ? px(kMoscowX, kMoscowY)
                                   : QPoint(int(pic().width() * r.fx), int(pic().height() * r.fy));
        const QPointF under = mapAt(at);
        const double width = w->state().kadr.x2 - w->state().kadr.x1;
        wheelAt(&pic(), at, r.delta);
        EXPECT_EQ(w->history().count(), before + r.notches);
        const double expected = r.delta > 0 ? width / std::pow(2, r.notches) : width * 2;
        EXPECT_NEAR(w->state().kadr.x2 - w->state().kadr.x1, expected, 1);
        const QPointF now = pic().toPixel(under.x(), under.y());
        EXPECT_LE(std::abs(now.x() - at.x()), 1.0);
        EXPECT_LE(std::abs(now.y() - at.y()), 1.0);
        EXPECT_TRUE(takeBoxes().isEmpty());
    }
}

// Half a notch waits for the other half; the "Назад" of the menu steps back through them.
TEST_F(DeskMap, WheelStepsGoToTheHistory)
{
    showFrame(kNearMoscow);
    wheelAt(&pic(), px(kMoscowX, kMoscowY), 60);
    EXPECT_EQ(w->state().kadr, kNearMoscow);
    wheelAt(&pic(), px(kMoscowX, kMoscowY), 60);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 5000);
    trigger("mnuKadrBack");
    EXPECT_EQ(w->state().kadr, kNearMoscow);
    EXPECT_TRUE(itemOn("mnuKadrFore"));
}

// A wheel or key zoom that would show nothing keeps the frame and says so in the status
// bar; the menu's "Ближе" still shows the message and the whole scheme.
TEST_F(DeskMap, EmptyZoomIsRefusedQuietly)
{
    const Frame empty{60000, 20000, 80000, 30000};
    showFrame(Frame{40000, 20000, 80000, 30000});   // the grid's right edge at its left
    const Frame before = w->state().kadr;
    const int count = w->history().count();
    wheelAt(&pic(), px(75000, 25000), 120);
    EXPECT_EQ(w->state().kadr, before);
    EXPECT_EQ(w->history().count(), count);
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_FALSE(statusMessage().isEmpty());

    w->statusBar()->clearMessage();
    showFrame(Frame{41000, 20000, 81000, 30000});
    key(Qt::Key_Right);   // a quarter further right holds no station
    EXPECT_EQ(w->state().kadr, (Frame{41000, 20000, 81000, 30000}));
    EXPECT_FALSE(statusMessage().isEmpty());
    EXPECT_TRUE(takeBoxes().isEmpty());

    showFrame(empty);   // the classic way: the message, then the whole scheme
    EXPECT_EQ(takeBoxes(), QStringList{"В выбранном фрагменте отсутствуют элементы схемы"});
    EXPECT_EQ(w->state().kadr, kScheme);
}

TEST_F(DeskMap, KeysOnTheMap)
{
    struct Row { const char* name; int key; Qt::KeyboardModifiers mods; Frame expected; };
    const Row rows[] = {
        {"plus", Qt::Key_Plus, Qt::NoModifier, {19500, 13500, 24500, 18500}},
        {"equal key", Qt::Key_Equal, Qt::NoModifier, {19500, 13500, 24500, 18500}},
        {"minus", Qt::Key_Minus, Qt::NoModifier, {12000, 6000, 32000, 26000}},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, {12000, 6000, 32000, 26000}},
        {"left", Qt::Key_Left, Qt::NoModifier, {14500, 11000, 24500, 21000}},
        {"right", Qt::Key_Right, Qt::NoModifier, {19500, 11000, 29500, 21000}},
        {"up", Qt::Key_Up, Qt::NoModifier, {17000, 8500, 27000, 18500}},
        {"down", Qt::Key_Down, Qt::NoModifier, {17000, 13500, 27000, 23500}},
        {"home", Qt::Key_Home, Qt::NoModifier, kScheme},
        {"alt left", Qt::Key_Left, Qt::AltModifier, kScheme},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        showFrame(kNearMoscow);
        key(r.key, r.mods);
        EXPECT_EQ(w->state().kadr, r.expected);
        EXPECT_TRUE(takeBoxes().isEmpty());
    }
    key(Qt::Key_Right, Qt::AltModifier);   // forward again, after the back above
    EXPECT_EQ(w->state().kadr, kNearMoscow);
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    trigger("mnuHelp_Instr");
    const QStringList instr = takeBoxes();
    key(Qt::Key_F1);
    EXPECT_EQ(takeBoxes(), instr) << "F1 is \"Инструкция\"";
}

// Enter and Esc keep their meanings: in fragment mode an arrow does not move the map
// under the rubber frame, Esc still drops it.
TEST_F(DeskMap, KeysWaitForAGesture)
{
    showFrame(kNearMoscow);
    press("mnuMagist_Frag");
    dragOn(&pic(), px(18000, 12000), px(20000, 14000));
    key(Qt::Key_Right);
    key(Qt::Key_Plus);
    EXPECT_EQ(w->state().kadr, kNearMoscow);
    key(Qt::Key_Escape);
    EXPECT_EQ(w->mapMode(), 0);
    key(Qt::Key_Plus);
    EXPECT_EQ(w->state().kadr, (Frame{19500, 13500, 24500, 18500}));
}

// The middle button pans in every mode and leaves the mode, the armed tool and the toolbar
// as they were; the frame moves by the drag.
TEST_F(DeskMap, MiddleDragPansInEveryMode)
{
    struct Row { const char* name; std::function<void()> arm; std::int16_t mode; };
    const Row rows[] = {
        {"normal", [] {}, 0},
        {"fragment armed", [this] { press("mnuMagist_Frag"); }, 1},
        {"fragment with a frame", [this] {
             press("mnuMagist_Frag");
             dragOn(&pic(), px(18000, 12000), px(20000, 14000));
         }, 1},
        {"shift armed", [this] { press("mnuMagist_Sdvig"); }, 2},
        {"shift from the menu", [this] { trigger("mnuMagist_Sdvig"); }, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        showFrame(kNearMoscow);
        r.arm();
        const std::vector<bool> checks = toolbarChecks();
        const QPoint from = px(22000, 16000), to = px(20000, 15000);
        const int count = w->history().count();
        dragOn(&pic(), from, to, Qt::MiddleButton);
        EXPECT_EQ(w->mapMode(), r.mode);
        EXPECT_EQ(toolbarChecks(), checks);
        EXPECT_NEAR(w->state().kadr.x1, kNearMoscow.x1 + 2000, 20);
        EXPECT_NEAR(w->state().kadr.y1, kNearMoscow.y1 + 1000, 20);
        EXPECT_EQ(w->history().count(), count + 1);
        EXPECT_EQ(w->kursInfObj(), 0) << "no object is described";
        EXPECT_FALSE(w->fragment().fragActive()) << "no rubber frame stays behind";
        EXPECT_TRUE(pic().autoRedraw());
        if (r.mode == 1) key(Qt::Key_Escape);
        w->setKadrZoomed(1);
        trigger("mnuMagist_Frag");   // put the modes back to normal for the next row
        key(Qt::Key_Escape);
    }
}

// A pan into the empty half, or cancelled with Esc, draws the frame it began on again.
TEST_F(DeskMap, MiddleDragRefusedOrCancelledKeepsTheFrame)
{
    showFrame(Frame{30000, 11000, 40000, 21000});
    const QImage shown = pic().image();
    const int count = w->history().count();
    dragOn(&pic(), px(39000, 16000), px(31000, 16000), Qt::MiddleButton);   // to 38000..48000
    EXPECT_EQ(w->history().count(), count + 1);
    dragOn(&pic(), px(39000, 16000), px(30000, 16000), Qt::MiddleButton);   // and beyond: empty
    EXPECT_FALSE(statusMessage().isEmpty());
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_EQ(w->history().count(), count + 1);

    showFrame(Frame{30000, 11000, 40000, 21000});
    sendMouse(&pic(), QEvent::MouseButtonPress, px(39000, 16000), Qt::MiddleButton);
    sendMouse(&pic(), QEvent::MouseMove, px(35000, 16000), Qt::MiddleButton);
    key(Qt::Key_Escape);
    sendMouse(&pic(), QEvent::MouseButtonRelease, px(35000, 16000), Qt::MiddleButton);
    EXPECT_EQ(w->state().kadr, (Frame{30000, 11000, 40000, 21000}));
    EXPECT_EQ(pic().image(), shown);
}

// The scale from the network's lengths: 1 cm of the screen at the screen's DPI.
TEST_F(DeskMap, StatusBarScaleFromTheLengths)
{
    for (const Frame& f : {kNearMoscow, Frame{2000, 1000, 42000, 31000}, Frame{21000, 15000, 23500, 17000}}) {
        SCOPED_TRACE(f.x1);
        showFrame(f);
        // The frame stretched to the picture: the diagonal's units per pixel.
        const double unitsPerPx = std::hypot(f.x2 - f.x1, f.y2 - f.y1) / std::hypot(pic().width(), pic().height());
        const double cmPx = pic().dpi().x / 2.54;
        const std::optional<double> km = w->desk().status().frameKmPerCm();
        ASSERT_TRUE(km);
        EXPECT_NEAR(*km, kKmPerUnit * unitsPerPx * cmPx, *km * 0.01);
        EXPECT_TRUE(statusLabel("lblStatusScale").startsWith(QStringLiteral("1 см ≈ ")));
    }
    EXPECT_EQ(statusLabel("lblStatusCount"), QStringLiteral("Станций: 1, перегонов: 4"))
        << "the small frame holds Moscow and the ends of its four sections";
}

// A frame of many sections has its scale estimated aside: the label is empty until the
// estimate comes, and an estimate overtaken by the next frame never shows.
TEST_F(DeskTest, StatusBarScaleOfALargeFrameComesAsideAndNeverLate)
{
    // 60,000 more sections of 0.5 km over 50 units along the bottom of the grid.
    startDesk(gridNetworkSql() + QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 59999) "
        "INSERT INTO Peregon SELECT '100', '110', 2000 + (i % 800) * 50, 1000 + (i / 800) * 0.01, "
        "2050 + (i % 800) * 50, 1000 + (i / 800) * 0.01, 0.5, '1', 2, 3 FROM n;"));
    const auto scaleLabel = [&] { return statusLabel("lblStatusScale"); };
    const auto settle = [&] {
        for (int i = 0; i < 500 && scaleLabel().isEmpty(); ++i) QTest::qWait(10);
    };
    // The start-up frame's estimate is in before the workers are held: stopping it then
    // waits for nothing queued behind them.
    QTRY_VERIFY_WITH_TIMEOUT(!scaleLabel().isEmpty(), 120000);
    // The workers held, so that the estimate cannot arrive before the frame is looked at.
    QSemaphore hold;
    const int workers = QThreadPool::globalInstance()->maxThreadCount();
    for (int i = 0; i < workers; ++i) QThreadPool::globalInstance()->start([&hold] { hold.acquire(); });
    showFrame(kScheme);
    EXPECT_TRUE(scaleLabel().isEmpty());
    hold.release(workers);
    settle();
    const double unitsPerPx = std::hypot(kScheme.x2 - kScheme.x1, kScheme.y2 - kScheme.y1)
                            / std::hypot(pic().width(), pic().height());
    ASSERT_TRUE(w->desk().status().frameKmPerCm());
    const double km = *w->desk().status().frameKmPerCm();
    EXPECT_NEAR(km, kKmPerUnit * unitsPerPx * pic().dpi().x / 2.54, km * 0.01);

    showFrame(kScheme);
    showFrame(kNearMoscow);
    const QString nearMoscow = scaleLabel();
    EXPECT_TRUE(nearMoscow.startsWith(QStringLiteral("1 см ≈ ")));
    QTest::qWait(500);
    EXPECT_EQ(scaleLabel(), nearMoscow);
}

TEST_F(DeskMap, StatusBarPositionModeAndHint)
{
    showFrame(kNearMoscow);
    sendMouse(&pic(), QEvent::MouseMove, px(kMoscowX, kMoscowY), Qt::NoButton);
    EXPECT_EQ(statusLabel("lblStatusPos"), QStringLiteral("X 22000  Y 16000"));
    EXPECT_EQ(statusLabel("lblStatusMode"), QStringLiteral("Все страны"));
    trigger("mnuZdLight_RusBlank");
    EXPECT_EQ(statusLabel("lblStatusMode"), QStringLiteral("Обозначить СНГ"));
    const QString normal = statusLabel("lblStatusHint");
    press("mnuMagist_Frag");
    EXPECT_EQ(statusLabel("lblStatusHint"), QStringLiteral("Тяните рамку…, Enter — применить, Esc — отмена"));
    key(Qt::Key_Escape);
    EXPECT_EQ(statusLabel("lblStatusHint"), normal);
}

} // namespace
