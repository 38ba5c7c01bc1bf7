#pragma once
// The SQL texts of exports, legends and statistics, each built from its fixed pieces.
#include "data/Queries.h"

#include <QString>
#include <cstdint>

namespace zd {

// Every section's ends and length: the whole network's kilometres per map unit.
QString networkLengthsSql();

// One row of a legend: a station of the type at (x, y), or a section from (x1, y1) to
// (x2, y2), of Russia or of another country (map units).
QString legendStationSql(std::int32_t x, std::int32_t y, std::int16_t tip, bool russia);
QString legendSectionSql(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, bool russia);

// What the statistics count: the sections with an end in the frame and the stations in it,
// or a railway's own.
struct StatsScope {
    enum Kind { Frame, Railway } kind = Frame;
    FrameBounds frame{0, -1000, 84000, 36000};
    QString kodDor;
};

// The indexes lead with KodDor and serve no frame: the tables are read straight through,
// which for a large frame is several times quicker than a scan of a covering index.
// The sections counted: KodDor, EL, RL, LenPer.
QString statsSectionsSql(const StatsScope& scope);
// The stations counted: KodDor, TipStn, StnBranch.
QString statsStationsSql(const StatsScope& scope);
// The railways with their country, and the countries' names.
QString statsRailwaysSql();
QString statsCountriesSql();

} // namespace zd
