// Bookmarks kept between runs, one list per network file; the window's place too.
#include "DeskNetwork.h"

#include "desk/BookmarksMenu.h"
#include "desk/Desk.h"
#include "desk/OverviewPanel.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

using namespace zd;
using namespace zdtest;

namespace {

const Frame kNearMoscow{17000, 11000, 27000, 21000};

class Bookmarks : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        startDesk();
    }
    BookmarksMenu& marks() { return w->desk().bookmarks(); }
    // A second run of the program on the same settings.
    void restart()
    {
        w->close();
        w.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        startDesk(QString());
    }
};

TEST_F(Bookmarks, RoundTripBetweenRuns)
{
    showFrame(kNearMoscow);
    trigger("mnuZdLight_RusBlank");
    trigger("mnuBookmarks_Add");
    auto* ask = w->findChild<QInputDialog*>("dlgBookmarkName");
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->textValue(), QStringLiteral("Москва")) << "the frame's main station";
    ask->setTextValue(QStringLiteral("Узел & вокзал"));
    ask->accept();
    trigger("mnuZdLight_RusAll");
    showFrame(Frame{2000, 1000, 12000, 11000});
    ASSERT_TRUE(marks().add(QStringLiteral("Угол")));

    restart();
    ASSERT_EQ(marks().list().size(), 2u);
    EXPECT_EQ(marks().list()[0], (Bookmark{QStringLiteral("Узел & вокзал"), kNearMoscow, 2}));
    EXPECT_EQ(w->menuItem("mnuBookmarks_Item0")->text(), QStringLiteral("Узел && вокзал"));
    EXPECT_EQ(w->state().rusMode, 0);
    const int count = w->history().count();
    w->menuItem("mnuBookmarks_Item0")->trigger();
    EXPECT_EQ(w->state().kadr, kNearMoscow);
    EXPECT_EQ(w->state().rusMode, 2);
    EXPECT_TRUE(w->menuItem("mnuZdLight_RusBlank")->isChecked());
    EXPECT_EQ(w->history().count(), count + 1) << "drawn once, in the bookmark's mode";
    w->menuItem("mnuBookmarks_Item1")->trigger();
    EXPECT_EQ(w->state().kadr, (Frame{2000, 1000, 12000, 11000}));
    EXPECT_EQ(w->state().rusMode, 0);
}

TEST_F(Bookmarks, OrganiseRenamesAndDeletes)
{
    for (const char* name : {"Первая", "Вторая", "Третья"}) {
        showFrame(kNearMoscow);
        ASSERT_TRUE(marks().add(QString::fromUtf8(name)));
    }
    trigger("mnuBookmarks_Organise");
    auto* dlg = w->findChild<DlgBookmarks*>("dlgBookmarks");
    ASSERT_NE(dlg, nullptr);
    dlg->names().setCurrentRow(1);
    dlg->findChild<QPushButton*>("cmdBookmarks_Delete")->click();
    dlg->names().item(1)->setText(QStringLiteral("  Последняя "));
    dlg->names().item(0)->setText(QStringLiteral("   "));   // an emptied name keeps the old one
    dlg->accept();
    ASSERT_EQ(marks().list().size(), 2u);
    EXPECT_EQ(marks().list()[0].name, QStringLiteral("Первая"));
    EXPECT_EQ(marks().list()[1].name, QStringLiteral("Последняя"));
    EXPECT_EQ(w->menuItem("mnuBookmarks_Item2"), nullptr);
    restart();
    EXPECT_EQ(marks().list().size(), 2u);
}

TEST_F(Bookmarks, FrameOutsideTheSchemeIsRefused)
{
    w->state().kadr = Frame{90000, 40000, 100000, 50000};
    trigger("mnuBookmarks_Add");
    EXPECT_EQ(w->findChild<QInputDialog*>("dlgBookmarkName"), nullptr);
    EXPECT_EQ(takeBoxes().size(), 1u);
    EXPECT_FALSE(marks().add(QStringLiteral("Мимо")));
    EXPECT_TRUE(marks().list().empty());
}

// Entries damaged in the settings file are left out; another network file has a list of its own.
TEST_F(Bookmarks, DamagedEntriesAndOtherNetworks)
{
    showFrame(kNearMoscow);
    ASSERT_TRUE(marks().add(QStringLiteral("Хорошая")));
    w->close();
    w.reset();
    {
        auto s = settings();
        const QString group = s->childGroups().contains("bookmarks") ? "bookmarks" : "";
        s->beginGroup(group);
        const QString network = s->childGroups().value(0);
        s->beginGroup(network);
        s->beginWriteArray("list", 5);
        const char* rows[][6] = {
            {"Хорошая", "17000", "11000", "27000", "21000", "0"},
            {"", "17000", "11000", "27000", "21000", "0"},           // no name
            {"Плоская", "17000", "11000", "17000", "21000", "0"},    // no width
            {"Режим", "17000", "11000", "27000", "21000", "7"},      // unknown mode
            {"Текст", "a", "11000", "27000", "21000", "0"},          // not a number
        };
        for (int i = 0; i < 5; ++i) {
            s->setArrayIndex(i);
            const char* keys[] = {"name", "x1", "y1", "x2", "y2", "mode"};
            for (int k = 0; k < 6; ++k) s->setValue(keys[k], QString::fromUtf8(rows[i][k]));
        }
        s->endArray();
    }
    startDesk(QString());
    ASSERT_EQ(marks().list().size(), 1u);
    EXPECT_EQ(marks().list()[0].name, QStringLiteral("Хорошая"));

    w->close();
    w.reset();
    QTemporaryDir other;
    ASSERT_TRUE(writeSqlite(other.filePath("ZdShort.mdb"), gridNetworkSql()));
    w = std::make_unique<FrmZdMain>(other.path());
    w->setEndHandler([this](int code) { endCode = code; });
    w->desk().useSettings(settings());
    w->Form_Activate();
    EXPECT_TRUE(marks().list().empty());
}

TEST_F(Bookmarks, WindowPlaceKeptBetweenRuns)
{
    const QSize laidOver = w->geometry().size();
    w->menuItem("mnuView_Overview")->trigger();
    w->setGeometry(40, 50, 640, 420);
    restart();
    EXPECT_EQ(w->geometry(), QRect(40, 50, 640, 420));
    EXPECT_TRUE(w->desk().overview().isVisibleTo(w.get()));
    EXPECT_TRUE(w->menuItem("mnuView_Overview")->isChecked());

    w->setGeometry(5000, 4000, 640, 420);   // a screen that is gone: laid over this one
    restart();
    EXPECT_EQ(w->geometry().size(), laidOver);
}

} // namespace
