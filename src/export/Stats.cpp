#include "export/Stats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHash>
#include <map>
#include <memory>
#include <tuple>
#include <sqlite3.h>

namespace zd {

namespace {

constexpr int kAskRows = 1 << 16;   // rows stepped between two asks of keepGoing

struct Railway {
    QString name, countryCode, country;
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
int tractionOrder(sqlite3_stmt* row, int col)
{
    if (sqlite3_column_type(row, col) == SQLITE_NULL) return 2;
    const double el = sqlite3_column_double(row, col);
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

struct Tally {
    qint64 n = 0;
    double km = 0;
};
// Sections by railway, traction and tracks; stations by railway, type and branching.
using SectionKey = std::tuple<const Railway*, int, int>;
using StationKey = std::tuple<const Railway*, int, bool>;

// Steps the rows of the SQL text, handing each to row(); keepGoing is asked now and then.
template <class Row>
Expected<> stepRows(const Database& db, const QString& sql, const std::function<bool()>& keepGoing, Row&& row)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        return DbError{db.path(), QString::fromUtf8(sqlite3_errmsg(db.handle()))};
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    int rc = SQLITE_ROW;
    for (qint64 i = 1; (rc = sqlite3_step(stmt)) == SQLITE_ROW; ++i) {
        row(stmt);
        if (i % kAskRows == 0 && keepGoing && !keepGoing()) return DbError{QString(), QStringLiteral("Подсчёт прерван")};
    }
    if (rc != SQLITE_DONE) return DbError{db.path(), QString::fromUtf8(sqlite3_errmsg(db.handle()))};
    return {};
}

// The railway of a row's KodDor (column 0), or null when it is not counted. The rows come
// mostly in KodDor order, so the code is looked up when it changes.
class RailwayOf {
public:
    RailwayOf(const QHash<QString, Railway>& railways, bool russiaOnly) : m_railways(railways), m_russiaOnly(russiaOnly) {}
    const Railway* operator()(sqlite3_stmt* row)
    {
        const QByteArrayView kod(static_cast<const char*>(sqlite3_column_blob(row, 0)), sqlite3_column_bytes(row, 0));
        if (m_known && kod == QByteArrayView(m_kod)) return m_railway;
        m_kod = kod.toByteArray();
        m_known = true;
        auto it = m_railways.constFind(QString::fromUtf8(m_kod));
        const bool counted = it != m_railways.constEnd() && (!m_russiaOnly || it->countryCode == QLatin1String("11"));
        return m_railway = counted ? &*it : nullptr;
    }

private:
    const QHash<QString, Railway>& m_railways;
    bool m_russiaOnly;
    QByteArray m_kod;
    bool m_known = false;
    const Railway* m_railway = nullptr;
};

// The groups of one count, folded from the tallies per railway, traction and tracks.
NetworkStats fold(const std::map<SectionKey, Tally>& sections, const std::map<StationKey, qint64>& stations)
{
    NetworkStats s;
    Tallies<int> types, traction, tracks;
    Tallies<QString> byRailway, byCountry;
    for (const auto& [key, n] : stations) {
        const auto& [railway, order, branching] = key;
        types.add(order, typeLabel(order), n, 0);
        s.stations += n;
        if (branching) s.branching += n;
    }
    for (const auto& [key, t] : sections) {
        const auto& [railway, order, rl] = key;
        traction.add(order, tractionLabel(order), t.n, t.km);
        tracks.add(rl, rl > 0 ? QStringLiteral("путей: %1").arg(rl) : QStringLiteral("не опр."), t.n, t.km);
        byRailway.add(railway->name, railway->name, t.n, t.km);
        byCountry.add(railway->country, railway->country, t.n, t.km);
        s.sections += t.n;
        s.km += t.km;
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
    auto railways = readRailways(db);
    if (!railways) return railways.error();
    std::map<SectionKey, Tally> sections;
    RailwayOf sectionRailway(*railways, russiaOnly);
    auto stepped = stepRows(db, statsSectionsSql(scope), keepGoing, [&](sqlite3_stmt* row) {
        const Railway* railway = sectionRailway(row);
        if (!railway) return;
        const int rl = sqlite3_column_type(row, 2) == SQLITE_NULL ? 0 : sqlite3_column_int(row, 2);
        Tally& t = sections[{railway, tractionOrder(row, 1), rl}];
        ++t.n;
        t.km += sqlite3_column_double(row, 3);
    });
    if (!stepped) return stepped.error();
    std::map<StationKey, qint64> stations;
    RailwayOf stationRailway(*railways, russiaOnly);
    stepped = stepRows(db, statsStationsSql(scope), keepGoing, [&](sqlite3_stmt* row) {
        const Railway* railway = stationRailway(row);
        if (!railway) return;
        const double tip = sqlite3_column_type(row, 1) == SQLITE_NULL ? 0 : sqlite3_column_double(row, 1);
        ++stations[{railway, typeOrder(tip), sqlite3_column_double(row, 2) == 1}];
    });
    if (!stepped) return stepped.error();

    NetworkStats out = fold(sections, stations);
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
