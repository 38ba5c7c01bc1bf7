#pragma once
// The SQL texts of the route graph. The large tables are read in pieces in table order
// (by rowid), so that a reader never holds more than one piece of rows at a time.
#include <QString>
#include <cstdint>

namespace zd::route {

// The number of rows of Stn and of Peregon, in one row.
QString rowCountsSql();

// Every railway with its name and country, in table order.
QString railwaysSql();

// Up to limit stations (rowid, KodStn, NazStn, StnX, StnY, KodDor, TipStn) after the row
// afterRowid, in table order.
QString stationsSql(std::int64_t afterRowid, int limit);

// Up to limit sections (rowid, KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer,
// KodDor, RL, EL) after the row afterRowid, in table order.
QString sectionsSql(std::int64_t afterRowid, int limit);

} // namespace zd::route
