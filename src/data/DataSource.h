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

    // (Re)opens the record source. On failure the old rows are dropped.
    Expected<> refresh();
    // Gives the data source a record source and opens it.
    Expected<> open(const QString& source)
    {
        setRecordSource(source);
        return refresh();
    }

    RowSet& rows() { return m_rows; }
    const RowSet& rows() const { return m_rows; }

private:
    std::shared_ptr<Database> m_db;
    QString m_source;
    RowSet m_rows;
};

} // namespace zd
