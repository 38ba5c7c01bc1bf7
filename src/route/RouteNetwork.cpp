#include "route/RouteNetwork.h"

namespace zd::route {

RouteNetwork::RouteNetwork(std::shared_ptr<const Database> db)
    : m_db(std::move(db)), m_reader(std::make_unique<NetworkReader>(*m_db))
{
}

RouteNetwork::~RouteNetwork()
{
    if (m_build.valid()) m_build.wait();
}

Expected<bool> RouteNetwork::readSome(int rows)
{
    if (m_error) return *m_error;
    if (!m_reader) return false;
    auto more = m_reader->readSome(rows);
    if (!more) {
        m_error = more.error();
        m_reader.reset();
        return *m_error;
    }
    if (!*more) {
        m_build = std::async(std::launch::async, [rows = m_reader->take()]() mutable { return RouteGraph::build(std::move(rows)); });
        m_reader.reset();
    }
    return *more;
}

bool RouteNetwork::ready() const
{
    return m_graph || (m_build.valid() && m_build.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
}

Expected<std::shared_ptr<const RouteGraph>> RouteNetwork::graph()
{
    for (;;) {
        auto more = readSome();
        if (!more) return more.error();
        if (!*more) break;
    }
    if (!m_graph) m_graph = m_build.get();
    return m_graph;
}

} // namespace zd::route
