// The railway search window driven through the names of its controls: its own logic on a
// fake map, and what the main window tells it (renders, marking changes, highlight removal).
#include "FakeMapHost.h"
#include "MapWindow.h"
#include "dorfind/FrmZdDor.h"
#include "help/Help.h"
#include "light/FrmLight.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace zd;

namespace {

const QColor kNet(128, 128, 0), kLight(0, 192, 192), kNetPale(205, 205, 154);
// Points on sections, away from the length labels at their midpoints.
const QPointF kOnDor1(1750, 1750), kOnDor2(4000, 3000);
const Frame kNetworkFrame{0, 0, 10000, 6000};

// Railway 1 (Russia) has two division centres, railway 3 no centre, railway 8 a rectangle
// without width; the other names test the sorting (case, Ё).
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Doroga VALUES('3','Азовская',0,0,900,900,NULL,NULL,'11'),('4','ждановская',1,1,8,8,'4','Жд','11'),"
        " ('5','Ёжиковская',1,1,8,8,'5','Ёж','21'),('6','Еловая',1,1,8,8,'6','Ель','11'),"
        " ('7','Южная',1,1,8,8,'7','Юг','21'),('8','Точечная',300,300,300,700,'8','Точка','11');"
        "INSERT INTO Stn VALUES('104','Тверь',4500,4500,'1',7,0),('105','Волхов',4800,1200,'1',7,0),"
        " ('202','Барановичи',8500,4500,'2',7,0);");
}

template <class T = QWidget> T* control(QWidget* d, const char* name) { return d->findChild<T*>(QLatin1String(name)); }
QString text(QWidget* d, const char* name) { return control(d, name)->property("text").toString(); }
void clickOn(QWidget* d, const char* name) { control<QPushButton>(d, name)->click(); }

// A click on the list entry.
void pick(QWidget* d, const QString& name)
{
    auto* c = control<QComboBox>(d, "dbcListDor");
    const int i = c->findText(name);
    ASSERT_GE(i, 0) << name.toStdString();
    c->setCurrentIndex(i);
    emit c->activated(i);
}

QString listed(QWidget* d, const char* name)
{
    QStringList out;
    if (auto* c = control<QComboBox>(d, name))
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    if (auto* l = control<QListWidget>(d, name))
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out.join(',');
}

int rightEdgeLeft(QWidget& pic, QWidget* d)
{
    return pic.mapToGlobal(QPoint(0, 0)).x() + pic.width() - d->frameGeometry().width();
}

// The window on a fake map showing the network frame.
class DorTool : public zdtest::FakeMapTest {
protected:
    void SetUp() override
    {
        FakeMapTest::SetUp();
        start(networkSql());
        host->showFrame(kNetworkFrame, 1);
        d = new FrmZdDor(*host);
        d->LoadFindDor();
    }
    void TearDown() override
    {
        EXPECT_TRUE(boxes.empty());
        FakeMapTest::TearDown();
    }
    bool colourAt(QPointF m, const QColor& c) { return FakeMapTest::colourAt(m.x(), m.y(), c); }
    FrmZdDor* d = nullptr;
};

} // namespace

// The list in Russian order (case and Ё), the window at the map's right edge; a pick shows
// the railway's centres.
TEST_F(DorTool, PickShowsCentresAndARailwayWithoutCentreIsStillPicked)
{
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(listed(d, "dbcListDor"), "Азовская,Белорусская,Еловая,Ёжиковская,ждановская,Октябрьская,Точечная,Южная");
    EXPECT_EQ(d->frameGeometry().left(), rightEdgeLeft(pic(), d));
    EXPECT_EQ(listed(d, "dblListDor"), "");
    for (const char* idle : {"cmdDorVib_Gab", "cmdDorVib_All", "cmdDorVib_Off"})
        EXPECT_FALSE(control(d, idle)->isEnabled()) << idle;

    pick(d, "Октябрьская");
    EXPECT_EQ(text(d, "lblFindDor3"), "Санкт-Петербург");
    EXPECT_EQ(listed(d, "dblListDor"), "Волхов,Тверь");
    EXPECT_EQ(d->dorRect(), (Frame{1000, 1000, 5000, 5000}));
    EXPECT_TRUE(control(d, "cmdDorVib_All")->isEnabled());

    // No centre: the label is emptied, not left showing the previous railway's centre,
    // and the rectangle and code are this railway's.
    pick(d, "Азовская");
    EXPECT_EQ(text(d, "lblFindDor3"), "");
    EXPECT_EQ(d->selKodDor(), "3");
    EXPECT_EQ(listed(d, "dblListDor"), "");
    EXPECT_EQ(d->dorRect(), (Frame{0, 0, 900, 900}));

    pick(d, "Октябрьская");
    EXPECT_EQ(text(d, "lblFindDor3"), "Санкт-Петербург");
    QTest::keyClick(control<QComboBox>(d, "dbcListDor")->lineEdit(), Qt::Key_A);   // an edit clears the centre
    EXPECT_EQ(text(d, "lblFindDor3"), "");
    QTest::keyClick(control<QComboBox>(d, "dbcListDor")->lineEdit(), Qt::Key_F1);
    EXPECT_EQ(host->helpTopics, std::vector<int>{kHelpTopicDor});
}

TEST_F(DorTool, HighlightOnOffAndOnAnotherRailway)
{
    pick(d, "Октябрьская");
    ASSERT_TRUE(colourAt(kOnDor1, kNet));
    clickOn(d, "cmdDorVib_Light");
    EXPECT_TRUE(host->lightOn(Highlight::Railway));
    EXPECT_TRUE(colourAt(kOnDor1, kLight));
    EXPECT_FALSE(colourAt(kOnDor2, kLight));
    EXPECT_TRUE(control(d, "cmdDorVib_Off")->isEnabled() && control(d, "cmdDorVib_Gab")->isEnabled());

    pick(d, "Белорусская");
    clickOn(d, "cmdDorVib_Light");
    EXPECT_FALSE(colourAt(kOnDor1, kLight));
    EXPECT_TRUE(colourAt(kOnDor1, kNet));
    EXPECT_TRUE(colourAt(kOnDor2, kLight));

    // Switching off after another pick clears the railway that is highlighted.
    pick(d, "Октябрьская");
    clickOn(d, "cmdDorVib_Off");
    EXPECT_FALSE(host->lightOn(Highlight::Railway));
    EXPECT_EQ(d->lightKodDor(), "");
    EXPECT_TRUE(colourAt(kOnDor2, kNet));
    EXPECT_FALSE(colourAt(kOnDor2, kLight) || colourAt(kOnDor1, kLight));

    clickOn(d, "cmdDorVib_Light");   // closing switches it off
    d->close();
    EXPECT_FALSE(host->lightOn(Highlight::Railway));
    EXPECT_TRUE(colourAt(kOnDor1, kNet));
}

TEST_F(DorTool, FramesThePickedRailway)
{
    const size_t shown = host->frames.size();
    clickOn(d, "cmdDorVib_Light");   // before any pick: nothing drawn, nothing framed
    clickOn(d, "cmdDorVib_Gab");
    EXPECT_EQ(host->frames.size(), shown);

    pick(d, "Октябрьская");
    clickOn(d, "cmdDorVib_Gab");
    EXPECT_EQ(host->st.kadr, (Frame{1000, 1000, 5000, 5000}));
    EXPECT_EQ(host->zoomed, 1);

    pick(d, "Точечная");   // a rectangle without width is not made the frame
    clickOn(d, "cmdDorVib_Gab");
    EXPECT_EQ(host->st.kadr, (Frame{1000, 1000, 5000, 5000}));
    EXPECT_EQ(d->selKodDor(), "8");

    pick(d, "Белорусская");
    clickOn(d, "cmdDorVib_All");
    EXPECT_EQ(host->st.kadr, host->st.scheme);
    EXPECT_TRUE(host->lightOn(Highlight::Railway));
    EXPECT_TRUE(colourAt(kOnDor2, kLight)) << "highlighted on the whole scheme";
}

TEST_F(DorTool, MarkingModeTwoLeavesOtherCountriesPale)
{
    host->st.rusMode = 2;
    host->redrawFrame();
    pick(d, "Октябрьская");
    clickOn(d, "cmdDorVib_Light");
    EXPECT_TRUE(colourAt(kOnDor1, kLight));
    pick(d, "Белорусская");
    clickOn(d, "cmdDorVib_Light");
    EXPECT_TRUE(colourAt(kOnDor2, kNetPale));
    EXPECT_FALSE(colourAt(kOnDor2, kLight));
}

namespace {

class DorWindow : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        start(networkSql());
    }
    FrmZdDor* open()
    {
        trigger("mnuZdFind_Dor");
        return w->dorWindow();
    }
    bool colourAt(QPointF m, const QColor& c) { return MapWindowTest::colourAt(m.x(), m.y(), c); }
};

} // namespace

TEST_F(DorWindow, AMarkingChangeReloadsTheListAndPlacesTheWindow)
{
    FrmZdDor* d = open();
    d->move(pic().mapToGlobal(QPoint(0, 0)));
    trigger("mnuZdLight_RusOnly");
    EXPECT_EQ(listed(d, "dbcListDor"), "Азовская,Еловая,ждановская,Октябрьская,Точечная");
    EXPECT_EQ(d->frameGeometry().left(), rightEdgeLeft(pic(), d));
    pick(d, "Октябрьская");
    EXPECT_TRUE(d->dtaCentrOtd().recordSource().endsWith("'1' AND  Doroga.KodContry = '11'  Order by NazStn"));
    EXPECT_EQ(takeBoxes(), QStringList());
}

TEST_F(DorWindow, RendersDrawTheHighlightAgainAndMoveTheWindowOffTheRailway)
{
    showFrame(Frame{-3000, 0, 5000, 5000});   // the railway under the window, right half
    FrmZdDor* d = open();
    const QPoint right = d->frameGeometry().topLeft();
    pick(d, "Октябрьская");
    clickOn(d, "cmdDorVib_Light");
    EXPECT_EQ(d->frameGeometry().topLeft(), QPoint(pic().mapToGlobal(QPoint(0, 0)).x(), right.y()));
    showFrame(Frame{1000, 1000, 9000, 6000});   // left half: the render's highlight moves it back
    EXPECT_EQ(d->frameGeometry().topLeft(), right);
    EXPECT_TRUE(colourAt(kOnDor1, kLight));
    showFrame(Frame{0, 0, 40000, 20000});       // far from the window: it stays
    EXPECT_EQ(d->frameGeometry().topLeft(), right);

    pick(d, "Белорусская");   // the next render highlights the new pick
    showFrame(kNetworkFrame);
    EXPECT_TRUE(colourAt(kOnDor2, kLight));
    EXPECT_EQ(takeBoxes(), QStringList());
}

// The railway's highlight does not enable "Убрать подсветку"; with the highlight window's
// on, the item switches both off and unloads both windows.
TEST_F(DorWindow, RemovingTheHighlightsSwitchesItOffAndUnloadsTheWindow)
{
    showFrame(kNetworkFrame);
    QPointer<FrmZdDor> d = open();
    pick(d, "Октябрьская");
    clickOn(d, "cmdDorVib_Light");
    EXPECT_FALSE(itemOn("mnuZdLight_Erase"));
    trigger("mnuZdLight_Peregon");
    control<QPushButton>(w->lightWindow(), "cmdLight_Enter")->click();
    trigger("mnuZdLight_Erase");
    EXPECT_FALSE(w->lightOn(Highlight::Railway) || w->lightOn(Highlight::Sections));
    EXPECT_TRUE(colourAt(kOnDor1, kNet));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(w->lightWindow(), nullptr);
    EXPECT_EQ(open()->selKodDor(), "");   // a new window starts afresh
    EXPECT_EQ(takeBoxes(), QStringList());
}
