#pragma once
// Route graphs of small networks written by the tests, and the checks every route must pass.
#include "route/RouteGraph.h"

#include <QString>
#include <memory>
#include <vector>

namespace zdtest {

// A station of a test network, named "Станция " + code unless named; one that is not in
// Stn is only a position for the sections' ends.
struct NetStation {
    const char* code;
    int x, y;
    bool inStn = true;
    const char* name = nullptr;
};

// A section between two stations; km is SQL ("10", "NULL", "'abc'").
struct NetSection {
    const char* a;
    const char* b;
    const char* km;
    int el = 3;
    const char* dor = "1";
    int rl = 2;
};

// The rows of a network of those stations and sections, of the railways of routeCountriesSql().
QString networkSql(const std::vector<NetStation>& stations, const std::vector<NetSection>& sections);

// Russia (11) with railway 1 "Октябрьская", Belarus (21) with railway 2 "Белорусская".
QString routeCountriesSql();

// The graph of a network: the tables of schemaSql() filled by the script.
std::shared_ptr<const zd::route::RouteGraph> routeGraph(const QString& inserts);

// The route's sections join end to end from its first station to its last, its stations
// are the sections' ends, and its total is the sum of its sections.
void expectJoined(const zd::route::Route& r);

// The codes of the route's stations, blank-separated.
QString stationCodes(const zd::route::Route& r);

} // namespace zdtest
