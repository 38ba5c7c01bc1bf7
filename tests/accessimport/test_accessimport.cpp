#include "data/AccessImport.h"

#include <QFile>
#include <QtEndian>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <mdbtools.h>
#include <sqlite3.h>

using namespace zd;

namespace {

const QString kDir = QStringLiteral(ZD_TESTDATA_DIR);
const char kDateFmt[] = "%Y-%m-%d %H:%M:%S";

struct Sample { const char* file; const char* charset; };
const Sample kSamples[] = {{"nwind.mdb", "CP1252"}, {"DateTestDatabase.mdb", "CP1252"}, {"ASampleDatabase.accdb", "CP1252"}};

QString run(const QString& program, const QStringList& args, const QByteArray& charset)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MDB_JET3_CHARSET"), QString::fromLatin1(charset));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Memory {
    Memory()
    {
        sqlite3_open(":memory:", &db);
        sqlite3_exec(db, "ATTACH DATABASE ':memory:' AS src", nullptr, nullptr, nullptr);
    }
    ~Memory() { sqlite3_close(db); }
    sqlite3* db = nullptr;
};

// Compares one imported table with what mdb-export prints for it.
void compareTable(sqlite3* db, const QString& file, const QString& table, const QByteArray& charset)
{
    const QString exported = run(QStringLiteral("mdb-export"),
        {"-d", QStringLiteral("\x1f"), "-R", QStringLiteral("\x1e"), "-Q", "-b", "strip", "-D", kDateFmt, "-T", kDateFmt, file, table}, charset);
    QStringList rows = exported.split(QChar(0x1e));
    if (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
    ASSERT_FALSE(rows.isEmpty());
    const QStringList header = rows.takeFirst().split(QChar(0x1f));

    sqlite3_stmt* st = nullptr;
    const QByteArray sql = ("SELECT * FROM src.\"" + table + "\"").toUtf8();
    ASSERT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    int row = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ASSERT_LT(row, rows.size());
        const QStringList fields = rows[row].split(QChar(0x1f));
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const int at = header.indexOf(QString::fromUtf8(sqlite3_column_name(st, c)));
            ASSERT_GE(at, 0);
            ASSERT_LT(at, fields.size());
            const QString want = fields[at];
            SCOPED_TRACE(QStringLiteral("%1 row %2 column %3").arg(table).arg(row).arg(header[at]).toStdString());
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_NULL: EXPECT_TRUE(want.isEmpty()) << want.toStdString(); break;
            case SQLITE_INTEGER: case SQLITE_FLOAT: {
                bool ok = false;
                const double w = want.toDouble(&ok);
                ASSERT_TRUE(ok) << want.toStdString();
                EXPECT_NEAR(sqlite3_column_double(st, c), w, 1e-6 * std::max(1.0, std::fabs(w)));
                break;
            }
            default:
                EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))).toStdString(),
                          want.toStdString());
            }
        }
        ++row;
    }
    sqlite3_finalize(st);
    EXPECT_EQ(row, rows.size());
}

// The first column of the first row as text ("" for no row, "error" for a refused query).
std::string first(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return "error";
    std::string v;
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
        v = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    return v;
}

// A writable copy of nwind.mdb whose definition of `table` claims `extra` rows more than it
// holds: libmdb's fetch loop then ends before the count, as it does on a file cut off
// inside the table's data pages. Gives the real row count, or 0 on failure.
unsigned long claimMoreRows(const QString& copy, const char* table, unsigned extra)
{
    if (!QFile::copy(kDir + "/nwind.mdb", copy)) return 0;
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    MdbHandle* mdb = mdb_open(QFile::encodeName(copy).constData(), MDB_NOFLAGS);
    if (!mdb) return 0;
    unsigned long rows = 0;
    qint64 at = -1;
    if (GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE)) {
        for (guint i = 0; i < catalog->len; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
            if (std::strcmp(e->object_name, table) != 0) continue;
            if (MdbTableDef* t = mdb_read_table(e)) {
                rows = t->num_rows;
                at = qint64(e->table_pg) * mdb->fmt->pg_size + mdb->fmt->tab_num_rows_offset;
                mdb_free_tabledef(t);
            }
        }
    }
    mdb_close(mdb);
    QFile f(copy);
    if (at < 0 || !f.open(QIODevice::ReadWrite) || !f.seek(at)) return 0;
    const QByteArray stored = f.read(4);
    if (stored.size() != 4 || qFromLittleEndian<quint32>(stored.constData()) != rows) return 0;
    const quint32 claimed = qToLittleEndian<quint32>(static_cast<quint32>(rows + extra));
    f.seek(at);
    f.write(reinterpret_cast<const char*>(&claimed), 4);
    return rows;
}

} // namespace

TEST(AccessImport, EveryTableOfTheSampleFilesMatchesMdbExport)
{
    if (!QFile::exists(kDir + "/nwind.mdb")) GTEST_SKIP() << "sample files not found in " << kDir.toStdString();
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.file);
        const QString file = kDir + u'/' + QLatin1String(s.file);
        Memory m;
        ASSERT_TRUE(importAccess(file, m.db, "src", {}, s.charset).ok());
        QStringList tables = run("mdb-tables", {"-1", file}, s.charset).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(tables.isEmpty());
        for (const QString& t : tables) compareTable(m.db, file, t, s.charset);
    }
}

TEST(AccessImport, BrokenFilesGiveACauseInsteadOfACrash)
{
    QTemporaryDir dir;
    QByteArray noise(20000, '\0');
    QRandomGenerator gen(11);
    for (char& c : noise) c = static_cast<char>(gen.bounded(256));
    QByteArray real;
    if (QFile f(kDir + "/nwind.mdb"); f.open(QIODevice::ReadOnly)) real = f.readAll();
    const QByteArray header = QByteArray("\0\1\0\0Standard Jet DB", 19);
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {{"empty", {}}, {"random", noise}, {"header only", header},
                          {"header and noise", header + noise}, {"truncated real file", real.left(6000)},
                          {"real file cut in half", real.left(real.size() / 2)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes.isEmpty() && QByteArray(c.name).contains("real")) continue;
        const QString p = dir.filePath(QLatin1String(c.name));
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        Memory m;
        EXPECT_FALSE(importAccess(p, m.db, "src").ok());
    }
}

TEST(AccessImport, SignatureTellsAccessFromSqlite)
{
    EXPECT_TRUE(looksLikeAccess(QByteArray("\0\1\0\0Standard Jet DB\0", 20)));
    EXPECT_TRUE(looksLikeAccess(QByteArray("\0\1\0\0Standard ACE DB\0", 20)));
    EXPECT_FALSE(looksLikeAccess(QByteArray("SQLite format 3\0", 16)));
    EXPECT_FALSE(looksLikeAccess(QByteArray()));
}

// Jet3 text decoded with the code page given, NULL kept, whole numbers kept as integers,
// and only the tables asked for (named in any case) copied.
TEST(AccessImport, ValuesKeepTheirTextNullsAndTypes)
{
    if (!QFile::exists(kDir + "/nwind.mdb")) GTEST_SKIP() << "sample files not found in " << kDir.toStdString();
    Memory m;
    ASSERT_TRUE(importAccess(kDir + "/nwind.mdb", m.db, "src", {"customers", "Products", "Employees"}, "CP1252").ok());
    struct Probe { const char* sql; const char* want; };
    const Probe probes[] = {
        {"SELECT count(*) FROM src.Customers WHERE Address LIKE '%Bolívar #65%' OR CompanyName LIKE '%Bon app''%'", "2"},
        {"SELECT count(*) FROM src.sqlite_master", "3"},
        {"SELECT typeof(Region) FROM src.Customers WHERE CustomerID = 'ALFKI'", "null"},
        {"SELECT typeof(ReportsTo) FROM src.Employees WHERE EmployeeID = 2", "null"},   // a number
        {"SELECT typeof(ReportsTo) FROM src.Employees WHERE EmployeeID = 1", "integer"},
        {"SELECT typeof(ProductID) FROM src.Products WHERE ProductID = 1", "integer"},
        {"SELECT ProductID || '' FROM src.Products WHERE ProductID = 1", "1"},
    };
    for (const Probe& p : probes) EXPECT_EQ(first(m.db, p.sql), p.want) << p.sql;
}

// A table that stops part-way is reported with its cause and leaves no rows behind: the
// row count of the table definition tells a cut-off table, and an insert that SQLite
// refuses names SQLite's own message.
TEST(AccessImport, ATableThatFailsPartWayIsReportedAndRolledBack)
{
    if (!QFile::exists(kDir + "/nwind.mdb")) GTEST_SKIP() << "sample files not found in " << kDir.toStdString();
    QTemporaryDir dir;
    const QString cut = dir.filePath("cut.mdb");
    const unsigned long rows = claimMoreRows(cut, "Customers", 3);
    ASSERT_GT(rows, 10u);

    struct Case { const char* name; QString file; int interruptAfter; QString error; };
    const Case cases[] = {
        {"fewer rows than the definition counts", cut, 0,
         QStringLiteral("таблица Customers: прочитано строк %1 из %2").arg(rows).arg(rows + 3)},
        {"an insert refused by SQLite", kDir + "/nwind.mdb", 5, QStringLiteral("таблица Customers: ошибка SQLite: interrupted")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Memory m;
        // After that many rows, the next statement is interrupted once.
        struct Stop { int after; int seen = 0; bool done = false; } stop{c.interruptAfter};
        if (c.interruptAfter > 0) {
            sqlite3_update_hook(m.db, [](void* p, int, const char*, const char*, sqlite3_int64) {
                ++static_cast<Stop*>(p)->seen;
            }, &stop);
            sqlite3_progress_handler(m.db, 1, [](void* p) {
                auto* s = static_cast<Stop*>(p);
                if (s->done || s->seen < s->after) return 0;
                s->done = true;
                return 1;
            }, &stop);
        }
        {
            auto imported = importAccess(c.file, m.db, "src", {"Customers"}, "CP1252");
            EXPECT_EQ(imported ? std::string() : imported.error().cause.toStdString(), c.error.toStdString());
        }
        EXPECT_EQ(first(m.db, "SELECT count(*) FROM src.Customers"), "0") << "the rows copied before the fault are undone";
    }
    // The same file with its count intact is copied whole.
    Memory m;
    ASSERT_TRUE(importAccess(kDir + "/nwind.mdb", m.db, "src", {"Customers"}, "CP1252").ok());
    EXPECT_EQ(first(m.db, "SELECT count(*) FROM src.Customers"), std::to_string(rows));
}
