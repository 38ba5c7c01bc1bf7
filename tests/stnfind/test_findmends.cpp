// The station search's own "Только Россия" and its category buttons set by any means:
// each change refills the list.
#include "FakeMapHost.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QListView>
#include <QRadioButton>
#include <QTest>

using namespace zd;

namespace {

// The sample network with a centre on the Russian railway and one on the Belarusian one.
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('500','Русский центр',20000,10000,'1',9,0),('501','Белорусский центр',50000,5000,'2',9,0),"
        "('502','Русский стык',21000,10000,'1',8,0);");
}

class FindMends : public zdtest::FakeMapTest {
protected:
    void SetUp() override
    {
        FakeMapTest::SetUp();
        start(networkSql());
        f = new FrmZdFind(*host);
        f->LoadFind();
    }
    void TearDown() override
    {
        delete f;
        FakeMapTest::TearDown();
    }
    QStringList names()
    {
        QAbstractItemModel* m = f->dbcFind_Stn().list().model();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, 0).data().toString();
        return out;
    }
    QRadioButton* area(int k) { return f->findChildren<QRadioButton*>(QStringLiteral("optFind_Area")).at(k); }
    FrmZdFind* f = nullptr;
};

} // namespace

TEST_F(FindMends, RussiaOnlyBoxNarrowsTheWindowsOwnList)
{
    auto* chk = f->findChild<QCheckBox*>(QStringLiteral("chkFindRus"));
    ASSERT_TRUE(host->st.rusFilter.isEmpty());   // the map shows every country
    ASSERT_TRUE(names().contains(QStringLiteral("Белорусский центр")));
    QTest::mouseClick(chk, Qt::LeftButton);
    EXPECT_FALSE(names().contains(QStringLiteral("Белорусский центр")));
    EXPECT_TRUE(names().contains(QStringLiteral("Русский центр")));
    QTest::mouseClick(chk, Qt::LeftButton);
    EXPECT_TRUE(names().contains(QStringLiteral("Белорусский центр")));
}

// However the category is set, the list follows it; the steps run in order.
TEST_F(FindMends, CategoryButtonsRefillTheListHoweverTheyAreSet)
{
    const QStringList centres{QStringLiteral("Белорусский центр"), QStringLiteral("Минск"), QStringLiteral("Русский центр"),
                              QStringLiteral("Санкт-Петербург")};
    const QStringList junctions{QStringLiteral("Бологое"), QStringLiteral("Русский стык")};
    struct Step {
        const char* name;
        int button;
        std::function<void(QRadioButton*)> set;
        QStringList expected;   // empty: every station
    };
    const Step steps[] = {
        {"the accessibility Toggle action", 1,
         [](QRadioButton* b) {
             QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
             ASSERT_TRUE(a && a->actionInterface());
             a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
         },
         centres},
        {"the arrow key from the button before", 2,
         [this](QRadioButton*) {
             area(1)->setFocus();
             QTest::keyClick(area(1), Qt::Key_Down);
         },
         junctions},
        {"setChecked by the program", 1, [](QRadioButton* b) { b->setChecked(true); }, centres},
        {"the mouse", 0, [](QRadioButton* b) { QTest::mouseClick(b, Qt::LeftButton); }, {}},
    };
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.set(area(s.button));
        EXPECT_TRUE(area(s.button)->isChecked());
        if (s.expected.isEmpty()) EXPECT_EQ(names().size(), 9);
        else EXPECT_EQ(names(), s.expected);
    }
}
