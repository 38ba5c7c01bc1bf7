#include "route/RouteFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zd::route {

namespace {

QString km(double v) { return QString::number(v, 'f', 1); }

// One decimal, as every length of the route is shown; JSON numbers too.
double tenths(double v) { return std::round(v * 10) / 10; }

QString from(const RouteSection& s) { return stationLabel(s.fromName, s.fromCode); }
QString to(const RouteSection& s) { return stationLabel(s.toName, s.toCode); }

const QStringList& tableHeader()
{
    static const QStringList header{QStringLiteral("№"),          QStringLiteral("Код откуда"), QStringLiteral("Откуда"),
                                    QStringLiteral("Код куда"),   QStringLiteral("Куда"),       QStringLiteral("км"),
                                    QStringLiteral("Длина оценена"), QStringLiteral("Путей"),   QStringLiteral("Тяга"),
                                    QStringLiteral("Код дороги"), QStringLiteral("Дорога")};
    return header;
}

QStringList tableRow(const RouteSection& s, int number, const QString& length)
{
    return {QString::number(number), s.fromCode, s.fromName, s.toCode, s.toName, length,
            s.estimated ? QStringLiteral("да") : QString(), tracksLabel(s.tracks), tractionLabel(s.traction),
            s.railwayCode, s.railwayName};
}

// The table, each cell passed through `cell` and joined by `separator`.
template <class Cell, class Length>
QString table(const Route& route, QChar separator, Cell cell, Length length)
{
    auto line = [&](const QStringList& cells) {
        QStringList out;
        for (const QString& c : cells) out << cell(c);
        return out.join(separator);
    };
    QStringList lines{line(tableHeader())};
    int n = 0;
    for (const RouteSection& s : route.sections) lines << line(tableRow(s, ++n, length(s.km)));
    return lines.join(u'\n') + u'\n';
}

QString csvCell(const QString& c)
{
    static const QString special = QStringLiteral(",\"\n\r");
    if (std::none_of(c.begin(), c.end(), [](QChar ch) { return special.contains(ch); })) return c;
    QString q = c;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString tsvCell(const QString& c)
{
    QString t = c;
    for (QChar& ch : t)
        if (ch == u'\t' || ch == u'\n' || ch == u'\r') ch = u' ';
    return t;
}

void subtotalLines(QStringList& lines, const QString& title, const std::vector<Subtotal>& list)
{
    lines << title;
    for (const Subtotal& t : list)
        lines << QStringLiteral("  %1: %2 км, перегонов: %3").arg(t.label, km(t.km)).arg(t.sections);
}

QJsonValue number(float v) { return std::isfinite(v) ? QJsonValue(static_cast<double>(v)) : QJsonValue(); }

QJsonArray subtotalsJson(const std::vector<Subtotal>& list)
{
    QJsonArray a;
    for (const Subtotal& t : list)
        a.append(QJsonObject{{QStringLiteral("label"), t.label}, {QStringLiteral("km"), tenths(t.km)}, {QStringLiteral("sections"), t.sections}});
    return a;
}

} // namespace

QString routeText(const Route& route)
{
    QStringList lines;
    if (route.stations.empty()) return {};
    QStringList via;
    for (std::size_t i = 1; i + 1 < route.stops.size(); ++i) {
        const RouteStation& s = route.stations[static_cast<std::size_t>(route.stops[i])];
        via << stationLabel(s.name, s.code);
    }
    const RouteStation& a = route.stations.front();
    const RouteStation& b = route.stations.back();
    lines << QStringLiteral("Маршрут: %1 — %2").arg(stationLabel(a.name, a.code), stationLabel(b.name, b.code));
    if (!via.isEmpty()) lines << QStringLiteral("Через: %1").arg(via.join(QStringLiteral(", ")));
    if (route.options.electricOnly) lines << QStringLiteral("Только электрифицированные перегоны");
    if (route.options.russiaOnly) lines << QStringLiteral("Только дороги России");
    lines << QStringLiteral("Расстояние: %1 км, перегонов: %2").arg(km(route.km)).arg(route.sections.size());
    if (route.estimated) lines << QStringLiteral("Длин оценено по схеме: %1").arg(route.estimated);
    lines << QString();
    int n = 0;
    for (const RouteSection& s : route.sections)
        lines << QStringLiteral("%1. %2 — %3: %4 км%5, путей: %6, тяга: %7, дорога: %8")
                     .arg(++n, 4)
                     .arg(from(s), to(s), km(s.km), s.estimated ? QStringLiteral(" (оценка)") : QString(), tracksLabel(s.tracks),
                          tractionLabel(s.traction), railwayLabel(s.railwayName, s.railwayCode));
    lines << QString();
    subtotalLines(lines, QStringLiteral("По дорогам:"), route.byRailway);
    subtotalLines(lines, QStringLiteral("По виду тяги:"), route.byTraction);
    subtotalLines(lines, QStringLiteral("По количеству путей:"), route.byTracks);
    return lines.join(u'\n') + u'\n';
}

QString routeTsv(const Route& route)
{
    QLocale russian(QLocale::Russian, QLocale::Russia);
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    return table(route, u'\t', tsvCell, [&](double v) { return russian.toString(v, 'f', 1); });
}

QString routeCsv(const Route& route) { return table(route, u',', csvCell, km); }

QByteArray routeJson(const Route& route)
{
    QJsonArray stations, sections, stops;
    for (const RouteStation& s : route.stations)
        stations.append(QJsonObject{{QStringLiteral("code"), s.code}, {QStringLiteral("name"), s.name},
                                    {QStringLiteral("x"), number(s.x)}, {QStringLiteral("y"), number(s.y)}, {QStringLiteral("tip"), s.tip}});
    for (int i : route.stops) stops.append(i);
    for (const RouteSection& s : route.sections)
        sections.append(QJsonObject{{QStringLiteral("from_code"), s.fromCode}, {QStringLiteral("from_name"), s.fromName},
                                    {QStringLiteral("to_code"), s.toCode},     {QStringLiteral("to_name"), s.toName},
                                    {QStringLiteral("x1"), number(s.x1)},      {QStringLiteral("y1"), number(s.y1)},
                                    {QStringLiteral("x2"), number(s.x2)},      {QStringLiteral("y2"), number(s.y2)},
                                    {QStringLiteral("km"), s.km},              {QStringLiteral("estimated"), s.estimated},
                                    {QStringLiteral("tracks"), s.tracks},      {QStringLiteral("traction"), s.traction},
                                    {QStringLiteral("traction_label"), tractionLabel(s.traction)},
                                    {QStringLiteral("railway_code"), s.railwayCode}, {QStringLiteral("railway_name"), s.railwayName}});
    const QJsonObject all{{QStringLiteral("km"), tenths(route.km)},
                          {QStringLiteral("section_count"), static_cast<int>(route.sections.size())},
                          {QStringLiteral("estimated"), route.estimated},
                          {QStringLiteral("electric_only"), route.options.electricOnly},
                          {QStringLiteral("russia_only"), route.options.russiaOnly},
                          {QStringLiteral("stops"), stops},
                          {QStringLiteral("stations"), stations},
                          {QStringLiteral("sections"), sections},
                          {QStringLiteral("by_railway"), subtotalsJson(route.byRailway)},
                          {QStringLiteral("by_traction"), subtotalsJson(route.byTraction)},
                          {QStringLiteral("by_tracks"), subtotalsJson(route.byTracks)}};
    return QJsonDocument(all).toJson(QJsonDocument::Indented);
}

} // namespace zd::route
