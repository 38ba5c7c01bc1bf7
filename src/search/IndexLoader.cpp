#include "search/IndexLoader.h"

#include "search/SearchQueries.h"

namespace zd::search {

IndexLoader::IndexLoader(QObject* parent) : QObject(parent)
{
    m_poll.setInterval(50);
    connect(&m_poll, &QTimer::timeout, this, &IndexLoader::poll);
    connect(&m_watcher, &QFutureWatcher<BuiltIndex>::finished, this, &IndexLoader::takeResult);
}

// A build still running finishes on its own: it holds its rows and its result itself.
IndexLoader::~IndexLoader() = default;

void IndexLoader::start(const std::shared_ptr<const Database>& db)
{
    if (m_started || !db) return;
    m_started = true;
    m_db = db;
    m_poll.start();
    poll();
}

// A reading stopped by another query is started again once no query is under way.
void IndexLoader::poll()
{
    const std::shared_ptr<const Database> db = m_db.lock();
    if (!db) {
        m_poll.stop();
        return;
    }
    switch (db->readAheadState(indexStationsSql())) {
    case Database::Ahead::None: db->readAhead(indexStationsSql()); return;
    case Database::Ahead::Reading: return;
    case Database::Ahead::Read: break;
    }
    m_poll.stop();
    build(*db);
}

void IndexLoader::build(const Database& db)
{
    auto future = buildInBackground(db);
    if (!future) {
        m_error = future.error().message();
        return;
    }
    m_watcher.setFuture(*future);
}

void IndexLoader::takeResult()
{
    const BuiltIndex result = m_watcher.future().result();
    m_index = result.index;
    m_error = result.error;
    if (m_index) emit built();
}

void IndexLoader::whenReady(QObject* context, std::function<void()> ready)
{
    if (m_index) {
        ready();
        return;
    }
    connect(this, &IndexLoader::built, context, std::move(ready), Qt::SingleShotConnection);
}

} // namespace zd::search
