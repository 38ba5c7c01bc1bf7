#include "route/RouteGraph.h"

#include "route/CodeIndex.h"
#include "route/RouteAdjacency.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zd::route {

namespace {

double distance(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

double median(std::vector<double> v)
{
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2) return *mid;
    return (*mid + *std::max_element(v.begin(), mid)) / 2;
}

template <class T>
std::size_t bytesOf(const std::vector<T>& v) { return v.capacity() * sizeof(T); }

} // namespace

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
    g->makeChains(ends);
    g->connect();
    return g;
}

// The station of every section end. An end that Stn does not hold is added as a station
// of its own, after the rows of Stn, so that the sections through it still join.
RouteGraph::Ends RouteGraph::resolveEnds()
{
    StationRows& st = m_stations;
    CodeIndex index(st.code, st.size());
    m_ignored = index.insertAll(st.size());
    Ends ends;
    index.findAll(m_sections.code1, ends.first);
    index.findAll(m_sections.code2, ends.second);
    auto resolve = [&](std::uint32_t& v, const TextPool& codes, std::uint32_t s, float x, float y) {
        const QByteArrayView code = codes.view(s);
        if (v != CodeIndex::kNone || code.empty()) return;
        v = index.find(code);   // an end met before may have been added since
        if (v != CodeIndex::kNone) return;
        v = st.code.add(code);
        st.name.add({});
        st.x.push_back(x);
        st.y.push_back(y);
        st.railway.push_back(m_sections.railway[s]);
        st.tip.push_back(0);
        m_ignored.push_back(false);
        index.insert(v);
    };
    for (std::uint32_t s = 0; s < m_sections.size(); ++s) {
        resolve(ends.first[s], m_sections.code1, s, m_sections.x1[s], m_sections.y1[s]);
        resolve(ends.second[s], m_sections.code2, s, m_sections.x2[s], m_sections.y2[s]);
    }
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
    m_flags.assign(m, 0);
    std::vector<double> ratios;
    ratios.reserve(m);
    for (std::uint32_t s = 0; s < m; ++s) {
        if (ends.first[s] == kNoStation || ends.second[s] == kNoStation || ends.first[s] == ends.second[s]) continue;
        m_flags[s] = kInGraph;
        if (std::isnan(m_sections.km[s])) continue;
        const double len = mapLength(s, ends);
        if (std::isfinite(len) && len > 0) ratios.push_back(m_sections.km[s] / len);
    }
    m_kmPerUnit = median(std::move(ratios));
    for (std::uint32_t s = 0; s < m; ++s) {
        double& km = m_sections.km[s];
        if ((m_flags[s] & kInGraph) && std::isnan(km)) {
            const double estimate = mapLength(s, ends) * m_kmPerUnit;
            km = std::round(estimate * 10) / 10;   // the precision of the stored lengths
            m_flags[s] = std::isfinite(estimate) ? kInGraph | kEstimated : 0;
            m_estimated += std::isfinite(estimate) ? 1 : 0;
        }
        if (!(m_flags[s] & kInGraph)) {
            ++m_dropped;
            continue;
        }
        const int el = m_sections.traction[s];
        m_flags[s] |= (el == 3 || el == 4 ? kElectric : 0) | (m_railways[m_sections.railway[s]].russia ? kRussia : 0);
    }
}

// Cuts the sections into chains. A station is passed through when it has exactly two
// sections, to two different neighbours; every other station is a junction. A ring of
// such stations alone gets a junction where its walk closes.
void RouteGraph::makeChains(const Ends& ends)
{
    const std::uint32_t n = stationCount(), m = m_sections.size();
    std::vector<std::uint8_t> degree(n);   // up to 3
    std::vector<std::uint32_t> first(n, kNoStation), second(n, kNoStation);
    for (std::uint32_t s = 0; s < m; ++s) {
        if (!(m_flags[s] & kInGraph)) continue;
        for (std::uint32_t v : {ends.first[s], ends.second[s]}) {
            if (degree[v] == 0) first[v] = s;
            else if (degree[v] == 1) second[v] = s;
            if (degree[v] < 3) ++degree[v];
        }
    }
    auto other = [&](std::uint32_t s, std::uint32_t v) { return ends.first[s] == v ? ends.second[s] : ends.first[s]; };
    std::vector<char> through(n);
    for (std::uint32_t v = 0; v < n; ++v) through[v] = degree[v] == 2 && other(first[v], v) != other(second[v], v);
    auto onward = [&](std::uint32_t v, std::uint32_t arrived) { return first[v] == arrived ? second[v] : first[v]; };

    m_place.assign(n, 0);
    m_position.assign(n, 0);
    m_chainFirst.assign(1, 0);
    std::vector<char> done(m);
    std::vector<std::uint32_t> back, chain;
    for (std::uint32_t s = 0; s < m; ++s) {
        if (!(m_flags[s] & kInGraph) || done[s]) continue;
        back.clear();
        std::uint32_t a = ends.first[s];
        for (std::uint32_t arrived = s; through[a] && a != ends.second[s]; a = other(arrived, a)) back.push_back(arrived = onward(a, arrived));
        if (a == ends.second[s]) through[a] = false;   // a ring closed: a becomes its junction
        chain.assign(back.rbegin(), back.rend());
        chain.push_back(s);
        std::uint32_t b = ends.second[s];
        for (std::uint32_t arrived = s; through[b]; b = other(arrived, b)) chain.push_back(arrived = onward(b, arrived));
        for (std::uint32_t c : chain) done[c] = 1;
        addChain(chain, a, ends, through);
    }
    for (std::uint32_t v = 0; v < n; ++v) {
        if (through[v]) continue;
        m_place[v] = static_cast<std::uint32_t>(m_junctions.size());
        m_junctions.push_back(v);
    }
}

void RouteGraph::addChain(const std::vector<std::uint32_t>& sections, std::uint32_t start, const Ends& ends,
                          const std::vector<char>& through)
{
    const auto c = static_cast<std::uint32_t>(m_chainStart.size());
    m_chainStart.push_back(start);
    double km = 0;
    std::uint8_t flags = 0xFF;
    std::uint32_t at = start;
    for (std::uint32_t s : sections) {
        const std::uint32_t next = ends.first[s] == at ? ends.second[s] : ends.first[s];
        m_steps.push_back({2 * s + (ends.first[s] == at ? 0 : 1), next});
        km += m_sections.km[s];
        flags &= m_flags[s];
        if (through[next]) {
            m_place[next] = c;
            m_position[next] = static_cast<std::uint32_t>(m_steps.size()) - m_chainFirst.back();
        }
        at = next;
    }
    m_chainFirst.push_back(static_cast<std::uint32_t>(m_steps.size()));
    m_chainKm.push_back(km);
    m_chainFlags.push_back(flags);
}

void RouteGraph::connect()
{
    const auto chains = static_cast<std::uint32_t>(m_chainStart.size());
    std::vector<std::uint32_t> sources, targets, edges;
    sources.reserve(2 * chains);
    targets.reserve(2 * chains);
    edges.reserve(2 * chains);
    for (std::uint32_t c = 0; c < chains; ++c) {
        const std::uint32_t a = m_place[m_chainStart[c]], b = m_place[chainStation(c, chainLength(c))];
        sources.insert(sources.end(), {a, b});
        targets.insert(targets.end(), {b, a});
        edges.insert(edges.end(), {2 * c, 2 * c + 1});
    }
    m_adjacency.reset(new Adjacency{JunctionGraph(boost::construct_inplace_from_sources_and_targets, sources, targets, edges,
                                                  junctionCount())});
}

std::uint32_t RouteGraph::chainStation(std::uint32_t chain, std::uint32_t pos) const
{
    return pos == 0 ? m_chainStart[chain] : m_steps[m_chainFirst[chain] + pos - 1].station;
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

std::size_t RouteGraph::memoryBytes() const
{
    const StationRows& st = m_stations;
    const SectionRows& se = m_sections;
    std::size_t bytes = st.code.bytes() + st.name.bytes() + bytesOf(st.x) + bytesOf(st.y) + bytesOf(st.railway)
        + bytesOf(st.tip) + m_ignored.capacity() / 8;
    bytes += bytesOf(se.x1) + bytesOf(se.y1) + bytesOf(se.x2) + bytesOf(se.y2) + bytesOf(se.km) + bytesOf(se.railway)
        + bytesOf(se.tracks) + bytesOf(se.traction) + bytesOf(m_flags);
    bytes += bytesOf(m_chainFirst) + bytesOf(m_chainStart) + bytesOf(m_steps) + bytesOf(m_chainKm) + bytesOf(m_chainFlags)
        + bytesOf(m_place) + bytesOf(m_position) + bytesOf(m_junctions);
    const JunctionGraph& g = m_adjacency->csr;   // row starts, then a target and a property per edge
    return bytes + (boost::num_vertices(g) + 1) * sizeof(std::uint32_t) + boost::num_edges(g) * 2 * sizeof(std::uint32_t);
}

} // namespace zd::route
