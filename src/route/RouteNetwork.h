#pragma once
// The route graph of one database, built once, on first use. The rows are read on the
// database's thread (its SQLite connection serves one thread), in pieces when a window
// wants its events to run between them; the graph is then built from them on a worker
// thread, so that the window stays responsive.
#include "data/Database.h"
#include "route/NetworkRows.h"
#include "route/RouteGraph.h"

#include <future>
#include <memory>
#include <optional>

namespace zd::route {

class RouteNetwork {
public:
    explicit RouteNetwork(std::shared_ptr<const Database> db);
    ~RouteNetwork();   // waits for a build under way
    RouteNetwork(const RouteNetwork&) = delete;
    RouteNetwork& operator=(const RouteNetwork&) = delete;

    // Reads the next rows; once all are read, starts the build on a worker thread. True
    // while rows are left to read. On the database's thread.
    Expected<bool> readSome(int rows = NetworkReader::kPieceRows);
    // Whether the graph is built; never waits.
    bool ready() const;
    // The graph: reads the rows that are left and waits for the build. On the database's thread.
    Expected<std::shared_ptr<const RouteGraph>> graph();

private:
    std::shared_ptr<const Database> m_db;
    std::unique_ptr<NetworkReader> m_reader;
    std::future<std::shared_ptr<const RouteGraph>> m_build;
    std::shared_ptr<const RouteGraph> m_graph;
    std::optional<DbError> m_error;
};

} // namespace zd::route
