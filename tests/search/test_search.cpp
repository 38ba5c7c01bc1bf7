// The name matcher on a small network of its own: what each typed text finds first, the
// order of ties, the filters, and zdcli find.
#include "TestDb.h"
#include "data/Database.h"
#include "search/IndexBuild.h"
#include "search/NameFold.h"

#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;
using namespace zd::search;

namespace {

// Russia (11): railways 1, 2, 3 ...; Belarus (21): railway 20. Rows are inserted out of
// name order, and the same name four times with the types shuffled.
QString networkSql()
{
    return zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,100,100,'200','Санкт-Петербург','11'),"
        " ('2','Московская',100,0,200,100,'100','Москва','11'),('3','Горьковская',0,0,1,1,'300',NULL,'11'),"
        " ('4','Свердловская',0,0,1,1,'400',NULL,'11'),('5','Дальневосточная',0,0,1,1,'500',NULL,'11'),"
        " ('6','Забайкальская',0,0,1,1,'600',NULL,'11'),('7','Северо-Кавказская',0,0,1,1,'800',NULL,'11'),"
        " ('20','Белорусская',300,0,400,100,'900','Минск','21');"
        "INSERT INTO Stn VALUES('101','Москва-Сортировочная',110,10,'2',5,0),"
        " ('100','Москва',120,20,'2',9,0),('200','Санкт-Петербург',10,10,'1',9,0),"
        " ('300','Нижний Новгород',1,1,'3',9,0),('400','Екатеринбург',1,1,'4',9,0),"
        " ('500','Хабаровск',1,1,'5',9,0),('600','Чита',1,1,'6',9,0),('700','Орёл',1,1,'2',7,0),"
        " ('710','Березники',1,1,'4',5,0),('800','Ростов-Главный',1,1,'7',9,0),('801','Ростов',1,1,'2',5,1),"
        " ('900','Минск',310,10,'20',9,0),('901','Минск-Сортировочный',320,10,'20',5,0),"
        " ('1001','Ивановка',1,1,'2',5,0),('1002','Ивановка',1,1,'2',8,0),('1003','Ивановка',1,1,'2',7,0),"
        " ('1004','Ивановка',1,1,'2',9,0),('1100','Октябрьская',1,1,'1',5,0),"
        " ('1200','Марьина Роща',1,1,'2',5,0),('1300','Мар''ино',1,1,'2',5,0),('1400','Ельня',1,1,'2',5,0);");
}

class Search : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_dir.isValid());
        ASSERT_TRUE(zdtest::writeSqlite(path(), networkSql()));
        auto db = Database::open(path());
        ASSERT_TRUE(db.ok()) << db.error().message().toStdString();
        auto built = buildIndex(**db);
        ASSERT_TRUE(built.ok()) << built.error().message().toStdString();
        s_index = *built;
    }
    static void TearDownTestSuite() { s_index.reset(); }
    static QString path() { return s_dir.filePath(QStringLiteral("net.db")); }

    static QStringList codes(const std::vector<Hit>& hits)
    {
        QStringList out;
        for (const Hit& h : hits) out << s_index->place(h.entry).code;
        return out;
    }

    static inline QTemporaryDir s_dir;
    static inline std::shared_ptr<const NameIndex> s_index;
};

struct Typed {
    const char* name;   // of the row
    const char* text;
    const char* first;  // code of the first place found
    Rank rank;
};

void PrintTo(const Typed& t, std::ostream* os) { *os << t.name; }

class FirstFound : public Search, public testing::WithParamInterface<Typed> {};

const Typed kTyped[] = {
    {"yo_typed_as_e", "Орел", "700", Rank::Exact},
    {"yo_typed_as_yo", "Орёл", "700", Rank::Exact},
    {"e_typed_as_yo", "Берёзники", "710", Rank::Exact},
    {"upper_case", "МОСКВА", "100", Rank::Exact},
    {"lower_case", "москва", "100", Rank::Exact},
    {"blank_for_hyphen", "ростов главный", "800", Rank::Exact},
    {"no_blank", "РостовГлавный", "800", Rank::Exact},
    {"hyphen_for_blank", "Нижний-Новгород", "300", Rank::Exact},
    {"apostrophe_ignored", "Марино", "1300", Rank::Exact},
    {"exact_before_prefix", "Москва", "100", Rank::Exact},
    {"trailing_hyphen_wants_more", "Москва-", "101", Rank::Prefix},
    {"prefix", "Ростов-Гл", "800", Rank::Prefix},
    {"prefix_short", "Мос", "100", Rank::Prefix},
    {"prefix_through_hyphen", "Москва Сорт", "101", Rank::Prefix},
    {"inner_word", "Главный", "800", Rank::WordPrefix},
    {"inner_word_start", "Сортир", "901", Rank::WordPrefix},
    {"substring", "лавн", "800", Rank::Substring},
    {"latin_moskva", "Moskva", "100", Rank::Exact},
    {"latin_sankt_peterburg", "Sankt-Peterburg", "200", Rank::Exact},
    {"latin_nizhny", "Nizhny Novgorod", "300", Rank::Exact},
    {"latin_nizhniy", "Nizhniy Novgorod", "300", Rank::Exact},
    {"latin_nizhnij", "Nizhnij Novgorod", "300", Rank::Exact},
    {"latin_novgorod_inner", "Novgorod", "300", Rank::WordPrefix},
    {"latin_yekaterinburg", "Yekaterinburg", "400", Rank::Exact},
    {"latin_ekaterinburg", "Ekaterinburg", "400", Rank::Exact},
    {"latin_khabarovsk", "Khabarovsk", "500", Rank::Exact},
    {"latin_habarovsk", "Habarovsk", "500", Rank::Exact},
    {"latin_chita", "Chita", "600", Rank::Exact},
    {"latin_chita_caron", "Čita", "600", Rank::Exact},
    {"latin_oryol", "Oryol", "700", Rank::Exact},
    {"latin_orel", "Orel", "700", Rank::Exact},
    {"latin_orjol", "Orjol", "700", Rank::Exact},
    {"latin_rostov_glavnyy", "Rostov glavnyy", "800", Rank::Exact},
    {"latin_elnya", "Elnya", "1400", Rank::Exact},
    {"latin_yelnya", "Yel'nya", "1400", Rank::Exact},
    {"latin_prefix", "Khab", "500", Rank::Prefix},
    {"code_exact", "800", "800", Rank::Exact},
    {"code_prefix_by_name", "80", "801", Rank::Prefix},
    {"code_of_many", "100", "100", Rank::Exact},
    {"same_name_centre_first", "Ивановка", "1004", Rank::Exact},
};

INSTANTIATE_TEST_SUITE_P(Table, FirstFound, testing::ValuesIn(kTyped),
                         [](const testing::TestParamInfo<Typed>& i) { return std::string(i.param.name); });

TEST_P(FirstFound, TheStationExpected)
{
    const Typed& t = GetParam();
    const std::vector<Hit> hits = s_index->find(QString::fromUtf8(t.text), 5);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(s_index->place(hits[0].entry).code.toStdString(), t.first);
    EXPECT_EQ(static_cast<int>(hits[0].rank), static_cast<int>(t.rank));
}

TEST_F(Search, SameNameByTypeThenRailwayLast)
{
    EXPECT_EQ(codes(s_index->find(u"Ивановка", 0)), (QStringList{"1004", "1002", "1003", "1001"}));
    const std::vector<Hit> hits = s_index->find(u"Октябрьская", 0);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(s_index->place(hits[0].entry).kind, Kind::Station);
    const Place railway = s_index->place(hits[1].entry);
    EXPECT_EQ(railway.kind, Kind::Railway);
    EXPECT_EQ(railway.code, QStringLiteral("1"));
    EXPECT_TRUE(railway.russia);
    EXPECT_EQ(railway.x, 50);
    EXPECT_EQ(railway.y, 50);
}

TEST_F(Search, TiesWithinARankGoByRussianOrder)
{
    // Both are inner words; Минск-… comes before Москва-… by name.
    EXPECT_EQ(codes(s_index->find(u"Сорт", 0)), (QStringList{"901", "101"}));
    // Codes that start with the digits, by the names of their stations.
    EXPECT_EQ(codes(s_index->find(u"10", 0)), (QStringList{"1004", "1002", "1003", "1001", "100", "101"}));
    // The equal code before them.
    EXPECT_EQ(codes(s_index->find(u"100", 0)), (QStringList{"100", "1004", "1002", "1003", "1001"}));
}

TEST_F(Search, RussiaOnlyAndTypesLeaveTheRestOut)
{
    Filter rus;
    rus.russiaOnly = true;
    EXPECT_EQ(codes(s_index->find(u"Сорт", 0, rus)), QStringList{"101"});
    EXPECT_TRUE(s_index->find(u"Минск", 0, rus).empty());
    Filter centres;
    centres.tipStn = 9;
    centres.railways = false;
    EXPECT_EQ(codes(s_index->find(u"Ивановка", 0, centres)), QStringList{"1004"});
    Filter listed;   // a list of the caller's own, as a set of codes
    listed.accept = [](int e) { return s_index->code(e).startsWith("90"); };
    EXPECT_EQ(codes(s_index->find(u"Минск", 0, listed)), (QStringList{"900", "901"}));
}

// The station list's type-ahead took the first name in the list (by NazStn) that starts
// with the typed text, ignoring case; every such prefix still selects that name.
TEST_F(Search, ExactPrefixSelectsWhatThePlainPrefixSelected)
{
    auto db = Database::open(path());
    ASSERT_TRUE(db.ok());
    auto list = (*db)->query(QStringLiteral("SELECT NazStn FROM Stn Order by NazStn"));
    ASSERT_TRUE(list.ok());
    QStringList names;
    for (int r = 0; r < list->recordCount(); ++r) names << list->textAt(r, 0);
    Filter stations;
    stations.railways = false;
    int checked = 0;
    for (const QString& name : names)
        for (qsizetype n = 1; n <= name.size(); ++n) {
            const QString typed = n % 2 ? name.left(n) : name.left(n).toUpper();
            const auto plain = std::find_if(names.begin(), names.end(), [&](const QString& s) {
                return s.startsWith(typed, Qt::CaseInsensitive);
            });
            const std::vector<Hit> hits = s_index->find(typed, 1, stations);
            ASSERT_EQ(hits.size(), 1u) << typed.toStdString();
            EXPECT_EQ(s_index->place(hits[0].entry).name, *plain) << typed.toStdString();
            ++checked;
        }
    EXPECT_GT(checked, 200);
}

TEST_F(Search, NothingForTextWithoutLettersOrDigits)
{
    EXPECT_TRUE(s_index->find(u" - . ' ", 10).empty());
    EXPECT_TRUE(s_index->find(u"", 10).empty());
    EXPECT_TRUE(s_index->find(u"Щщщ", 10).empty());
    EXPECT_TRUE(s_index->find(u"Xyzzy", 10).empty());
}

TEST_F(Search, LimitKeepsTheBest)
{
    EXPECT_EQ(codes(s_index->find(u"Ивановка", 2)), (QStringList{"1004", "1002"}));
    EXPECT_EQ(s_index->find(u"м", 3).size(), 3u);
}

TEST(SearchBuild, InTheBackgroundFromTheRowsReadNow)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("n.db"));
    ASSERT_TRUE(zdtest::writeSqlite(file, zdtest::sampleNetworkSql()));
    auto db = Database::open(file);
    ASSERT_TRUE(db.ok());
    auto future = buildInBackground(**db);
    ASSERT_TRUE(future.ok());
    db->reset();   // the rows are read already: the build needs the database no more
    QFutureWatcher<BuiltIndex> watcher;
    QSignalSpy finished(&watcher, &QFutureWatcher<BuiltIndex>::finished);
    watcher.setFuture(*future);
    ASSERT_TRUE(finished.wait(10000) || future->isFinished());
    const BuiltIndex built = future->result();
    ASSERT_TRUE(built.index) << built.error.toStdString();
    const std::vector<Hit> hits = built.index->find(u"Malaya Vishera", 1);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(built.index->place(hits[0].entry).code, QStringLiteral("102"));
}

// NULL names, codes and coordinates, a railway code that names no railway and a type
// out of range are kept and read as empty, never as a crash or another row's values.
TEST(SearchBuild, RowsWithHoles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("h.db"));
    ASSERT_TRUE(zdtest::writeSqlite(file, zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия');"
        "INSERT INTO Doroga VALUES('1',NULL,NULL,0,1,1,'1',NULL,'11');"
        "INSERT INTO Stn VALUES('1',NULL,5,5,'1',9,0),(NULL,'Тайга',NULL,NULL,'77',NULL,NULL),"
        " ('3','Тайга',1,2,'1',5,0),('4','Юрга',1,2,'1',1e12,0);")));
    auto db = Database::open(file);
    ASSERT_TRUE(db.ok());
    auto built = buildIndex(**db);
    ASSERT_TRUE(built.ok());
    const NameIndex& ix = **built;
    const std::vector<Hit> byCode = ix.find(u"1", 0);
    ASSERT_EQ(byCode.size(), 1u);
    EXPECT_TRUE(ix.place(byCode[0].entry).name.isEmpty());
    const std::vector<Hit> taiga = ix.find(u"Тайга", 0);
    ASSERT_EQ(taiga.size(), 2u);
    Place a = ix.place(taiga[0].entry), b = ix.place(taiga[1].entry);
    if (b.code == QLatin1String("3")) std::swap(a, b);
    EXPECT_EQ(a.code, QStringLiteral("3"));
    EXPECT_TRUE(a.hasXY);
    EXPECT_TRUE(a.russia);
    EXPECT_TRUE(b.code.isEmpty());
    EXPECT_FALSE(b.hasXY);
    EXPECT_EQ(b.kodDor, QStringLiteral("77"));
    EXPECT_TRUE(b.railway.isEmpty());
    EXPECT_FALSE(b.russia);
    Filter rus;
    rus.russiaOnly = true;
    EXPECT_EQ(ix.find(u"Тайга", 0, rus).size(), 1u);
    // A type past every whole number of its width is no type of the program's own.
    const std::vector<Hit> yurga = ix.find(u"Юрга", 0);
    ASSERT_EQ(yurga.size(), 1u);
    EXPECT_TRUE(kindText(ix.place(yurga[0].entry)).isEmpty());
}

TEST(LatinName, ReadableBgnKeepingCaseAndPunctuation)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Орёл", "Orël"}, {"Ростов-Главный", "Rostov-Glavnyy"}, {"Подъём", "Podyëm"}, {"Ельня", "Yelnya"},
        {"Улан-Удэ", "Ulan-Ude"}, {"ст. Мурманск II", "st. Murmansk II"}, {"МОСКВА", "MOSKVA"}, {"10 км", "10 km"},
    };
    for (const auto& [cyr, latin] : rows)
        EXPECT_EQ(latinName(QString::fromUtf8(cyr)).toStdString(), latin) << cyr;
}

// --- zdcli find --------------------------------------------------------------------------

struct CliRun { int code; QString out, err; };

CliRun zdcli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZD_BUILD_DIR "/zdcli"), QStringList{QStringLiteral("find")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST_F(Search, ZdcliFindListsTheBestFirst)
{
    const CliRun r = zdcli({QStringLiteral("--db"), path(), QStringLiteral("Ивановка"), QStringLiteral("--limit"), QStringLiteral("2")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].split(u'\t').mid(0, 5),
              (QStringList{"1004", "Ивановка", "Центр дороги", "дор. Московская", "1 1"}));
    EXPECT_TRUE(lines[1].startsWith(u"1002\t"));
}

TEST_F(Search, ZdcliFindJsonAndRussiaOnly)
{
    const CliRun r = zdcli({QStringLiteral("--db"), path(), QStringLiteral("--format"), QStringLiteral("json"),
                         QStringLiteral("--russia"), QStringLiteral("Сорт")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray results = QJsonDocument::fromJson(r.out.toUtf8()).object().value(u"results").toArray();
    ASSERT_EQ(results.size(), 1);
    const QJsonObject o = results[0].toObject();
    EXPECT_EQ(o.value(u"code").toString(), QStringLiteral("101"));
    EXPECT_EQ(o.value(u"railway").toObject().value(u"name").toString(), QStringLiteral("Московская"));
    EXPECT_EQ(o.value(u"x").toDouble(), 110);
    EXPECT_EQ(o.value(u"match").toString(), QStringLiteral("word"));
}

TEST_F(Search, ZdcliFindExitCodes)
{
    const QString db = path();
    struct Case { const char* name; QStringList args; int code; };
    const Case cases[] = {
        {"found", {"--db", db, "Moskva"}, 0},
        {"nothing found", {"--db", db, "Xyzzy"}, 1},
        {"missing file", {"--db", db + QStringLiteral(".none"), "Moskva"}, 1},
        {"no text", {"--db", db}, 2},
        {"no database", {"Moskva"}, 2},
        {"bad limit", {"--db", db, "--limit", "-3", "Moskva"}, 2},
        {"limit without value", {"--db", db, "Moskva", "--limit"}, 2},
        {"csv not offered", {"--db", db, "--format", "csv", "Moskva"}, 2},
        {"unknown option", {"--db", db, "--fuzzy", "Moskva"}, 2},
    };
    for (const Case& c : cases) {
        const CliRun r = zdcli(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err.toStdString();
        if (c.code != 0) {
            EXPECT_FALSE(r.err.isEmpty()) << c.name;
        }
    }
}

} // namespace

// A prefix that thousands of names share is found by walking the names in order rather
// than offering its whole range; the answers are those of the range.
TEST(SearchLarge, SharedPrefixesOfThousandsOfNames)
{
    QString sql = zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь');"
        "INSERT INTO Doroga VALUES('1','Первая',0,0,1,1,'1',NULL,'11'),('2','Вторая',0,0,1,1,'2',NULL,'21');"
        "BEGIN;INSERT INTO Stn VALUES('1','Стан',1,1,'1',5,0);");
    for (int i = 1; i <= 5000; ++i)
        sql += QStringLiteral("INSERT INTO Stn VALUES('s%1','Станция %1',1,1,'%2',5,0);").arg(i).arg(i % 2 ? 2 : 1);
    for (int i = 1; i <= 4200; ++i)
        sql += QStringLiteral("INSERT INTO Stn VALUES('y%1','Яр %1',1,1,'%2',5,0);").arg(i).arg(i % 2 ? 2 : 1);
    sql += QStringLiteral("COMMIT;");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("large.db"));
    ASSERT_TRUE(zdtest::writeSqlite(file, sql));
    auto db = Database::open(file);
    ASSERT_TRUE(db.ok());
    auto built = buildIndex(**db);
    ASSERT_TRUE(built.ok());
    const NameIndex& ix = **built;

    struct Case { const char* text; bool russia; QStringList names; };
    const Case cases[] = {
        {"Ст", false, {"Стан", "Станция 1", "Станция 10"}},
        {"St", false, {"Стан", "Станция 1", "Станция 10"}},
        {"Стан-", false, {"Станция 1", "Станция 10", "Станция 100"}},
        {"Ст", true, {"Стан", "Станция 10", "Станция 100"}},
        {"Я", false, {"Яр 1", "Яр 10", "Яр 100"}},          // the walk gives up: all Я… come last
        {"Я", true, {"Яр 10", "Яр 100", "Яр 1000"}},
    };
    for (const Case& c : cases) {
        Filter f;
        f.russiaOnly = c.russia;
        QStringList names;
        for (const Hit& h : ix.find(QString::fromUtf8(c.text), 3, f)) names << ix.place(h.entry).name;
        EXPECT_EQ(names, c.names) << c.text << (c.russia ? " russia" : "");
    }
}
