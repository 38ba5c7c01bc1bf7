#include "route/Route.h"

#include <algorithm>
#include <map>

namespace zd::route {

QString tractionLabel(int el)
{
    if (el == 3 || el == 4) return QStringLiteral("электр.");
    if (el == 2) return QStringLiteral("тепл.");
    return QStringLiteral("не опр.");
}

QString tracksLabel(int rl) { return rl > 0 ? QString::number(rl) : QStringLiteral("не опр."); }

QString stationLabel(const QString& name, const QString& code)
{
    return name.isEmpty() ? QStringLiteral("код %1").arg(code) : name;
}

QString railwayLabel(const QString& name, const QString& code)
{
    if (!name.isEmpty()) return name;
    return code.isEmpty() ? QStringLiteral("не опр.") : QStringLiteral("код %1").arg(code);
}

namespace {

void count(Subtotal& t, const QString& label, double km)
{
    t.label = label;
    t.km += km;
    ++t.sections;
}

} // namespace

void summarise(Route& route)
{
    route.km = 0;
    route.estimated = 0;
    route.byRailway.clear();
    route.byTraction.clear();
    route.byTracks.clear();
    std::vector<QString> railways;   // codes in the order met
    Subtotal traction[3];            // электр., тепл., не опр.
    std::map<int, Subtotal> tracks;  // by RL, not determined as 0
    for (const RouteSection& s : route.sections) {
        route.km += s.km;
        route.estimated += s.estimated ? 1 : 0;
        const auto at = static_cast<std::size_t>(std::find(railways.begin(), railways.end(), s.railwayCode) - railways.begin());
        if (at == railways.size()) {
            railways.push_back(s.railwayCode);
            route.byRailway.emplace_back();
        }
        count(route.byRailway[at], railwayLabel(s.railwayName, s.railwayCode), s.km);
        count(traction[(s.traction == 3 || s.traction == 4) ? 0 : s.traction == 2 ? 1 : 2], tractionLabel(s.traction), s.km);
        count(tracks[std::max(s.tracks, 0)], tracksLabel(s.tracks), s.km);
    }
    for (const Subtotal& t : traction)
        if (t.sections) route.byTraction.push_back(t);
    for (const auto& [rl, t] : tracks)
        if (rl > 0) route.byTracks.push_back(t);
    if (auto it = tracks.find(0); it != tracks.end()) route.byTracks.push_back(it->second);
}

} // namespace zd::route
