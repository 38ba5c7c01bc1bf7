// Statistics of a small network of the test's own, and zdcli export and stats exit codes.
#include "TestDb.h"
#include "data/Database.h"
#include "export/Stats.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

// The sample network, a section without traction, one of a railway Doroga does not hold
// (not counted, as the frame's join drops it) and railway 2 listed twice.
QString network()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Peregon VALUES('201','202',8000,2000,8500,2500,30,'2',NULL,NULL),"
        " ('900','901',500,500,600,600,999,'9',1,3);"
        "INSERT INTO Doroga VALUES('2','Белорусская (копия)',6000,1000,9000,5000,'200','Минск','21');"
        "INSERT INTO Stn VALUES('900','Чужая',550,550,'9',9,0);");
}

const StatGroup& group(const NetworkStats& s, const char* title)
{
    for (const StatGroup& g : s.groups)
        if (g.title == QString::fromUtf8(title)) return g;
    static const StatGroup none;
    ADD_FAILURE() << title;
    return none;
}

StatLine line(const StatGroup& g, const char* label)
{
    for (const StatLine& l : g.lines)
        if (l.label == QString::fromUtf8(label)) return l;
    return {};
}

void expectSumsToTotal(const NetworkStats& s, const char* title)
{
    qint64 n = 0;
    double km = 0;
    for (const StatLine& l : group(s, title).lines) { n += l.count; km += l.km; }
    EXPECT_EQ(n, s.sections) << title;
    EXPECT_NEAR(km, s.km, 1e-9) << title;
}

class Stats : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(zdtest::writeSqlite(path(), network()));
        auto opened = Database::open(path());
        ASSERT_TRUE(opened);
        db = *opened;
    }
    QString path() const { return dir.filePath(QStringLiteral("net.db")); }
    QTemporaryDir dir;
    std::shared_ptr<Database> db;
};

} // namespace

TEST_F(Stats, SumsOfTheWholeScheme)
{
    auto s = countStats(*db, StatsScope{}, false);
    ASSERT_TRUE(s) << s.error().message().toStdString();
    EXPECT_EQ(s->sections, 5);
    EXPECT_DOUBLE_EQ(s->km, 120.5 + 210 + 600 + 212 + 30);
    EXPECT_EQ(s->stations, 6);
    const StatGroup& traction = group(*s, "Перегоны по виду тяги");
    EXPECT_DOUBLE_EQ(line(traction, "электр.").km, 330.5);
    EXPECT_EQ(line(traction, "тепл.").count, 1);
    EXPECT_EQ(line(traction, "не опр.").count, 1) << "no traction given";
    EXPECT_DOUBLE_EQ(line(traction, "прочие коды").km, 212);
    for (const char* g : {"Перегоны по виду тяги", "Перегоны по числу путей", "Перегоны по дорогам", "Перегоны по странам"})
        expectSumsToTotal(*s, g);
    EXPECT_DOUBLE_EQ(line(group(*s, "Перегоны по дорогам"), "Белорусская").km, 600 + 212 + 30) << "a code listed twice counts once";
    qint64 byType = 0;
    for (const StatLine& l : group(*s, "Станции по типам").lines) byType += l.count;
    EXPECT_EQ(byType, s->stations);
    EXPECT_EQ(line(group(*s, "Станции по типам"), "Центры дорог").count, 2);
}

TEST_F(Stats, RussiaOnlyAFrameAndARailway)
{
    auto russia = countStats(*db, StatsScope{}, true);
    ASSERT_TRUE(russia);
    EXPECT_EQ(russia->sections, 2);
    EXPECT_EQ(russia->stations, 4);
    EXPECT_EQ(group(*russia, "Перегоны по странам").lines.size(), 1u);

    StatsScope frame;
    frame.frame = FrameBounds{6500, 1500, 9000, 3500};   // Минск, Орша and the sections with an end there
    auto inFrame = countStats(*db, frame, false);
    ASSERT_TRUE(inFrame);
    EXPECT_EQ(inFrame->stations, 2);
    EXPECT_EQ(inFrame->sections, 3);

    StatsScope railway;
    railway.kind = StatsScope::Railway;
    railway.kodDor = QStringLiteral("1");
    auto oktyabrskaya = countStats(*db, railway, false);
    ASSERT_TRUE(oktyabrskaya);
    EXPECT_EQ(oktyabrskaya->scope, QStringLiteral("Дорога: Октябрьская"));
    EXPECT_EQ(oktyabrskaya->sections, 2);
    EXPECT_EQ(oktyabrskaya->stations, 4);

}

TEST_F(Stats, CsvHasAHeaderAndQuotesWhatNeedsIt)
{
    auto s = countStats(*db, StatsScope{}, false);
    ASSERT_TRUE(s);
    const QStringList rows = statsCsv(*s).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(rows.first(), QStringLiteral("Раздел,Показатель,Количество,Км"));
    EXPECT_TRUE(rows.contains(QStringLiteral("Перегоны по дорогам,Белорусская,3,842.0")));
    const auto json = QJsonDocument::fromJson(statsJson(*s).toUtf8()).object();
    EXPECT_EQ(json.value(QStringLiteral("sections")).toInt(), 5);
}

TEST_F(Stats, ZdcliExitCodes)
{
    struct Case {
        QStringList args;
        int exit;
        const char* file;   // what must exist afterwards, or nullptr: nothing written
    };
    const QString out = dir.filePath(QStringLiteral("out"));
    const Case cases[] = {
        {{"export", "--out", out + ".png", "--legend", "--scale-bar"}, 0, ".png"},
        {{"export", "--out", out + ".svg", "--frame", "0,0,10000,5000", "--size", "800x400", "--cis"}, 0, ".svg"},
        {{"export", "--out", out + ".pdf", "--page", "A3", "--russia"}, 0, ".pdf"},
        {{"export", "--out", out + ".gif"}, 1, nullptr},
        {{"export", "--out", out + ".png", "--size", "0x100"}, 1, nullptr},
        {{"export", "--out", out + ".png", "--size", "20001x100"}, 1, nullptr},
        {{"export", "--out", out + ".png", "--frame", "20000,20000,30000,30000"}, 1, nullptr},
        {{"export", "--out", out + ".png", "--size", "big"}, 2, nullptr},
        {{"export", "--out", out + ".png", "--frame", "1,2,3"}, 2, nullptr},
        {{"export", "--out", out + ".png", "--russia", "--cis"}, 2, nullptr},
        {{"export"}, 2, nullptr},
        {{"stats"}, 0, nullptr},
        {{"stats", "--railway", "2", "--format", "json"}, 0, nullptr},
        {{"stats", "--railway", "77"}, 1, nullptr},
        {{"stats", "--frame", "20000,20000,30000,30000"}, 1, nullptr},
        {{"stats", "--format", "xml"}, 2, nullptr},
        {{"stats", "--frame", "5,5"}, 2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        for (const char* suffix : {".png", ".svg", ".pdf", ".gif"}) QFile::remove(out + QLatin1String(suffix));
        QProcess zdcli;
        QStringList args = c.args;
        if (args.size() > 0) args << QStringLiteral("--db") << path();
        zdcli.start(QStringLiteral(ZD_BUILD_DIR "/zdcli"), args);
        ASSERT_TRUE(zdcli.waitForFinished(60000));
        const QByteArray errors = zdcli.readAllStandardError();
        EXPECT_EQ(zdcli.exitCode(), c.exit) << errors.toStdString();
        if (c.exit != 0) {
            EXPECT_TRUE(errors.contains("\n")) << "a message on stderr";
        }
        for (const char* suffix : {".png", ".svg", ".pdf", ".gif"})
            EXPECT_EQ(QFile::exists(out + QLatin1String(suffix)), c.file && QLatin1String(c.file) == QLatin1String(suffix)) << suffix;
    }
}
