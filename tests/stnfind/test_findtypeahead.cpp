// The station search window's type-ahead with the name matcher: an exact beginning of a
// name of the list selects what it always selected, any other text the list's first
// station by the matcher's ranking, found in the list by its code.
#include "MapWindow.h"
#include "search/NameIndex.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace zd;

namespace {

// The sample network and: Орёл and Орелка, a name the plain beginning "Орел" reaches; Москва
// and Москва-Сортировочная; four stations named Ивановка of four types, the ordinary one
// stored first.
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('300','Орёл',4000,4000,'1',7,0),('301','Орелка',4200,3500,'1',5,0),"
        " ('310','Москва',3200,3300,'1',9,0),('311','Москва-Сортировочная',3300,3300,'1',5,0),"
        " ('321','Ивановка',2100,2100,'1',5,0),('322','Ивановка',2200,2100,'1',8,0),"
        " ('323','Ивановка',2300,2100,'1',7,0),('324','Ивановка',2400,2100,'1',9,0);");
}

struct Typed {
    const char* name;
    int area;            // the category of the list: 0 all, 1 centres of railways, 2 junctions, 3 divisions
    bool russiaOnly;     // "Только Россия" on the map
    const char* text;
    const char* kodStn;  // of the selected row; empty: nothing selected
};

void PrintTo(const Typed& t, std::ostream* os) { *os << t.name; }

const Typed kTyped[] = {
    {"ExactPrefixKeepsThePlainFirst", 0, false, "Орел", "301"},
    {"ExactPrefixOfSameNamesTakesTheFirstRow", 0, false, "иван", "321"},
    {"YoTypedAsYeInAListWithoutThePlainPrefix", 3, false, "Орел", "300"},
    {"LatinSpelling", 0, false, "Moskva", "310"},
    {"LatinOfTheSameNamesTakesTheCentreByCode", 0, false, "ivanovka", "324"},
    {"LatinWithinTheCategory", 2, false, "ivanovka", "322"},
    {"AWordInsideTheName", 0, false, "сортировочная", "311"},
    {"ACode", 0, false, "310", "310"},
    {"OtherCountriesWithRussiaOnly", 0, true, "Minsk", ""},
    {"OtherCountriesWithAll", 0, false, "Minsk", "200"},
    {"NothingMatches", 0, false, "qqq", ""},
};

class TypeAhead : public zdtest::MapWindowTest, public testing::WithParamInterface<Typed> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Table, TypeAhead, testing::ValuesIn(kTyped),
                         [](const testing::TestParamInfo<Typed>& i) { return std::string(i.param.name); });

TEST_P(TypeAhead, SelectsTheRowExpected)
{
    const Typed& t = GetParam();
    start(networkSql());
    for (int i = 0; i < 500 && !w->nameIndex(); ++i) QTest::qWait(5);
    ASSERT_NE(w->nameIndex(), nullptr);
    if (t.russiaOnly) trigger("mnuZdLight_RusOnly");
    trigger("mnuZdFind_Stn");
    FrmZdFind* f = w->findWindow();
    ASSERT_NE(f, nullptr);
    if (t.area > 0) QTest::mouseClick(f->findChildren<QRadioButton*>("optFind_Area").at(t.area), Qt::LeftButton);
    QLineEdit& textBox = f->dbcFind_Stn().textBox();
    zdtest::typeText(&textBox, QString::fromUtf8(t.text));
    EXPECT_EQ(f->dbcFind_Stn().boundText(), QString::fromUtf8(t.kodStn));
    EXPECT_EQ(textBox.text(), QString::fromUtf8(t.text)) << "the typed text stays";
}
