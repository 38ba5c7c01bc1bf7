#pragma once
// Opens a network on a thread of its own: the in-memory database is built there, on its own
// connection, and handed over whole once the thread has ended. No connection is ever used
// by two threads at once.
#include "data/Database.h"
#include "data/LoadProgress.h"

#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace zd {

class NetworkLoad {
public:
    // Starts the load; done is called on the loading thread as its last act.
    NetworkLoad(const QString& path, OpenOptions options, std::function<void()> done = {});
    ~NetworkLoad();   // cancels a load still running and waits for its thread
    NetworkLoad(const NetworkLoad&) = delete;
    NetworkLoad& operator=(const NetworkLoad&) = delete;

    const LoadProgress& progress() const { return m_progress; }
    void cancel() { m_progress.cancel(); }
    bool cancelled() const { return m_progress.cancelled(); }

    // Waits for the thread and gives the database, or why there is none (a cancelled load
    // ends with kLoadCancelled).
    Expected<std::shared_ptr<Database>> result();

private:
    LoadProgress m_progress;
    std::optional<Expected<std::shared_ptr<Database>>> m_result;
    std::thread m_thread;
};

} // namespace zd
