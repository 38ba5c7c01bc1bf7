#include "data/Database.h"

#include "data/AccessImport.h"
#include "data/LoadProgress.h"
#include "data/Queries.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "data/SqlFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <limits>
#include <thread>
#include <sqlite3.h>

namespace zd {

namespace {

// The frame queries join each row with its railway and select by a coordinate range.
// Their indexes lead with the railway code, so that the railways drive the join and each
// of them is searched by range, and they hold every column those queries read, so that
// the rows come from the index alone. Both halves of the section query's OR have one; the
// far end's (ixPer2) is built with the first frame, below. They also serve every look-up by
// railway code, and the two small tables' joins. These are built at loading. The stations'
// one is built with the stations' copy, on its own connection.
const char* const kStationIndex =
    "CREATE INDEX ixStnXY ON Stn(KodDor, StnX, StnY, TipStn, StnBranch, KodStn, NazStn)";
const char* const kIndexes[] = {
    "CREATE INDEX ixPer1 ON Peregon(KodDor, Stn1X, Stn1Y, Stn2X, Stn2Y, KodStn1, KodStn2, LenPer, RL, EL)",
    "CREATE INDEX ixDorKod ON Doroga(KodDor, KodContry)",
    "CREATE INDEX ixContryKod ON Contry(KodContry)",
};

// Indexes that only later queries use, built before the first query whose text holds
// all the pieces: the station by its code (the object under the pointer, a section's ends),
// the station list in name order, and the sections by their far end. The list's rows come
// from ixStnNaz in the order asked for, without sorting a million rows by the Russian
// collation at every opening; after the name it holds the columns of ixStnXY in their order,
// so that stations of one name come in the order the sorted join gave them: by railway, then
// by place. ixPer2 is as large as ixPer1 and the first frame needs it anyway: built then, it
// takes a third off the load. Any query that reads sections under a condition builds it
// first, so that every plan that may choose it (a railway's sections too) finds it. The
// statistics are taken at once, as those of the loading are. The stations live in the
// database "stn". A build stopped after its index was made (in the statistics) is made whole
// by the next one.
struct LazyIndex {
    const char* pieces[2];
    const char* create;
    bool neededBy(const QString& sql) const
    {
        return std::all_of(std::begin(pieces), std::end(pieces), [&](const char* p) {
            return !p || sql.contains(QLatin1String(p), Qt::CaseInsensitive);
        });
    }
};
const LazyIndex kLazyIndexes[] = {
    {{"WHERE KodStn = ", nullptr}, "CREATE INDEX IF NOT EXISTS stn.ixStnKod ON Stn(KodStn)"},
    {{"Order by NazStn", nullptr}, "CREATE INDEX IF NOT EXISTS stn.ixStnNaz ON Stn(NazStn, KodDor, StnX, StnY, TipStn, StnBranch, KodStn);"
                                   "ANALYZE stn.ixStnNaz"},
    {{"Peregon", "WHERE"}, "CREATE INDEX IF NOT EXISTS main.ixPer2 ON Peregon(KodDor, Stn2X, Stn2Y, Stn1X, Stn1Y, KodStn1, KodStn2, LenPer, RL, EL);"
                           "ANALYZE main.ixPer2"},
};

QString lastError(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

// A database in this process's memory that other connections of the process open by the
// same name: "file:/zdnet-7-stn?vfs=memdb". It lasts as long as one of them has it open.
QString sharedMemoryUri(const char* part)
{
    static std::atomic<int> serial{0};
    return QStringLiteral("file:/zdnet-%1-%2?vfs=memdb").arg(++serial).arg(QLatin1String(part));
}

// Such a database stops growing at 1 GiB unless told otherwise; a network is bounded by the
// memory of the machine instead.
void liftSizeLimit(sqlite3* db, const char* schemaName)
{
    sqlite3_int64 limit = std::numeric_limits<sqlite3_int64>::max() / 2;
    sqlite3_file_control(db, schemaName, SQLITE_FCNTL_SIZE_LIMIT, &limit);
}

Expected<> exec(sqlite3* db, const QString& sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg) == SQLITE_OK) return {};
    DbError e{QString(), msg ? QString::fromUtf8(msg) : lastError(db)};
    sqlite3_free(msg);
    return e;
}

// Names as they stand in the source, found case-insensitively: table, then columns.
// Only stored tables count: a view is a query the file brings along, and one that never
// ends (a recursive one) would hold the start-up forever.
QString sourceTable(sqlite3* db, const char* wanted)
{
    sqlite3_stmt* st = nullptr;
    QString found;
    if (sqlite3_prepare_v2(db, "SELECT name FROM src.sqlite_master WHERE type = 'table' "
                               "AND lower(name) = lower(?1)", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, wanted, -1, SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW)
            found = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    return found;
}

Expected<QStringList> sourceColumns(sqlite3* db, const QString& table)
{
    QStringList cols;
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = ("PRAGMA src.table_info(" + quoteIdent(table) + ")").toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) return DbError{{}, lastError(db)};
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        cols << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return DbError{{}, lastError(db)};
    return cols;
}

QString findColumn(const QStringList& cols, const char* wanted)
{
    for (const QString& c : cols)
        if (c.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) return c;
    return {};
}

DbError unreadable(const schema::Table& t, const QString& why)
{
    return DbError{{}, QStringLiteral("таблица %1 не читается: %2").arg(QLatin1String(t.name), why)};
}

// Creates one table of the fixed schema and copies the source rows into it, each value
// through the function that brings it into the column's kind.
// The rows a table of the source holds, for the progress; 0 when it cannot be told.
long long sourceRows(sqlite3* db, const QString& src)
{
    sqlite3_stmt* st = nullptr;
    long long n = 0;
    const QByteArray sql = ("SELECT count(*) FROM src." + quoteIdent(src)).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// ZdRowDone(): true, counting one row copied for the progress.
void rowDoneFunc(sqlite3_context* ctx, int, sqlite3_value**)
{
    static_cast<LoadProgress*>(sqlite3_user_data(ctx))->rowDone();
    sqlite3_result_int(ctx, 1);
}

// A long statement stops when the load is cancelled: SQLite checks every few thousand
// steps and ends it with SQLITE_INTERRUPT.
int stopWhenCancelled(void* progress) { return static_cast<LoadProgress*>(progress)->cancelled() ? 1 : 0; }

void watchProgress(sqlite3* db, LoadProgress* progress)
{
    if (!progress) return;
    sqlite3_create_function(db, "ZdRowDone", 0, SQLITE_UTF8, progress, rowDoneFunc, nullptr, nullptr);
    sqlite3_progress_handler(db, 20000, stopWhenCancelled, progress);
}

void unwatchProgress(sqlite3* db, LoadProgress* progress)
{
    if (!progress) return;
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    sqlite3_create_function(db, "ZdRowDone", 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr);
}

Expected<> copyTable(sqlite3* db, const schema::Table& t, LoadProgress* progress)
{
    const QString src = sourceTable(db, t.name);
    if (src.isEmpty()) return DbError{{}, QStringLiteral("нет таблицы %1").arg(QLatin1String(t.name))};
    Expected<QStringList> cols = sourceColumns(db, src);
    if (!cols) return unreadable(t, cols.error().cause);

    QStringList defs, targets, exprs;
    for (const schema::Column& c : t.columns) {
        const QString s = findColumn(*cols, c.name);
        if (s.isEmpty())
            return DbError{{}, QStringLiteral("в таблице %1 нет столбца %2").arg(QLatin1String(t.name), QLatin1String(c.name))};
        defs << QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.loadedType()));
        targets << QLatin1String(c.name);
        exprs << QStringLiteral("%1(%2)").arg(QLatin1String(c.text() ? "ZdText" : "ZdNum"), quoteIdent(s));
    }
    const QString create = QStringLiteral("CREATE TABLE main.%1 (%2)").arg(QLatin1String(t.name), defs.join(u", "));
    QString copy = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM src.%4")
                       .arg(QLatin1String(t.name), targets.join(u", "), exprs.join(u", "), quoteIdent(src));
    if (progress) {
        progress->beginTable(t.name, sourceRows(db, src));
        copy += QStringLiteral(" WHERE ZdRowDone()");
    }
    for (const QString& sql : {create, copy})
        if (auto done = exec(db, sql); !done) return unreadable(t, done.error().cause);
    return {};
}

// SQLite's sorter serves queries (ORDER BY) and index builds, which want different things
// of it; the length of its runs follows the cache size of the connection's main database.
// A query's rows are sorted in one block of memory of up to 512 MiB: a million stations'
// rows without a million allocations, whose freeing one by one left the allocator a stall of
// a fifth of a second at the window's next large request. An index's keys are spilled in
// runs of 2 MiB to temporary files, which the system keeps in its page cache, and helper
// threads sort and merge the runs while the first reads on: a third less time on a large
// network. The network's main database is in memory, so its cache size bounds nothing else.
const char* const kQuerySorting = "PRAGMA temp_store = FILE; PRAGMA cache_size = -524288";
const char* const kIndexSorting = "PRAGMA temp_store = FILE; PRAGMA cache_size = -2000";

// Builds an index; where no temporary file can be made, its keys are sorted in memory.
Expected<> buildIndex(sqlite3* db, const QString& create)
{
    (void)exec(db, QLatin1String(kIndexSorting));
    Expected<> done = exec(db, create);
    const int rc = sqlite3_errcode(db);
    if (!done && (rc == SQLITE_CANTOPEN || rc == SQLITE_FULL || (rc & 0xff) == SQLITE_IOERR)) {
        (void)exec(db, QStringLiteral("PRAGMA temp_store = MEMORY"));
        done = exec(db, create);
    }
    (void)exec(db, QLatin1String(kQuerySorting));
    return done;
}

// Attaches the network file as "src" and gives the URI by which a second connection opens
// it too: the file itself, or the database in memory an Access file is read into.
Expected<QString> attachSource(sqlite3* db, const QString& path, const QByteArray& format, const OpenOptions& options)
{
    if (format == "sqlite") {
        // The file system's own VFS by name: a database attached without one is opened by
        // the VFS of the connection's main database, which for the stations' copy is memdb.
        const QString uri = QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/"))
                          + QStringLiteral("?mode=ro&immutable=1&vfs=")
                          + QString::fromUtf8(sqlite3_vfs_find(nullptr)->zName);
        auto done = exec(db, QStringLiteral("ATTACH DATABASE %1 AS src").arg(quoted(uri)));
        if (!done) return DbError{{}, QStringLiteral("файл SQLite не открывается: ") + done.error().cause};
        return uri;
    }
    const QString uri = sharedMemoryUri("src");
    if (auto done = exec(db, QStringLiteral("ATTACH DATABASE %1 AS src").arg(quoted(uri))); !done) return done.error();
    liftSizeLimit(db, "src");
    auto imported = importAccess(path, db, QStringLiteral("src"),
                                 {QStringLiteral("Stn"), QStringLiteral("Peregon"), QStringLiteral("Doroga"),
                                  QStringLiteral("Contry")},
                                 options.jet3Charset, options.progress);
    if (!imported) return imported.error();
    return uri;
}

// The stations are copied on a second connection, into a database of their own in the
// process's memory, while the loading thread copies the other tables: the two halves take
// about as long. The network's connection then attaches that database as "stn", and the
// queries find Stn there by its plain name.
class StationCopy {
public:
    StationCopy(QString sourceUri, LoadProgress* progress)
        : m_source(std::move(sourceUri)), m_target(sharedMemoryUri("stn")), m_progress(progress),
          m_thread([this] { m_result = copy(); })
    {}
    ~StationCopy()
    {
        abandon();
        finish();
    }
    // The loading has failed elsewhere: the copy stops at its next check once the stations'
    // rows are in, for a fault of theirs is the one to tell.
    void abandon() { m_abandoned = true; }
    // Waits for the copy and attaches its database to db. A copy stopped by abandon() ends
    // with an error marked as interrupted.
    Expected<> attachTo(sqlite3* db)
    {
        if (m_thread.joinable()) m_thread.join();
        Expected<> done = m_result;
        if (done) done = exec(db, QStringLiteral("ATTACH DATABASE %1 AS stn").arg(quoted(m_target)));
        finish();
        return done;
    }

private:
    // Waits for the copy and closes its connection: the database lives on only if attached.
    void finish()
    {
        if (m_thread.joinable()) m_thread.join();
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    static int stopCopy(void* self)
    {
        auto* c = static_cast<StationCopy*>(self);
        return (c->m_abandoned && c->m_copied) || (c->m_progress && c->m_progress->cancelled()) ? 1 : 0;
    }
    Expected<> copy()
    {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(m_target.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK)
            return DbError{{}, QStringLiteral("нет памяти для базы данных")};
        liftSizeLimit(m_db, "main");
        if (!registerSqlFunctions(m_db)) return DbError{{}, lastError(m_db)};
        sqlite3_progress_handler(m_db, 20000, stopCopy, this);
        Expected<> done = copyStations();
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        if (!done && m_abandoned && m_copied) return DbError{{}, done.error().cause, true};
        return done;
    }
    Expected<> copyStations()
    {
        for (const char* pragma : {"PRAGMA journal_mode = OFF", "PRAGMA threads = 2"})
            (void)exec(m_db, QLatin1String(pragma));
        if (auto done = exec(m_db, QStringLiteral("ATTACH DATABASE %1 AS src").arg(quoted(m_source))); !done)
            return done;
        (void)exec(m_db, QStringLiteral("BEGIN"));
        if (auto done = copyTable(m_db, schema::tables().front(), nullptr); !done) return done;
        (void)exec(m_db, QStringLiteral("COMMIT"));
        (void)exec(m_db, QStringLiteral("DETACH DATABASE src"));
        m_copied = true;
        return buildIndex(m_db, QLatin1String(kStationIndex));
    }

    const QString m_source, m_target;
    LoadProgress* const m_progress;
    sqlite3* m_db = nullptr;
    std::atomic<bool> m_abandoned{false}, m_copied{false};
    Expected<> m_result;
    std::thread m_thread;
};

// Peregon, Doroga and Contry into the network's own database, with their indexes.
Expected<> copyOtherTables(sqlite3* db, const OpenOptions& options)
{
    (void)exec(db, QStringLiteral("BEGIN"));
    for (const schema::Table& t : schema::tables())
        if (&t != &schema::tables().front())
            if (auto done = copyTable(db, t, options.progress); !done) return done;
    (void)exec(db, QStringLiteral("COMMIT"));
    (void)exec(db, QStringLiteral("DETACH DATABASE src"));
    if (options.progress) options.progress->beginIndexes(int(std::size(kIndexes)) + 1);
    for (const char* ix : kIndexes) {
        if (auto done = buildIndex(db, QLatin1String(ix)); !done) return done;
        if (options.progress) options.progress->indexDone();
    }
    return {};
}

Expected<> copyNetwork(sqlite3* db, const QString& path, const QByteArray& format, const OpenOptions& options)
{
    Expected<QString> source = attachSource(db, path, format, options);
    if (!source) return source.error();
    (void)exec(db, QLatin1String(kQuerySorting));
    (void)exec(db, QStringLiteral("PRAGMA threads = 2"));
    StationCopy stations(*source, options.progress);
    Expected<> others = copyOtherTables(db, options);
    if (!others) stations.abandon();
    // Of two faults, the stations' is the one a copy of the tables in their order meets first.
    if (auto done = stations.attachTo(db); !done && !(done.error().interrupted && !others)) return done;
    if (!others) return others;
    if (options.progress) options.progress->indexDone();
    // Statistics from a sample of each index are enough for the planner to tell the
    // indexes apart, and take a fraction of the time of a full pass on a large network.
    // A sample of 1000 rows counts a railway's stations as about a thousand on any large
    // network, and the station list is then sorted anew rather than read in name order.
    (void)exec(db, QStringLiteral("PRAGMA analysis_limit = 20000"));
    (void)exec(db, QStringLiteral("ANALYZE"));
    return {};
}

// A cancelled load ends with the one cause, whatever statement it stopped.
Expected<> buildNetwork(sqlite3* db, const QString& path, const QByteArray& format, const OpenOptions& options)
{
    watchProgress(db, options.progress);
    Expected<> built = copyNetwork(db, path, format, options);
    unwatchProgress(db, options.progress);
    if (options.progress && options.progress->cancelled()) return DbError{{}, kLoadCancelled};
    return built;
}

} // namespace

QByteArray databaseFormat(const QByteArray& head)
{
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return "sqlite";
    if (looksLikeAccess(head)) return "access";
    return {};
}

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path))
{
    for (int i = 0; i < int(std::size(kLazyIndexes)); ++i) m_unbuilt.push_back(i);
}

Database::~Database()
{
    settle();
    sqlite3_close(m_db);
}

// With a hook, each build runs on the helper thread while the hook is asked, and one that
// says stop ends it: the index is then built anew by the next query that needs it.
DbError Database::stoppedByHook() const { return DbError{m_path, QStringLiteral("запрос прерван"), true}; }

Expected<> Database::buildNeededIndexes(const QString& sql, const StepHook& hook) const
{
    std::vector<int> needed;
    std::copy_if(m_unbuilt.begin(), m_unbuilt.end(), std::back_inserter(needed),
                 [&](int i) { return kLazyIndexes[i].neededBy(sql); });
    for (const int i : needed) {
        // A query made from the hook meanwhile may have built it.
        if (std::find(m_unbuilt.begin(), m_unbuilt.end(), i) == m_unbuilt.end()) continue;
        Expected<> built;
        const auto build = [&] {
            built = buildIndex(m_db, QLatin1String(kLazyIndexes[i].create));
            return built ? SQLITE_OK : SQLITE_ERROR;
        };
        if ((hook ? answering(build, hook) : build()) == SQLITE_INTERRUPT) return stoppedByHook();
        if (!built) return DbError{m_path, built.error().cause};
        std::erase(m_unbuilt, i);
    }
    return {};
}

Expected<QStringList> Database::queryPlan(const QString& sql) const
{
    // The plan's text holds the query's, so the query builds the indexes the plan would use.
    Expected<RowSet> plan = query(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    if (!plan) return plan.error();
    QStringList steps;
    const int detail = plan->column(u"detail");
    for (plan->moveFirst(); !plan->eof(); plan->moveNext()) steps << plan->text(detail);
    return steps;
}

Expected<std::shared_ptr<Database>> Database::open(const QString& path, const OpenOptions& options)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (!QFileInfo(path).isFile()) return DbError{shown, QStringLiteral("файл не найден")};
    if (!file.open(QIODevice::ReadOnly)) return DbError{shown, QStringLiteral("файл не читается: ") + file.errorString()};
    const QByteArray format = databaseFormat(file.read(4096));
    file.close();
    if (format.isEmpty())
        return DbError{shown, QStringLiteral("файл не является базой данных Access или SQLite 3")};

    sqlite3* db = nullptr;
    // One thread uses the connection: no mutex around every call of the row loops.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(":memory:", &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return DbError{shown, QStringLiteral("нет памяти для базы данных")};
    }
    std::shared_ptr<Database> result(new Database(db, shown));
    if (!registerSqlFunctions(db)) return DbError{shown, lastError(db)};
    if (auto built = buildNetwork(db, path, format, options); !built) return DbError{shown, built.error().cause};
    return result;
}

// Runs work on the helper thread, asking the hook every 20 ms meanwhile; one that says stop
// interrupts it. A query made from the hook waits for the work (settle).
int Database::answering(const std::function<int()>& work, const StepHook& hook) const
{
    const std::shared_future<int> done = std::async(std::launch::async, work).share();
    m_step = done;
    bool stopped = false;
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (!stopped && !hook()) {
            stopped = true;
            sqlite3_interrupt(m_db);
        }
    const int rc = done.get();
    m_step = {};
    return stopped ? SQLITE_INTERRUPT : rc;
}

Expected<RowSet> Database::query(const QString& sql, RowSet* storage, const StepHook& hook) const
{
    if (std::optional<Expected<RowSet>> ahead = takeReadAhead(sql); ahead && *ahead) return std::move(**ahead);
    settle();
    ++m_querying;
    Expected<RowSet> rows = run(sql, storage, hook, false);
    --m_querying;
    return rows;
}

Expected<RowSet> Database::run(const QString& sql, RowSet* storage, const StepHook& hook, bool readingAhead) const
{
    // On the window's thread a long build or first step runs on the helper thread while the
    // hook is asked; a reading ahead is on the helper thread already.
    const StepHook answer = readingAhead ? StepHook() : hook;
    if (!m_unbuilt.empty()) {
        const size_t unbuilt = m_unbuilt.size();
        if (auto built = buildNeededIndexes(sql, answer); !built) return built.error();
        if (!readingAhead && m_unbuilt.size() != unbuilt) m_ahead = {};
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &st, nullptr) != SQLITE_OK) {
        QString e = lastError(m_db);
        sqlite3_finalize(st);
        return DbError{m_path, QStringLiteral("ошибка запроса: %1\n%2").arg(e, sql)};
    }
    int rc = answer ? answering([st] { return sqlite3_step(st); }, answer) : 0;
    RowSet rs = RowSet::fromStatement(st, &rc, storage, hook);
    sqlite3_finalize(st);
    if (rc == SQLITE_INTERRUPT && hook) return stoppedByHook();
    if (rc != SQLITE_DONE) return DbError{m_path, QStringLiteral("ошибка запроса: %1\n%2").arg(lastError(m_db), sql)};
    return rs;
}

// The helper thread has the connection to itself until the reading ends: every use of it
// here waits for that first (settle). A progress handler stops it between the steps of
// any statement, the index build a first need may start included.
void Database::readAhead(const QString& sql) const
{
    if (m_querying > 0 || (m_ahead.rows.valid() && m_ahead.sql == sql)) return;
    settle();
    m_ahead = {};
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_ahead.sql = sql;
    m_ahead.stop = stop;
    m_ahead.rows = std::async(std::launch::async, [this, sql, stop] {
        sqlite3_progress_handler(m_db, 1000, [](void* s) { return static_cast<std::atomic<bool>*>(s)->load() ? 1 : 0; },
                                 stop.get());
        Expected<RowSet> rows = run(sql, nullptr, [stop] { return !stop->load(); }, true);
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        return rows;
    });
}

Database::Ahead Database::readAheadState(const QString& sql) const
{
    if (!m_ahead.rows.valid() || m_ahead.sql != sql) return Ahead::None;
    return m_ahead.rows.wait_for(std::chrono::seconds(0)) == std::future_status::ready ? Ahead::Read : Ahead::Reading;
}

std::optional<Expected<RowSet>> Database::takeReadAhead(const QString& sql) const
{
    if (!m_ahead.rows.valid() || m_ahead.sql != sql) return std::nullopt;
    Expected<RowSet> rows = m_ahead.rows.get();
    m_ahead = {};
    return rows;
}

void Database::stopReadAhead() const
{
    if (!m_ahead.rows.valid()) return;
    if (m_ahead.rows.wait_for(std::chrono::seconds(0)) == std::future_status::ready) return;
    m_ahead.stop->store(true);
    sqlite3_interrupt(m_db);
    m_ahead.rows.wait();
    m_ahead = {};
}

void Database::settle() const
{
    stopReadAhead();
    if (m_step.valid()) m_step.wait();
}

} // namespace zd
