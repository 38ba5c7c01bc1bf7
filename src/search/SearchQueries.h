#pragma once
// The SQL texts of the name matcher.
#include <QString>

namespace zd::search {

// Every station with the columns the name index keeps, in the Russian order of names.
QString indexStationsSql();
// Every railway with its rectangle and country, in the Russian order of names.
QString indexRailwaysSql();

} // namespace zd::search
