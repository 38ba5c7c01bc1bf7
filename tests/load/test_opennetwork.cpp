// Opening a network from the window: a second file, bad files, a cancelled load (at
// start-up and on "Открыть"), the file chosen when ZdShort.mdb is missing, the recent list.
#include "LoadNetworks.h"
#include "MapWindow.h"

#include "data/LoadProgress.h"
#include "desk/Desk.h"
#include "mainwin/NetworkOpener.h"
#include "search/NameIndex.h"
#include "stnfind/FrmZdFind.h"

#include <QMenu>

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>

using namespace zd;

namespace {

class OpenNetwork : public zdtest::MapWindowTest {
protected:
    void TearDown() override
    {
        setNetworkFileChooser({});
        MapWindowTest::TearDown();
    }
    QString write(const QString& name, const QString& script)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(zdtest::writeSqlite(path, script));
        return path;
    }
    QString writeBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    // "Отмена" pressed as soon as the load's dialog is there.
    void cancelTheDialog()
    {
        w->opener().setDialogDelay(0);
        QTimer::singleShot(0, w.get(), [this] {
            auto* dlg = w->findChild<QProgressDialog*>(QStringLiteral("dlgLoad"));
            ASSERT_NE(dlg, nullptr);
            EXPECT_TRUE(dlg->isModal());
            EXPECT_TRUE(dlg->labelText().startsWith(QStringLiteral("Загрузка сети: ")));
            auto* cancel = dlg->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), QStringLiteral("Отмена"));
            cancel->click();
        });
    }
    QString stationsShown()
    {
        RowSet& rows = w->frameStations();
        QStringList names;
        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) names << rows.text(rows.column(u"NazStn"));
        names.sort();
        return names.join(u',');
    }
};

TEST_F(OpenNetwork, ASecondFileBecomesTheOpenNetworkAndTheToolWindowsClose)
{
    start();
    EXPECT_EQ(w->windowTitle(), kAppTitle);
    w->loadFindWindow().LoadFind();
    w->mnuService_Route_Click();
    showFrame(Frame{900, 900, 3100, 3100});
    const auto first = w->database();
    QSignalSpy opened(w.get(), &FrmZdMain::networkOpened);

    const QString second = write(QStringLiteral("second.db"), zdtest::secondNetworkSql());
    ASSERT_TRUE(w->openNetwork(second));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_EQ(opened.count(), 1);
    EXPECT_NE(w->database(), first);
    EXPECT_EQ(w->dbPath(), second);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("second.db — ") + kAppTitle);
    EXPECT_EQ(w->findWindow(), nullptr);
    EXPECT_EQ(w->routeWindow(), nullptr);   // its graph was the other network's
    // The whole scheme of the new network, the first entry of a new history.
    EXPECT_EQ(w->state().kadr, w->state().scheme);
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_FALSE(itemOn("mnuKadrBack"));
    EXPECT_TRUE(stationsShown().contains(QStringLiteral("Ярославль")));
    // The name index is the new network's.
    QTRY_VERIFY_WITH_TIMEOUT(w->nameIndex() != nullptr, 20000);
    EXPECT_FALSE(w->nameIndex()->find(QStringLiteral("Ярославль"), 5, {}).empty());
}

// A file that cannot be used is said with its name and cause, and the network that was
// open stays as it was.
TEST_F(OpenNetwork, ABadFileIsSaidAndTheOpenNetworkStays)
{
    start();
    showFrame(Frame{900, 900, 3100, 3100});
    QByteArray unknownAccess(8192, '\0');
    unknownAccess.replace(0, 19, QByteArray("\0\1\0\0Standard Jet DB", 19));
    unknownAccess[0x14] = char(9);
    struct Case { const char* name; QString path; QString cause; };
    const Case cases[] = {
        {"no such file", dir.filePath("gone.db"), "файл не найден"},
        {"not a database", writeBytes("notes.db", QByteArray(5000, 'x')), "не является базой данных"},
        {"an unknown Access version", writeBytes("new.mdb", unknownAccess), "неизвестная версия файла Access (9)"},
        {"a table missing", write("part.db", zdtest::schemaSql().replace("CREATE TABLE Contry", "CREATE TABLE Other")),
         "нет таблицы Contry"},
        {"a column missing", write("cols.db", zdtest::schemaSql().replace("StnBranch INTEGER", "Other INTEGER")),
         "StnBranch"},
    };
    const auto db = w->database();
    const QString title = w->windowTitle();
    const int entries = w->history().count();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(w->openNetwork(c.path));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes[0].text.contains(QFileInfo(c.path).fileName())) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(c.cause)) << boxes[0].text.toStdString();
        boxes.clear();
        EXPECT_EQ(endCode, -1);
        EXPECT_EQ(w->database(), db);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(w->history().count(), entries);
        EXPECT_EQ(w->state().kadr, (Frame{900, 900, 3100, 3100}));
    }
}

TEST_F(OpenNetwork, ACancelledOpenKeepsTheNetworkThatWasOpen)
{
    start();
    const auto db = w->database();
    const QString big = write(QStringLiteral("big.db"), zdtest::chainNetworkSql(20000));
    cancelTheDialog();
    EXPECT_FALSE(w->openNetwork(big));
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_EQ(w->database(), db);
    EXPECT_EQ(w->windowTitle(), kAppTitle);
    EXPECT_FALSE(w->opener().loading());
    EXPECT_EQ(w->findChild<QProgressDialog*>(QStringLiteral("dlgLoad")), nullptr);
}

TEST_F(OpenNetwork, ACancelledLoadAtStartUpEndsTheProgram)
{
    write(QStringLiteral("ZdShort.mdb"), zdtest::chainNetworkSql(20000));
    w = std::make_unique<FrmZdMain>(dir.path());
    w->setEndHandler([this](int code) { endCode = code; });
    cancelTheDialog();
    w->Form_Activate();
    EXPECT_EQ(endCode, 0);
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_EQ(w->history().count(), 0);
}

// Without ZdShort.mdb the message is as ever, then a file may be chosen instead; the
// command line's file is opened in its place.
TEST_F(OpenNetwork, AMissingNetworkOffersAFileAndTheStartFileIsOpened)
{
    const QString chosen = write(QStringLiteral("chosen.db"), zdtest::secondNetworkSql());
    setNetworkFileChooser([chosen] { return chosen; });
    start(QString());
    EXPECT_EQ(takeBoxes(), QStringList{"Отсутствует файл базы данных " + QDir::toNativeSeparators(dir.filePath("ZdShort.mdb"))});
    EXPECT_EQ(endCode, -1);
    EXPECT_EQ(w->dbPath(), chosen);
    EXPECT_EQ(w->history().count(), 1);
    EXPECT_TRUE(stationsShown().contains(QStringLiteral("Ярославль")));

    w = std::make_unique<FrmZdMain>(dir.path());
    w->setStartFile(chosen);
    w->Form_Activate();
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("chosen.db — ") + kAppTitle);
    EXPECT_EQ(w->history().count(), 1);
}

TEST_F(OpenNetwork, TheOpenedFilesAreListedNewestFirstAndOpenAgain)
{
    start();
    w->desk().useSettings(std::make_unique<QSettings>(dir.filePath("zd.ini"), QSettings::IniFormat));
    const QString a = write(QStringLiteral("a.db"), zdtest::secondNetworkSql());
    const QString b = write(QStringLiteral("b.db"), zdtest::sampleNetworkSql());
    setNetworkFileChooser([a] { return a; });
    w->menuItem(QStringLiteral("mnuFiles_Open"))->trigger();
    ASSERT_TRUE(w->openNetwork(b));
    EXPECT_EQ(w->opener().recentFiles(), (QStringList{b, a}));
    QMenu* recent = w->menuItem(QStringLiteral("mnuFiles_Recent"))->menu();
    emit recent->aboutToShow();
    w->menuItem(QStringLiteral("mnuFiles_Recent2"))->trigger();
    EXPECT_EQ(w->dbPath(), a);
    EXPECT_EQ(w->opener().recentFiles(), (QStringList{a, b}));
}

} // namespace
