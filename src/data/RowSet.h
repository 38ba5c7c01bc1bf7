#pragma once
// A materialised query result: rows read once from SQLite, then walked with a
// current row, bookmarks and field look-up by column name.
#include "data/GrowBuffer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <functional>

struct sqlite3_stmt;

namespace zd {

// Asked every few hundred rows while a query's rows are read: false stops the reading.
using StepHook = std::function<bool()>;

class RowSet {
public:
    RowSet() = default;

    // Reads every row of a prepared statement. Columns that two joined tables share are
    // named "Table.Column"; every other column by its plain name. The rows are read into
    // the memory of storage (a row set no longer needed), which saves growing it anew.
    // When the hook says stop, the step result is SQLITE_INTERRUPT. A step result other
    // than 0 given in stepResult is that of a first step already taken.
    static RowSet fromStatement(sqlite3_stmt* stmt, int* stepResult, RowSet* storage = nullptr,
                                const StepHook& hook = {});

    int recordCount() const { return m_rows; }
    int columnCount() const { return static_cast<int>(m_names.size()); }
    const QStringList& columnNames() const { return m_names; }

    bool eof() const { return m_pos >= m_rows; }
    void moveFirst() { m_pos = 0; }
    void moveNext() { if (m_pos < m_rows) ++m_pos; }
    void moveLast() { m_pos = m_rows > 0 ? m_rows - 1 : 0; }
    int bookmark() const { return m_pos; }
    void setBookmark(int row) { m_pos = (row >= 0 && row <= m_rows) ? row : m_rows; }

    // Column index by name, case-insensitive; "Table.Column" or a plain name; -1 if none.
    int column(QStringView name) const;

    // Values of the current row (or of a given row). A missing column or row reads NULL.
    bool isNull(int col) const { return isNullAt(m_pos, col); }
    bool isNullAt(int row, int col) const;
    double number(int col) const { return numberAt(m_pos, col); }   // NULL and text read via Val
    double numberAt(int row, int col) const;
    QString text(int col) const { return textAt(m_pos, col); }      // numbers as decimal text
    QString textAt(int row, int col) const;
    // The UTF-8 bytes of a text cell, without a copy; empty for other cells. Valid while
    // the row set lives.
    QByteArrayView utf8At(int row, int col) const;
    QVariant value(int col) const;
    QVariant field(QStringView name) const { return value(column(name)); }

    // Moves to the first row meeting "Column = 'value'" (text compared case-insensitively);
    // returns false and leaves the row as it was when none does or the criteria are malformed.
    bool findFirst(QStringView criteria);
    bool noMatch() const { return m_noMatch; }

private:
    enum Type : std::uint8_t { Null, Integer, Real, Text };
    struct Cell {
        Type type = Null;
        std::uint32_t len = 0;
        union { double real; std::int64_t integer; std::uint32_t offset; };
        Cell() : integer(0) {}
    };
    const Cell* cell(int row, int col) const;

    QStringList m_names;     // as reported to callers
    QStringList m_plain;     // column names without table
    QStringList m_tables;    // source table of each column
    GrowBuffer<Cell> m_cells;
    GrowBuffer<char> m_text;   // UTF-8 of every text cell
    int m_rows = 0;
    int m_pos = 0;
    bool m_noMatch = false;
};

} // namespace zd
