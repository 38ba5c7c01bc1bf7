#include "data/LoadProgress.h"

#include "data/Schema.h"

#include <QLocale>
#include <cstring>

namespace zd {

void LoadProgress::beginTable(const char* table, long long totalRows)
{
    int index = -1;
    const auto& tables = schema::tables();
    for (size_t i = 0; i < tables.size(); ++i)
        if (qstricmp(tables[i].name, table) == 0) index = static_cast<int>(i);
    m_row = 0;
    m_total = totalRows;
    m_table = index;
    m_phase = Phase::Rows;
}

void LoadProgress::beginIndexes(int count)
{
    m_row = 0;
    m_total = count;
    m_phase = Phase::Indexes;
}

QString LoadProgress::text() const
{
    const QLocale ru(QLocale::Russian);
    const QString of = QStringLiteral("%1 из %2").arg(ru.toString(row()), ru.toString(total()));
    switch (phase()) {
    case Phase::Opening: return QStringLiteral("Загрузка сети: открытие файла");
    case Phase::Indexes: return QStringLiteral("Загрузка сети: индексы, ") + of;
    case Phase::Rows: break;
    }
    const int t = m_table.load();
    const QString name = t >= 0 ? QLatin1String(schema::tables()[size_t(t)].name) : QStringLiteral("таблица");
    return QStringLiteral("Загрузка сети: %1 %2").arg(name, of);
}

} // namespace zd
