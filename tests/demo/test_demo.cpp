// The demo network database as built into the program directory, and its builder.
#include "data/Database.h"
#include "data/Queries.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <limits>

using namespace zd;

namespace {

const QString kBuilt = QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb");
const QString kTool = QStringLiteral(ZD_BUILD_DIR "/zdmkdemo");
const QString kSources = QStringLiteral(ZD_SOURCE_DIR "/data/demo");
const FrameBounds kWhole{0, -1000, 84000, 36000};

// Plain SQL on the built file itself, read-only.
class DemoFile : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(QFile::exists(kBuilt)) << "build the target zddemo first";
        sqlite3_open_v2(kBuilt.toUtf8().constData(), &s_db, SQLITE_OPEN_READONLY, nullptr);
    }
    static void TearDownTestSuite() { sqlite3_close(s_db); s_db = nullptr; }

    static void rows(const char* sql, const std::function<void(sqlite3_stmt*)>& each)
    {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(s_db, sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(s_db) << "\n" << sql;
        while (sqlite3_step(st) == SQLITE_ROW) each(st);
        sqlite3_finalize(st);
    }
    static long long scalar(const char* sql)
    {
        long long v = -1;
        rows(sql, [&](sqlite3_stmt* st) { v = sqlite3_column_int64(st, 0); });
        return v;
    }
    static QString text(sqlite3_stmt* st, int col)
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)));
    }

    static inline sqlite3* s_db = nullptr;
};

} // namespace

// Per station: the number of sections that end there and of the railways they belong to.
#define ZD_DEGREES "WITH ends AS (SELECT KodStn1 k, KodDor d FROM Peregon UNION ALL SELECT KodStn2, KodDor FROM Peregon)," \
                   " deg AS (SELECT k, count(*) n, count(DISTINCT d) r FROM ends GROUP BY k) "

// Each query counts rows of the built file; the count must lie in the range.
TEST_F(DemoFile, CountsOfItsRules)
{
    const long long many = std::numeric_limits<long long>::max();
    struct Rule { const char* name; const char* sql; long long min, max; };
    const Rule rules[] = {
        {"codes as text", "SELECT count(*) FROM Stn WHERE typeof(KodStn) <> 'text' OR typeof(KodDor) <> 'text'", 0, 0},
        {"section codes as text", "SELECT count(*) FROM Peregon WHERE typeof(KodStn1) <> 'text' OR typeof(KodStn2) <> 'text'", 0, 0},
        {"stations", "SELECT count(*) FROM Stn", 6000, many},
        {"sections", "SELECT count(*) FROM Peregon", 6000, many},
        {"railways", "SELECT count(*) FROM Doroga", 45, many},
        {"named stations", "SELECT count(*) FROM Stn WHERE NazStn NOT LIKE '% км'", 700, many},
        {"countries", "SELECT count(*) FROM Contry", 15, 15},
        {"Russia is 11", "SELECT count(*) FROM Contry WHERE KodContry = '11' AND NazContry = 'Россия'", 1, 1},
        {"every country has railways",
         "SELECT count(DISTINCT KodContry) FROM Doroga WHERE KodContry IN (SELECT KodContry FROM Contry)", 15, 15},
        {"stations of no railway", "SELECT count(*) FROM Stn WHERE KodDor NOT IN (SELECT KodDor FROM Doroga)", 0, 0},
        {"sections of no railway", "SELECT count(*) FROM Peregon WHERE KodDor NOT IN (SELECT KodDor FROM Doroga)", 0, 0},
        {"duplicate codes", "SELECT count(*) - count(DISTINCT KodStn) FROM Stn", 0, 0},
        {"codes not of digits", "SELECT count(*) FROM Stn WHERE KodStn GLOB '*[^0-9]*' OR KodStn GLOB '0*'", 0, 0},
        // Names are printed by comparing codes as numbers: each must be one named station.
        {"always named codes", "SELECT count(*) FROM Stn WHERE CAST(KodStn AS INTEGER) IN (1840, 28950, 29050, 98000,"
         " 61680, 74630, 47390, 28010, 93550, 76100, 30010, 64540, 65450, 84010, 20010, 17010, 21600, 25540, 96010,"
         " 13000, 57390, 54000, 15000, 7060) AND NazStn NOT LIKE '% км' AND TipStn >= 7", 24, 24},
        {"section ends elsewhere than their stations", "SELECT count(*) FROM Peregon p"
         " LEFT JOIN Stn a ON a.KodStn = p.KodStn1 AND a.StnX = p.Stn1X AND a.StnY = p.Stn1Y"
         " LEFT JOIN Stn b ON b.KodStn = p.KodStn2 AND b.StnX = p.Stn2X AND b.StnY = p.Stn2Y"
         " WHERE a.KodStn IS NULL OR b.KodStn IS NULL", 0, 0},
        {"stations without sections", "SELECT count(*) FROM Stn s LEFT JOIN (SELECT KodStn1 k FROM Peregon UNION"
         " SELECT KodStn2 FROM Peregon) e ON e.k = s.KodStn WHERE e.k IS NULL", 0, 0},
        // A stop every 10-25 km; map units per km between about 9 (north-south) and 18
        // (east-west in the far north).
        {"section lengths", "SELECT count(*) FROM Peregon WHERE LenPer <= 0 OR LenPer > 30"
         " OR abs(LenPer * 10 - round(LenPer * 10)) > 1e-6", 0, 0},
        {"sections out of scale", "SELECT count(*) FROM Peregon WHERE (Stn1X - Stn2X) * (Stn1X - Stn2X)"
         " + (Stn1Y - Stn2Y) * (Stn1Y - Stn2Y) NOT BETWEEN 49 * (LenPer / 1.15) * (LenPer / 1.15)"
         " AND 361 * (LenPer / 1.15) * (LenPer / 1.15)", 0, 0},
        {"stations outside the scheme", "SELECT count(*) FROM Stn WHERE StnX NOT BETWEEN 0 AND 84000"
         " OR StnY NOT BETWEEN -1000 AND 36000", 0, 0},
        {"railways outside the scheme", "SELECT count(*) FROM Doroga WHERE XL < 0 OR YL < -1000 OR XR > 84000"
         " OR YR > 36000 OR XL > XR OR YL > YR", 0, 0},
        // The centre is a station of type 9 of the railway, inside its rectangle, which is the
        // bounding box of its stations; NazCentr names it (NULL on one railway).
        {"railways without their centre", "SELECT count(*) FROM Doroga d LEFT JOIN Stn s ON s.KodStn = d.KodCentr"
         " WHERE s.KodStn IS NULL OR s.TipStn <> 9 OR s.KodDor <> d.KodDor OR s.StnX NOT BETWEEN d.XL AND d.XR"
         " OR s.StnY NOT BETWEEN d.YL AND d.YR OR d.NazCentr <> s.NazStn"
         " OR (SELECT min(StnX) FROM Stn WHERE KodDor = d.KodDor) <> d.XL"
         " OR (SELECT min(StnY) FROM Stn WHERE KodDor = d.KodDor) <> d.YL"
         " OR (SELECT max(StnX) FROM Stn WHERE KodDor = d.KodDor) <> d.XR"
         " OR (SELECT max(StnY) FROM Stn WHERE KodDor = d.KodDor) <> d.YR", 0, 0},
        {"centre names missing", "SELECT count(*) FROM Doroga WHERE NazCentr IS NULL", 1, 1},
        {"centres not of railways", "SELECT (SELECT count(*) FROM Stn WHERE TipStn = 9) - (SELECT count(*) FROM Doroga)", 0, 0},
        {"branching flags", ZD_DEGREES "SELECT count(*) FROM Stn s JOIN deg ON deg.k = s.KodStn WHERE StnBranch <> (n >= 3)", 0, 0},
        {"branching stations", "SELECT count(*) FROM Stn WHERE StnBranch = 1", 101, many},
        {"junctions inside a railway", ZD_DEGREES "SELECT count(*) FROM Stn s JOIN deg ON deg.k = s.KodStn"
         " WHERE TipStn = 8 AND r < 2", 0, 0},
        {"meeting points that are no junction", ZD_DEGREES "SELECT count(*) FROM Stn s JOIN deg ON deg.k = s.KodStn"
         " WHERE TipStn < 7 AND r >= 2", 0, 0},
        {"junctions", "SELECT count(*) FROM Stn WHERE TipStn = 8", 40, many},
        {"division centres", "SELECT count(*) FROM Stn WHERE TipStn = 7", 100, many},
        {"kilometre posts", "SELECT count(*) FROM Stn WHERE NazStn LIKE '% км' AND (TipStn NOT IN (5, 6)"
         " OR NazStn NOT GLOB '[1-9]* км')", 0, 0},
        {"track codes", "SELECT count(DISTINCT RL) FROM Peregon WHERE RL BETWEEN 0 AND 2", 3, 3},
        {"traction codes", "SELECT count(DISTINCT EL) FROM Peregon WHERE EL BETWEEN 0 AND 4", 5, 5},
        {"codes out of range", "SELECT count(*) FROM Peregon WHERE RL NOT BETWEEN 0 AND 2 OR EL NOT BETWEEN 0 AND 4", 0, 0},
    };
    for (const Rule& r : rules) {
        SCOPED_TRACE(r.name);
        const long long n = scalar(r.sql);
        EXPECT_TRUE(n >= r.min && n <= r.max) << n;
    }
}

// The mainland network is one piece; only Sakhalin lies apart.
TEST_F(DemoFile, MainlandNetworkIsConnected)
{
    QHash<QString, QString> parent;
    auto root = [&](QString k) {
        for (QString up = parent.value(k, k); up != k; up = parent.value(k, k)) k = up;
        return k;
    };
    rows("SELECT KodStn1, KodStn2 FROM Peregon", [&](sqlite3_stmt* st) { parent[root(text(st, 0))] = root(text(st, 1)); });
    QHash<QString, QSet<QString>> railwaysOfPiece;
    rows("SELECT s.KodStn, d.NazDor FROM Stn s, Doroga d WHERE s.KodDor = d.KodDor",
         [&](sqlite3_stmt* st) { railwaysOfPiece[root(text(st, 0))].insert(text(st, 1)); });
    ASSERT_EQ(railwaysOfPiece.size(), 2);
    bool island = false;
    for (const QSet<QString>& r : railwaysOfPiece) island |= r == QSet<QString>{QStringLiteral("Сахалинская")};
    EXPECT_TRUE(island);
}

TEST(DemoDatabase, OpensThroughTheLoaderAndFillsTheWholeScheme)
{
    auto opened = Database::open(kBuilt);
    ASSERT_TRUE(opened.ok()) << opened.error().message().toStdString();
    const auto& db = *opened;
    auto count = [&](const QString& sql) {
        auto rs = db->query(sql);
        EXPECT_TRUE(rs.ok()) << (rs.ok() ? "" : rs.error().message().toStdString());
        return rs.ok() ? rs->recordCount() : -1;
    };
    const int stations = count(QStringLiteral("SELECT KodStn FROM Stn"));
    EXPECT_EQ(count(frameSectionsSql(kWhole, QString())), count(QStringLiteral("SELECT KodStn1 FROM Peregon")));
    EXPECT_EQ(count(frameStationsSql(kWhole, QString(), false)), stations);
    const int generalised = count(frameStationsSql(kWhole, QString(), true));
    EXPECT_GT(generalised, 300);
    EXPECT_LT(generalised, stations / 5);
    const int russia = count(frameStationsSql(kWhole, rusFilter(1), false));
    EXPECT_GT(russia, stations / 2);
    EXPECT_LT(russia, stations);
    EXPECT_GT(count(frameSectionsSql(kWhole, rusFilter(1))), 0);
}

namespace {

// A copy of the demo sources in a temporary folder, to be spoilt by a test.
struct SourceCopy {
    QTemporaryDir dir;
    SourceCopy()
    {
        for (const QString& f : QDir(kSources).entryList(QDir::Files))
            QFile::copy(kSources + "/" + f, dir.filePath(f));
    }
    void edit(const QString& file, const QString& from, const QString& to)
    {
        QFile f(dir.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString t = QString::fromUtf8(f.readAll());
        f.close();
        ASSERT_TRUE(t.contains(from)) << from.toStdString();
        t.replace(from, to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(t.toUtf8());
    }
};

struct ToolRun { int code; QString err; };

ToolRun build(const QString& sources, const QString& out)
{
    QProcess p;
    p.start(kTool, {sources, out});
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DemoBuilder, SameSourcesGiveTheSameBytes)
{
    QTemporaryDir out;
    ASSERT_EQ(build(kSources, out.filePath("a.mdb")).code, 0);
    ASSERT_EQ(build(kSources, out.filePath("b.mdb")).code, 0);
    const QByteArray a = bytes(out.filePath("a.mdb"));
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a, bytes(out.filePath("b.mdb")));
    EXPECT_EQ(a, bytes(kBuilt)) << "the built ZdShort.mdb is older than its sources";
}

TEST(DemoBuilder, RejectsFaultySourcesAndWritesNothing)
{
    struct Case { const char* name; const char* file; QString from, to, message; };
    const Case cases[] = {
        {"unknown station in a line", "lines.txt", "Тверь; Клин", "Тверь; Клинн", "unknown station Клинн"},
        {"duplicate station", "stations.csv", "Клин;56.33", "Тверь;56.33", "duplicate station Тверь"},
        {"duplicate code", "stations.csv", "101130;Клин", "101120;Клин", "duplicate station code 101120"},
        {"outside the frame", "stations.csv", "Клин;56.33;36.73", "Клин;56.33;18.50", "outside the frame"},
        {"centre not of type 9", "stations.csv", "Чита;52.03;113.50;16;9", "Чита;52.03;113.50;16;7", "has no centre"},
        {"centre missing", "railways.csv", ";Чита;Чита", ";;Чита", "has no centre"},
        {"section in two lines", "lines.txt", "* Тверь — Конаково; 1; 3\nТверь; Конаково",
         "* Тверь — Конаково; 1; 3\nКлин; Тверь", "already in line"},
        {"wrong header", "countries.csv", "KodContry;NazContry", "Kod;Naz", "first line must be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SourceCopy src;
        src.edit(c.file, c.from, c.to);
        const QString out = src.dir.filePath("ZdShort.mdb");
        const ToolRun r = build(src.dir.path(), out);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_FALSE(QFile::exists(out + ".tmp"));
    }
}
