#pragma once
// The network database: ZdShort.mdb (an Access or an SQLite 3 file) copied at opening
// into an in-memory SQLite database with one fixed schema. The file itself is only read.
#include "data/DbError.h"
#include "data/RowSet.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zd {


class LoadProgress;

struct OpenOptions {
    QByteArray jet3Charset = "CP1251";   // code page of Jet3 (Access 97) text
    LoadProgress* progress = nullptr;    // rows and indexes done, and the request to stop
};

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static Expected<std::shared_ptr<Database>> open(const QString& path, const OpenOptions& options = {});

    // Runs one SELECT and materialises its rows, in the memory of storage when given. A hook
    // that says stop ends the reading with an error marked as interrupted. With a hook, the
    // first step, in which SQLite sorts all the rows of an ORDER BY, runs on a helper thread
    // while this one asks the hook every 20 ms; a query made meanwhile, from what the hook
    // runs, waits for that step.
    Expected<RowSet> query(const QString& sql, RowSet* storage = nullptr, const StepHook& hook = {}) const;

    // Reads the rows of sql on a helper thread while this one goes on: the next query() of
    // the same text takes them, waiting for the end if need be, as it would have read them.
    // Any other use of the connection stops the reading first; the rows are then read when
    // asked for. Rows read ahead are dropped when an index is built after them.
    // Nothing is started from inside a query (an event its hook lets through).
    void readAhead(const QString& sql) const;
    enum class Ahead { None, Reading, Read };
    // Where the reading ahead of sql is: none (never asked for, stopped or taken), under
    // way, or done and waiting for its query.
    Ahead readAheadState(const QString& sql) const;

    // The plan SQLite chooses for a query: one line per step ("SEARCH Stn USING INDEX …").
    // Builds first the indexes the query would use when they are built on first need.
    Expected<QStringList> queryPlan(const QString& sql) const;

    const QString& path() const { return m_path; }
    // The connection, once no query's step is running on the helper thread.
    sqlite3* handle() const
    {
        settle();
        return m_db;
    }

private:
    Database(sqlite3* db, QString path);
    Expected<> buildNeededIndexes(const QString& sql, const StepHook& hook) const;
    // The error of a query whose hook said stop.
    DbError stoppedByHook() const;
    int answering(const std::function<int()>& work, const StepHook& hook) const;
    Expected<RowSet> run(const QString& sql, RowSet* storage, const StepHook& hook, bool readingAhead) const;
    std::optional<Expected<RowSet>> takeReadAhead(const QString& sql) const;
    void stopReadAhead() const;
    // Waits for whatever runs on the helper thread, stopping a reading ahead.
    void settle() const;

    struct ReadAhead {
        QString sql;
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<Expected<RowSet>> rows;
    };

    sqlite3* m_db;
    QString m_path;
    mutable std::vector<int> m_unbuilt;   // the indexes built on first need, not yet built
    mutable std::shared_future<int> m_step;   // a first step or an index build running on the helper thread
    mutable ReadAhead m_ahead;
    mutable int m_querying = 0;   // queries under way on this thread, one inside another's hook
};

// The name of the file format judged by its first bytes: "sqlite", "access" or "".
QByteArray databaseFormat(const QByteArray& head);

} // namespace zd
