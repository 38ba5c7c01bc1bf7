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

Expected<> DataSource::refresh()
{
    RowSet old = std::exchange(m_rows, RowSet());
    if (!m_db) return DbError{QString(), QStringLiteral("источник данных не связан с базой данных")};
    const QString sql = isTableName(m_source) ? QStringLiteral("SELECT * FROM ") + m_source.trimmed() : m_source;
    Expected<RowSet> rs = m_db->query(sql, &old);
    if (!rs) return rs.error();
    m_rows = std::move(rs.value());
    return {};
}

} // namespace zd
