#pragma once
// Statistics of what a frame (or a railway) holds: stations by type, sections, kilometres
// in all, by traction, by number of tracks, by railway and by country. The rows are stepped
// straight from SQLite and tallied per railway, traction and tracks as they come. A section or station
// counts as the frame's queries take it: its railway must be in Doroga, and with
// "Только Россия" that railway must be Russia's.
#include "data/Database.h"
#include "export/ExportQueries.h"

#include <QString>
#include <functional>
#include <vector>

namespace zd {

struct StatLine {
    QString label;
    qint64 count = 0;
    double km = 0;
};

struct StatGroup {
    QString title;
    bool hasKm = false;   // sections: counts and kilometres; stations: counts only
    std::vector<StatLine> lines;
};

struct NetworkStats {
    QString scope;   // what was counted, in words
    qint64 stations = 0, branching = 0, sections = 0;
    double km = 0;
    std::vector<StatGroup> groups;   // by type, by traction, by tracks, by railway, by country
};

// keepGoing is asked now and then while the rows are counted (for a progress indication);
// false stops the count, which then fails.
Expected<NetworkStats> countStats(const Database& db, const StatsScope& scope, bool russiaOnly,
                                  const std::function<bool()>& keepGoing = {});

// The words for a scope: "Кадр X1,Y1 – X2,Y2" or the railway's name.
QString scopeText(const StatsScope& scope, const QString& railwayName);

// As text lines (a group's title, then its lines indented, tab-separated), as CSV (UTF-8,
// a header row, one row per line) and as JSON.
QString statsText(const NetworkStats& s);
QString statsCsv(const NetworkStats& s);
QString statsJson(const NetworkStats& s);

} // namespace zd
