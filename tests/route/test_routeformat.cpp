// A route's answers, subtotals and the text, TSV, CSV and JSON written of it.
#include "RouteTestNet.h"

#include "route/RouteFormat.h"
#include "route/RouteRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace zd::route;
using namespace zdtest;

namespace {

// A line A - B - C - D - E over both railways and every kind of traction and tracks.
std::shared_ptr<const RouteGraph> mixedLine()
{
    static const auto g = routeGraph(
        networkSql({{"A", 0, 0, true, "Ст, \"Узел\""}, {"B", 100, 0}, {"C", 200, 0}, {"D", 300, 0}, {"E", 400, 0},
                    {"X", 900, 900, true, "Отдельная"}, {"Y", 950, 900, true, "Отдельная"}},
                   {{"A", "B", "12.5", 3, "1", 2}, {"B", "C", "10", 2, "1", 1}, {"C", "D", "NULL", 4, "2", 0},
                    {"D", "E", "7.25", 0, "2", 1}}));
    return g;
}

Route routeAtoE()
{
    const RouteAnswer a = findRoute(*mixedLine(), {QStringLiteral("A"), QStringLiteral("E"), {}, {}});
    EXPECT_EQ(a.status, RouteAnswer::Found) << a.message.toStdString();
    return a.route;
}

TEST(RouteSubtotals, ByRailwayTractionAndTracks)
{
    const Route r = routeAtoE();
    EXPECT_NEAR(r.km, 12.5 + 10 + 10 + 7.25, 1e-9);   // C - D estimated at the median 0.1 km per map unit
    EXPECT_EQ(r.estimated, 1);
    auto list = [](const std::vector<Subtotal>& v) {
        QStringList out;
        for (const Subtotal& t : v) out << QStringLiteral("%1 %2 %3").arg(t.label).arg(t.km).arg(t.sections);
        return out.join(QStringLiteral("; ")).toStdString();
    };
    EXPECT_EQ(list(r.byRailway), "Октябрьская 22.5 2; Белорусская 17.25 2");
    EXPECT_EQ(list(r.byTraction), "электр. 22.5 2; тепл. 10 1; не опр. 7.25 1");
    EXPECT_EQ(list(r.byTracks), "1 17.25 2; 2 12.5 1; не опр. 10 1");
}

TEST(RouteWriters, CsvQuotesWhatNeedsIt)
{
    const QStringList lines = routeCsv(routeAtoE()).split(u'\n');
    ASSERT_EQ(lines.size(), 6);   // header, four sections, the empty rest after the last newline
    EXPECT_EQ(lines[0], QStringLiteral("№,Код откуда,Откуда,Код куда,Куда,км,Длина оценена,Путей,Тяга,Код дороги,Дорога"));
    EXPECT_EQ(lines[1], QStringLiteral("1,A,\"Ст, \"\"Узел\"\"\",B,Станция B,12.5,,2,электр.,1,Октябрьская"));
    EXPECT_EQ(lines[3], QStringLiteral("3,C,Станция C,D,Станция D,10.0,да,не опр.,электр.,2,Белорусская"));
}

TEST(RouteWriters, TsvForASpreadsheetWithDecimalCommas)
{
    const QStringList lines = routeTsv(routeAtoE()).split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lines[i].count(u'\t'), 10) << i;
    EXPECT_EQ(lines[1], QStringLiteral("1\tA\tСт, \"Узел\"\tB\tСтанция B\t12,5\t\t2\tэлектр.\t1\tОктябрьская"));
    EXPECT_TRUE(lines[4].contains(QStringLiteral("\t7,3\t")) || lines[4].contains(QStringLiteral("\t7,2\t")));
}

TEST(RouteWriters, JsonHoldsSectionsStationsAndSubtotals)
{
    const QJsonObject o = QJsonDocument::fromJson(routeJson(routeAtoE())).object();
    EXPECT_DOUBLE_EQ(o[QStringLiteral("km")].toDouble(), 39.8);   // one decimal
    EXPECT_EQ(o[QStringLiteral("section_count")].toInt(), 4);
    EXPECT_EQ(o[QStringLiteral("estimated")].toInt(), 1);
    const QJsonArray sections = o[QStringLiteral("sections")].toArray();
    ASSERT_EQ(sections.size(), 4);
    const QJsonObject third = sections[2].toObject();
    EXPECT_EQ(third[QStringLiteral("from_code")].toString(), QStringLiteral("C"));
    EXPECT_EQ(third[QStringLiteral("x2")].toDouble(), 300);
    EXPECT_TRUE(third[QStringLiteral("estimated")].toBool());
    EXPECT_EQ(third[QStringLiteral("railway_name")].toString(), QStringLiteral("Белорусская"));
    EXPECT_EQ(o[QStringLiteral("stations")].toArray().size(), 5);
    EXPECT_EQ(o[QStringLiteral("stops")].toArray(), QJsonArray({0, 4}));
    EXPECT_EQ(o[QStringLiteral("by_railway")].toArray().size(), 2);
}

TEST(RouteWriters, TextNamesTheStopsTheTotalAndEachSection)
{
    const RouteAnswer a = findRoute(*mixedLine(), {QStringLiteral("E"), QStringLiteral("A"), {QStringLiteral("C")}, {}});
    ASSERT_EQ(a.status, RouteAnswer::Found);
    const QString text = routeText(a.route);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Маршрут: Станция E — Ст, \"Узел\"\nЧерез: Станция C\n"
                                                "Расстояние: 39.8 км, перегонов: 4\nДлин оценено по схеме: 1\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2. Станция D — Станция C: 10.0 км (оценка), путей: не опр., тяга: электр., дорога: Белорусская")));
}

struct AnswerCase {
    const char* name;
    QString from, to;
    QStringList via;
    RouteAnswer::Status status;
    int stop;
    const char* message;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class RouteAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(RouteAnswers, StatusFieldAndMessage)
{
    const AnswerCase& c = GetParam();
    const RouteAnswer a = findRoute(*mixedLine(), {c.from, c.to, c.via, {}});
    EXPECT_EQ(a.status, c.status);
    EXPECT_EQ(a.stop, c.stop);
    EXPECT_EQ(a.message.toStdString(), c.message);
}

const AnswerCase kAnswers[] = {
    {"UnknownName", "A", "Нет такой", {}, RouteAnswer::NoStation, 1, "Станция не найдена: Нет такой"},
    {"EmptyField", "  ", "A", {}, RouteAnswer::NoStation, 0, "Не указана станция"},
    {"SharedName", "Отдельная", "A", {}, RouteAnswer::Ambiguous, 0,
     "Станций «Отдельная» несколько; укажите код нужной:\n  Отдельная — дорога Октябрьская, код X\n"
     "  Отдельная — дорога Октябрьская, код Y"},
    {"SameStationTwice", "B", "Станция B", {}, RouteAnswer::SameStation, 1, "Станции отправления и назначения совпадают: Станция B"},
    {"ViaRepeatsTheStart", "B", "E", {"B"}, RouteAnswer::SameStation, 1, "Станция Станция B указана в маршруте дважды подряд"},
    {"NoWay", "A", "X", {}, RouteAnswer::NoPath, -1, "Между станциями Ст, \"Узел\" и Отдельная нет пути по сети"},
    {"NoWayOnTheSecondLeg", "A", "Y", {"E"}, RouteAnswer::NoPath, -1, "Между станциями Станция E и Отдельная нет пути по сети"},
};

INSTANTIATE_TEST_SUITE_P(Requests, RouteAnswers, ::testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
