#pragma once
// A route written out: as text for a reader, as a table for a spreadsheet (tab-separated)
// or a file (CSV), and as JSON for scripts. zdcli and the route window share them.
#include "route/Route.h"

#include <QByteArray>
#include <QString>

namespace zd::route {

// The route for a reader: the stops, the total, each section, and the subtotals.
QString routeText(const Route& route);

// The sections as a table with a header row, one row per section, tab-separated, lengths
// with a decimal comma as a Russian spreadsheet reads them.
QString routeTsv(const Route& route);

// The same table as CSV: comma-separated, quoted where needed, lengths with a decimal
// point; the caller writes it as UTF-8.
QString routeCsv(const Route& route);

// Everything the route holds, as one JSON object.
QByteArray routeJson(const Route& route);

} // namespace zd::route
