#pragma once
// The network as a graph for the shortest routes by kilometres. Stations are vertices, one
// per KodStn (the first row of a code holds); sections are undirected edges weighted by
// LenPer. A section whose length is NULL, not a number or negative is weighted by its map
// length times the network's median kilometres per map unit. A section end that Stn does
// not hold becomes a station known by its code alone, at the section's end point.
// Duplicate and parallel sections are edges of their own; the shorter one wins.
#include "route/NetworkRows.h"
#include "route/Route.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zd::route {

class LegSearch;

class RouteGraph {
public:
    ~RouteGraph();

    // Builds the graph from the rows; plain data only, so any thread may run it.
    static std::shared_ptr<const RouteGraph> build(NetworkRows rows);

    std::uint32_t stationCount() const { return m_stations.size(); }
    RouteStation station(std::uint32_t v) const;
    const Railway& stationRailway(std::uint32_t v) const { return m_railways[m_stations.railway[v]]; }

    // The stations named exactly `text` and the station whose code is `text` (blanks
    // around it ignored), in table order: none, one, or several for a shared name.
    std::vector<std::uint32_t> find(const QString& text) const;

    // The shortest route by kilometres from stops[0] through each following stop in order.
    // Nothing when a leg has no path; blockedLeg then tells which (0: stops[0] to stops[1]).
    std::optional<Route> shortest(const std::vector<std::uint32_t>& stops, const RouteOptions& options,
                                  std::size_t* blockedLeg = nullptr) const;

    // The median kilometres per map unit of the sections with a length; NaN when none has.
    double kmPerMapUnit() const { return m_kmPerUnit; }
    std::uint32_t estimatedSections() const { return m_estimated; }
    // Sections left out: an end without a code, both ends the same, or a length that
    // cannot be estimated (no length and no map position).
    std::uint32_t droppedSections() const { return m_dropped; }
    // Memory the graph holds, in bytes.
    std::size_t memoryBytes() const;

private:
    friend class LegSearch;
    struct Adjacency;
    struct Ends { std::vector<std::uint32_t> first, second; };   // station of each section end
    RouteGraph();
    Ends resolveEnds();
    void fillPositions(const Ends& ends);
    void weigh(const Ends& ends);
    void connect(const Ends& ends);
    double mapLength(std::uint32_t s, const Ends& ends) const;
    RouteSection section(std::uint32_t edge, std::uint32_t from, std::uint32_t to) const;

    std::vector<Railway> m_railways;
    StationRows m_stations;
    std::vector<bool> m_ignored;        // rows whose code is empty or held by an earlier row
    SectionRows m_sections;             // km filled in where estimated; codes dropped after the build
    std::vector<std::uint8_t> m_flags;  // per section: in the graph, electric, Russia, estimated
    std::unique_ptr<Adjacency> m_adjacency;
    double m_kmPerUnit = 0;
    double m_lowerBound = 0;            // km per map unit that no section beats: the A* estimate
    std::uint32_t m_estimated = 0, m_dropped = 0;
};

} // namespace zd::route
