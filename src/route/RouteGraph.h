#pragma once
// The network as a graph for the shortest routes by kilometres. Stations are vertices, one
// per KodStn (the first row of a code holds); sections are undirected edges weighted by
// LenPer. A section whose length is NULL, not a number, zero or negative is weighted by its map
// length times the network's median kilometres per map unit. A section end that Stn does
// not hold becomes a station known by its code alone, at the section's end point.
// Duplicate and parallel sections are edges of their own; the shorter one wins.
//
// Most stations of a railway have exactly two sections, one to each neighbour along the
// line. The routes are searched over the junctions alone (every other station), joined by
// chains: the sections from junction to junction through two-section stations. A route
// from or to a station inside a chain starts or ends along that chain.
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
    std::uint32_t junctionCount() const { return static_cast<std::uint32_t>(m_junctions.size()); }
    // Memory the graph holds, in bytes.
    std::size_t memoryBytes() const;

private:
    friend class LegSearch;
    struct Adjacency;
    struct Ends { std::vector<std::uint32_t> first, second; };   // station of each section end
    // A section of a chain in the order of the chain: section * 2, plus one where the chain
    // runs from its second end to its first; and the station it reaches.
    struct Step { std::uint32_t edge, station; };

    RouteGraph();
    Ends resolveEnds();
    void fillPositions(const Ends& ends);
    double mapLength(std::uint32_t s, const Ends& ends) const;
    void weigh(const Ends& ends);
    void makeChains(const Ends& ends);
    void addChain(const std::vector<std::uint32_t>& sections, std::uint32_t start, const Ends& ends,
                  const std::vector<char>& through);
    void connect();
    RouteSection section(std::uint32_t edge, std::uint32_t from, std::uint32_t to) const;

    // The station at a position of a chain: 0 its start, k the station its k-th step reaches.
    std::uint32_t chainStation(std::uint32_t chain, std::uint32_t pos) const;
    std::uint32_t chainLength(std::uint32_t chain) const { return m_chainFirst[chain + 1] - m_chainFirst[chain]; }

    std::vector<Railway> m_railways;
    StationRows m_stations;
    std::vector<bool> m_ignored;        // rows whose code is empty or held by an earlier row
    SectionRows m_sections;             // km filled in where estimated; codes dropped after the build
    std::vector<std::uint8_t> m_flags;  // per section: in the graph, electric, Russia, estimated

    std::vector<std::uint32_t> m_chainFirst;   // first step of each chain; one more, the end of the last
    std::vector<std::uint32_t> m_chainStart;   // the station each chain starts at
    std::vector<Step> m_steps;
    std::vector<double> m_chainKm;
    std::vector<std::uint8_t> m_chainFlags;    // the flags that all its sections have
    std::vector<std::uint32_t> m_place;        // per station: its junction number, or the chain it lies inside
    std::vector<std::uint32_t> m_position;     // per station inside a chain: its position there; 0 for a junction
    std::vector<std::uint32_t> m_junctions;    // the station of each junction
    std::unique_ptr<Adjacency> m_adjacency;    // junctions joined by chains

    double m_kmPerUnit = 0;
    std::uint32_t m_estimated = 0, m_dropped = 0;
};

} // namespace zd::route
