#pragma once
// The name index of the open network, built once when the network loads: the stations'
// rows are read ahead on the database's helper thread, the index is built on worker
// threads while the windows go on, and whoever needs it is told when it is there.
#include "data/Database.h"
#include "search/IndexBuild.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace zd::search {

class IndexLoader : public QObject {
    Q_OBJECT
public:
    explicit IndexLoader(QObject* parent = nullptr);
    ~IndexLoader() override;

    // Starts reading the rows, then the build; a second call does nothing. A failure to
    // read the rows leaves no index, and error() tells why.
    void start(const std::shared_ptr<const Database>& db);
    // The rows are still being read.
    bool reading() const { return m_poll.isActive(); }

    // The index, or null while it is being built or when it could not be built.
    std::shared_ptr<const NameIndex> index() const { return m_index; }
    // Why there is no index: empty while it is being built or when there is one.
    const QString& error() const { return m_error; }

    // Calls ready on context's thread once the index is there (at once when it is); the call
    // is dropped when context goes first or the build fails.
    void whenReady(QObject* context, std::function<void()> ready);

signals:
    void built();

private:
    void poll();
    void build(const Database& db);
    void takeResult();

    std::weak_ptr<const Database> m_db;
    QTimer m_poll;

    QFutureWatcher<BuiltIndex> m_watcher;
    std::shared_ptr<const NameIndex> m_index;
    QString m_error;
    bool m_started = false;
};

} // namespace zd::search
