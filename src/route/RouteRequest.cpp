#include "route/RouteRequest.h"

namespace zd::route {

namespace {

QString optionsNote(const RouteOptions& o)
{
    if (o.electricOnly && o.russiaOnly) return QStringLiteral(" (только электрифицированные перегоны дорог России)");
    if (o.electricOnly) return QStringLiteral(" (только электрифицированные перегоны)");
    if (o.russiaOnly) return QStringLiteral(" (только дороги России)");
    return {};
}

QString nameOf(const RouteGraph& g, std::uint32_t v)
{
    const RouteStation s = g.station(v);
    return stationLabel(s.name, s.code);
}

QString ambiguousMessage(const RouteGraph& g, const QString& text, const std::vector<std::uint32_t>& found)
{
    QStringList lines{QStringLiteral("Станций «%1» несколько; укажите код нужной:").arg(text.trimmed())};
    for (std::uint32_t v : found) {
        const Railway& r = g.stationRailway(v);
        lines << QStringLiteral("  %1 — дорога %2, код %3").arg(nameOf(g, v), railwayLabel(r.name, r.code), g.station(v).code);
    }
    return lines.join(u'\n');
}

// The answer when a field names no station or several; Found when it names one.
RouteAnswer lookUp(const RouteGraph& g, const QString& text, int stop, std::uint32_t& station)
{
    RouteAnswer a;
    a.stop = stop;
    const std::vector<std::uint32_t> found = g.find(text);
    if (found.size() == 1) {
        station = found.front();
        a.status = RouteAnswer::Found;
    } else if (found.empty()) {
        a.status = RouteAnswer::NoStation;
        a.message = text.trimmed().isEmpty() ? QStringLiteral("Не указана станция")
                                             : QStringLiteral("Станция не найдена: %1").arg(text.trimmed());
    } else {
        a.status = RouteAnswer::Ambiguous;
        a.message = ambiguousMessage(g, text, found);
        a.candidates = found;
    }
    return a;
}

} // namespace

RouteAnswer findRoute(const RouteGraph& graph, const RouteRequest& request)
{
    const QStringList fields = QStringList{request.from} + request.via + QStringList{request.to};
    std::vector<std::uint32_t> stops(static_cast<std::size_t>(fields.size()));
    for (int i = 0; i < fields.size(); ++i) {
        RouteAnswer a = lookUp(graph, fields[i], i, stops[static_cast<std::size_t>(i)]);
        if (a.status != RouteAnswer::Found) return a;
    }
    RouteAnswer a;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        if (stops[i] != stops[i + 1]) continue;
        a.status = RouteAnswer::SameStation;
        a.stop = static_cast<int>(i + 1);
        a.message = stops.size() == 2
            ? QStringLiteral("Станции отправления и назначения совпадают: %1").arg(nameOf(graph, stops[i]))
            : QStringLiteral("Станция %1 указана в маршруте дважды подряд").arg(nameOf(graph, stops[i]));
        return a;
    }
    std::size_t blocked = 0;
    auto route = graph.shortest(stops, request.options, &blocked);
    if (!route) {
        a.status = RouteAnswer::NoPath;
        a.message = QStringLiteral("Между станциями %1 и %2 нет пути по сети%3")
                        .arg(nameOf(graph, stops[blocked]), nameOf(graph, stops[blocked + 1]), optionsNote(request.options));
        return a;
    }
    a.status = RouteAnswer::Found;
    a.route = std::move(*route);
    return a;
}

} // namespace zd::route
