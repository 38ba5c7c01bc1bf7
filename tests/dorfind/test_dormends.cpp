// The railway search's own "Только Россия": the list holds only Russia's railways while it
// is ticked, whatever the map shows.
#include "FakeMapHost.h"
#include "dorfind/FrmZdDor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>

using namespace zd;

namespace {
QStringList railways(FrmZdDor& d)
{
    auto* list = d.findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->itemText(i);
    return out;
}
} // namespace

using RailwayMends = zdtest::FakeMapTest;

TEST_F(RailwayMends, RussiaOnlyBoxNarrowsItsList)
{
    start();
    auto* d = new FrmZdDor(*host);
    d->LoadFindDor();
    auto* chk = d->findChild<QCheckBox*>(QStringLiteral("chkFindRus"));
    const QStringList all{QStringLiteral("Белорусская"), QStringLiteral("Октябрьская")};
    EXPECT_EQ(railways(*d), all);
    QTest::mouseClick(chk, Qt::LeftButton);
    EXPECT_EQ(railways(*d), QStringList{QStringLiteral("Октябрьская")});
    QTest::mouseClick(chk, Qt::LeftButton);
    EXPECT_EQ(railways(*d), all);
    delete d;
}
