// Where windows go beside others: a tool window clear of those already open, and the popup
// beside the pointer inside the screen.
#include "platform/WindPos.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace zd;

TEST(WindPlace, ClearOfOtherWindowsInsideTheArea)
{
    const QRect map(0, 50, 1920, 1000);
    const QSize outer(400, 300);
    const QPoint edge(1520, 50);   // right-aligned with the map
    struct Case { const char* name; std::vector<QRect> others; QPoint expected; };
    const Case cases[] = {
        {"nothing open", {}, edge},
        {"one at the edge: below it", {QRect(1520, 50, 400, 300)}, QPoint(1520, 354)},
        {"a narrower one: below it", {QRect(1620, 50, 300, 200)}, QPoint(1520, 254)},
        {"two stacked: below both", {QRect(1520, 50, 400, 300), QRect(1520, 354, 400, 300)}, QPoint(1520, 658)},
        {"the column full: left of it",
         {QRect(1520, 50, 400, 300), QRect(1520, 354, 400, 300), QRect(1520, 658, 400, 390)},
         QPoint(1116, 50)},
        {"one elsewhere does not move it", {QRect(0, 600, 400, 300)}, edge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = clearOf(outer, edge, c.others, map);
        EXPECT_EQ(at, c.expected);
        for (const QRect& o : c.others) EXPECT_FALSE(o.intersects(QRect(at, outer)));
        EXPECT_TRUE(map.contains(QRect(at, outer)));
    }
    // No free place inside the map: where it was asked to go.
    EXPECT_EQ(clearOf(outer, edge, {map}, map), edge);
}

TEST(WindPlace, PopupBesideThePointerInsideTheScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize outer(200, 100);
    struct Case { const char* name; QPoint pointer, expected; };
    const Case cases[] = {
        {"below right", QPoint(500, 500), QPoint(516, 516)},
        {"right edge: left of it", QPoint(1850, 500), QPoint(1634, 516)},
        {"bottom edge: above it", QPoint(500, 1050), QPoint(516, 934)},
        {"bottom right corner", QPoint(1910, 1075), QPoint(1694, 959)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = besidePointer(outer, c.pointer, screen);
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(screen.contains(QRect(at, outer)));
        EXPECT_FALSE(QRect(at, outer).contains(c.pointer));
    }
}

// Three tool windows of one owner opened one after another stand apart.
TEST(WindPlace, ToolWindowsOpenedInTurnDoNotCoverEachOther)
{
    QWidget owner;
    owner.resize(1200, 900);
    auto* map = new QWidget(&owner);
    map->setGeometry(0, 0, 1200, 900);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    std::vector<QWidget*> tools;
    for (int i = 0; i < 3; ++i) {
        auto* w = new QWidget(&owner, Qt::Tool);
        w->resize(320, 260);
        w->show();
        placeAtMapEdge(*w, *map, 0);
        tools.push_back(w);
    }
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const QRect a = tools[i]->frameGeometry();
        EXPECT_TRUE(QRect(map->mapToGlobal(QPoint(0, 0)), map->size()).contains(a)) << i;
        for (std::size_t j = i + 1; j < tools.size(); ++j) EXPECT_FALSE(a.intersects(tools[j]->frameGeometry())) << i << j;
    }
}
