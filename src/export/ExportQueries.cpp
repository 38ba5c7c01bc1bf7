#include "export/ExportQueries.h"

namespace zd {

namespace {
QString n(std::int64_t v) { return QString::number(v); }

QString between(const char* column, std::int32_t from, std::int32_t to)
{
    return QStringLiteral("(") + QLatin1String(column) + QStringLiteral(" BETWEEN ") + n(from) + QStringLiteral(" AND ")
        + n(to) + QStringLiteral(")");
}

QString country(bool russia) { return russia ? QStringLiteral("'11'") : QStringLiteral("'00'"); }
} // namespace

QString networkLengthsSql() { return QStringLiteral("SELECT Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer FROM Peregon"); }

QString legendStationSql(std::int32_t x, std::int32_t y, std::int16_t tip, bool russia)
{
    return QStringLiteral("SELECT ") + n(x) + QStringLiteral(" AS StnX, ") + n(y) + QStringLiteral(" AS StnY, ") + n(tip)
        + QStringLiteral(" AS TipStn, ") + country(russia) + QStringLiteral(" AS KodContry");
}

QString legendSectionSql(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, bool russia)
{
    return QStringLiteral("SELECT ") + n(x1) + QStringLiteral(" AS Stn1X, ") + n(y1) + QStringLiteral(" AS Stn1Y, ")
        + n(x2) + QStringLiteral(" AS Stn2X, ") + n(y2) + QStringLiteral(" AS Stn2Y, ") + country(russia)
        + QStringLiteral(" AS KodContry");
}

QString statsSectionsSql(const StatsScope& s)
{
    const FrameBounds& f = s.frame;
    const QString where = s.kind == StatsScope::Railway
        ? QStringLiteral("KodDor = ") + quoted(s.kodDor)
        : QStringLiteral("(") + between("Stn1X", f.x1, f.x2) + QStringLiteral(" AND ") + between("Stn1Y", f.y1, f.y2)
            + QStringLiteral(" OR ") + between("Stn2X", f.x1, f.x2) + QStringLiteral(" AND ") + between("Stn2Y", f.y1, f.y2)
            + QStringLiteral(")");
    return QStringLiteral("SELECT KodDor, EL, RL, LenPer FROM Peregon NOT INDEXED WHERE ") + where;
}

QString statsStationsSql(const StatsScope& s)
{
    const FrameBounds& f = s.frame;
    const QString where = s.kind == StatsScope::Railway
        ? QStringLiteral("KodDor = ") + quoted(s.kodDor)
        : between("StnX", f.x1, f.x2) + QStringLiteral(" AND ") + between("StnY", f.y1, f.y2);
    return QStringLiteral("SELECT KodDor, TipStn, StnBranch FROM Stn NOT INDEXED WHERE ") + where;
}

QString statsRailwaysSql() { return QStringLiteral("SELECT KodDor, NazDor, KodContry FROM Doroga"); }
QString statsCountriesSql() { return QStringLiteral("SELECT KodContry, NazContry FROM Contry"); }

} // namespace zd
