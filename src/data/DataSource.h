#pragma once
// A data source: a database, a record source (a table name or an SQL text) and the row
// set that the last refresh opened.
#include "data/Database.h"
#include "data/RowSet.h"

#include <memory>

namespace zd {

class DataSource {
public:
    void setDatabase(std::shared_ptr<Database> db) { m_db = std::move(db); }
    const std::shared_ptr<Database>& database() const { return m_db; }
    QString databaseName() const { return m_db ? m_db->path() : QString(); }

    void setRecordSource(const QString& source) { m_source = source; }
    const QString& recordSource() const { return m_source; }

    // (Re)opens the record source. On failure the old rows are dropped. A table's rows
    // are only checked to be there: they are read when rows() is first asked for.
    // The hook is asked while the rows of a query are read; stopping fails the refresh.
    Expected<> refresh(const StepHook& hook = {});
    // Gives the data source a record source and opens it.
    Expected<> open(const QString& source, const StepHook& hook = {})
    {
        setRecordSource(source);
        return refresh(hook);
    }

    RowSet& rows() { return readRows(); }
    const RowSet& rows() const { return readRows(); }
    // The row set that rows() gives, without reading a table's rows not read yet: for
    // keeping its address.
    RowSet* rowSet() { return &m_rows; }
    bool rowsRead() const { return m_unread.isEmpty(); }

private:
    RowSet& readRows() const;

    std::shared_ptr<Database> m_db;
    QString m_source;
    mutable RowSet m_rows;
    mutable QString m_unread;   // the query of the rows not read yet
};


} // namespace zd
