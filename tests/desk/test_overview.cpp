// The "Обзор" panel: drawn once per marking mode, the frame's rectangle follows the map,
// a click recentres the map, dragging the rectangle pans it.
#include "DeskNetwork.h"

#include "desk/Desk.h"
#include "desk/OverviewPanel.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

using namespace zd;
using namespace zdtest;

namespace {

const Frame kNearMoscow{17000, 11000, 27000, 21000};

class Overview : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        startDesk();
        w->menuItem("mnuView_Overview")->trigger();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    OverviewMap& map() { return w->desk().overview().map(); }
    void paint() { map().repaint(); }
    QPoint at(double x, double y) { return map().view().toPixel(x, y).toPoint(); }
};

TEST_F(Overview, DrawnOnceAndFollowsTheFrame)
{
    ASSERT_TRUE(w->desk().overview().isVisible());
    ASSERT_GE(map().width(), 160);
    EXPECT_NEAR(map().height(), map().width() * 37000.0 / 84000, 1) << "the scheme's shape";
    paint();
    const int builds = map().builds();
    ASSERT_GE(builds, 1);
    EXPECT_FALSE(map().image().isNull());
    // The network's colour at a station of the grid, the empty map's in the empty half.
    const QImage img = map().image();
    EXPECT_TRUE(colourNear(img, at(kMoscowX, kMoscowY), toQColor(w->state().palette.net), 2));
    EXPECT_EQ(img.pixelColor(at(70000, 20000)), QColor(0xE0, 0xE0, 0xE0));

    showFrame(kNearMoscow);
    paint();
    EXPECT_EQ(map().builds(), builds) << "a new frame only moves the rectangle";
    const QRectF r = map().frameRect();
    EXPECT_NEAR(r.center().x(), at(kMoscowX, kMoscowY).x(), 1.5);
    EXPECT_NEAR(r.center().y(), at(kMoscowX, kMoscowY).y(), 1.5);

    trigger("mnuZdLight_RusOnly");
    paint();
    EXPECT_EQ(map().builds(), builds + 1) << "a new marking mode draws it again";
    map().resize(map().width() + 20, map().height() + 10);
    paint();
    EXPECT_EQ(map().builds(), builds + 1) << "the old picture while the size changes";
    QElapsedTimer settle;
    settle.start();
    while (map().builds() == builds + 1 && settle.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(map().builds(), builds + 2);
    EXPECT_EQ(map().image().size(), map().size());
}

TEST_F(Overview, ClickRecentresAndDragPans)
{
    paint();
    showFrame(kNearMoscow);
    clickAt(&map(), at(12000, 21000));
    EXPECT_NEAR((w->state().kadr.x1 + w->state().kadr.x2) / 2.0, 12000, 300);
    EXPECT_NEAR((w->state().kadr.y1 + w->state().kadr.y2) / 2.0, 21000, 300);
    EXPECT_EQ(w->state().kadr.x2 - w->state().kadr.x1, 10000) << "the frame keeps its size";

    showFrame(kNearMoscow);
    const int count = w->history().count();
    dragOn(&map(), at(kMoscowX, kMoscowY), at(kMoscowX + 8000, kMoscowY + 4000));
    EXPECT_NEAR(w->state().kadr.x1, kNearMoscow.x1 + 8000, 300);
    EXPECT_NEAR(w->state().kadr.y1, kNearMoscow.y1 + 4000, 300);
    EXPECT_EQ(w->history().count(), count + 1);

    const Frame before = w->state().kadr;
    clickAt(&map(), at(75000, 30000));   // the empty half: refused quietly
    EXPECT_EQ(w->state().kadr, before);
    EXPECT_TRUE(takeBoxes().isEmpty());
}

} // namespace
