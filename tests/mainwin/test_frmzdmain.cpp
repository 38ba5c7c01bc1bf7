// The main window driven by the names of its controls, on small networks of its own.
#include "MapWindow.h"
#include "mainwin/MapPointer.h"
#include "platform/WindPos.h"

#include <QApplication>
#include <QDir>
#include <functional>
#include <sqlite3.h>

using namespace zd;

namespace {

const Frame kScheme{0, -1000, 84000, 36000};
const Frame kNear{21000, 8250, 63000, 26750};   // the scheme zoomed in about its centre
const QString kEmptyFrame = QStringLiteral("В выбранном фрагменте отсутствуют элементы схемы");

// The sample network and a short line at the scheme's centre, so that zoomed frames
// about the centre hold something.
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('300','Центральная',42000,17500,'1',9,0),('301','Северная',42000,16000,'1',5,0);"
        "INSERT INTO Peregon VALUES('300','301',42000,17500,42000,16000,80,'1',1,2);");
}

class MainWindow : public zdtest::MapWindowTest {
protected:
    void start(const QString& script = networkSql()) { MapWindowTest::start(script); }
};

// The program cannot run without its network: the cause is shown as a critical message and
// the program ends with code 1 before any frame.
TEST_F(MainWindow, StartWithoutAUsableDatabaseEndsTheProgram)
{
    struct Case { const char* name; QString script; QString text; };
    const Case cases[] = {
        {"no file", QString(), "Отсутствует файл базы данных " + QDir::toNativeSeparators(dir.filePath("ZdShort.mdb"))},
        {"a column missing", zdtest::schemaSql().replace("StnBranch INTEGER", "Other INTEGER"), "StnBranch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        endCode = -1;
        start(c.script);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.contains(c.text)) << boxes[0].text.toStdString();
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_EQ(endCode, 1);
        EXPECT_EQ(w->history().count(), 0);
        boxes.clear();
    }
}

TEST_F(MainWindow, StatesAfterStartUpAndASecondActivation)
{
    start();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w->startDone());
    for (const char* off : {"mnuKadrFore", "mnuKadrBack", "mnuMagist_Frag0", "mnuMagist_Sdvig"}) {
        SCOPED_TRACE(off);
        EXPECT_FALSE(itemOn(off));
        EXPECT_FALSE(buttonOn(off));
    }
    EXPECT_FALSE(itemOn("mnuZdLight_Erase"));
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusAll")->isChecked());
    EXPECT_TRUE(w->menuItem("mnuZdGen")->isChecked());
    EXPECT_TRUE(w->button("mnuZdLight_RusAll")->isChecked());
    EXPECT_FALSE(w->button("mnuZdLight_RusOnly")->isChecked());
    ASSERT_EQ(w->history().count(), 1);
    EXPECT_EQ(w->history().at(1), kScheme);
    w->Form_Activate();   // the start-up runs on the first activation only
    QApplication::processEvents();
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindow, MarkingButtonsReleaseEachOtherAndTheMenuLeavesThemAlone)
{
    start();
    press("mnuZdLight_RusBlank");
    EXPECT_FALSE(w->button("mnuZdLight_RusAll")->isChecked());
    EXPECT_FALSE(w->button("mnuZdLight_RusOnly")->isChecked());
    EXPECT_TRUE(w->button("mnuZdLight_RusBlank")->isChecked());
    EXPECT_EQ(w->state().rusMode, 2);
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusBlank")->isChecked());
    EXPECT_FALSE(w->menuItem("mnuZdLight_RusAll")->isChecked());
    EXPECT_EQ(w->history().count(), 2);

    trigger("mnuZdLight_RusOnly");
    EXPECT_EQ(w->state().rusMode, 1);
    EXPECT_TRUE(w->button("mnuZdLight_RusBlank")->isChecked());
    EXPECT_TRUE(w->dtaPeregon().recordSource().contains(" AND  Doroga.KodContry = '11'  AND ("));

    const int before = w->history().count();
    trigger("mnuZdLight_RusOnly");   // the current mode again: nothing is drawn
    EXPECT_EQ(w->history().count(), before);
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusOnly")->isChecked());
}

// "Только Россия" queries and draws sections and stations of Russian railways only.
TEST_F(MainWindow, RussiaOnlyFramesHoldOnlyRussianSectionsAndStations)
{
    start();
    trigger("mnuZdLight_RusOnly");
    ASSERT_TRUE(boxes.empty());
    for (DataSource* ds : {&w->dtaPeregon(), &w->dtaStn()}) {
        SCOPED_TRACE(ds->recordSource().toStdString());
        RowSet& rows = ds->rows();
        ASSERT_GT(rows.recordCount(), 0);
        const int c = rows.column(u"KodContry");
        for (int r = 0; r < rows.recordCount(); ++r) EXPECT_EQ(rows.textAt(r, c).toStdString(), "11");
    }
    EXPECT_EQ(pic().pixel(7000, 3000), QColor(0xE0, 0xE0, 0xE0)) << "Минск is not drawn";
    trigger("mnuZdLight_RusAll");
    EXPECT_NE(pic().pixel(7000, 3000), QColor(0xE0, 0xE0, 0xE0));
}

// With only Russia shown an empty whole scheme says that Russia has nothing to show: the
// database itself is not empty.
TEST_F(MainWindow, RussiaOnlyWithoutRussianRailwaysSaysSo)
{
    start(networkSql() + "UPDATE Doroga SET KodContry = '22';");
    ASSERT_TRUE(boxes.empty());
    trigger("mnuZdLight_RusOnly");
    EXPECT_EQ(takeBoxes(), QStringList({kEmptyFrame, "На схеме России нет ни одного перегона или станции, показывать нечего"}));
    EXPECT_EQ(endCode, -1);
    EXPECT_TRUE(itemOn("mnuMagist"));
    trigger("mnuZdLight_RusAll");   // the whole network is there again
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(w->state().kadr, kScheme);
}

TEST_F(MainWindow, ZoomAboutTheCentreByMenuButtonAndWheel)
{
    start();
    trigger("mnuMagist_Near");
    EXPECT_EQ(w->state().kadr, kNear);
    for (const char* on : {"mnuMagist_Frag0", "mnuMagist_Sdvig", "mnuKadrBack"}) EXPECT_TRUE(itemOn(on)) << on;
    EXPECT_TRUE(buttonOn("mnuMagist_Frag0"));
    trigger("mnuMagist_Frag0");
    EXPECT_EQ(w->state().kadr, kScheme);
    EXPECT_FALSE(itemOn("mnuMagist_Frag0"));
    EXPECT_FALSE(buttonOn("mnuMagist_Frag0"));
    EXPECT_FALSE(itemOn("mnuMagist_Sdvig"));

    press("mnuMagist_Far");
    EXPECT_EQ(w->state().kadr, (Frame{-42000, -19500, 126000, 54500}));
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));
    EXPECT_TRUE(buttonOn("mnuMagist_Sdvig"));

    trigger("mnuMagist_Frag0");
    const int count = w->history().count();
    // The wheel zooms about the pointer (here a pixel off the centre) by the menu's steps.
    auto extents = [this] { return QSize(w->state().kadr.x2 - w->state().kadr.x1, w->state().kadr.y2 - w->state().kadr.y1); };
    zdtest::wheelAt(&pic(), pic().rect().center(), 120);
    EXPECT_EQ(extents(), QSize(kNear.x2 - kNear.x1, kNear.y2 - kNear.y1));
    zdtest::wheelAt(&pic(), pic().rect().center(), -120);
    EXPECT_EQ(extents(), QSize(kScheme.x2 - kScheme.x1, kScheme.y2 - kScheme.y1));
    EXPECT_NEAR(w->state().kadr.x1, kScheme.x1, 1);
    EXPECT_NEAR(w->state().kadr.y1, kScheme.y1, 1);
    EXPECT_EQ(w->history().count(), count + 2);
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));   // "Дальше" leaves the whole scheme available

    showFrame({1000, 1000, 1016, 1016});   // the smallest frame: "Ближе" is refused
    trigger("mnuMagist_Near");
    EXPECT_EQ(w->state().kadr, (Frame{1000, 1000, 1016, 1016}));
    EXPECT_EQ(w->history().count(), count + 3);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindow, BackAndForwardThroughTheHistory)
{
    start();                       // A: the whole scheme
    trigger("mnuMagist_Near");     // B
    trigger("mnuMagist_Near");     // C
    const Frame b = w->history().at(2), c = w->history().at(3);
    trigger("mnuKadrBack");
    EXPECT_EQ(w->state().kadr, b);
    EXPECT_TRUE(itemOn("mnuKadrFore"));
    EXPECT_TRUE(buttonOn("mnuKadrFore"));
    EXPECT_EQ(w->history().count(), 3);
    trigger("mnuKadrFore");
    EXPECT_EQ(w->state().kadr, c);
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    trigger("mnuKadrBack");
    trigger("mnuMagist_Far");      // D, appended after C
    ASSERT_EQ(w->history().count(), 4);
    EXPECT_EQ(w->history().at(3), c);
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    trigger("mnuKadrBack");
    EXPECT_EQ(w->state().kadr, c);
    for (int i = 0; i < 3; ++i) trigger("mnuKadrBack");
    EXPECT_EQ(w->history().pos(), 1);
    EXPECT_FALSE(itemOn("mnuKadrBack"));
    EXPECT_FALSE(buttonOn("mnuKadrBack"));
}

TEST_F(MainWindow, GeneralisationRedrawsOnlyTheWholeScheme)
{
    start();
    trigger("mnuZdGen");
    EXPECT_FALSE(w->genOn());
    EXPECT_FALSE(w->menuItem("mnuZdGen")->isChecked());
    EXPECT_EQ(w->history().count(), 2);
    EXPECT_FALSE(w->dtaStn().recordSource().contains("TipStn BETWEEN 7 AND 9"));
    trigger("mnuZdGen");
    EXPECT_TRUE(w->dtaStn().recordSource().contains("TipStn BETWEEN 7 AND 9"));
    trigger("mnuMagist_Near");
    const int count = w->history().count();
    trigger("mnuZdGen");
    EXPECT_EQ(w->history().count(), count);
}

TEST_F(MainWindow, SectionsAndBackgroundOnTheMap)
{
    start();
    showFrame({0, 0, 10000, 5000});
    EXPECT_TRUE(colourAt(4000, 3000, QColor(128, 128, 0)));   // the Бологое–Минск section, beside its length
    EXPECT_EQ(pic().pixel(5000, 4500), QColor(0xE0, 0xE0, 0xE0));
    trigger("mnuZdLight_RusBlank");
    EXPECT_TRUE(colourAt(4000, 3000, QColor(205, 205, 154)));  // outside Russia: pale
    EXPECT_FALSE(colourAt(4000, 3000, QColor(128, 128, 0)));
    EXPECT_TRUE(colourAt(1250, 1250, QColor(128, 128, 0)));
}

TEST_F(MainWindow, EmptyFrameFallsBackToTheWholeScheme)
{
    struct Case { const char* name; QString script; Frame frame; };
    const Case cases[] = {
        {"nothing in the frame", networkSql(), {50000, 20000, 51000, 21000}},
        // Only Орша's section end lies in the frame once the station itself is gone.
        {"a section end without its station", networkSql() + "DELETE FROM Stn WHERE KodStn = '201';", {7500, 1500, 8500, 2500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.script);
        showFrame(c.frame);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kEmptyFrame);
        EXPECT_EQ(boxes[0].icon, MsgIcon::None);
        EXPECT_EQ(w->state().kadr, kScheme);
        EXPECT_EQ(w->kadrZoomed(), 0);
        ASSERT_EQ(w->history().count(), 2);
        EXPECT_EQ(w->history().at(2), kScheme);
        EXPECT_FALSE(buttonOn("mnuMagist_Frag0"));
        EXPECT_TRUE(itemOn("mnuMagist"));
        boxes.clear();
    }
}

TEST_F(MainWindow, EmptyDatabaseEndsTheFallBackWithAClearMessage)
{
    start(zdtest::schemaSql());
    EXPECT_EQ(takeBoxes(), QStringList({kEmptyFrame, "В базе данных нет ни одного перегона или станции схемы, показывать нечего"}));
    EXPECT_EQ(endCode, -1);
    EXPECT_TRUE(itemOn("mnuMagist"));
    EXPECT_EQ(w->history().count(), 0);
    // No frame was drawn: the buttons keep the states they start with.
    for (const char* key : {"mnuMagist_Frag0", "mnuKadrBack", "mnuKadrFore"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(buttonOn(key));
        EXPECT_FALSE(itemOn(key));
    }
}

// A query that fails once the program runs is no state the window can go on from: it is
// shown as a critical message and the program ends with code 1.
TEST_F(MainWindow, DatabaseErrorWhileRunningIsCriticalAndEndsWithCodeOne)
{
    struct Case { const char* name; const char* drop; std::function<void(FrmZdMain&)> act; };
    const Case cases[] = {
        {"the stations of a zoomed frame", "DROP TABLE Stn", [](FrmZdMain& m) { m.menuItem("mnuMagist_Near")->trigger(); }},
        {"the sections of the whole scheme", "DROP TABLE Peregon", [](FrmZdMain& m) { m.menuItem("mnuZdGen")->trigger(); }},
        {"the station under the pointer", "DROP TABLE Stn", [](FrmZdMain& m) { m.pointer().press(Qt::LeftButton, 42000, 17500); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        endCode = -1;
        start();
        ASSERT_TRUE(boxes.empty());
        ASSERT_EQ(sqlite3_exec(w->database()->handle(), c.drop, nullptr, nullptr, nullptr), SQLITE_OK);
        c.act(*w);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes[0].text.contains("no such table")) << boxes[0].text.toStdString();
        EXPECT_EQ(endCode, 1);
        trigger("mnuMagist_Far");   // nothing runs after the end
        EXPECT_EQ(boxes.size(), 1u);
        boxes.clear();
    }
}

TEST_F(MainWindow, ResizeRedrawsTheFrameWithoutANewHistoryEntry)
{
    start();
    w->resize(w->width() / 2, w->height() / 2);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_EQ(pic().image().width(), pic().width());
}

TEST_F(MainWindow, FormMetricsAddUpToTheFrame)
{
    start();
    const int caption = FormMetric(*w, 1), border = FormMetric(*w, 2);
    const double t = 1440.0 / w->logicalDpiY();
    EXPECT_NEAR(caption + 2 * border, (w->frameGeometry().height() - w->geometry().height()) * t, 1.0);
    EXPECT_NEAR(FormMetric(*w, 3), w->geometry().height() * t, 0.5);
}

} // namespace
