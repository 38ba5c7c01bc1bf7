#pragma once
// A route asked for by station names or codes, as a window's fields and zdcli give them,
// and the answer: the route, or the reason there is none with its message in Russian.
#include "route/Route.h"
#include "route/RouteGraph.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zd::route {

struct RouteRequest {
    QString from, to;
    QStringList via;   // in order
    RouteOptions options;
};

struct RouteAnswer {
    enum Status { Found, NoStation, Ambiguous, SameStation, NoPath };
    Status status = NoPath;
    Route route;                             // when Found
    QString message;                         // when not Found
    int stop = -1;                           // the field at fault: 0 from, 1.. via, via.size() + 1 to
    std::vector<std::uint32_t> candidates;   // the stations of an ambiguous name
};

// Looks the stations up (exact name or code) and finds the shortest route through them.
RouteAnswer findRoute(const RouteGraph& graph, const RouteRequest& request);

} // namespace zd::route
