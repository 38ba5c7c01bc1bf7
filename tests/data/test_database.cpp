#include "TestDb.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/Queries.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const FrameBounds kWhole{0, -1000, 84000, 36000};

// The database of a script, opened through the loader.
std::shared_ptr<Database> openScript(const QTemporaryDir& dir, const QString& script)
{
    const QString p = dir.filePath(QStringLiteral("ZdShort.mdb"));
    if (!zdtest::writeSqlite(p, script)) return nullptr;
    auto opened = Database::open(p);
    EXPECT_TRUE(opened.ok()) << opened.error().message().toStdString();
    return opened ? *opened : nullptr;
}

QStringList column(Database& db, const QString& sql, const QString& name)
{
    auto rs = db.query(sql);
    EXPECT_TRUE(rs.ok()) << (rs.ok() ? "" : rs.error().message().toStdString());
    QStringList out;
    if (!rs) return out;
    const int c = rs->column(name);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) out << rs->text(c);
    return out;
}

} // namespace

TEST(NetworkQueries, RowsOfTheSampleNetwork)
{
    QTemporaryDir dir;
    auto db = openScript(dir, zdtest::sampleNetworkSql());
    ASSERT_TRUE(db);
    const QString traction = QStringLiteral("SELECT KodStn1 FROM Peregon, Doroga WHERE   Peregon.KodDor = Doroga.KodDor AND ");
    struct Case { const char* name; QString sql; const char* column; QStringList rows; bool sorted; };
    const Case cases[] = {
        // Types 9, 8 and the branching 102 of type 5; not 103 (type 5) nor 201 (type 1).
        {"generalised: centres, junctions and branches", frameStationsSql(kWhole, QString(), true), "KodStn",
         {"100", "101", "102", "200"}, true},
        {"every station, in ascending type", frameStationsSql(kWhole, QString(), false), "TipStn",
         {"1", "5", "5", "8", "9", "9"}, false},
        // 101-200 starts in Russia but belongs to the Belarusian railway.
        {"Russia only follows the section's railway", frameSectionsSql(kWhole, rusFilter(1)), "KodStn1",
         {"100", "102"}, true},
        {"every section", frameSectionsSql(kWhole, QString()), "KodStn1", {"100", "101", "102", "200"}, true},
        // Traction code 1 is found by neither criterion.
        {"electric", traction + "(EL = 3 OR EL = 4)", "KodStn1", {"100", "102"}, true},
        {"diesel", traction + "EL = 2", "KodStn1", {"101"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList rows = column(*db, c.sql, QLatin1String(c.column));
        if (c.sorted) rows.sort();
        EXPECT_EQ(rows, c.rows);
    }

    auto rs = db->query(frameSectionsSql(kWhole, QString()));
    ASSERT_TRUE(rs.ok());
    for (const char* name : {"Peregon.KodDor", "Doroga.KodDor", "KodContry"})
        EXPECT_TRUE(rs->columnNames().contains(QLatin1String(name))) << name;
    EXPECT_GE(rs->column(u"Stn2y"), 0);
    EXPECT_EQ(rs->column(u"Doroga.KodContry"), rs->column(u"KodContry"));
    EXPECT_EQ(rs->column(u"NoSuchColumn"), -1);

    DataSource ds;
    ds.setDatabase(db);
    ds.setRecordSource(QStringLiteral("Stn"));
    ASSERT_TRUE(ds.refresh().ok());
    RowSet& stn = ds.rows();
    EXPECT_EQ(stn.recordCount(), 6);
    EXPECT_TRUE(stn.findFirst(u"KodStn = '200'"));
    EXPECT_EQ(stn.text(stn.column(u"NazStn")), "Минск");
    const int mark = stn.bookmark();
    EXPECT_FALSE(stn.findFirst(u"KodStn = 'x'' OR ''1''=''1'"));
    EXPECT_TRUE(stn.noMatch());
    EXPECT_EQ(stn.bookmark(), mark);
    stn.moveLast();
    stn.moveNext();
    EXPECT_TRUE(stn.eof());
}

TEST(DatabaseImport, CodesBecomeDecimalTextAndTextNumbersAreRead)
{
    QTemporaryDir dir;
    auto db = openScript(dir,
        "CREATE TABLE stn(kodstn REAL, NazStn TEXT, STNX TEXT, StnY TEXT, KodDor INTEGER, TipStn TEXT, StnBranch REAL, Extra BLOB);"
        "CREATE TABLE Peregon(KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, KodDor, RL, EL);"
        "CREATE TABLE Doroga(KodDor, NazDor, XL, YL, XR, YR, KodCentr, NazCentr, KodContry);"
        "CREATE TABLE Contry(KodContry, NazContry); CREATE TABLE Other(x);"
        "INSERT INTO stn VALUES(1840.0, 'Москва', ' 12 5', 'abc', 7, '9', 1.0, x'00'),"
        " (28950, 'Без координат', NULL, '', 7, NULL, 0, NULL);");
    ASSERT_TRUE(db);
    auto rs = db->query("SELECT KodStn, StnX, StnY, KodDor, TipStn FROM Stn");
    ASSERT_TRUE(rs.ok());
    EXPECT_EQ(rs->text(0), "1840");
    EXPECT_EQ(rs->number(1), 125);
    EXPECT_EQ(rs->number(2), 0);
    EXPECT_EQ(rs->text(3), "7");
    EXPECT_EQ(rs->number(4), 9);
    rs->moveNext();
    EXPECT_EQ(rs->text(0), "28950");
    EXPECT_TRUE(rs->isNull(1));
    EXPECT_TRUE(rs->isNull(2));
    EXPECT_TRUE(rs->isNull(4));
}

TEST(DatabaseImport, UnusableFilesAreReportedWithTheFileAndTheCause)
{
    QTemporaryDir dir;
    QByteArray noise(8192, '\0');
    QRandomGenerator gen(7);
    for (char& c : noise) c = static_cast<char>(gen.bounded(256));
    struct Case { const char* name; QByteArray bytes; QString script; const char* cause; };
    const QString noStnBranch = zdtest::schemaSql().replace(", StnBranch INTEGER", "");
    const QString noPeregon = QString(zdtest::schemaSql()).replace("CREATE TABLE Peregon", "CREATE TABLE Peregon_old");
    const Case cases[] = {
        {"empty file", QByteArray(), QString(), "не является базой данных"},
        {"random bytes", noise, QString(), "не является базой данных"},
        {"truncated sqlite", QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\0'), QString(), "SQLite"},
        {"no Peregon", QByteArray(), noPeregon, "нет таблицы Peregon"},
        {"no StnBranch", QByteArray(), noStnBranch, "в таблице Stn нет столбца StnBranch"},
        // The stations are copied beside the other tables; their fault is still the one told.
        {"no StnBranch, no Peregon", QByteArray(), QString(noStnBranch).replace("CREATE TABLE Peregon", "CREATE TABLE P_old"),
         "в таблице Stn нет столбца StnBranch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = dir.filePath(QString::fromLatin1(c.name) + ".mdb");
        if (!c.script.isEmpty()) {
            ASSERT_TRUE(zdtest::writeSqlite(p, c.script));
        } else {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        auto db = Database::open(p);
        ASSERT_FALSE(db.ok());
        EXPECT_TRUE(db.error().message().contains(QString::fromUtf8(c.cause))) << db.error().message().toStdString();
        EXPECT_TRUE(db.error().message().contains(QFileInfo(p).fileName()));
    }
    auto missing = Database::open(dir.filePath("none.mdb"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().cause.contains("не найден"));
}

TEST(DatabaseImport, TheFileIsNeverChanged)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("ZdShort.mdb");
    ASSERT_TRUE(zdtest::writeSqlite(p, zdtest::sampleNetworkSql()));
    auto digest = [&] {
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    const QDateTime mtime = QFileInfo(p).lastModified();
    {
        auto db = Database::open(p);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE((*db)->query(frameSectionsSql(kWhole, rusFilter(1))).ok());
        ASSERT_TRUE((*db)->query(frameStationsSql(kWhole, QString(), true)).ok());
        EXPECT_FALSE((*db)->query("SELECT nothing FROM Stn").ok());
    }
    EXPECT_EQ(digest(), before);
    EXPECT_EQ(QFileInfo(p).lastModified(), mtime);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ZdShort.mdb"});
}

// Reading rows asks the hook every 512 rows: it stops the reading with an error marked as
// interrupted, and a hook that lets it go on changes no row.
TEST(NetworkQueries, AHookStopsTheReadingOfRows)
{
    QTemporaryDir dir;
    auto db = openScript(dir, zdtest::sampleNetworkSql());
    ASSERT_TRUE(db);
    const QString rows = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                        "SELECT i FROM n");
    struct Case { const char* name; int goOnCalls; bool interrupted; };
    const Case cases[] = {{"stopped at once", 0, true}, {"stopped later", 2, true}, {"never stopped", 100, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int calls = 0;
        auto rs = db->query(rows, nullptr, [&] { return calls++ < c.goOnCalls; });
        EXPECT_EQ(!rs.ok() && rs.error().interrupted, c.interrupted);
        if (rs) {
            EXPECT_EQ(rs->recordCount(), 2000);
        }
        EXPECT_EQ(calls, c.interrupted ? c.goOnCalls + 1 : 3);
    }
}

// The first step, which sorts every row before giving the first, does not keep the hook
// waiting: it is asked meanwhile, a query made from it waits for the step and gives its rows,
// and one that says stop ends the step.
TEST(NetworkQueries, AHookIsAskedDuringALongFirstStep)
{
    QTemporaryDir dir;
    auto db = openScript(dir, zdtest::sampleNetworkSql());
    ASSERT_TRUE(db);
    const QString sorted = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                                          "SELECT i FROM n ORDER BY -i LIMIT 3");
    const int stations = db->query("SELECT count(*) FROM Stn")->number(0);
    int calls = 0, seen = -1;
    auto rs = db->query(sorted, nullptr, [&] {
        if (calls++ == 0) seen = db->query("SELECT count(*) FROM Stn")->number(0);
        return true;
    });
    ASSERT_TRUE(rs);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(seen, stations);
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->number(0), 1000000);

    auto stopped = db->query(sorted, nullptr, [] { return false; });
    ASSERT_FALSE(stopped);
    EXPECT_TRUE(stopped.error().interrupted);
    EXPECT_EQ(db->query("SELECT count(*) FROM Stn")->number(0), stations);
}

// Rows of equal keys come in the order of SQLite's in-memory sort, whether the sorter holds
// them in one block or each on its own, and a row set grown through many enlargements, read
// into the memory of another and copied, keeps every cell.
TEST(NetworkQueries, ALargeSortKeepsTheOrderOfEqualKeysAndEveryCell)
{
    QTemporaryDir dir;
    auto db = openScript(dir, zdtest::sampleNetworkSql());
    auto byRow = openScript(dir, zdtest::sampleNetworkSql());
    ASSERT_TRUE(db && byRow);
    ASSERT_TRUE(byRow->query("PRAGMA temp_store = MEMORY"));
    const int n = 200000;
    const QString sorted = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                          "SELECT i, 'к' || (i % 7) AS k FROM n ORDER BY i % 7").arg(n);
    RowSet storage = *db->query(QStringLiteral("SELECT 'x', 1, 2.5"));
    auto rs = db->query(sorted, &storage, [] { return true; });
    auto expected = byRow->query(sorted);
    ASSERT_TRUE(rs && expected);
    ASSERT_EQ(rs->recordCount(), n);
    const RowSet copy = *rs;
    int differing = 0;
    for (int r = 0; r < n; ++r) {
        const double i = expected->numberAt(r, 0);
        differing += copy.numberAt(r, 0) != i || copy.textAt(r, 1) != QStringLiteral("к%1").arg(qint64(i) % 7);
    }
    EXPECT_EQ(differing, 0);
}
