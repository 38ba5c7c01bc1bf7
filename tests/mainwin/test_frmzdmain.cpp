// The main window driven by the names of its controls, on small networks of its own.
#include "TestDb.h"
#include "data/Queries.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "platform/MsgBox.h"
#include "platform/WindPos.h"
#include "render/PictureBox.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace zd;

namespace {

const Frame kScheme{0, -1000, 84000, 36000};

// The sample network and a short line at the scheme's centre, so that zoomed frames
// about the centre hold something.
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('300','Центральная',42000,17500,'1',9,0),('301','Северная',42000,16000,'1',5,0);"
        "INSERT INTO Peregon VALUES('300','301',42000,17500,42000,16000,80,'1',1,2);");
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); });
    }
    void TearDown() override { setMsgHandler({}); }

    // Starts the window over a database written from the script (none: no file).
    void start(const QString& script = networkSql())
    {
        if (!script.isEmpty()) {
            ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), script));
        }
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([this](int code) { endCode = code; });
        w->Form_Activate();
    }
    void showFrame(const Frame& f)
    {
        w->state().kadr = f;
        w->setKadrZoomed(1);
        w->RenderKadr(w->picZdMain());
    }
    bool itemOn(const char* name) { return w->menuItem(QLatin1String(name))->isEnabled(); }
    bool buttonOn(const char* key) { return w->button(QLatin1String(key))->isEnabled(); }
    void click(const char* key) { w->button(QLatin1String(key))->trigger(); }
    void choose(const char* name) { w->menuItem(QLatin1String(name))->trigger(); }
    QColor pixelAt(double x, double y) { return w->picZdMain().pixel(x, y); }
    // The colour is found at the map point or one pixel beside it (a line one pixel wide
    // falls on either side of a point between pixel rows).
    bool colourNear(double x, double y, const QColor& c)
    {
        const QImage img = w->picZdMain().image();
        const QPoint p = w->picZdMain().toPixel(x, y).toPoint();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.valid(p.x() + dx, p.y() + dy) && img.pixelColor(p.x() + dx, p.y() + dy) == c) return true;
        return false;
    }

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    std::vector<MsgRequest> boxes;
    int endCode = -1;
};

TEST_F(MainWindow, MissingDatabaseIsReportedWithItsPathAndEndsTheProgram)
{
    start(QString());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Отсутствует файл базы данных " + QDir::toNativeSeparators(dir.filePath("ZdShort.mdb")));
    EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes[0].caption, kAppTitle);
    EXPECT_EQ(endCode, 1);
    EXPECT_EQ(w->history().count(), 0);
}

TEST_F(MainWindow, UnusableDatabaseNamesTheCauseAndEnds)
{
    start(zdtest::schemaSql().replace("StnBranch INTEGER", "Other INTEGER"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("StnBranch")) << boxes[0].text.toStdString();
    EXPECT_EQ(endCode, 1);
}

TEST_F(MainWindow, MenuBarAsDesigned)
{
    start();
    struct Item { const char* name; const char* caption; bool enabled; bool visible; };
    const Item items[] = {
        {"mnuFiles", "Файлы", true, true},       {"mnuFiles_Access", "БД Access", false, true},
        {"mnuFiles__DBF", "БД_DBF", false, true}, {"mnuFiles_End", "Выход", true, true},
        {"mnuMagist", "Кадр", true, true},       {"mnuMagist_Frag", "Фрагмент", true, true},
        {"mnuMagist_Sdvig", "Сдвиг кадра", false, true}, {"mnuMagist_Far", "Дальше", true, true},
        {"mnuMagist_Near", "Ближе", true, true}, {"mnuKadrFore", "Вперед", false, true},
        {"mnuKadrBack", "Назад", false, true},   {"mnuMagist_Frag0", "Общая схема", false, true},
        {"mnuZdLight", "Выделение", true, true}, {"mnuZdLight_Rus", "России", true, true},
        {"mnuZdLight_RusAll", "Все страны", true, true}, {"mnuZdLight_RusBlank", "Обозначить СНГ", true, true},
        {"mnuZdLight_RusOnly", "Только Россия", true, true}, {"mnuZdLight_Peregon", "Перегонов и станций", true, true},
        {"mnuZdLight_Erase", "Убрать подсветку", false, true}, {"mnuZdGen", "Генерализация станций", true, true},
        {"mnuZdFind", "Поиск ", true, true},     {"mnuZdFind_Stn", "Поиск станций", true, true},
        {"mnuZdFind_Dor", "Поиск дорог", true, true}, {"mnuInstr", "Инструменты", false, false},
        {"mnuInstr_Convert", "DBF - Access", true, true}, {"mnuHelp", "Справка", true, true},
        {"mnuHelp_About", "О программе", true, true}, {"mnuHelp_Instr", "Инструкция", true, true},
    };
    for (const Item& i : items) {
        SCOPED_TRACE(i.name);
        QAction* a = w->menuItem(QLatin1String(i.name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromUtf8(i.caption));
        EXPECT_EQ(a->isEnabled(), i.enabled);
        EXPECT_EQ(a->isVisible(), i.visible);
        EXPECT_TRUE(a->shortcut().isEmpty());
    }
    QStringList separators;
    for (const char* name : {"Bar1", "bar5", "bar6", "Bar2", "Bar4", "Bar3"})
        EXPECT_TRUE(w->menuItem(QLatin1String(name))->isSeparator()) << name;
}

TEST_F(MainWindow, ToolbarButtonsInOrderWithTheirTips)
{
    start();
    auto* bar = w->findChild<QToolBar*>("tlbZd");
    ASSERT_NE(bar, nullptr);
    QStringList keys;
    for (QAction* a : bar->actions()) keys << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    // The classic buttons; additions follow them behind a separator.
    ASSERT_GT(keys.size(), 19);
    EXPECT_EQ(keys.at(18), QStringLiteral("|"));
    keys = keys.mid(0, 18);
    EXPECT_EQ(keys.join(' ').toStdString(),
              "mnuMagist_Frag mnuMagist_Sdvig mnuMagist_Near mnuMagist_Far mnuKadrFore mnuKadrBack mnuMagist_Frag0 | "
              "mnuZdLight_RusAll mnuZdLight_RusBlank mnuZdLight_RusOnly mnuZdLight_Peregon mnuZdLight_Erase | "
              "mnuZdFind_Stn mnuZdFind_Dor | mnuHelp_About");
    EXPECT_EQ(w->button("mnuHelp_About")->toolTip(), "Инструкция (нажать пункт \"Содержание\")");
    EXPECT_EQ(w->button("mnuZdLight_RusAll")->toolTip(), "Высвечивание СНГ и Балтии");
    EXPECT_NE(bar->findChild<QToolButton*>("mnuKadrBack"), nullptr);
    EXPECT_FALSE(w->button("mnuHelp_About")->icon().isNull());
}

TEST_F(MainWindow, StatesAfterStartUp)
{
    start();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w->startDone());
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    EXPECT_FALSE(itemOn("mnuKadrBack"));
    EXPECT_FALSE(buttonOn("mnuKadrFore"));
    EXPECT_FALSE(buttonOn("mnuKadrBack"));
    EXPECT_FALSE(itemOn("mnuMagist_Frag0"));
    EXPECT_FALSE(buttonOn("mnuMagist_Frag0")) << "the whole scheme is shown";
    EXPECT_FALSE(itemOn("mnuMagist_Sdvig"));
    EXPECT_FALSE(buttonOn("mnuMagist_Sdvig"));
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusAll")->isChecked());
    EXPECT_TRUE(w->menuItem("mnuZdGen")->isChecked());
    EXPECT_TRUE(w->button("mnuZdLight_RusAll")->isChecked());
    EXPECT_FALSE(w->button("mnuZdLight_RusOnly")->isChecked());
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_EQ(w->history().at(1), kScheme);
    EXPECT_EQ(w->dtaPeregon().recordSource(), frameSectionsSql({0, -1000, 84000, 36000}, QString()));
    EXPECT_EQ(w->windowTitle(), "Схема ж.д. сети СНГ");
    EXPECT_EQ(w->picZdMain().backColor(), rgb(0xE0, 0xE0, 0xE0));
}

TEST_F(MainWindow, SecondActivationRepeatsNothing)
{
    start();
    w->Form_Activate();
    QApplication::processEvents();
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindow, MarkingButtonsReleaseEachOtherAndTheMenuLeavesThemAlone)
{
    start();
    click("mnuZdLight_RusBlank");
    EXPECT_FALSE(w->button("mnuZdLight_RusAll")->isChecked());
    EXPECT_FALSE(w->button("mnuZdLight_RusOnly")->isChecked());
    EXPECT_TRUE(w->button("mnuZdLight_RusBlank")->isChecked());
    EXPECT_EQ(w->state().rusMode, 2);
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusBlank")->isChecked());
    EXPECT_FALSE(w->menuItem("mnuZdLight_RusAll")->isChecked());
    EXPECT_EQ(w->history().count(), 2);

    choose("mnuZdLight_RusOnly");
    EXPECT_EQ(w->state().rusMode, 1);
    EXPECT_TRUE(w->button("mnuZdLight_RusBlank")->isChecked());
    EXPECT_TRUE(w->dtaPeregon().recordSource().contains(" AND  Doroga.KodContry = '11'  AND ("));

    const int before = w->history().count();
    choose("mnuZdLight_RusOnly");   // the current mode again: nothing is drawn
    EXPECT_EQ(w->history().count(), before);
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusOnly")->isChecked());
}

TEST_F(MainWindow, RussiaOnlyWithoutRussianRailwaysSaysSo)
{
    start(networkSql() + "UPDATE Doroga SET KodContry = '22';");
    ASSERT_TRUE(boxes.empty());
    choose("mnuZdLight_RusOnly");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "В выбранном фрагменте отсутствуют элементы схемы");
    EXPECT_EQ(boxes[1].text, "На схеме России нет ни одного перегона или станции, показывать нечего");
    EXPECT_EQ(endCode, -1);
    EXPECT_TRUE(itemOn("mnuMagist"));

    boxes.clear();
    choose("mnuZdLight_RusAll");   // the whole network is there again
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(w->state().kadr, kScheme);
}

TEST_F(MainWindow, ZoomAboutTheCentreAndTheWholeScheme)
{
    start();
    choose("mnuMagist_Near");
    EXPECT_EQ(w->state().kadr, (Frame{21000, 8250, 63000, 26750}));
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));
    EXPECT_TRUE(buttonOn("mnuMagist_Frag0"));
    EXPECT_TRUE(itemOn("mnuMagist_Sdvig"));
    EXPECT_TRUE(itemOn("mnuKadrBack"));
    choose("mnuMagist_Frag0");
    EXPECT_EQ(w->state().kadr, kScheme);
    EXPECT_FALSE(itemOn("mnuMagist_Frag0"));
    EXPECT_FALSE(buttonOn("mnuMagist_Frag0"));
    EXPECT_FALSE(itemOn("mnuMagist_Sdvig"));

    click("mnuMagist_Far");
    EXPECT_EQ(w->state().kadr, (Frame{-42000, -19500, 126000, 54500}));
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));
    EXPECT_TRUE(buttonOn("mnuMagist_Sdvig"));
}

TEST_F(MainWindow, RefusedZoomChangesNothing)
{
    start();
    showFrame({1000, 1000, 1016, 1016});
    const int count = w->history().count();
    choose("mnuMagist_Near");
    EXPECT_EQ(w->state().kadr, (Frame{1000, 1000, 1016, 1016}));
    EXPECT_EQ(w->history().count(), count);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindow, BackAndForwardThroughTheHistory)
{
    start();                      // A: the whole scheme
    choose("mnuMagist_Near");     // B
    choose("mnuMagist_Near");     // C
    const Frame b = w->history().at(2), c = w->history().at(3);
    choose("mnuKadrBack");
    EXPECT_EQ(w->state().kadr, b);
    EXPECT_TRUE(itemOn("mnuKadrFore"));
    EXPECT_TRUE(buttonOn("mnuKadrFore"));
    EXPECT_EQ(w->history().count(), 3);
    choose("mnuKadrFore");
    EXPECT_EQ(w->state().kadr, c);
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    choose("mnuKadrBack");
    choose("mnuMagist_Far");      // D, appended after C
    ASSERT_EQ(w->history().count(), 4);
    EXPECT_EQ(w->history().at(3), c);
    EXPECT_FALSE(itemOn("mnuKadrFore"));
    choose("mnuKadrBack");
    EXPECT_EQ(w->state().kadr, c);
    for (int i = 0; i < 3; ++i) choose("mnuKadrBack");
    EXPECT_EQ(w->history().pos(), 1);
    EXPECT_FALSE(itemOn("mnuKadrBack"));
    EXPECT_FALSE(buttonOn("mnuKadrBack"));
}

TEST_F(MainWindow, GeneralisationRedrawsOnlyTheWholeScheme)
{
    start();
    choose("mnuZdGen");
    EXPECT_FALSE(w->genOn());
    EXPECT_FALSE(w->menuItem("mnuZdGen")->isChecked());
    EXPECT_EQ(w->history().count(), 2);
    EXPECT_FALSE(w->dtaStn().recordSource().contains("TipStn BETWEEN 7 AND 9"));
    choose("mnuZdGen");
    EXPECT_TRUE(w->dtaStn().recordSource().contains("TipStn BETWEEN 7 AND 9"));
    choose("mnuMagist_Near");
    const int count = w->history().count();
    choose("mnuZdGen");
    EXPECT_EQ(w->history().count(), count);
}

TEST_F(MainWindow, SectionsAndBackgroundOnTheMap)
{
    start();
    showFrame({0, 0, 10000, 5000});
    EXPECT_TRUE(colourNear(4000, 3000, QColor(128, 128, 0)));   // the Бологое–Минск section, beside its length
    EXPECT_EQ(pixelAt(5000, 4500), QColor(0xE0, 0xE0, 0xE0));
    choose("mnuZdLight_RusBlank");
    EXPECT_TRUE(colourNear(4000, 3000, QColor(205, 205, 154)));  // outside Russia: pale
    EXPECT_FALSE(colourNear(4000, 3000, QColor(128, 128, 0)));
    EXPECT_TRUE(colourNear(1250, 1250, QColor(128, 128, 0)));
}

TEST_F(MainWindow, EmptyFrameFallsBackToTheWholeScheme)
{
    start();
    showFrame({50000, 20000, 51000, 21000});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "В выбранном фрагменте отсутствуют элементы схемы");
    EXPECT_EQ(boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(w->state().kadr, kScheme);
    EXPECT_EQ(w->kadrZoomed(), 0);
    EXPECT_EQ(w->history().count(), 2);
    EXPECT_EQ(w->history().at(2), kScheme);
    EXPECT_FALSE(buttonOn("mnuMagist_Frag0"));
    EXPECT_TRUE(itemOn("mnuMagist"));
}

TEST_F(MainWindow, ASectionEndWithoutStationsStillFallsBack)
{
    // Only Орша's section end lies in the frame once the station itself is gone.
    start(networkSql() + "DELETE FROM Stn WHERE KodStn = '201';");
    showFrame({7500, 1500, 8500, 2500});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(w->state().kadr, kScheme);
}

TEST_F(MainWindow, EmptyDatabaseEndsTheFallBackWithAClearMessage)
{
    start(zdtest::schemaSql());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "В выбранном фрагменте отсутствуют элементы схемы");
    EXPECT_TRUE(boxes[1].text.contains("нет ни одного перегона"));
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
        {"the sections of the whole scheme", "DROP TABLE Peregon",
         [](FrmZdMain& m) { m.menuItem("mnuZdGen")->trigger(); }},
        {"the station under the pointer", "DROP TABLE Stn",
         [](FrmZdMain& m) { m.pointer().press(Qt::LeftButton, 42000, 17500); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        endCode = -1;
        start();
        ASSERT_TRUE(boxes.empty());
        ASSERT_EQ(sqlite3_exec(w->dtaStn().database()->handle(), c.drop, nullptr, nullptr, nullptr), SQLITE_OK);
        c.act(*w);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes[0].text.contains("no such table")) << boxes[0].text.toStdString();
        EXPECT_EQ(endCode, 1);
        w->menuItem("mnuMagist_Far")->trigger();   // nothing runs after the end
        EXPECT_EQ(boxes.size(), 1u);
    }
}

TEST_F(MainWindow, WheelZoomsLikeTheMenu)
{
    start();
    QPointF centre(w->picZdMain().width() / 2.0, w->picZdMain().height() / 2.0);
    QWheelEvent in(centre, w->picZdMain().mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w->picZdMain(), &in);
    EXPECT_EQ(w->state().kadr, (Frame{21000, 8250, 63000, 26750}));
    QWheelEvent out(centre, w->picZdMain().mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w->picZdMain(), &out);
    EXPECT_EQ(w->state().kadr, (Frame{0, -1000, 84000, 36000}));
    EXPECT_EQ(w->history().count(), 3);
    EXPECT_TRUE(itemOn("mnuMagist_Frag0"));   // "Дальше" leaves the whole scheme available
}

TEST_F(MainWindow, ResizeRedrawsTheFrameWithoutANewHistoryEntry)
{
    start();
    w->resize(w->width() / 2, w->height() / 2);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_EQ(w->picZdMain().image().width(), w->picZdMain().width());
}

TEST_F(MainWindow, FormMetricsAddUpToTheFrame)
{
    start();
    const int caption = FormMetric(*w, 1), border = FormMetric(*w, 2);
    const double t = 1440.0 / w->logicalDpiY();
    EXPECT_NEAR(caption + 2 * border, (w->frameGeometry().height() - w->geometry().height()) * t, 1.0);
    EXPECT_NEAR(FormMetric(*w, 3), w->geometry().height() * t, 0.5);
}

// "Только Россия" queries and draws sections and stations of Russian railways only.
TEST_F(MainWindow, RussiaOnlyFramesHoldOnlyRussianSectionsAndStations)
{
    start();
    choose("mnuZdLight_RusOnly");
    ASSERT_TRUE(boxes.empty());
    for (DataSource* ds : {&w->dtaPeregon(), &w->dtaStn()}) {
        SCOPED_TRACE(ds->recordSource().toStdString());
        RowSet& rows = ds->rows();
        ASSERT_GT(rows.recordCount(), 0);
        const int c = rows.column(u"KodContry");
        for (int r = 0; r < rows.recordCount(); ++r) EXPECT_EQ(rows.textAt(r, c).toStdString(), "11");
    }
    EXPECT_EQ(pixelAt(7000, 3000), QColor(0xE0, 0xE0, 0xE0)) << "Минск is not drawn";
    choose("mnuZdLight_RusAll");
    EXPECT_NE(pixelAt(7000, 3000), QColor(0xE0, 0xE0, 0xE0));
}

} // namespace
