#pragma once
// The SQL texts of the station search window, each built from its fixed pieces.
#include <QString>
#include <cstdint>

namespace zd {

// A preview zone in whole map units: left, top, right, bottom.
struct Zone {
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const Zone&) const = default;
};

// The station list of a category (0 all stations, 1 railway centres, 2 junctions of
// railways, 3 division centres; any other value: all), sorted by name.
QString listStnSql(int area, const QString& rusFilter);

// The stations inside the zone, bounds included.
QString zoneStationsSql(const Zone& z, const QString& rusFilter);

// The sections with at least one end inside the zone.
QString zoneSectionsSql(const Zone& z, const QString& rusFilter);

// The criteria that finds a railway by its code in the rows of Doroga.
QString dorCriteria(const QString& kodDor);

} // namespace zd
