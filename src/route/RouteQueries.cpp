#include "route/RouteQueries.h"

namespace zd::route {

namespace {
QString piece(const char* columns, const char* table, std::int64_t afterRowid, int limit)
{
    return QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid > %3 ORDER BY rowid LIMIT %4")
        .arg(QLatin1String(columns), QLatin1String(table))
        .arg(afterRowid)
        .arg(limit);
}
} // namespace

QString rowCountsSql() { return QStringLiteral("SELECT (SELECT count(*) FROM Stn), (SELECT count(*) FROM Peregon)"); }

QString railwaysSql() { return QStringLiteral("SELECT KodDor, NazDor, KodContry FROM Doroga ORDER BY rowid"); }

QString stationsSql(std::int64_t afterRowid, int limit)
{
    return piece("KodStn, NazStn, StnX, StnY, KodDor, TipStn", "Stn", afterRowid, limit);
}

QString sectionsSql(std::int64_t afterRowid, int limit)
{
    return piece("KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, KodDor, RL, EL", "Peregon", afterRowid, limit);
}

} // namespace zd::route
