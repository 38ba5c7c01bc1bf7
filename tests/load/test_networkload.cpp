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

TEST_F(NetworkLoadTest, AnIndexOfLaterQueriesIsBuiltBeforeTheFirstOneRuns)
{
    auto db = Database::open(write(zdtest::sampleNetworkSql()));
    ASSERT_TRUE(db);
    const QString count = QStringLiteral("SELECT count(*) FROM stn.sqlite_master WHERE name = 'ixStnKod'");
    EXPECT_EQ((*db)->query(count)->number(0), 0);
    auto station = (*db)->query(stationByCodeSql(QStringLiteral("101")));
    ASSERT_TRUE(station);
    EXPECT_EQ(station->text(station->column(u"NazStn")), QStringLiteral("Бологое"));
    EXPECT_EQ((*db)->query(count)->number(0), 1);
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
