#include "dorfind/DorQueries.h"

#include "data/Queries.h"

namespace zd {

QString findDorSql(bool russiaOnly)
{
    return QStringLiteral("SELECT KodDor, NazDor, XL, YL, XR, YR, KodCentr, NazCentr, KodContry FROM  Doroga")
        + (russiaOnly ? QStringLiteral(" WHERE  Doroga.KodContry = '11' ") : QString())
        + QStringLiteral(" Order by ") + QStringLiteral("NazDor");
}

QString centrOtdSql(const QString& kodDor, const QString& rusFilter)
{
    return QStringLiteral("SELECT Stn.KodDor, Stn.NazStn, Stn.TipStn, Doroga.KodDor, Doroga.KodContry, "
                          "Doroga.XL, Doroga.YL, Doroga.XR, Doroga.YR FROM Stn, Doroga  WHERE ")
        + QStringLiteral("Stn.KodDor = Doroga.KodDor ") + QStringLiteral(" AND Stn.TipStn = 7  AND Stn.KodDor = ")
        + quoted(kodDor) + rusFilter + QStringLiteral(" Order by ") + QStringLiteral("NazStn");
}

QString dorStationsSql(const QString& kodDor, std::int16_t rusMode)
{
    if (rusMode == 2)
        return QStringLiteral("SELECT Stn.KodDor, KodStn, NazStn, StnX, StnY, TipStn, Doroga.KodContry "
                              "FROM Stn, Doroga WHERE Doroga.KodDor = Stn.KodDor AND Stn.KodDor = ")
            + quoted(kodDor);
    return QStringLiteral("SELECT KodDor, KodStn, NazStn, StnX, StnY, TipStn FROM Stn WHERE KodDor = ") + quoted(kodDor);
}

QString dorSectionsSql(const QString& kodDor, std::int16_t rusMode)
{
    if (rusMode == 2)
        return QStringLiteral("SELECT Peregon.KodDor,Stn1X, Stn1Y,Stn2X, Stn2Y, Doroga.KodContry  "
                              "FROM Peregon, Doroga WHERE Doroga.KodDor = Peregon.KodDor AND Peregon.KodDor = ")
            + quoted(kodDor);
    return QStringLiteral("SELECT KodDor,Stn1X, Stn1Y,Stn2X, Stn2Y  FROM Peregon WHERE KodDor = ") + quoted(kodDor);
}

} // namespace zd
