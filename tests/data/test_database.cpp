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

class NetworkDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("ZdShort.mdb"));
        ASSERT_TRUE(zdtest::writeSqlite(path, zdtest::sampleNetworkSql()));
        auto opened = Database::open(path);
        ASSERT_TRUE(opened.ok()) << opened.error().message().toStdString();
        db = *opened;
    }
    QStringList column(const QString& sql, const QString& name)
    {
        auto rs = db->query(sql);
        EXPECT_TRUE(rs.ok()) << (rs.ok() ? "" : rs.error().message().toStdString());
        QStringList out;
        if (!rs) return out;
        const int c = rs->column(name);
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) out << rs->text(c);
        return out;
    }
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<Database> db;
};

const FrameBounds kWhole{0, -1000, 84000, 36000};

} // namespace

TEST_F(NetworkDb, GeneralisationKeepsCentresJunctionsAndBranches)
{
    const QStringList codes = column(frameStationsSql(kWhole, QString(), true), QStringLiteral("KodStn"));
    EXPECT_TRUE(codes.contains("101"));    // type 8, not branching
    EXPECT_TRUE(codes.contains("102"));    // type 5, branching
    EXPECT_FALSE(codes.contains("103"));   // type 5, not branching
    EXPECT_EQ(codes.size(), 4);
    EXPECT_EQ(column(frameStationsSql(kWhole, QString(), false), QStringLiteral("KodStn")).size(), 6);
}

TEST_F(NetworkDb, StationsArriveInAscendingType)
{
    const QStringList types = column(frameStationsSql(kWhole, QString(), false), QStringLiteral("TipStn"));
    ASSERT_EQ(types.size(), 6);
    EXPECT_EQ(types.front(), "1");
    EXPECT_EQ(types.back(), "9");
}

TEST_F(NetworkDb, RussiaOnlyFollowsTheSectionsOwnRailway)
{
    // The section 101-200 starts in Russia but belongs to the Belarusian railway.
    const QStringList starts = column(frameSectionsSql(kWhole, rusFilter(1)), QStringLiteral("KodStn1"));
    EXPECT_EQ(starts, (QStringList{"100", "102"}));
    EXPECT_EQ(column(frameSectionsSql(kWhole, rusFilter(0)), QStringLiteral("KodStn1")).size(), 4);
}

TEST_F(NetworkDb, TractionCodeOneIsFoundByNeitherCriterion)
{
    const QString base = QStringLiteral("SELECT KodStn1 FROM Peregon, Doroga WHERE   Peregon.KodDor = Doroga.KodDor AND ");
    EXPECT_EQ(column(base + "(EL = 3 OR EL = 4)", "KodStn1"), (QStringList{"100", "102"}));
    EXPECT_EQ(column(base + "EL = 2", "KodStn1"), (QStringList{"101"}));
}

TEST_F(NetworkDb, SharedColumnsAreQualifiedAndLookupIgnoresCase)
{
    auto rs = db->query(frameSectionsSql(kWhole, QString()));
    ASSERT_TRUE(rs.ok());
    EXPECT_TRUE(rs->columnNames().contains("Peregon.KodDor"));
    EXPECT_TRUE(rs->columnNames().contains("Doroga.KodDor"));
    EXPECT_TRUE(rs->columnNames().contains("KodContry"));
    EXPECT_GE(rs->column(u"Stn2y"), 0);
    EXPECT_EQ(rs->column(u"Doroga.KodContry"), rs->column(u"KodContry"));
    EXPECT_EQ(rs->column(u"NoSuchColumn"), -1);
}

TEST_F(NetworkDb, RowSetNavigationAndFindFirst)
{
    DataSource ds;
    ds.setDatabase(db);
    ds.setRecordSource(QStringLiteral("Stn"));
    ASSERT_TRUE(ds.refresh().ok());
    RowSet& rs = ds.rows();
    EXPECT_EQ(rs.recordCount(), 6);
    EXPECT_TRUE(rs.findFirst(u"KodStn = '200'"));
    EXPECT_EQ(rs.text(rs.column(u"NazStn")), "Минск");
    const int mark = rs.bookmark();
    EXPECT_FALSE(rs.findFirst(u"KodStn = 'x'' OR ''1''=''1'"));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.bookmark(), mark);
    rs.moveLast();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST_F(NetworkDb, QuotedCodeCannotAlterAQuery)
{
    const QString sql = QStringLiteral("SELECT KodStn FROM Stn WHERE KodStn = ") + quoted("1' OR '1'='1");
    EXPECT_TRUE(column(sql, "KodStn").isEmpty());
}

TEST_F(NetworkDb, NamesSortTheRussianWay)
{
    auto extra = Database::open(path);
    ASSERT_TRUE(extra.ok());
    const QString sql = zdtest::schemaSql()
        + "INSERT INTO Contry VALUES('11','Россия'); INSERT INTO Doroga VALUES('1','Д',0,0,1,1,'1','Ц','11');"
          "INSERT INTO Stn VALUES('1','Жмеринка',1,1,'1',1,0),('2','Ёлкино',1,1,'1',1,0),('3','Елец',1,1,'1',1,0),"
          "('4','Бологое',1,1,'1',1,0),('5','архангельск',1,1,'1',1,0);";
    const QString p = dir.filePath("sort.mdb");
    ASSERT_TRUE(zdtest::writeSqlite(p, sql));
    auto sorted = Database::open(p);
    ASSERT_TRUE(sorted.ok());
    auto rs = (*sorted)->query("SELECT NazStn FROM Stn Order by NazStn");
    ASSERT_TRUE(rs.ok());
    QStringList names;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) names << rs->text(0);
    EXPECT_EQ(names, (QStringList{"архангельск", "Бологое", "Елец", "Ёлкино", "Жмеринка"}));
}

TEST(DatabaseImport, CodesBecomeDecimalTextAndTextNumbersAreRead)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("typed.mdb");
    ASSERT_TRUE(zdtest::writeSqlite(p,
        "CREATE TABLE stn(kodstn REAL, NazStn TEXT, STNX TEXT, StnY TEXT, KodDor INTEGER, TipStn TEXT, StnBranch REAL, Extra BLOB);"
        "CREATE TABLE Peregon(KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, KodDor, RL, EL);"
        "CREATE TABLE Doroga(KodDor, NazDor, XL, YL, XR, YR, KodCentr, NazCentr, KodContry);"
        "CREATE TABLE Contry(KodContry, NazContry); CREATE TABLE Other(x);"
        "INSERT INTO stn VALUES(1840.0, 'Москва', ' 12 5', 'abc', 7, '9', 1.0, x'00'),"
        " (28950, 'Без координат', NULL, '', 7, NULL, 0, NULL);"));
    auto db = Database::open(p);
    ASSERT_TRUE(db.ok()) << db.error().message().toStdString();
    auto rs = (*db)->query("SELECT KodStn, StnX, StnY, KodDor, TipStn FROM Stn");
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
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE((*db)->query(frameSectionsSql(kWhole, rusFilter(1))).ok());
            ASSERT_TRUE((*db)->query(frameStationsSql(kWhole, QString(), true)).ok());
        }
        EXPECT_FALSE((*db)->query("SELECT nothing FROM Stn").ok());
    }
    EXPECT_EQ(digest(), before);
    EXPECT_EQ(QFileInfo(p).lastModified(), mtime);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ZdShort.mdb"});
}
