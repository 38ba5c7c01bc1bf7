#pragma once
// A route found in the network: its stations and sections in the order of travel, with
// everything a table or a map overlay shows, so that neither needs another query.
#include <QString>
#include <vector>

namespace zd::route {

struct RouteOptions {
    bool electricOnly = false;   // only sections with EL 3 or 4
    bool russiaOnly = false;     // only sections of railways of country "11" (the map in "Только Россия" sets it)
};

struct RouteStation {
    QString code, name;   // name empty for a section end that Stn does not hold
    float x = 0, y = 0;   // map units
    int tip = 0;          // TipStn
};

struct RouteSection {
    QString fromCode, fromName, toCode, toName;   // in the order of travel
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;         // map units, the section's own ends, from → to
    double km = 0;
    bool estimated = false;                       // km from the map length: LenPer unusable
    int tracks = 0;                               // RL, 0 not determined
    int traction = 0;                             // EL
    QString railwayCode, railwayName;
};

// Kilometres and sections of one railway, traction or number of tracks.
struct Subtotal {
    QString label;
    double km = 0;
    int sections = 0;
};

struct Route {
    std::vector<RouteStation> stations;   // from the start to the end: one more than sections
    std::vector<RouteSection> sections;
    std::vector<int> stops;               // index in stations of the start, each via station and the end
    double km = 0;                        // sum of the sections' km
    int estimated = 0;                    // sections whose length was estimated
    RouteOptions options;
    std::vector<Subtotal> byRailway;      // in the order the route meets them
    std::vector<Subtotal> byTraction;     // электр., тепл., не опр.
    std::vector<Subtotal> byTracks;       // ascending, not determined last
};

// The traction as the route shows it: EL 3 and 4 "электр.", 2 "тепл.", anything else "не опр.".
QString tractionLabel(int el);
// The number of tracks as the route shows it: the number, or "не опр." for 0 and below.
QString tracksLabel(int rl);
// A station's name, or its code where Stn does not hold it.
QString stationLabel(const QString& name, const QString& code);
// A railway's name, or its code where Doroga does not hold it.
QString railwayLabel(const QString& name, const QString& code);

// Fills the total and the subtotals from the sections.
void summarise(Route& route);

} // namespace zd::route
