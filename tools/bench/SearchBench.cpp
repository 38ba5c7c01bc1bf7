#include "SearchBench.h"

#include "Bench.h"
#include "data/Database.h"
#include "search/IndexBuild.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace zd::bench {

namespace {

// Typed texts of every kind a user types: prefixes growing a keystroke at a time,
// Latin spellings, codes, words from inside names, pieces of words; the Russia-only ones
// are searched with that filter. The last two of the plain ones are pieces of names that
// no name holds, made of letters that stand side by side in many names: the whole of
// every key is scanned for them.
struct Typed { const char* text; bool russia; };
const Typed kTyped[] = {
    {"С", false}, {"Ст", false}, {"Ста", false}, {"Стан", false}, {"Станция", false}, {"Станция 1", false},
    {"Станция 12", false}, {"Станция 123", false}, {"Станция 1234", false}, {"Станция 12345", false},
    {"Мос", false}, {"Москва", false}, {"ростов главный", false}, {"Орел", false},
    {"S", false}, {"Stan", false}, {"Stantsiya 77", false}, {"stanciya 5", false}, {"Moskva", false},
    {"Oryol", false}, {"Nizhny Novgorod", false}, {"Khabarovsk", false},
    {"1", false}, {"100", false}, {"1000", false}, {"123456", false}, {"1840", false},
    {"Главный", false}, {"12345", false}, {"77", false}, {"Сортировочная", false},
    {"танц", false}, {"лавн", false}, {"щщщ", false}, {"анция 99999999", false}, {"antsiya 99999999", false},
    {"Стан", true}, {"Stantsiya 9", true}, {"2000", true},
};

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

double msSince(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

QString row(const QString& name, const Samples& s)
{
    return QStringLiteral("%1%2%3%4").arg(name, -30).arg(s.median(), 10, 'f', 3).arg(s.min(), 10, 'f', 3).arg(s.max(), 10, 'f', 3);
}

QJsonObject json(const Samples& s)
{
    return {{QStringLiteral("median"), s.median()}, {QStringLiteral("min"), s.min()}, {QStringLiteral("max"), s.max()}};
}

struct Figures {
    Samples read, build;
    std::vector<Samples> typed = std::vector<Samples>(std::size(kTyped));
    std::vector<int> found = std::vector<int>(std::size(kTyped));
    Samples medians;   // the median of each typed text
};

void measureTyped(const search::NameIndex& index, int runs, Figures& f)
{
    for (int r = 0; r < runs; ++r)
        for (size_t i = 0; i < std::size(kTyped); ++i) {
            search::Filter filter;
            filter.russiaOnly = kTyped[i].russia;
            QElapsedTimer t;
            t.start();
            const auto hits = index.find(QString::fromUtf8(kTyped[i].text), 20, filter);
            f.typed[i].add(msSince(t));
            f.found[i] = static_cast<int>(hits.size());
        }
    for (const Samples& s : f.typed) f.medians.add(s.median());
}

void report(const QString& db, int runs, int entries, const Figures& f)
{
    out(QStringLiteral("zdbench --search: %1, %2 names, %3 runs").arg(QFileInfo(db).fileName()).arg(entries).arg(runs));
    out(QStringLiteral("%1%2%3%4").arg(QStringLiteral("figure"), -30).arg(QStringLiteral("median ms"), 10)
            .arg(QStringLiteral("min ms"), 10).arg(QStringLiteral("max ms"), 10));
    out(row(QStringLiteral("read rows"), f.read));
    out(row(QStringLiteral("build index"), f.build));
    QJsonArray typed;
    for (size_t i = 0; i < std::size(kTyped); ++i) {
        const QString text = QString::fromUtf8(kTyped[i].text) + (kTyped[i].russia ? QStringLiteral(" [Россия]") : QString());
        out(row(QStringLiteral("find/") + text, f.typed[i]) + QStringLiteral("  %1 found").arg(f.found[i]));
        QJsonObject o = json(f.typed[i]);
        o[QStringLiteral("text")] = text;
        o[QStringLiteral("found")] = f.found[i];
        typed.append(o);
    }
    out(row(QStringLiteral("keystroke (medians of texts)"), f.medians));
    out(QStringLiteral("peak memory: %1 MB").arg(peakMemoryMb(), 0, 'f', 1));
    const QJsonObject all{{QStringLiteral("db"), db},
                          {QStringLiteral("names"), entries},
                          {QStringLiteral("runs"), runs},
                          {QStringLiteral("read"), json(f.read)},
                          {QStringLiteral("build"), json(f.build)},
                          {QStringLiteral("keystroke"), json(f.medians)},
                          {QStringLiteral("typed"), typed},
                          {QStringLiteral("peak_memory_mb"), peakMemoryMb()}};
    out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
}

} // namespace

int runSearchBench(const QStringList& args)
{
    QCommandLineParser p;
    p.addOptions({{QStringLiteral("search"), QStringLiteral("the name matcher")},
                  {QStringLiteral("db"), QStringLiteral("network database"), QStringLiteral("file")},
                  {QStringLiteral("runs"), QStringLiteral("runs of every figure"), QStringLiteral("n"), QStringLiteral("15")}});
    bool ok = false;
    const int runs = p.parse(args) ? p.value(QStringLiteral("runs")).toInt(&ok) : 0;
    if (!ok || runs <= 0 || !p.isSet(QStringLiteral("db"))) {
        std::fprintf(stderr, "usage: zdbench --search --db FILE [--runs 15]\n");
        return 2;
    }
    auto db = Database::open(p.value(QStringLiteral("db")));
    if (!db) {
        out(QStringLiteral("zdbench: ") + db.error().message());
        return 1;
    }
    Figures f;
    std::shared_ptr<const search::NameIndex> index;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        auto rows = search::readNameRows(**db);
        f.read.add(msSince(t));
        if (!rows) {
            out(QStringLiteral("zdbench: ") + rows.error().message());
            return 1;
        }
        t.restart();
        auto built = search::NameIndex::build(*rows);
        f.build.add(msSince(t));
        if (!built) {
            out(QStringLiteral("zdbench: ") + built.error().message());
            return 1;
        }
        index = *built;
    }
    measureTyped(*index, runs, f);
    report(p.value(QStringLiteral("db")), runs, index->size(), f);
    return 0;
}

} // namespace zd::bench
