#include "search/SearchQueries.h"

namespace zd::search {

QString indexStationsSql()
{
    return QStringLiteral("SELECT KodStn, NazStn, StnX, StnY, KodDor, TipStn, StnBranch FROM Stn")
        + QStringLiteral(" Order by NazStn");
}

QString indexRailwaysSql()
{
    return QStringLiteral("SELECT KodDor, NazDor, XL, YL, XR, YR, KodContry FROM Doroga")
        + QStringLiteral(" Order by NazDor");
}

} // namespace zd::search
