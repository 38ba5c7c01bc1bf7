#pragma once
// The name index of an open network: its rows read on the thread that owns the database
// (the connection is not shared between threads), the folding and sorting done on worker
// threads while the caller goes on.
#include "data/Database.h"
#include "search/NameIndex.h"

#include <QFuture>
#include <memory>

namespace zd::search {

// Reads the rows the index is built from.
Expected<NameRows> readNameRows(const Database& db);

// What a build in the background hands back: the index, or why there is none.
struct BuiltIndex {
    std::shared_ptr<const NameIndex> index;
    QString error;
};

// Reads the rows now and builds the index on the global thread pool; a QFutureWatcher
// tells the caller's thread when it is ready.
Expected<QFuture<BuiltIndex>> buildInBackground(const Database& db);

// Reads and builds, waiting for the index (command-line tools, tests).
Expected<std::shared_ptr<const NameIndex>> buildIndex(const Database& db);

} // namespace zd::search
