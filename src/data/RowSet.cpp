#include "data/RowSet.h"

#include "data/SqlFunctions.h"

#include <QHash>
#include <sqlite3.h>

namespace zd {

RowSet RowSet::fromStatement(sqlite3_stmt* stmt, int* stepResult, RowSet* storage, const StepHook& hook)
{
    RowSet rs;
    if (storage) {
        rs.m_cells = std::move(storage->m_cells);
        rs.m_cells.clear();
        rs.m_text = std::move(storage->m_text);
        rs.m_text.clear();
    }
    const int cols = sqlite3_column_count(stmt);
    QHash<QString, int> uses;
    for (int c = 0; c < cols; ++c) {
        const QString plain = QString::fromUtf8(sqlite3_column_name(stmt, c));
        const char* table = sqlite3_column_table_name(stmt, c);
        rs.m_plain << plain;
        rs.m_tables << (table ? QString::fromUtf8(table) : QString());
        uses[plain.toLower()] += 1;
    }
    for (int c = 0; c < cols; ++c) {
        const bool shared = uses.value(rs.m_plain[c].toLower()) > 1 && !rs.m_tables[c].isEmpty();
        rs.m_names << (shared ? rs.m_tables[c] + u'.' + rs.m_plain[c] : rs.m_plain[c]);
    }
    int rc = stepResult && *stepResult ? *stepResult : sqlite3_step(stmt);
    for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) {
        // The connection is used by one thread only, so the row's values are read
        // straight, without the per-call checks of the sqlite3_column_* functions.
        for (int c = 0; c < cols; ++c) {
            sqlite3_value* v = sqlite3_column_value(stmt, c);
            Cell& cell = rs.m_cells.emplace_back();
            switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER: cell.type = Integer; cell.integer = sqlite3_value_int64(v); break;
            case SQLITE_FLOAT: cell.type = Real; cell.real = sqlite3_value_double(v); break;
            case SQLITE_NULL: break;
            default: {
                const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
                if (!t) break;   // out of memory: read as NULL
                cell.type = Text;
                cell.len = static_cast<std::uint32_t>(sqlite3_value_bytes(v));
                cell.offset = static_cast<std::uint32_t>(rs.m_text.size());
                rs.m_text.append(t, cell.len);
            }
            }
        }
        ++rs.m_rows;
        if (hook && (rs.m_rows & 511) == 0 && !hook()) {
            rc = SQLITE_INTERRUPT;
            break;
        }
    }
    if (stepResult) *stepResult = rc;
    return rs;
}

int RowSet::column(QStringView name) const
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0) {
        const QStringView table = name.left(dot), col = name.mid(dot + 1);
        for (int c = 0; c < m_plain.size(); ++c)
            if (m_plain[c].compare(col, Qt::CaseInsensitive) == 0
                && m_tables[c].compare(table, Qt::CaseInsensitive) == 0)
                return c;
        return -1;
    }
    for (int c = 0; c < m_plain.size(); ++c)
        if (m_plain[c].compare(name, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

const RowSet::Cell* RowSet::cell(int row, int col) const
{
    const int cols = columnCount();
    if (row < 0 || row >= m_rows || col < 0 || col >= cols) return nullptr;
    return &m_cells[static_cast<size_t>(row) * cols + col];
}

bool RowSet::isNullAt(int row, int col) const
{
    const Cell* c = cell(row, col);
    return !c || c->type == Null;
}

double RowSet::numberAt(int row, int col) const
{
    const Cell* c = cell(row, col);
    if (!c) return 0;
    switch (c->type) {
    case Integer: return static_cast<double>(c->integer);
    case Real: return c->real;
    case Text: return accessVal(QByteArrayView(m_text.data() + c->offset, c->len));
    case Null: break;
    }
    return 0;
}

QByteArrayView RowSet::utf8At(int row, int col) const
{
    const Cell* c = cell(row, col);
    if (!c || c->type != Text) return {};
    return QByteArrayView(m_text.data() + c->offset, c->len);
}

QString RowSet::textAt(int row, int col) const
{
    const Cell* c = cell(row, col);
    if (!c) return {};
    switch (c->type) {
    case Integer: return QString::number(c->integer);
    case Real: return QString::number(c->real, 'g', 15);
    case Text: return QString::fromUtf8(m_text.data() + c->offset, c->len);
    case Null: break;
    }
    return {};
}

QVariant RowSet::value(int col) const
{
    const Cell* c = cell(m_pos, col);
    if (!c) return {};
    switch (c->type) {
    case Integer: return QVariant::fromValue<qlonglong>(c->integer);
    case Real: return c->real;
    case Text: return textAt(m_pos, col);
    case Null: break;
    }
    return {};
}

bool RowSet::findFirst(QStringView criteria)
{
    m_noMatch = true;
    const qsizetype eq = criteria.indexOf(u'=');
    if (eq < 0) return false;
    const int col = column(criteria.left(eq).trimmed());
    QStringView quoted = criteria.mid(eq + 1).trimmed();
    if (col < 0 || quoted.size() < 2 || quoted.front() != u'\'' || quoted.back() != u'\'')
        return false;
    QString wanted = quoted.mid(1, quoted.size() - 2).toString();
    wanted.replace(QStringLiteral("''"), QStringLiteral("'"));
    for (int r = 0; r < m_rows; ++r) {
        if (!isNullAt(r, col) && textAt(r, col).compare(wanted, Qt::CaseInsensitive) == 0) {
            m_pos = r;
            m_noMatch = false;
            return true;
        }
    }
    return false;
}

} // namespace zd
