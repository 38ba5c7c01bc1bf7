#pragma once
// The junctions of the route graph joined by chains, as Boost's compressed sparse row
// graph. Each direction of a chain is an edge whose property is the chain's number times
// two, plus one where it runs from the chain's end to its start. Private to src/route.
#include "route/RouteGraph.h"

#include <boost/graph/compressed_sparse_row_graph.hpp>

namespace zd::route {

using JunctionGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, std::uint32_t,
                                                         boost::no_property, std::uint32_t, std::uint32_t>;

struct RouteGraph::Adjacency {
    JunctionGraph csr;
};

enum SectionFlag : std::uint8_t { kInGraph = 1, kElectric = 2, kRussia = 4, kEstimated = 8 };

inline constexpr std::uint32_t kNoStation = 0xFFFFFFFFu;

} // namespace zd::route
