#include "route/RouteGraph.h"

#include <QHash>

#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/filtered_graph.hpp>
#include <boost/graph/two_bit_color_map.hpp>
#include <boost/property_map/function_property_map.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zd::route {

namespace {

constexpr std::uint32_t kNoStation = std::numeric_limits<std::uint32_t>::max();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

enum SectionFlag : std::uint8_t { kInGraph = 1, kElectric = 2, kRussia = 4, kEstimated = 8 };

// Each direction of a section is an edge whose property is the section's number times two,
// plus one where it runs from the second end to the first.
using Csr = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, std::uint32_t,
                                               boost::no_property, std::uint32_t, std::uint32_t>;
using Edge = boost::graph_traits<Csr>::edge_descriptor;
using Vertex = std::uint32_t;

double distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

double median(std::vector<double> v)
{
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2) return *mid;
    return (*mid + *std::max_element(v.begin(), mid)) / 2;
}

template <class T>
std::size_t capacityBytes(const std::vector<T>& v) { return v.capacity() * sizeof(T); }

} // namespace

struct RouteGraph::Adjacency {
    Csr csr;
};

RouteGraph::RouteGraph() = default;
RouteGraph::~RouteGraph() = default;

std::shared_ptr<const RouteGraph> RouteGraph::build(NetworkRows rows)
{
    std::shared_ptr<RouteGraph> g(new RouteGraph);
    g->m_railways = std::move(rows.railways);
    g->m_stations = std::move(rows.stations);
    g->m_sections = std::move(rows.sections);
    const Ends ends = g->resolveEnds();
    g->fillPositions(ends);
    g->weigh(ends);
    g->connect(ends);
    return g;
}

// The station of every section end. An end that Stn does not hold is added as a station
// of its own, after the rows of Stn, so that the sections through it still join.
RouteGraph::Ends RouteGraph::resolveEnds()
{
    const std::uint32_t n = m_stations.size();
    m_ignored.assign(n, false);
    QHash<QByteArrayView, std::uint32_t> index;   // views into m_stations.code, unchanged meanwhile
    index.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const QByteArrayView code = m_stations.code.view(i);
        if (code.empty() || index.contains(code)) m_ignored[i] = true;
        else index.insert(code, i);
    }
    StationRows added;
    QHash<QByteArray, std::uint32_t> addedIndex;
    auto stationOf = [&](const TextPool& codes, std::uint32_t s, float x, float y) {
        const QByteArrayView code = codes.view(s);
        if (code.empty()) return kNoStation;
        if (auto it = index.constFind(code); it != index.cend()) return *it;
        const QByteArray key = QByteArray::fromRawData(code.data(), code.size());
        if (auto it = addedIndex.constFind(key); it != addedIndex.cend()) return *it;
        const std::uint32_t v = n + added.size();
        addedIndex.insert(QByteArray(code.data(), code.size()), v);
        added.code.add(code);
        added.name.add({});
        added.x.push_back(x);
        added.y.push_back(y);
        added.railway.push_back(m_sections.railway[s]);
        added.tip.push_back(0);
        return v;
    };
    const std::uint32_t m = m_sections.size();
    Ends ends;
    ends.first.resize(m);
    ends.second.resize(m);
    for (std::uint32_t s = 0; s < m; ++s) {
        ends.first[s] = stationOf(m_sections.code1, s, m_sections.x1[s], m_sections.y1[s]);
        ends.second[s] = stationOf(m_sections.code2, s, m_sections.x2[s], m_sections.y2[s]);
    }
    index.clear();
    for (std::uint32_t i = 0; i < added.size(); ++i) {
        m_stations.code.add(added.code.view(i));
        m_stations.name.add({});
    }
    m_stations.x.insert(m_stations.x.end(), added.x.begin(), added.x.end());
    m_stations.y.insert(m_stations.y.end(), added.y.begin(), added.y.end());
    m_stations.railway.insert(m_stations.railway.end(), added.railway.begin(), added.railway.end());
    m_stations.tip.insert(m_stations.tip.end(), added.tip.begin(), added.tip.end());
    m_ignored.resize(m_stations.size(), false);
    m_sections.code1.clear();
    m_sections.code2.clear();
    return ends;
}

// A station without coordinates takes those of a section end at it.
void RouteGraph::fillPositions(const Ends& ends)
{
    auto fill = [this](std::uint32_t v, float x, float y) {
        if (v != kNoStation && (std::isnan(m_stations.x[v]) || std::isnan(m_stations.y[v])) && !std::isnan(x) && !std::isnan(y)) {
            m_stations.x[v] = x;
            m_stations.y[v] = y;
        }
    };
    for (std::uint32_t s = 0; s < m_sections.size(); ++s) {
        fill(ends.first[s], m_sections.x1[s], m_sections.y1[s]);
        fill(ends.second[s], m_sections.x2[s], m_sections.y2[s]);
    }
}

// The section's length on the map, from its own end points or else from its stations'.
double RouteGraph::mapLength(std::uint32_t s, const Ends& ends) const
{
    const SectionRows& r = m_sections;
    const double own = distance(r.x1[s], r.y1[s], r.x2[s], r.y2[s]);
    if (std::isfinite(own)) return own;
    const std::uint32_t a = ends.first[s], b = ends.second[s];
    return distance(m_stations.x[a], m_stations.y[a], m_stations.x[b], m_stations.y[b]);
}

void RouteGraph::weigh(const Ends& ends)
{
    const std::uint32_t m = m_sections.size();
    std::vector<char> joins(m);
    std::vector<double> ratios;
    for (std::uint32_t s = 0; s < m; ++s) {
        joins[s] = ends.first[s] != kNoStation && ends.second[s] != kNoStation && ends.first[s] != ends.second[s];
        if (!joins[s] || std::isnan(m_sections.km[s])) continue;
        const double len = mapLength(s, ends);
        if (std::isfinite(len) && len > 0) ratios.push_back(m_sections.km[s] / len);
    }
    m_kmPerUnit = median(std::move(ratios));
    m_flags.assign(m, 0);
    double lowest = kInfinity;   // km per map unit between the stations of a section
    for (std::uint32_t s = 0; s < m; ++s) {
        double& km = m_sections.km[s];
        if (joins[s] && std::isnan(km)) {
            const double estimate = mapLength(s, ends) * m_kmPerUnit;
            if (std::isfinite(estimate)) {
                km = std::round(estimate * 10) / 10;   // the precision of the stored lengths
                m_flags[s] |= kEstimated;
                ++m_estimated;
            } else {
                joins[s] = false;
            }
        }
        if (!joins[s]) {
            ++m_dropped;
            continue;
        }
        const int el = m_sections.traction[s];
        m_flags[s] |= kInGraph | (el == 3 || el == 4 ? kElectric : 0) | (m_railways[m_sections.railway[s]].russia ? kRussia : 0);
        const std::uint32_t a = ends.first[s], b = ends.second[s];
        const double apart = distance(m_stations.x[a], m_stations.y[a], m_stations.x[b], m_stations.y[b]);
        if (!std::isfinite(apart)) lowest = 0;   // a station without a position: no estimate
        else if (apart > 0) lowest = std::min(lowest, km / apart);
    }
    // Slightly below the bound, so that rounding never lets the estimate exceed a real way.
    m_lowerBound = std::isfinite(lowest) ? lowest * (1 - 1e-9) : 0;
}

void RouteGraph::connect(const Ends& ends)
{
    std::vector<Vertex> sources, targets;
    std::vector<std::uint32_t> edges;
    const std::uint32_t m = m_sections.size();
    const auto count = static_cast<std::size_t>(std::count_if(m_flags.begin(), m_flags.end(), [](std::uint8_t f) { return f & kInGraph; }));
    sources.reserve(2 * count);
    targets.reserve(2 * count);
    edges.reserve(2 * count);
    for (std::uint32_t s = 0; s < m; ++s) {
        if (!(m_flags[s] & kInGraph)) continue;
        sources.push_back(ends.first[s]);
        targets.push_back(ends.second[s]);
        edges.push_back(2 * s);
        sources.push_back(ends.second[s]);
        targets.push_back(ends.first[s]);
        edges.push_back(2 * s + 1);
    }
    m_adjacency.reset(new Adjacency{Csr(boost::construct_inplace_from_sources_and_targets, sources, targets, edges, m_stations.size())});
}

RouteStation RouteGraph::station(std::uint32_t v) const
{
    return {m_stations.code.text(v), m_stations.name.text(v), m_stations.x[v], m_stations.y[v], m_stations.tip[v]};
}

std::vector<std::uint32_t> RouteGraph::find(const QString& text) const
{
    const QByteArray key = text.trimmed().toUtf8();
    std::vector<std::uint32_t> found;
    if (key.isEmpty()) return found;
    for (std::uint32_t v = 0; v < m_stations.size(); ++v)
        if (!m_ignored[v] && (m_stations.name.view(v) == key || m_stations.code.view(v) == key)) found.push_back(v);
    return found;
}

std::size_t RouteGraph::memoryBytes() const
{
    const StationRows& st = m_stations;
    const SectionRows& se = m_sections;
    std::size_t bytes = st.code.bytes() + st.name.bytes() + capacityBytes(st.x) + capacityBytes(st.y)
        + capacityBytes(st.railway) + capacityBytes(st.tip) + m_ignored.capacity() / 8;
    bytes += capacityBytes(se.x1) + capacityBytes(se.y1) + capacityBytes(se.x2) + capacityBytes(se.y2) + capacityBytes(se.km)
        + capacityBytes(se.railway) + capacityBytes(se.tracks) + capacityBytes(se.traction) + capacityBytes(m_flags);
    const Csr& g = m_adjacency->csr;   // row starts, then a target and a property per edge
    return bytes + (boost::num_vertices(g) + 1) * sizeof(Vertex) + boost::num_edges(g) * (sizeof(Vertex) + sizeof(std::uint32_t));
}

// One leg of a route at a time: A* over the sections that the options allow, with the
// straight distance times the lowest kilometres per map unit as the estimate of what is
// left. That estimate never exceeds the real way, so the first way found is the shortest.
class LegSearch {
public:
    // A station reached and the edge it was reached by.
    struct Step { Vertex station; std::uint32_t edge; };

    LegSearch(const RouteGraph& g, const RouteOptions& o)
        : m_g(g), m_csr(g.m_adjacency->csr), m_need(kInGraph | (o.electricOnly ? kElectric : 0) | (o.russiaOnly ? kRussia : 0)),
          m_dist(g.stationCount()), m_cost(g.stationCount()), m_pred(g.stationCount()), m_arrival(g.stationCount())
    {
    }

    // The steps from `from` to `to` (without `from` itself); nothing when there is no way.
    std::optional<std::vector<Step>> run(Vertex from, Vertex to);

private:
    struct Reached {};
    struct Allowed {
        const Csr* g = nullptr;
        const std::uint8_t* flags = nullptr;
        std::uint8_t need = 0;
        bool operator()(const Edge& e) const { return (flags[(*g)[e] / 2] & need) == need; }
    };
    using Graph = boost::filtered_graph<Csr, Allowed>;
    struct Estimate : boost::astar_heuristic<Graph, double> {
        const RouteGraph* g;
        double ratio, x, y;
        double operator()(Vertex v) const
        {
            return ratio > 0 ? ratio * distance(g->m_stations.x[v], g->m_stations.y[v], x, y) : 0;
        }
    };
    struct Visitor : boost::default_astar_visitor {
        const Csr* g;
        std::uint32_t* arrival;
        Vertex goal;
        void examine_vertex(Vertex u, const Graph&) const { if (u == goal) throw Reached{}; }
        void edge_relaxed(const Edge& e, const Graph&) const { arrival[boost::target(e, *g)] = (*g)[e]; }
    };
    struct Weight {
        const Csr* g;
        const double* km;
        double operator()(const Edge& e) const { return km[(*g)[e] / 2]; }
    };

    const RouteGraph& m_g;
    const Csr& m_csr;
    std::uint8_t m_need;
    std::vector<double> m_dist, m_cost;
    std::vector<Vertex> m_pred;
    std::vector<std::uint32_t> m_arrival;
};

std::optional<std::vector<LegSearch::Step>> LegSearch::run(Vertex from, Vertex to)
{
    const Graph graph(m_csr, Allowed{&m_csr, m_g.m_flags.data(), m_need});
    const Estimate estimate{{}, &m_g, m_g.m_lowerBound, m_g.m_stations.x[to], m_g.m_stations.y[to]};
    std::fill(m_dist.begin(), m_dist.end(), kInfinity);
    std::fill(m_cost.begin(), m_cost.end(), kInfinity);
    m_dist[from] = 0;
    m_cost[from] = estimate(from);
    m_pred[from] = from;
    const auto index = boost::get(boost::vertex_index, m_csr);
    boost::two_bit_color_map<decltype(index)> color(m_g.stationCount(), index);
    bool reached = false;
    try {
        boost::astar_search_no_init(graph, from, estimate,
                                    boost::visitor(Visitor{{}, &m_csr, m_arrival.data(), to})
                                        .predecessor_map(m_pred.data())
                                        .rank_map(m_cost.data())
                                        .distance_map(m_dist.data())
                                        .weight_map(boost::make_function_property_map<Edge, double>(Weight{&m_csr, m_g.m_sections.km.data()}))
                                        .color_map(color)
                                        .vertex_index_map(index));
    } catch (const Reached&) {
        reached = true;
    }
    if (!reached) return std::nullopt;
    std::vector<Step> steps;
    for (Vertex v = to; v != from && steps.size() < m_pred.size(); v = m_pred[v]) steps.push_back({v, m_arrival[v]});
    std::reverse(steps.begin(), steps.end());
    return steps;
}

RouteSection RouteGraph::section(std::uint32_t edge, std::uint32_t from, std::uint32_t to) const
{
    const std::uint32_t s = edge / 2;
    const SectionRows& r = m_sections;
    const bool reversed = edge % 2;
    RouteSection out;
    out.fromCode = m_stations.code.text(from);
    out.fromName = m_stations.name.text(from);
    out.toCode = m_stations.code.text(to);
    out.toName = m_stations.name.text(to);
    // The section's own end points, as the map draws it; its stations' where it has none.
    const bool own = !std::isnan(r.x1[s]) && !std::isnan(r.y1[s]) && !std::isnan(r.x2[s]) && !std::isnan(r.y2[s]);
    out.x1 = own ? (reversed ? r.x2[s] : r.x1[s]) : m_stations.x[from];
    out.y1 = own ? (reversed ? r.y2[s] : r.y1[s]) : m_stations.y[from];
    out.x2 = own ? (reversed ? r.x1[s] : r.x2[s]) : m_stations.x[to];
    out.y2 = own ? (reversed ? r.y1[s] : r.y2[s]) : m_stations.y[to];
    out.km = r.km[s];
    out.estimated = m_flags[s] & kEstimated;
    out.tracks = r.tracks[s];
    out.traction = r.traction[s];
    const Railway& railway = m_railways[r.railway[s]];
    out.railwayCode = railway.code;
    out.railwayName = railway.name;
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
        const auto steps = search.run(stops[leg], stops[leg + 1]);
        if (!steps) {
            if (blockedLeg) *blockedLeg = leg;
            return std::nullopt;
        }
        std::uint32_t at = stops[leg];
        for (const LegSearch::Step& step : *steps) {
            route.sections.push_back(section(step.edge, at, step.station));
            route.stations.push_back(station(step.station));
            at = step.station;
        }
        route.stops.push_back(static_cast<int>(route.stations.size()) - 1);
    }
    summarise(route);
    return route;
}

} // namespace zd::route
