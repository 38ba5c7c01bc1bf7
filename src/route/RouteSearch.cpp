// The shortest route over the junction graph: Boost's Dijkstra from the junctions that the
// start station reaches along its chain, stopping once no way left can beat the best one
// to the end station. A* was measured as well, over every station before the chains came:
// on a route across 2,000,000 stations its estimate (the straight distance times the
// lowest km per map unit) ruled out almost no station and made each one dearer (750 ms
// against Dijkstra's 362 ms); and Boost's A* starts from one vertex, where a route from
// inside a chain starts from two junctions.
#include "route/RouteAdjacency.h"
#include "route/RouteGraph.h"

#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <boost/graph/filtered_graph.hpp>
#include <boost/graph/two_bit_color_map.hpp>
#include <boost/property_map/function_property_map.hpp>

#include <algorithm>
#include <limits>

namespace zd::route {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
using Edge = boost::graph_traits<JunctionGraph>::edge_descriptor;
using Junction = std::uint32_t;
} // namespace

class LegSearch {
public:
    // One section of the route: its edge (section * 2, plus one when run from its second
    // end to its first) and the stations it runs between.
    struct Hop { std::uint32_t edge, from, to; };

    LegSearch(const RouteGraph& g, const RouteOptions& o)
        : m_g(g), m_need(kInGraph | (o.electricOnly ? kElectric : 0) | (o.russiaOnly ? kRussia : 0)),
          m_dist(g.junctionCount()), m_pred(g.junctionCount()), m_arrival(g.junctionCount())
    {
    }

    // The sections from one station to another in order; nothing when there is no way.
    std::optional<std::vector<Hop>> run(std::uint32_t from, std::uint32_t to);

private:
    // Part of a chain, walked from one position to another.
    struct Span { std::uint32_t chain = kNoStation, from = 0, to = 0; };
    // The way between a station and a junction along the station's chain.
    struct Access { Junction junction; double km; Span span; };
    struct Done {};
    struct Allowed {
        const JunctionGraph* g = nullptr;
        const std::uint8_t* flags = nullptr;
        std::uint8_t need = 0;
        bool operator()(const Edge& e) const { return (flags[(*g)[e] / 2] & need) == need; }
    };
    struct Visitor : boost::default_dijkstra_visitor {
        LegSearch* search;
        template <class G> void examine_vertex(Junction u, const G&) const { search->examine(u); }
        template <class G> void edge_relaxed(const Edge& e, const G& g) const { search->m_arrival[boost::target(e, g)] = g[e]; }
    };

    // The kilometres of a span; nothing where the options exclude one of its sections.
    std::optional<double> km(const Span& s) const;
    void append(const Span& s, std::vector<Hop>& hops) const;
    std::vector<Access> accesses(std::uint32_t station, bool toStation) const;
    void seed(const std::vector<Access>& seeds);
    template <class G> void search(const G& g);
    void examine(Junction u);
    std::vector<Hop> hops(const std::optional<Span>& direct) const;

    const RouteGraph& m_g;
    std::uint8_t m_need;
    std::vector<double> m_dist;
    std::vector<Junction> m_pred;
    std::vector<std::uint32_t> m_arrival;   // the edge each junction was reached by
    std::vector<Access> m_seeds, m_targets;
    std::vector<Junction> m_sources;
    double m_best = kInfinity;
    int m_bestTarget = -1;                  // -1: the direct way along one chain
};

std::optional<double> LegSearch::km(const Span& s) const
{
    const std::uint32_t first = m_g.m_chainFirst[s.chain];
    double sum = 0;
    for (std::uint32_t i = first + std::min(s.from, s.to); i < first + std::max(s.from, s.to); ++i) {
        const std::uint32_t section = m_g.m_steps[i].edge / 2;
        if ((m_g.m_flags[section] & m_need) != m_need) return std::nullopt;
        sum += m_g.m_sections.km[section];
    }
    return sum;
}

void LegSearch::append(const Span& s, std::vector<Hop>& hops) const
{
    if (s.chain == kNoStation) return;
    const std::uint32_t first = m_g.m_chainFirst[s.chain];
    for (std::uint32_t k = s.from; k < s.to; ++k)
        hops.push_back({m_g.m_steps[first + k].edge, m_g.chainStation(s.chain, k), m_g.m_steps[first + k].station});
    for (std::uint32_t k = s.from; k > s.to; --k)
        hops.push_back({m_g.m_steps[first + k - 1].edge ^ 1, m_g.m_steps[first + k - 1].station, m_g.chainStation(s.chain, k - 1)});
}

// A junction is its own access. A station inside a chain reaches the junctions at both
// ends of it, each where the options allow every section between.
std::vector<LegSearch::Access> LegSearch::accesses(std::uint32_t station, bool toStation) const
{
    const std::uint32_t pos = m_g.m_position[station], c = m_g.m_place[station];
    if (pos == 0) return {{c, 0, {}}};
    std::vector<Access> out;
    for (std::uint32_t end : {0u, m_g.chainLength(c)}) {
        const Span span = toStation ? Span{c, end, pos} : Span{c, pos, end};
        if (const auto length = km(span)) out.push_back({m_g.m_place[m_g.chainStation(c, end)], *length, span});
    }
    return out;
}

void LegSearch::seed(const std::vector<Access>& seeds)
{
    std::fill(m_dist.begin(), m_dist.end(), kInfinity);
    m_seeds.clear();
    m_sources.clear();
    for (const Access& a : seeds) {
        if (!(a.km < m_dist[a.junction])) continue;
        if (m_dist[a.junction] == kInfinity) m_sources.push_back(a.junction);
        m_dist[a.junction] = a.km;
        m_pred[a.junction] = a.junction;
        std::erase_if(m_seeds, [&](const Access& s) { return s.junction == a.junction; });
        m_seeds.push_back(a);
    }
}

void LegSearch::examine(Junction u)
{
    if (m_dist[u] >= m_best) throw Done{};
    for (std::size_t i = 0; i < m_targets.size(); ++i)
        if (m_targets[i].junction == u && m_dist[u] + m_targets[i].km < m_best) {
            m_best = m_dist[u] + m_targets[i].km;
            m_bestTarget = static_cast<int>(i);
        }
}

template <class G>
void LegSearch::search(const G& g)
{
    const JunctionGraph& csr = m_g.m_adjacency->csr;
    const double* chainKm = m_g.m_chainKm.data();
    const auto weight = boost::make_function_property_map<Edge, double>([&csr, chainKm](const Edge& e) { return chainKm[csr[e] / 2]; });
    const auto index = boost::get(boost::vertex_index, csr);
    boost::two_bit_color_map<decltype(index)> color(m_g.junctionCount(), index);
    try {
        boost::dijkstra_shortest_paths_no_init(g, m_sources.begin(), m_sources.end(), boost::make_iterator_property_map(m_pred.begin(), index),
                                               boost::make_iterator_property_map(m_dist.begin(), index), weight, index,
                                               std::less<double>(), boost::closed_plus<double>(kInfinity), 0.0, Visitor{{}, this},
                                               color);
    } catch (const Done&) {
    }
}

std::optional<std::vector<LegSearch::Hop>> LegSearch::run(std::uint32_t from, std::uint32_t to)
{
    if (from == to) return std::vector<Hop>{};
    m_best = kInfinity;
    m_bestTarget = -1;
    std::optional<Span> direct;
    const std::uint32_t pf = m_g.m_position[from], pt = m_g.m_position[to];
    if (pf && pt && m_g.m_place[from] == m_g.m_place[to]) {
        const Span along{m_g.m_place[from], pf, pt};
        if (const auto length = km(along)) {
            direct = along;
            m_best = *length;
        }
    }
    seed(accesses(from, false));
    m_targets = accesses(to, true);
    const JunctionGraph& csr = m_g.m_adjacency->csr;
    if (m_need == kInGraph) search(csr);
    else search(boost::filtered_graph<JunctionGraph, Allowed>(csr, Allowed{&csr, m_g.m_chainFlags.data(), m_need}));
    if (m_best == kInfinity) return std::nullopt;
    return hops(direct);
}

std::vector<LegSearch::Hop> LegSearch::hops(const std::optional<Span>& direct) const
{
    std::vector<Hop> out;
    if (m_bestTarget < 0) {
        append(*direct, out);
        return out;
    }
    const Access& target = m_targets[static_cast<std::size_t>(m_bestTarget)];
    std::vector<std::uint32_t> chains;   // junction edges, from the end back to a seed
    Junction j = target.junction;
    for (; m_pred[j] != j && chains.size() < m_pred.size(); j = m_pred[j]) chains.push_back(m_arrival[j]);
    const auto seedAt = std::find_if(m_seeds.begin(), m_seeds.end(), [j](const Access& a) { return a.junction == j; });
    if (seedAt != m_seeds.end()) append(seedAt->span, out);
    for (auto it = chains.rbegin(); it != chains.rend(); ++it) {
        const std::uint32_t c = *it / 2, length = m_g.chainLength(c);
        append(*it % 2 ? Span{c, length, 0} : Span{c, 0, length}, out);
    }
    append(target.span, out);
    return out;
}

std::optional<Route> RouteGraph::shortest(const std::vector<std::uint32_t>& stops, const RouteOptions& options,
                                          std::size_t* blockedLeg) const
{
    Route route;
    route.options = options;
    if (stops.empty()) return route;
    LegSearch search(*this, options);
    route.stations.push_back(station(stops.front()));
    route.stops.push_back(0);
    for (std::size_t leg = 0; leg + 1 < stops.size(); ++leg) {
        const auto hops = search.run(stops[leg], stops[leg + 1]);
        if (!hops) {
            if (blockedLeg) *blockedLeg = leg;
            return std::nullopt;
        }
        for (const LegSearch::Hop& hop : *hops) {
            route.sections.push_back(section(hop.edge, hop.from, hop.to));
            route.stations.push_back(station(hop.to));
        }
        route.stops.push_back(static_cast<int>(route.stations.size()) - 1);
    }
    summarise(route);
    return route;
}

} // namespace zd::route
