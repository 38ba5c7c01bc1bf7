// The loading of a network on a thread of its own, its progress and its cancel; the
// indexes the program's queries use; the table rows that are read only when asked for.
#include "LoadNetworks.h"
#include "TestDb.h"

#include "data/DataSource.h"
#include "data/NetworkLoad.h"
#include "data/Queries.h"
#include "stnfind/FindQueries.h"

#include <QTemporaryDir>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace zd;

namespace {

class NetworkLoadTest : public ::testing::Test {
protected:
    QString write(const QString& script, const QString& name = QStringLiteral("net.db"))
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(zdtest::writeSqlite(path, script));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(NetworkLoadTest, ProgressCountsTheRowsOfEachTableAndThenTheIndexes)
{
    const QString path = write(zdtest::chainNetworkSql(3000));
    LoadProgress progress;
    EXPECT_EQ(progress.text(), QStringLiteral("Загрузка сети: открытие файла"));
    auto db = Database::open(path, OpenOptions{"CP1251", &progress});
    ASSERT_TRUE(db) << db.error().message().toStdString();
    // The last step is the indexes, all of them done.
    EXPECT_EQ(progress.phase(), LoadProgress::Phase::Indexes);
    EXPECT_EQ(progress.row(), progress.total());
    EXPECT_GT(progress.total(), 0);
    EXPECT_EQ(progress.text(), QStringLiteral("Загрузка сети: индексы, %1 из %1").arg(progress.total()));

    // Row progress names the table and groups the thousands.
    LoadProgress rows;
    rows.beginTable("stn", 2'000'000);
    for (int i = 0; i < 4200; ++i) rows.rowDone();
    EXPECT_EQ(rows.text(), QStringLiteral("Загрузка сети: Stn 4\u00a0200 из 2\u00a0000\u00a0000"));
}

TEST_F(NetworkLoadTest, TheThreadHandsOverADatabaseThatAnswers)
{
    const QString path = write(zdtest::chainNetworkSql(2000));
    bool doneCalled = false;
    NetworkLoad load(path, {}, [&] { doneCalled = true; });
    auto db = load.result();
    ASSERT_TRUE(db);
    EXPECT_TRUE(doneCalled);
    auto rows = (*db)->query(QStringLiteral("SELECT count(*) AS n FROM Stn"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->number(0), 2001 + 6);
    EXPECT_EQ(load.progress().phase(), LoadProgress::Phase::Indexes);
}

// A cancel stops the copy or the indexes wherever they are and gives no database; a bad
// file fails on the thread as it fails without it.
TEST_F(NetworkLoadTest, ACancelOrABadFileEndsTheLoadWithItsCause)
{
    const QString big = write(zdtest::chainNetworkSql(200000));
    LoadProgress stopped;
    stopped.cancel();
    auto none = Database::open(big, OpenOptions{"CP1251", &stopped});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().cause, kLoadCancelled);

    NetworkLoad load(big, {});
    load.cancel();
    auto cancelled = load.result();
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error().cause, kLoadCancelled);

    QFile text(dir.filePath("notes.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(5000, 'x'));
    text.close();
    NetworkLoad bad(text.fileName(), {});
    auto failed = bad.result();
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().message().contains(QStringLiteral("notes.db")));
    EXPECT_TRUE(failed.error().cause.contains(QStringLiteral("не является базой данных")));
}

// Every index the loader builds serves a query of the program, and the queries of the map
// and of the look-ups by code are served by one.
TEST_F(NetworkLoadTest, EachIndexServesAQueryOfTheProgram)
{
    auto db = Database::open(write(zdtest::chainNetworkSql(3000)));
    ASSERT_TRUE(db);
    const FrameBounds frame{1000, 0, 40000, 20};
    struct Case { const char* name; QString sql; QStringList indexes; };
    const Case cases[] = {
        {"frame stations", frameStationsSql(frame, QString(), true), {"ixStnXY"}},
        {"frame sections", frameSectionsSql(frame, rusFilter(1)), {"ixPer1", "ixPer2"}},
        {"station by code", stationByCodeSql(QStringLiteral("1500")), {"ixStnKod"}},
        {"railway's stations", QStringLiteral("SELECT KodStn FROM Stn WHERE KodDor = '1'"), {"ixStnXY"}},
        {"station list", listStnSql(0, rusFilter(1)), {"ixDorKod"}},
        {"station list in name order", listStnSql(0, QString()), {"ixStnNaz"}},
        {"railway centres in name order", listStnSql(1, QString()), {"ixStnNaz"}},
        {"railways by country", QStringLiteral("SELECT KodContry FROM Contry WHERE KodContry = '11'"), {"ixContryKod"}},
    };
    QStringList used;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto plan = (*db)->queryPlan(c.sql);
        ASSERT_TRUE(plan) << plan.error().message().toStdString();
        const QString text = plan->join(u'\n');
        for (const QString& ix : c.indexes) {
            EXPECT_TRUE(text.contains(ix)) << text.toStdString();
            used << ix;
        }
    }
    auto built = (*db)->query(QStringLiteral("SELECT name FROM (SELECT * FROM main.sqlite_master UNION ALL SELECT * FROM stn.sqlite_master) "
                                             "WHERE type = 'index' ORDER BY name"));
    ASSERT_TRUE(built);
    for (built->moveFirst(); !built->eof(); built->moveNext())
        EXPECT_TRUE(used.contains(built->text(0))) << "no plan uses " << built->text(0).toStdString();
}

// An index of later queries is made by the first query that needs it, and by no other:
// reading a table's columns or the station list does not make the second section index.
TEST_F(NetworkLoadTest, AnIndexOfLaterQueriesIsBuiltBeforeTheFirstOneRuns)
{
    auto db = Database::open(write(zdtest::sampleNetworkSql()));
    ASSERT_TRUE(db);
    auto built = [&](const char* name) {
        return (*db)->query(QStringLiteral("SELECT count(*) FROM (SELECT name FROM main.sqlite_master UNION ALL "
                                           "SELECT name FROM stn.sqlite_master) WHERE name = '%1'").arg(QLatin1String(name)))
            ->number(0);
    };
    struct Step { QString sql; int rows; int kod; int per2; };
    const Step steps[] = {
        {QStringLiteral("SELECT * FROM Peregon LIMIT 0"), 0, 0, 0},
        {stationByCodeSql(QStringLiteral("101")), 1, 1, 0},
        {QStringLiteral("SELECT count(*) FROM Stn"), 1, 1, 0},
        {frameSectionsSql(FrameBounds{0, 0, 1500, 1500}, QString()), 1, 1, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.sql.toStdString());
        auto rows = (*db)->query(s.sql);
        ASSERT_TRUE(rows) << rows.error().message().toStdString();
        EXPECT_EQ(rows->recordCount(), s.rows);
        EXPECT_EQ(built("ixStnKod"), s.kod);
        EXPECT_EQ(built("ixPer2"), s.per2);
    }
}

// A frame's query that needs an index not yet built builds it on the helper thread: the
// hook is asked meanwhile, one that says stop ends the build with the query marked as
// interrupted, and the next query builds it whole and gives the rows it would have given.
TEST_F(NetworkLoadTest, ABuildOnFirstNeedAsksTheHookAndStopsWithIt)
{
    auto db = Database::open(write(zdtest::chainNetworkSql(150000)));
    ASSERT_TRUE(db);
    const QString sections = frameSectionsSql(FrameBounds{1000, 0, 5000, 20}, QString());
    const QString ixPer2 = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'ixPer2'");
    auto stopped = (*db)->query(sections, nullptr, [] { return false; });
    ASSERT_FALSE(stopped);
    EXPECT_TRUE(stopped.error().interrupted);
    EXPECT_EQ((*db)->query(ixPer2)->number(0), 0);

    int calls = 0;
    auto rows = (*db)->query(sections, nullptr, [&] { return ++calls > 0; });
    ASSERT_TRUE(rows) << rows.error().message().toStdString();
    EXPECT_GT(calls, 0);
    EXPECT_EQ((*db)->query(ixPer2)->number(0), 1);
    EXPECT_EQ(rows->recordCount(), (*db)->query(QStringLiteral("SELECT count(*) FROM Peregon WHERE Stn1X BETWEEN 1000 AND 5000 "
                                                               "AND Stn1Y BETWEEN 0 AND 20 OR Stn2X BETWEEN 1000 AND 5000 AND "
                                                               "Stn2Y BETWEEN 0 AND 20"))->number(0));
}

// A table opened as a record source is read when its rows are first asked for, and they
// are then the rows the whole table's query gives.
TEST_F(NetworkLoadTest, ATableSourceReadsItsRowsWhenAskedAndGivesTheSameRows)
{
    auto db = Database::open(write(zdtest::sampleNetworkSql()));
    ASSERT_TRUE(db);
    DataSource ds;
    ds.setDatabase(*db);
    ASSERT_TRUE(ds.open(QStringLiteral("Peregon")));
    EXPECT_FALSE(ds.rowsRead());
    auto whole = (*db)->query(QStringLiteral("SELECT * FROM Peregon"));
    ASSERT_TRUE(whole);
    RowSet& rows = ds.rows();
    EXPECT_TRUE(ds.rowsRead());
    EXPECT_EQ(ds.rowSet(), &rows);
    ASSERT_EQ(rows.recordCount(), whole->recordCount());
    ASSERT_EQ(rows.columnNames(), whole->columnNames());
    for (int r = 0; r < rows.recordCount(); ++r)
        for (int c = 0; c < rows.columnCount(); ++c) EXPECT_EQ(rows.textAt(r, c), whole->textAt(r, c));

    // A table that is not there fails when it is opened, not later.
    EXPECT_FALSE(ds.open(QStringLiteral("Nothing")));
    EXPECT_EQ(ds.rows().recordCount(), 0);
}

// The station list read ahead on the helper thread: its rows are the ones its query gives,
// whether the reading ends first or another query stops it on the way, the first-need index
// build included; from inside a query nothing is started.
TEST_F(NetworkLoadTest, RowsReadAheadAreTheQuerysOwnWhateverStopsTheReading)
{
    const QString path = write(zdtest::chainNetworkSql(20000));
    const QString list = listStnSql(0, QString());
    auto reference = Database::open(path);
    ASSERT_TRUE(reference);
    Expected<RowSet> expected = (*reference)->query(list);
    ASSERT_TRUE(expected);
    const auto sameRows = [&](const RowSet& rows) {
        ASSERT_EQ(rows.recordCount(), expected->recordCount());
        for (int r = 0; r < rows.recordCount(); ++r)
            for (int c = 0; c < rows.columnCount(); ++c) ASSERT_EQ(rows.textAt(r, c), expected->textAt(r, c)) << r;
    };
    for (const int stopAfterMs : {-1, 0, 2, 10, 40}) {
        SCOPED_TRACE(stopAfterMs);
        auto db = Database::open(path);
        ASSERT_TRUE(db);
        (*db)->readAhead(list);
        EXPECT_NE((*db)->readAheadState(list), Database::Ahead::None);
        if (stopAfterMs < 0) {
            while ((*db)->readAheadState(list) != Database::Ahead::Read) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(stopAfterMs));
            auto other = (*db)->query(QStringLiteral("SELECT count(*) FROM Peregon"));
            ASSERT_TRUE(other) << other.error().message().toStdString();
            EXPECT_GT(other->number(0), 20000);
        }
        Expected<RowSet> rows = (*db)->query(list);
        ASSERT_TRUE(rows) << rows.error().message().toStdString();
        sameRows(*rows);
        EXPECT_EQ((*db)->readAheadState(list), Database::Ahead::None);
    }

    // A build stopped in its statistics leaves its index made; the next one completes it.
    auto partial = Database::open(path);
    ASSERT_TRUE(partial);
    const char* made = "CREATE INDEX stn.ixStnNaz ON Stn(NazStn, KodDor, StnX, StnY, TipStn, StnBranch, KodStn)";
    ASSERT_EQ(sqlite3_exec((*partial)->handle(), made, nullptr, nullptr, nullptr), SQLITE_OK);
    Expected<RowSet> afterPartial = (*partial)->query(list);
    ASSERT_TRUE(afterPartial) << afterPartial.error().message().toStdString();
    sameRows(*afterPartial);

    auto db = Database::open(path);
    ASSERT_TRUE(db);
    bool asked = false;
    auto rows = (*db)->query(QStringLiteral("SELECT * FROM Peregon"), nullptr, [&] {
        (*db)->readAhead(list);
        asked = true;
        return true;
    });
    ASSERT_TRUE(rows);
    EXPECT_TRUE(asked);
    EXPECT_EQ((*db)->readAheadState(list), Database::Ahead::None);
}

} // namespace
