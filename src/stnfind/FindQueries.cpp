#include "stnfind/FindQueries.h"

#include "data/Queries.h"

namespace zd {

namespace {
QString n(std::int32_t v) { return QString::number(v); }

QString areaClause(int area)
{
    switch (area) {
    case 1: return QStringLiteral(" AND Stn.TipStn = 9  ");
    case 2: return QStringLiteral(" AND Stn.TipStn = 8 ");
    case 3: return QStringLiteral(" AND Stn.TipStn = 7  ");
    default: return QString();
    }
}
} // namespace

QString listStnSql(int area, const QString& rusFilter)
{
    return QStringLiteral("SELECT Stn.KodStn, Stn.NazStn, Stn.StnX, Stn.StnY,Stn.KodDor, Stn.TipStn, Stn.StnBranch,"
                          "Doroga.KodDor,Doroga.KodContry FROM Stn, Doroga  WHERE ")
        + QStringLiteral("Stn.KodDor = Doroga.KodDor ") + areaClause(area) + rusFilter
        + QStringLiteral(" Order by ") + QStringLiteral("NazStn");
}

QString zoneStationsSql(const Zone& z, const QString& rusFilter)
{
    return QStringLiteral("SELECT  KodStn, NazStn, StnX, StnY,Stn.KodDor,TipStn,StnBranch, Doroga.KodDor,"
                          "Doroga.KodContry  FROM Stn, Doroga WHERE Stn.KodDor = Doroga.KodDor ")
        + QStringLiteral(" AND ( (StnX BETWEEN ") + n(z.x1) + QStringLiteral(" AND ") + n(z.x2)
        + QStringLiteral(") AND (StnY BETWEEN ") + n(z.y1) + QStringLiteral(" AND ") + n(z.y2)
        + QStringLiteral("))") + rusFilter;
}

QString zoneSectionsSql(const Zone& z, const QString& rusFilter)
{
    return QStringLiteral("SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, RL, EL,Peregon.KodDor, "
                          "Doroga.KodDor, Doroga.KodContry  FROM Peregon, Doroga WHERE  Peregon.KodDor = "
                          "Doroga.KodDor  AND ")
        + QStringLiteral("(") + QStringLiteral("  (Stn1X BETWEEN ") + n(z.x1) + QStringLiteral(" AND ") + n(z.x2)
        + QStringLiteral(") AND (Stn1Y BETWEEN ") + n(z.y1) + QStringLiteral(" AND ") + n(z.y2) + QStringLiteral(")")
        + QStringLiteral(" OR (Stn2X BETWEEN ") + n(z.x1) + QStringLiteral(" AND ") + n(z.x2)
        + QStringLiteral(") AND (Stn2Y BETWEEN ") + n(z.y1) + QStringLiteral(" AND ") + n(z.y2) + QStringLiteral(")")
        + QStringLiteral(")") + rusFilter;
}

QString dorCriteria(const QString& kodDor) { return QStringLiteral("KodDor = ") + quoted(kodDor); }

} // namespace zd
