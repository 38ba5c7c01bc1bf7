#include "search/IndexBuild.h"

#include "search/SearchQueries.h"

#include <QPromise>
#include <QThreadPool>

namespace zd::search {

Expected<NameRows> readNameRows(const Database& db)
{
    auto stations = db.query(indexStationsSql());
    if (!stations) return stations.error();
    auto railways = db.query(indexRailwaysSql());
    if (!railways) return railways.error();
    return NameRows{std::move(*stations), std::move(*railways)};
}

Expected<QFuture<BuiltIndex>> buildInBackground(const Database& db)
{
    auto rows = readNameRows(db);
    if (!rows) return rows.error();
    auto input = std::make_shared<NameRows>(std::move(*rows));
    auto promise = std::make_shared<QPromise<BuiltIndex>>();
    QFuture<BuiltIndex> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([input, promise] {
        auto built = NameIndex::build(*input);
        promise->addResult(built ? BuiltIndex{*built, QString()} : BuiltIndex{nullptr, built.error().message()});
        promise->finish();
    });
    return future;
}

Expected<std::shared_ptr<const NameIndex>> buildIndex(const Database& db)
{
    auto rows = readNameRows(db);
    if (!rows) return rows.error();
    return NameIndex::build(*rows);
}

} // namespace zd::search
