// The busy bar of a long render: shown once the render has taken half a second, gone when
// it ends; a short render never shows it.
#include "desk/RenderBusy.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

TEST(RenderBusy, ShowsOnlyWhileALongRenderGoesOn)
{
    QMainWindow w;
    zd::RenderBusy busy(*w.statusBar());
    w.show();
    busy.started();
    QTest::qWait(100);
    busy.ended();
    QTest::qWait(600);
    EXPECT_FALSE(busy.shown());

    busy.started();
    QTRY_VERIFY_WITH_TIMEOUT(busy.shown(), 5000);
    busy.ended();
    EXPECT_FALSE(busy.shown());
}
