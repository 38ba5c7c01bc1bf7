#include "routewin/RouteSource.h"

#include "map/MapHost.h"
#include "route/RouteQueries.h"

#include <QEventLoop>
#include <QWidget>
#include <algorithm>

namespace zd {

namespace {
constexpr int kPollMs = 10;   // while the worker builds the graph
const char kObjectName[] = "routeSource";
} // namespace

RouteSource::RouteSource(MapHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    setObjectName(QLatin1String(kObjectName));
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &RouteSource::step);
}

RouteSource& RouteSource::of(MapHost& host)
{
    QWidget& owner = host.window();
    if (auto* existing = owner.findChild<RouteSource*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new RouteSource(host, &owner);
}

void RouteSource::start()
{
    if (m_reading || m_graph || m_failed) return;
    std::shared_ptr<Database> db = m_host.database();
    if (!db) return;
    // The totals only size the progress shown; the reader counts the rows itself.
    if (auto counts = db->query(route::rowCountsSql()); counts && counts->recordCount() > 0)
        m_rows = counts->numberAt(0, 0) + counts->numberAt(0, 1);
    m_network = std::make_unique<route::RouteNetwork>(db);
    m_reading = true;
    m_timer.start();
}

int RouteSource::percent() const
{
    if (m_graph) return 100;
    if (!m_reading) return 0;
    if (building()) return 100;
    return m_rows > 0 ? static_cast<int>(std::min(99.0, 100 * m_read / m_rows)) : 0;
}

void RouteSource::step()
{
    if (building()) {
        if (!m_network->ready()) return;
        m_timer.stop();
        auto graph = m_network->graph();   // built: returns at once
        if (!graph) return fail(graph.error());
        m_graph = *graph;
        m_reading = false;
        emit built();
        return;
    }
    auto more = m_network->readSome(kPieceRows);
    if (!more) return fail(more.error());
    m_read += kPieceRows;
    if (!*more) m_timer.setInterval(kPollMs);
    emit progressed();
}

void RouteSource::fail(const DbError& error)
{
    m_timer.stop();
    m_reading = false;
    m_failed = true;
    m_network.reset();
    m_host.reportFailure(error);
}

std::shared_ptr<const route::RouteGraph> RouteSource::waitGraph()
{
    start();
    if (!m_graph && m_reading) {
        QEventLoop wait;
        connect(this, &RouteSource::built, &wait, &QEventLoop::quit);
        QTimer failed;   // a failure ends the reading without a graph
        connect(&failed, &QTimer::timeout, &wait, [&] { if (!m_reading) wait.quit(); });
        failed.start(kPollMs);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return m_graph;
}

} // namespace zd
