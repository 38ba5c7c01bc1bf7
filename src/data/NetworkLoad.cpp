#include "data/NetworkLoad.h"

namespace zd {

NetworkLoad::NetworkLoad(const QString& path, OpenOptions options, std::function<void()> done)
{
    options.progress = &m_progress;
    m_thread = std::thread([this, path, options, done = std::move(done)] {
        m_result = Database::open(path, options);
        if (done) done();
    });
}

NetworkLoad::~NetworkLoad()
{
    if (!m_thread.joinable()) return;
    cancel();
    m_thread.join();
}

Expected<std::shared_ptr<Database>> NetworkLoad::result()
{
    if (m_thread.joinable()) m_thread.join();
    return *m_result;
}

} // namespace zd
