// zdcli route on the demo network: what it writes and the exit code it ends with.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliCase {
    const char* name;
    QStringList args;   // after "route"; "DEMO" stands for --db and the demo network
    int exitCode;
    const char* out;    // standard output starts with this
    const char* err;    // standard error holds this
};

void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }

struct Outcome {
    int exitCode;
    QString out, err;
};

Outcome zdcli(QStringList args)
{
    const qsizetype demo = args.indexOf(QStringLiteral("DEMO"));
    if (demo >= 0) args.replace(demo, QStringLiteral("--db=" ZD_BUILD_DIR "/ZdShort.mdb"));
    QProcess p;
    p.start(QStringLiteral(ZD_BUILD_DIR "/zdcli"), QStringList{QStringLiteral("route")} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

class ZdcliRoute : public ::testing::TestWithParam<CliCase> {};

TEST_P(ZdcliRoute, OutputAndExitCode)
{
    const CliCase& c = GetParam();
    const Outcome r = zdcli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    const QString out = QString::fromUtf8(c.out), err = QString::fromUtf8(c.err);
    EXPECT_TRUE(out.isEmpty() ? r.out.isEmpty() : r.out.startsWith(out)) << r.out.left(300).toStdString();
    EXPECT_TRUE(err.isEmpty() || r.err.contains(err)) << r.err.toStdString();
}

const CliCase kCases[] = {
    {"TextByNames", {"DEMO", "Москва", "Тверь"}, 0, "Маршрут: Москва — Тверь\nРасстояние: ", ""},
    {"ByCodes", {"1840", "7060", "DEMO"}, 0, "Маршрут: Москва — Владивосток\n", ""},
    {"ViaElectricRussia", {"DEMO", "Москва", "--via", "Ярославль", "Тверь", "--electric", "--russia"}, 0,
     "Маршрут: Москва — Тверь\nЧерез: Ярославль\nТолько электрифицированные перегоны\nТолько дороги России\n", ""},
    {"Csv", {"DEMO", "Москва", "Тверь", "--format", "csv"}, 0, "№,Код откуда,Откуда,Код куда,Куда,км,", ""},
    {"NoRoute", {"DEMO", "Москва", "Южно-Сахалинск"}, 1, "", "Между станциями Москва и Южно-Сахалинск нет пути по сети\n"},
    {"NoElectricRoute", {"DEMO", "Москва", "Южно-Сахалинск", "--electric"}, 1, "",
     "нет пути по сети (только электрифицированные перегоны)"},
    {"SharedName", {"DEMO", "Москва", "100 км"}, 2, "", "  100 км — дорога Октябрьская, код 1000407\n"},
    {"UnknownStation", {"DEMO", "Москва", "Нигдеево"}, 1, "", "Станция не найдена: Нигдеево"},
    {"SameStation", {"DEMO", "Москва", "1840"}, 2, "", "Станции отправления и назначения совпадают: Москва"},
    {"OneStation", {"DEMO", "Москва"}, 2, "", "Нужны две станции: откуда и куда"},
    {"ViaWithoutValue", {"DEMO", "Москва", "Тверь", "--via"}, 2, "", "Параметру не хватает значения"},
    {"UnknownOption", {"DEMO", "Москва", "Тверь", "--fast"}, 2, "", "Неизвестный параметр: --fast"},
    {"UnknownFormat", {"DEMO", "Москва", "Тверь", "--format", "xml"}, 2, "", "Неизвестный формат вывода: xml"},
    {"NoDatabase", {"Москва", "Тверь"}, 2, "", "Не указана база данных"},
    {"UnreadableDatabase", {"--db", "/nonexistent/ZdShort.mdb", "Москва", "Тверь"}, 1, "", "/nonexistent/ZdShort.mdb"},
};

INSTANTIATE_TEST_SUITE_P(Demo, ZdcliRoute, ::testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.name); });

TEST(ZdcliRouteJson, SameRouteAsTheText)
{
    const Outcome json = zdcli({QStringLiteral("DEMO"), QStringLiteral("Москва"), QStringLiteral("Владивосток"), QStringLiteral("--format=json")});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const Outcome text = zdcli({QStringLiteral("DEMO"), QStringLiteral("Москва"), QStringLiteral("Владивосток")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("Расстояние: %1 км, перегонов: %2\n")
                                      .arg(o[QStringLiteral("km")].toDouble(), 0, 'f', 1)
                                      .arg(o[QStringLiteral("section_count")].toInt())));
}

TEST(ZdcliHelp, ListsRoute)
{
    QProcess p;
    p.start(QStringLiteral(ZD_BUILD_DIR "/zdcli"), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("\n  route ")));
}

} // namespace
