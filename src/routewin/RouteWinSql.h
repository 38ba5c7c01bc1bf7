#pragma once
// The SQL texts of the route window, each built from its fixed pieces.
#include "route/Route.h"

#include <QString>
#include <cstdint>

namespace zd {

// The route's sections as rows for DrawPeregons (Stn1X, Stn1Y, Stn2X, Stn2Y, KodContry),
// in the order of travel; KodContry is 11 on every row, so that the CIS marking leaves the
// route in its own colour. Empty for a route without sections.
QString routeLinesSql(const route::Route& route);

// The station nearest (x0, y0) among those within d map units on both axes that the frame
// shows: of a railway in Doroga, under the Russia-only condition and, when generalised,
// only the major and branching ones (KodStn, NazStn, StnX, StnY, TipStn).
QString pickStationSql(std::int32_t x0, std::int32_t y0, std::int32_t d, bool generalised, const QString& rusFilter);

} // namespace zd
