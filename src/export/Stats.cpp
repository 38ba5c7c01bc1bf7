#include "export/Stats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHash>
#include <map>
#include <sqlite3.h>

namespace zd {

namespace {

constexpr int kProgressSteps = 50000;   // SQLite's virtual machine steps between two asks

struct Railway {
    QString name, countryCode, country;
};

// Asks keepGoing from SQLite's progress handler while the queries run.
class ProgressGuard {
public:
    ProgressGuard(const Database& db, const std::function<bool()>& keepGoing) : m_db(db.handle()), m_keep(keepGoing)
    {
        if (m_keep) sqlite3_progress_handler(m_db, kProgressSteps, &ProgressGuard::step, this);
    }
    ~ProgressGuard()
    {
        if (m_keep) sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    }
    bool stopped() const { return m_stopped; }

private:
    static int step(void* self)
    {
        auto* g = static_cast<ProgressGuard*>(self);
        if (!g->m_keep()) g->m_stopped = true;
        return g->m_stopped ? 1 : 0;
    }
    sqlite3* m_db;
    const std::function<bool()>& m_keep;
    bool m_stopped = false;
};

// Lines in a fixed order of keys, each key's label given by the caller.
template <class Key>
struct Tallies {
    std::map<Key, StatLine> lines;
    void add(const Key& k, const QString& label, qint64 n, double km)
    {
        StatLine& l = lines[k];
        l.label = label;
        l.count += n;
        l.km += km;
    }
    StatGroup group(const QString& title, bool hasKm) const
    {
        StatGroup g{title, hasKm, {}};
        for (const auto& [k, l] : lines) g.lines.push_back(l);
        return g;
    }
};

QString tractionLabel(int order)
{
    static const char* const labels[] = {"электр.", "тепл.", "не опр.", "прочие коды"};
    return QString::fromUtf8(labels[order]);
}

// Electric (3, 4), diesel (2), undetermined (0 or empty), any other code.
int tractionOrder(const RowSet& rs, int r, int col)
{
    if (rs.isNullAt(r, col)) return 2;
    const double el = rs.numberAt(r, col);
    if (el == 3 || el == 4) return 0;
    if (el == 2) return 1;
    return el == 0 ? 2 : 3;
}

int typeOrder(double tip)
{
    if (tip == 9) return 0;
    if (tip == 8) return 1;
    if (tip == 7) return 2;
    return tip >= 4 && tip <= 6 ? 3 : 4;
}

QString typeLabel(int order)
{
    static const char* const labels[] = {"Центры дорог", "Стыки дорог", "Центры отделений", "Станции 4–6 класса",
                                         "Прочие станции"};
    return QString::fromUtf8(labels[order]);
}

Expected<QHash<QString, Railway>> readRailways(const Database& db)
{
    auto countries = db.query(statsCountriesSql());
    if (!countries) return countries.error();
    QHash<QString, QString> countryName;
    const int ck = countries->column(u"KodContry"), cn = countries->column(u"NazContry");
    for (int r = 0; r < countries->recordCount(); ++r)
        countryName.insert(countries->textAt(r, ck), countries->textAt(r, cn));
    auto railways = db.query(statsRailwaysSql());
    if (!railways) return railways.error();
    QHash<QString, Railway> out;
    const int kd = railways->column(u"KodDor"), nd = railways->column(u"NazDor"), kc = railways->column(u"KodContry");
    // A code given twice counts its sections once, with the first row's name and country.
    for (int r = 0; r < railways->recordCount(); ++r) {
        const QString code = railways->textAt(r, kd), c = railways->textAt(r, kc);
        if (out.contains(code)) continue;
        const QString country = countryName.value(c, c);
        out.insert(code, Railway{railways->textAt(r, nd), c, country.isEmpty() ? QStringLiteral("не указана") : country});
    }
    return out;
}

// The groups of one count, folded from SQLite's rows per railway, traction and tracks.
NetworkStats fold(const RowSet& sections, const RowSet& stations, const QHash<QString, Railway>& railways, bool russiaOnly)
{
    auto counted = [&](const QString& kodDor) -> const Railway* {
        auto it = railways.constFind(kodDor);
        if (it == railways.constEnd() || (russiaOnly && it->countryCode != QLatin1String("11"))) return nullptr;
        return &*it;
    };
    NetworkStats s;
    Tallies<int> types, traction, tracks;
    Tallies<QString> byRailway, byCountry;
    const int sk = stations.column(u"KodDor"), st = stations.column(u"TipStn"), sb = stations.column(u"StnBranch");
    const int sn = stations.column(u"N");
    for (int r = 0; r < stations.recordCount(); ++r) {
        if (!counted(stations.textAt(r, sk))) continue;
        const qint64 n = static_cast<qint64>(stations.numberAt(r, sn));
        const int order = typeOrder(stations.isNullAt(r, st) ? 0 : stations.numberAt(r, st));
        types.add(order, typeLabel(order), n, 0);
        s.stations += n;
        if (stations.numberAt(r, sb) == 1) s.branching += n;
    }
    const int pk = sections.column(u"KodDor"), pe = sections.column(u"EL"), pr = sections.column(u"RL");
    const int pn = sections.column(u"N"), pkm = sections.column(u"Km");
    for (int r = 0; r < sections.recordCount(); ++r) {
        const Railway* railway = counted(sections.textAt(r, pk));
        if (!railway) continue;
        const qint64 n = static_cast<qint64>(sections.numberAt(r, pn));
        const double km = sections.numberAt(r, pkm);
        const int order = tractionOrder(sections, r, pe);
        traction.add(order, tractionLabel(order), n, km);
        const int rl = sections.isNullAt(r, pr) ? 0 : static_cast<int>(sections.numberAt(r, pr));
        tracks.add(rl, rl > 0 ? QStringLiteral("путей: %1").arg(rl) : QStringLiteral("не опр."), n, km);
        byRailway.add(railway->name, railway->name, n, km);
        byCountry.add(railway->country, railway->country, n, km);
        s.sections += n;
        s.km += km;
    }
    s.groups = {types.group(QStringLiteral("Станции по типам"), false),
                traction.group(QStringLiteral("Перегоны по виду тяги"), true),
                tracks.group(QStringLiteral("Перегоны по числу путей"), true),
                byRailway.group(QStringLiteral("Перегоны по дорогам"), true),
                byCountry.group(QStringLiteral("Перегоны по странам"), true)};
    return s;
}

QString kmText(double km) { return QString::number(km, 'f', 1); }

} // namespace

QString scopeText(const StatsScope& s, const QString& railwayName)
{
    if (s.kind == StatsScope::Railway) return QStringLiteral("Дорога: ") + (railwayName.isEmpty() ? s.kodDor : railwayName);
    return QStringLiteral("Кадр %1,%2 – %3,%4").arg(s.frame.x1).arg(s.frame.y1).arg(s.frame.x2).arg(s.frame.y2);
}

Expected<NetworkStats> countStats(const Database& db, const StatsScope& scope, bool russiaOnly,
                                  const std::function<bool()>& keepGoing)
{
    ProgressGuard progress(db, keepGoing);
    auto railways = readRailways(db);
    if (!railways) return railways.error();
    auto stopped = [&](const DbError& e) {
        return progress.stopped() ? DbError{QString(), QStringLiteral("Подсчёт прерван")} : e;
    };
    auto sections = db.query(statsSectionsSql(scope));
    if (!sections) return stopped(sections.error());
    auto stations = db.query(statsStationsSql(scope));
    if (!stations) return stopped(stations.error());

    NetworkStats out = fold(*sections, *stations, *railways, russiaOnly);
    out.scope = scopeText(scope, scope.kind == StatsScope::Railway ? railways->value(scope.kodDor).name : QString());
    return out;
}

QString statsText(const NetworkStats& s)
{
    QStringList lines{s.scope,
                      QStringLiteral("Станций\t%1\tв т.ч. узловых\t%2").arg(s.stations).arg(s.branching),
                      QStringLiteral("Перегонов\t%1\tкм\t%2").arg(s.sections).arg(kmText(s.km))};
    for (const StatGroup& g : s.groups) {
        lines << g.title;
        for (const StatLine& l : g.lines)
            lines << QStringLiteral("  ") + l.label + u'\t' + QString::number(l.count)
                    + (g.hasKm ? u'\t' + kmText(l.km) : QString());
    }
    return lines.join(u'\n') + u'\n';
}

namespace {
QString csvField(const QString& v)
{
    if (!v.contains(u',') && !v.contains(u'"') && !v.contains(u'\n')) return v;
    return u'"' + QString(v).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}
QString csvRow(const QStringList& fields)
{
    QStringList out;
    for (const QString& f : fields) out << csvField(f);
    return out.join(u',') + QStringLiteral("\r\n");
}
} // namespace

QString statsCsv(const NetworkStats& s)
{
    QString csv = csvRow({QStringLiteral("Раздел"), QStringLiteral("Показатель"), QStringLiteral("Количество"),
                          QStringLiteral("Км")});
    csv += csvRow({QStringLiteral("Всего"), QStringLiteral("Станции"), QString::number(s.stations), QString()});
    csv += csvRow({QStringLiteral("Всего"), QStringLiteral("Узловые станции"), QString::number(s.branching), QString()});
    csv += csvRow({QStringLiteral("Всего"), QStringLiteral("Перегоны"), QString::number(s.sections), kmText(s.km)});
    for (const StatGroup& g : s.groups)
        for (const StatLine& l : g.lines)
            csv += csvRow({g.title, l.label, QString::number(l.count), g.hasKm ? kmText(l.km) : QString()});
    return csv;
}

QString statsJson(const NetworkStats& s)
{
    QJsonArray groups;
    for (const StatGroup& g : s.groups) {
        QJsonArray lines;
        for (const StatLine& l : g.lines) {
            QJsonObject o{{QStringLiteral("label"), l.label}, {QStringLiteral("count"), l.count}};
            if (g.hasKm) o[QStringLiteral("km")] = l.km;
            lines.append(o);
        }
        groups.append(QJsonObject{{QStringLiteral("title"), g.title}, {QStringLiteral("lines"), lines}});
    }
    const QJsonObject all{{QStringLiteral("scope"), s.scope},
                          {QStringLiteral("stations"), s.stations},
                          {QStringLiteral("branching"), s.branching},
                          {QStringLiteral("sections"), s.sections},
                          {QStringLiteral("km"), s.km},
                          {QStringLiteral("groups"), groups}};
    return QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact));
}

} // namespace zd
