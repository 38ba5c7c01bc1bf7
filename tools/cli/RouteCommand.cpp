// zdcli route: the shortest route by kilometres between two stations, through the via
// stations in order, written as text, CSV or JSON.
#include "Cli.h"
#include "Commands.h"

#include "route/RouteFormat.h"
#include "route/RouteNetwork.h"
#include "route/RouteRequest.h"

#include <cstdio>

namespace zd::cli {

namespace {

const char kUsageLine[] =
    "Использование: zdcli route --db ФАЙЛ ОТКУДА КУДА [--via СТАНЦИЯ]… [--electric] [--russia] [--format text|csv|json]\n"
    "Станция задаётся точным названием или кодом (KodStn).";

int usage(const QString& problem)
{
    if (!problem.isEmpty()) err(problem);
    err(QString::fromUtf8(kUsageLine));
    return kUsage;
}

int exitCode(route::RouteAnswer::Status s)
{
    return s == route::RouteAnswer::Ambiguous || s == route::RouteAnswer::SameStation ? kUsage : kFailed;
}

void write(const route::Route& r, Format f)
{
    const QByteArray bytes = f == Format::Json ? route::routeJson(r)
                             : f == Format::Csv ? route::routeCsv(r).toUtf8()
                                                : route::routeText(r).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

} // namespace

int runRoute(const QStringList& arguments)
{
    Args args(arguments);
    route::RouteRequest request;
    request.via = args.takeAll(QStringLiteral("--via"));
    request.options.electricOnly = args.flag(QStringLiteral("--electric"));
    request.options.russiaOnly = args.flag(QStringLiteral("--russia"));
    const std::optional<Format> format = takeFormat(args);
    if (!format) return usage({});
    // Usage is checked before the database is opened: a large one takes seconds.
    Args rest = args;
    if (rest.take(QStringLiteral("--db")).value_or(QString()).isEmpty()) return usage(QStringLiteral("Не указана база данных: --db ФАЙЛ"));
    if (rest.missingValue()) return usage(QStringLiteral("Параметру не хватает значения"));
    if (!rest.unknownOption().isEmpty()) return usage(QStringLiteral("Неизвестный параметр: %1").arg(rest.unknownOption()));
    if (rest.rest().size() != 2) return usage(QStringLiteral("Нужны две станции: откуда и куда"));
    request.from = rest.rest()[0];
    request.to = rest.rest()[1];

    const std::shared_ptr<Database> db = openDatabase(args);
    if (!db) return kFailed;
    route::RouteNetwork network(db);
    auto graph = network.graph();
    if (!graph) {
        err(graph.error().message());
        return kFailed;
    }
    const route::RouteAnswer answer = route::findRoute(**graph, request);
    if (answer.status != route::RouteAnswer::Found) {
        err(answer.message);
        return exitCode(answer.status);
    }
    write(answer.route, *format);
    return kOk;
}

} // namespace zd::cli
