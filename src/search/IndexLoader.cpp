#include "search/IndexLoader.h"

namespace zd::search {

IndexLoader::IndexLoader(QObject* parent) : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<BuiltIndex>::finished, this, &IndexLoader::takeResult);
}

// A build still running finishes on its own: it holds its rows and its result itself.
IndexLoader::~IndexLoader() = default;

Expected<> IndexLoader::start(const Database& db)
{
    if (m_started) return {};
    m_started = true;
    auto future = buildInBackground(db);
    if (!future) {
        m_error = future.error().message();
        return future.error();
    }
    m_watcher.setFuture(*future);
    return {};
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
