// zdcli find: the stations and railways whose names or codes match a typed text, best
// first, by the same matcher as the program's search fields.
#include "Cli.h"
#include "Commands.h"

#include "search/IndexBuild.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zd::cli {

namespace {

using search::Hit;
using search::Kind;
using search::Place;
using search::Rank;

const char* rankName(Rank r, bool russian)
{
    switch (r) {
    case Rank::Exact: return russian ? "точно" : "exact";
    case Rank::Prefix: return russian ? "начало" : "prefix";
    case Rank::WordPrefix: return russian ? "слово" : "word";
    case Rank::Substring: return russian ? "часть" : "substring";
    }
    return "";
}

QString number(double v) { return QString::number(v, 'g', 15); }

QString textLine(const Place& p, Rank rank)
{
    const QString kind = search::kindText(p);
    const QString where = p.hasXY ? number(p.x) + u' ' + number(p.y) : QStringLiteral("-");
    const QString railway = p.kind == Kind::Station && !p.railway.isEmpty() ? QStringLiteral("дор. ") + p.railway : QString();
    return QStringList{p.code, p.name, kind.isEmpty() ? QStringLiteral("станция") : kind, railway, where,
                       QString::fromUtf8(rankName(rank, true))}
        .join(u'\t');
}

QJsonObject jsonPlace(const Place& p, Rank rank)
{
    QJsonObject o{{QStringLiteral("kind"), p.kind == Kind::Station ? QStringLiteral("station") : QStringLiteral("railway")},
                  {QStringLiteral("code"), p.code},
                  {QStringLiteral("name"), p.name},
                  {QStringLiteral("type"), search::kindText(p)},
                  {QStringLiteral("railway"), QJsonObject{{QStringLiteral("code"), p.kodDor}, {QStringLiteral("name"), p.railway}}},
                  {QStringLiteral("x"), p.hasXY ? QJsonValue(p.x) : QJsonValue()},
                  {QStringLiteral("y"), p.hasXY ? QJsonValue(p.y) : QJsonValue()},
                  {QStringLiteral("match"), QLatin1String(rankName(rank, false))}};
    if (p.kind == Kind::Station) {
        o[QStringLiteral("tipStn")] = p.tipStn;
    } else {
        o[QStringLiteral("rect")] = QJsonArray{p.xl, p.yl, p.xr, p.yr};
    }
    return o;
}

// The options other than --db; false after reporting bad usage.
bool takeOptions(Args& args, Format& format, int& limit, bool& russia)
{
    const auto f = takeFormat(args, {QStringLiteral("text"), QStringLiteral("json")});
    const auto limitText = args.take(QStringLiteral("--limit"));
    russia = args.flag(QStringLiteral("--russia"));
    if (!f) return false;
    format = *f;
    bool ok = true;
    if (limitText) limit = limitText->toInt(&ok);
    if (!ok || limit < 0) {
        err(QStringLiteral("Неверное число строк: --limit %1 (нужно целое число не меньше 0)").arg(*limitText));
        return false;
    }
    return true;
}

} // namespace

int runFind(const QStringList& arguments)
{
    Args args(arguments);
    Format format = Format::Text;
    int limit = 20;
    bool russia = false;
    if (!takeOptions(args, format, limit, russia)) return kUsage;
    Args rest = args;
    const std::optional<QString> db = rest.take(QStringLiteral("--db"));
    if (rest.missingValue() || args.missingValue()) {
        err(QStringLiteral("Параметру не задано значение"));
        return kUsage;
    }
    if (!rest.unknownOption().isEmpty()) {
        err(QStringLiteral("Неизвестный параметр: %1").arg(rest.unknownOption()));
        return kUsage;
    }
    const QString text = rest.rest().join(u' ').trimmed();
    if (!db || text.isEmpty()) {
        err(!db ? QStringLiteral("Не указана база данных: --db ФАЙЛ") : QStringLiteral("Не задан текст поиска"));
        err(QStringLiteral("Использование: zdcli find --db ФАЙЛ ТЕКСТ [--limit N] [--russia] [--format text|json]"));
        return kUsage;
    }
    const std::shared_ptr<Database> network = openDatabase(args);
    if (!network) return kFailed;
    auto index = search::buildIndex(*network);
    if (!index) {
        err(index.error().message());
        return kFailed;
    }
    search::Filter filter;
    filter.russiaOnly = russia;
    const std::vector<Hit> hits = (*index)->find(text, limit, filter);
    if (format == Format::Json) {
        QJsonArray list;
        for (const Hit& h : hits) list.append(jsonPlace((*index)->place(h.entry), h.rank));
        out(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("text"), text}, {QStringLiteral("results"), list}})
                                  .toJson(QJsonDocument::Compact)));
    } else {
        for (const Hit& h : hits) out(textLine((*index)->place(h.entry), h.rank));
    }
    if (hits.empty()) {
        err(QStringLiteral("Ничего не найдено: %1").arg(text));
        return kFailed;
    }
    return kOk;
}

} // namespace zd::cli
