#include "Cli.h"

#include <cstdio>

namespace zd::cli {

std::optional<QString> Args::take(const QString& name)
{
    std::optional<QString> value;
    const QString eq = name + u'=';
    for (int i = 0; i < m_args.size();) {
        if (m_args[i] == name) {
            if (i + 1 >= m_args.size()) {
                m_missing = true;
                m_args.removeAt(i);
                continue;
            }
            value = m_args[i + 1];
            m_args.remove(i, 2);
        } else if (m_args[i].startsWith(eq)) {
            value = m_args[i].mid(eq.size());
            m_args.removeAt(i);
        } else {
            ++i;
        }
    }
    return value;
}

QStringList Args::takeAll(const QString& name)
{
    QStringList values;
    const QString eq = name + u'=';
    for (int i = 0; i < m_args.size();) {
        if (m_args[i] == name && i + 1 < m_args.size()) {
            values << m_args[i + 1];
            m_args.remove(i, 2);
        } else if (m_args[i] == name) {
            m_missing = true;
            m_args.removeAt(i);
        } else if (m_args[i].startsWith(eq)) {
            values << m_args[i].mid(eq.size());
            m_args.removeAt(i);
        } else {
            ++i;
        }
    }
    return values;
}

bool Args::flag(const QString& name)
{
    const qsizetype before = m_args.size();
    m_args.removeAll(name);
    return m_args.size() != before;
}

QString Args::unknownOption() const
{
    for (const QString& a : m_args)
        if (a.startsWith(QLatin1String("--"))) return a;
    return {};
}

std::optional<Format> takeFormat(Args& args, const QStringList& allowed)
{
    const QString f = args.take(QStringLiteral("--format")).value_or(QStringLiteral("text"));
    if (!allowed.contains(f)) {
        err(QStringLiteral("Неизвестный формат вывода: %1 (допустимы: %2)").arg(f, allowed.join(QStringLiteral(", "))));
        return std::nullopt;
    }
    if (f == QLatin1String("csv")) return Format::Csv;
    if (f == QLatin1String("json")) return Format::Json;
    return Format::Text;
}

std::shared_ptr<Database> openDatabase(Args& args)
{
    const std::optional<QString> path = args.take(QStringLiteral("--db"));
    if (!path || path->isEmpty()) {
        err(QStringLiteral("Не указана база данных: --db ФАЙЛ"));
        return nullptr;
    }
    auto db = Database::open(*path);
    if (!db) {
        err(db.error().message());
        return nullptr;
    }
    return *db;
}

void out(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

void err(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

} // namespace zd::cli
