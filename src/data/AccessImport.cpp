#include "data/AccessImport.h"

#include "data/LoadProgress.h"
#include "data/Queries.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mdbtools.h>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace zd {

namespace {

// "\0\1\0\0Standard Jet DB" or "Standard ACE DB" at the start of the first page.
bool hasAccessSignature(const QByteArray& head)
{
    return head.size() >= 19 && head.at(0) == 0 && head.at(1) == 1 && head.at(2) == 0 && head.at(3) == 0
        && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

// libmdb reads the Jet3 code page from the environment when the file is opened.
class Jet3Charset {
public:
    explicit Jet3Charset(const QByteArray& cp)
    {
        if (const char* old = std::getenv("MDB_JET3_CHARSET")) m_old = old;
        m_had = std::getenv("MDB_JET3_CHARSET") != nullptr;
        setenv("MDB_JET3_CHARSET", cp.constData(), 1);
    }
    ~Jet3Charset()
    {
        if (m_had) setenv("MDB_JET3_CHARSET", m_old.constData(), 1);
        else unsetenv("MDB_JET3_CHARSET");
    }
private:
    QByteArray m_old;
    bool m_had = false;
};

struct MdbCloser { void operator()(MdbHandle* h) const { mdb_close(h); } };
struct TableCloser { void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); } };

bool isNumeric(int type)
{
    switch (type) {
    case MDB_BOOL: case MDB_BYTE: case MDB_INT: case MDB_LONGINT: case MDB_MONEY:
    case MDB_FLOAT: case MDB_DOUBLE: case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

QString sqliteCause(sqlite3* db)
{
    return QStringLiteral("ошибка SQLite: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
}

bool isSystemTable(MdbCatalogEntry* entry)
{
    return mdb_is_system_table(entry) || QString::fromUtf8(entry->object_name).startsWith(u"MSys", Qt::CaseInsensitive);
}

bool isSkipped(int type) { return type == MDB_OLE || type == MDB_BINARY || type == MDB_COMPLEX; }

// libmdb hands a NULL field over as length 0, for text as well as for numbers.
void bindValue(sqlite3_stmt* st, int index, int type, const char* text, int len)
{
    if (len <= 0) {
        sqlite3_bind_null(st, index);
        return;
    }
    if (isNumeric(type)) {
        char* end = nullptr;
        const double v = std::strtod(text, &end);
        if (end == text) sqlite3_bind_text(st, index, text, len, SQLITE_TRANSIENT);
        else if (v == std::floor(v) && std::fabs(v) < 9.0e15) sqlite3_bind_int64(st, index, static_cast<sqlite3_int64>(v));
        else sqlite3_bind_double(st, index, v);
        return;
    }
    sqlite3_bind_text(st, index, text, len, SQLITE_TRANSIENT);
}

DbError cause(const QString& text) { return DbError{QString(), text}; }

Expected<> copyTable(MdbCatalogEntry* entry, sqlite3* db, const QString& schema, LoadProgress* progress)
{
    std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(entry));
    if (!table) return cause(QStringLiteral("таблица %1 не читается").arg(QString::fromUtf8(entry->object_name)));
    if (!mdb_read_columns(table.get()) || !table->columns)
        return cause(QStringLiteral("столбцы таблицы %1 не читаются").arg(QString::fromUtf8(entry->object_name)));
    mdb_rewind_table(table.get());

    const QString name = QString::fromUtf8(table->name);
    const unsigned cols = table->num_cols;
    const size_t bindSize = table->entry->mdb->bind_size;
    std::vector<std::vector<char>> values(cols, std::vector<char>(bindSize + 1, 0));
    std::vector<int> lengths(cols, 0), types(cols, 0), used;
    QStringList defs;
    for (unsigned c = 0; c < cols; ++c) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        types[c] = col->col_type;
        if (isSkipped(col->col_type)) continue;
        mdb_bind_column(table.get(), static_cast<int>(c + 1), values[c].data(), &lengths[c]);
        used.push_back(static_cast<int>(c));
        defs << quoteIdent(QString::fromUtf8(col->name)) + QLatin1String(isNumeric(col->col_type) ? " NUMERIC" : " TEXT");
    }
    if (used.empty()) return {};
    const QString target = quoteIdent(schema) + u'.' + quoteIdent(name);
    QString sql = QStringLiteral("CREATE TABLE %1 (%2)").arg(target, defs.join(u", "));
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return cause(sqliteCause(db));
    QStringList marks;
    for (size_t i = 0; i < used.size(); ++i) marks << QStringLiteral("?");
    sql = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(target, marks.join(u','));
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return cause(sqliteCause(db));
    if (progress) progress->beginTable(table->name, static_cast<long long>(table->num_rows));
    sqlite3_exec(db, "SAVEPOINT mdbcopy", nullptr, nullptr, nullptr);
    QString error;
    unsigned long fetched = 0;
    while (mdb_fetch_row(table.get())) {
        ++fetched;
        if (progress) {
            if (progress->cancelled()) { error = kLoadCancelled; break; }
            progress->rowDone();
        }
        for (size_t i = 0; i < used.size(); ++i) {
            const int c = used[i];
            const int len = std::min<int>(lengths[c], static_cast<int>(bindSize));
            bindValue(st, static_cast<int>(i + 1), types[c], values[c].data(), len);
        }
        if (sqlite3_step(st) != SQLITE_DONE) { error = sqliteCause(db); break; }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    // libmdb ends the fetch loop silently on an unreadable page; the row count of the
    // table definition tells a cut-off file from a complete one.
    if (error.isEmpty() && fetched < table->num_rows)
        error = QStringLiteral("прочитано строк %1 из %2").arg(fetched).arg(table->num_rows);
    if (!error.isEmpty()) sqlite3_exec(db, "ROLLBACK TO mdbcopy", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "RELEASE mdbcopy", nullptr, nullptr, nullptr);
    if (!error.isEmpty()) return cause(error);
    return {};
}

// The tables of the file's catalog, the system table MSysObjects whose definition is on
// page 2. libmdb's own catalog reader also parses each object's property blob (LvProp)
// and trusts the record lengths written inside it: on a damaged file it reads past the
// end of the blob and crashes. The import needs no property, so the catalog is read here
// from the four columns that locate a table: Id (its definition page), Name, Type, Flags.
std::optional<std::vector<MdbCatalogEntry>> readTableCatalog(MdbHandle* mdb)
{
    MdbCatalogEntry sys{};
    sys.mdb = mdb;
    sys.object_type = MDB_TABLE;
    sys.table_pg = 2;
    std::snprintf(sys.object_name, sizeof sys.object_name, "%s", "MSysObjects");
    std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(&sys));
    if (!table || !mdb_read_columns(table.get()) || !table->columns) return std::nullopt;

    const size_t bindSize = mdb->bind_size;
    struct Field { char name[8]; std::vector<char> value; int len = 0; };
    Field id{"Id", {}}, name{"Name", {}}, type{"Type", {}}, flags{"Flags", {}};
    for (Field* f : {&id, &name, &type, &flags}) {
        f->value.assign(bindSize + 1, 0);
        if (mdb_bind_column_by_name(table.get(), f->name, f->value.data(), &f->len) == -1 && f != &flags)
            return std::nullopt;
    }
    auto text = [bindSize](const Field& f) {
        return std::string(f.value.data(), static_cast<size_t>(std::clamp<int>(f.len, 0, static_cast<int>(bindSize))));
    };
    std::vector<MdbCatalogEntry> out;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        if (std::strtol(text(type).c_str(), nullptr, 10) != MDB_TABLE) continue;
        MdbCatalogEntry e{};
        e.mdb = mdb;
        e.object_type = MDB_TABLE;
        std::snprintf(e.object_name, sizeof e.object_name, "%s", text(name).c_str());
        e.table_pg = static_cast<unsigned long>(std::strtol(text(id).c_str(), nullptr, 10)) & 0x00FFFFFFUL;
        e.flags = static_cast<int>(std::strtol(text(flags).c_str(), nullptr, 10));
        out.push_back(e);
    }
    return out;
}

} // namespace

bool looksLikeAccess(const QByteArray& head) { return hasAccessSignature(head); }

Expected<> importAccess(const QString& path, sqlite3* db, const QString& schema,
                     const QStringList& onlyTables, const QByteArray& jet3Charset, LoadProgress* progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return cause(QStringLiteral("файл не читается"));
    // libmdb needs at least the header page and one more to read the catalog.
    const QByteArray head = file.read(4096);
    if (!hasAccessSignature(head) || file.size() < 4096)
        return cause(QStringLiteral("файл не является базой данных Access"));
    // The version byte: 0 Jet3, 1 Jet4, 2 and up the ACE versions from 2007 to 2019.
    if (const int version = static_cast<unsigned char>(head.at(0x14)); version > 6)
        return cause(QStringLiteral("неизвестная версия файла Access (%1)").arg(version));
    file.close();

    std::unique_ptr<MdbHandle, MdbCloser> mdb;
    {
        Jet3Charset charset(jet3Charset);
        mdb.reset(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    }
    if (!mdb) return cause(QStringLiteral("файл Access не открывается"));
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    auto catalog = readTableCatalog(mdb.get());
    if (!catalog) return cause(QStringLiteral("каталог файла Access не читается"));

    for (MdbCatalogEntry& entry : *catalog) {
        if (isSystemTable(&entry)) continue;
        const QString name = QString::fromUtf8(entry.object_name);
        if (!onlyTables.isEmpty() && !onlyTables.contains(name, Qt::CaseInsensitive)) continue;
        if (auto copied = copyTable(&entry, db, schema, progress); !copied)
            return cause(QStringLiteral("таблица %1: %2").arg(name, copied.error().cause));
    }
    return {};
}

} // namespace zd
