#include "routewin/RouteWinSql.h"

#include "data/Queries.h"

#include <QStringList>
#include <cmath>

namespace zd {

namespace {
QString n(std::int32_t v) { return QString::number(v); }

// A coordinate as SQL: every digit a 32-bit float holds, or NULL where there is none.
QString coordinate(float v) { return std::isfinite(v) ? QString::number(double(v), 'g', 9) : QStringLiteral("NULL"); }
} // namespace

QString routeLinesSql(const route::Route& route)
{
    if (route.sections.empty()) return {};
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(route.sections.size()));
    for (const route::RouteSection& s : route.sections)
        rows << u'(' + coordinate(s.x1) + u',' + coordinate(s.y1) + u',' + coordinate(s.x2) + u',' + coordinate(s.y2) + u')';
    return QStringLiteral("SELECT column1 AS Stn1X, column2 AS Stn1Y, column3 AS Stn2X, column4 AS Stn2Y, 11 AS KodContry "
                          "FROM (VALUES ")
        + rows.join(u',') + u')';
}

QString pickStationSql(std::int32_t x0, std::int32_t y0, std::int32_t d, bool generalised, const QString& rusFilter)
{
    const QString dx = QStringLiteral("(Val(StnX) - ") + n(x0) + u')';
    const QString dy = QStringLiteral("(Val(StnY) - ") + n(y0) + u')';
    return QStringLiteral("SELECT KodStn, NazStn, StnX, StnY, TipStn FROM Stn, Doroga WHERE Stn.KodDor = Doroga.KodDor")
        + QStringLiteral(" AND Abs") + dx + QStringLiteral(" <= ") + n(d) + QStringLiteral(" AND Abs") + dy
        + QStringLiteral(" <= ") + n(d) + (generalised ? kGenFilter : QString()) + rusFilter
        + QStringLiteral(" ORDER BY ") + dx + u'*' + dx + u'+' + dy + u'*' + dy + QStringLiteral(" LIMIT 1");
}

} // namespace zd
