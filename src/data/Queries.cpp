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

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
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

QString frameHasRowsSql(const FrameBounds& f, const QString& rusFilter, bool generalised)
{
    return QStringLiteral("SELECT EXISTS(") + frameSectionsSql(f, rusFilter) + QStringLiteral(") AND EXISTS(")
        + frameStationsSql(f, rusFilter, generalised) + QStringLiteral(")");
}

QString overviewSectionsSql(const QString& rusFilter)
{
    return QStringLiteral("SELECT Stn1X, Stn1Y, Stn2X, Stn2Y, Doroga.KodContry FROM Peregon,Doroga "
                          "WHERE Doroga.KodDor=Peregon.KodDor ") + rusFilter;
}

QString sectionLengthsSql() { return QStringLiteral("SELECT Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer FROM Peregon"); }

QString cursorStationsSql(std::int32_t x0, std::int32_t y0, std::int32_t d, bool generalised)
{
    return QStringLiteral("SELECT NazStn, StnX, StnY,KodDor,TipStn,StnBranch  FROM Stn WHERE ")
        + QStringLiteral("Abs(Val(StnX) ") + QStringLiteral(" - ") + n(x0) + QStringLiteral(") <= ") + n(d)
        + QStringLiteral(" AND Abs(Val(StnY)") + QStringLiteral(" - ") + n(y0) + QStringLiteral(") <= ") + n(d)
        + (generalised ? kGenFilter : QString());
}

QString stationByCodeSql(const QString& kodStn)
{
    return QStringLiteral("SELECT * FROM Stn WHERE KodStn = ") + quoted(kodStn) + QStringLiteral(" ORDER BY rowid LIMIT 1");
}

} // namespace zd
