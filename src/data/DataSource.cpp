#include "data/DataSource.h"

#include <QRegularExpression>
#include <utility>

namespace zd {

namespace {
bool isTableName(const QString& source)
{
    static const QRegularExpression ident(QStringLiteral("^\\s*[A-Za-z_][A-Za-z0-9_]*\\s*$"));
    return ident.match(source).hasMatch();
}
} // namespace

Expected<> DataSource::refresh(const StepHook& hook)
{
    RowSet old = std::exchange(m_rows, RowSet());
    m_unread.clear();
    if (!m_db) return DbError{QString(), QStringLiteral("источник данных не связан с базой данных")};
    if (isTableName(m_source)) {
        const QString sql = QStringLiteral("SELECT * FROM ") + m_source.trimmed();
        // A query of no row prepares the same text, so that a missing table fails here.
        if (auto none = m_db->query(sql + QStringLiteral(" LIMIT 0")); !none) return none.error();
        m_unread = sql;
        return {};
    }
    Expected<RowSet> rs = m_db->query(m_source, &old, hook);
    if (!rs) return rs.error();
    m_rows = std::move(rs.value());
    return {};
}

RowSet& DataSource::readRows() const
{
    if (m_unread.isEmpty()) return m_rows;
    const QString sql = std::exchange(m_unread, QString());
    // The table was there when the source was opened, in a database that no one changes.
    if (Expected<RowSet> rs = m_db->query(sql); rs) m_rows = std::move(rs.value());
    return m_rows;
}

} // namespace zd
