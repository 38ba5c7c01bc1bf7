#include "data/Queries.h"

namespace zd {

namespace {
QString n(std::int32_t v) { return QString::number(v); }
}

QString quoted(const QString& value)
{
    QString v = value;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

QString rusFilter(int rusMode)
{
    return rusMode == 1 ? QStringLiteral(" AND  Doroga.KodContry = '11' ") : QString();
}

QString frameSectionsSql(const FrameBounds& f, const QString& rusFilter)
{
    return QStringLiteral("SELECT KodStn1,KodStn2, Stn1X, Stn1Y,Stn2X, Stn2Y,LenPer,Peregon.KodDor,RL, EL, "
                          "Doroga.KodDor, Doroga.KodContry  FROM Peregon,Doroga WHERE  Doroga.KodDor=Peregon.KodDor ")
        + rusFilter + QStringLiteral(" AND ") + QStringLiteral("(")
        + QStringLiteral(" (Stn1X BETWEEN ") + n(f.x1) + QStringLiteral(" AND ") + n(f.x2)
        + QStringLiteral(") AND (Stn1Y BETWEEN ") + n(f.y1) + QStringLiteral(" AND ") + n(f.y2) + QStringLiteral(")")
        + QStringLiteral(" OR (Stn2X BETWEEN ") + n(f.x1) + QStringLiteral(" AND ") + n(f.x2)
        + QStringLiteral(") AND (Stn2Y BETWEEN ") + n(f.y1) + QStringLiteral(" AND ") + n(f.y2) + QStringLiteral(")")
        + QStringLiteral(")");
}

QString frameStationsSql(const FrameBounds& f, const QString& rusFilter, bool generalised)
{
    return QStringLiteral("SELECT KodStn, NazStn, StnX, StnY,Stn.KodDor, TipStn, StnBranch, Doroga.KodDor, "
                          "Doroga.KodContry FROM Stn, Doroga WHERE   Doroga.KodDor=Stn.KodDor AND ")
        + QStringLiteral("(") + QStringLiteral("(StnX BETWEEN ") + n(f.x1) + QStringLiteral(" AND ") + n(f.x2)
        + QStringLiteral(") AND (StnY BETWEEN ") + n(f.y1) + QStringLiteral(" AND ") + n(f.y2) + QStringLiteral(")")
        + QStringLiteral(")") + rusFilter + (generalised ? kGenFilter : QString())
        + QStringLiteral(" Order by TipStn ASC");
}

} // namespace zd
