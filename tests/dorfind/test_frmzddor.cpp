// The railway search window driven through the names of its controls, over the real main
// window on a small network of its own.
#include "TestDb.h"
#include "dorfind/FrmZdDor.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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

class DorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); });
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), networkSql()));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([](int) {});
        w->Form_Activate();
    }
    void TearDown() override
    {
        setMsgHandler({});
        EXPECT_TRUE(boxes.empty());
    }
    FrmZdDor* open()
    {
        w->menuItem("mnuZdFind_Dor")->trigger();
        return w->dorWindow();
    }
    template <class T = QWidget>
    T* control(const char* name) { return w->dorWindow()->findChild<T*>(QLatin1String(name)); }
    void press(const char* name) { control<QPushButton>(name)->click(); }
    void pick(const QString& name)   // a click on the list entry
    {
        auto* c = control<QComboBox>("dbcListDor");
        const int i = c->findText(name);
        ASSERT_GE(i, 0) << name.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
    QString listed(const char* name)
    {
        QStringList out;
        if (auto* c = control<QComboBox>(name))
            for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        if (auto* l = control<QListWidget>(name))
            for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
        return out.join(',');
    }
    void showFrame(const Frame& f)
    {
        w->state().kadr = f;
        w->setKadrZoomed(1);
        w->RenderKadr(w->picZdMain());
    }
    // The colour at the map point or a pixel beside it.
    bool colourAt(QPointF m, const QColor& c)
    {
        const QImage img = w->picZdMain().image();
        const QPoint p = w->picZdMain().toPixel(m.x(), m.y()).toPoint();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.valid(p.x() + dx, p.y() + dy) && img.pixelColor(p.x() + dx, p.y() + dy) == c) return true;
        return false;
    }
    QPoint picPos() { return w->picZdMain().mapToGlobal(QPoint(0, 0)); }
    int rightEdgeLeft() { return picPos().x() + w->picZdMain().width() - w->dorWindow()->frameGeometry().width(); }

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    std::vector<MsgRequest> boxes;
};

TEST_F(DorWindow, ControlsAsDesigned)
{
    FrmZdDor* d = open();
    EXPECT_EQ(d->windowTitle(), "Поиск дороги");
    EXPECT_TRUE(d->isVisible() && (d->windowFlags() & Qt::WindowStaysOnTopHint));
    struct Row { const char* name; const char* caption; const char* tip; bool enabled; bool bold; };
    const Row rows[] = {
        {"lblFindDor1", " Название дороги", "", true, true}, {"chkFindRus", "Только Россия", "", true, false},
        {"lblFindDor2", "Центр дороги", "", true, true},     {"lblFindDor3", "", "", true, false},
        {"lblFindDor4", "Центры отделений", "", true, false},
        {"cmdDorVib_Gab", "Габариты дороги", "Высвечивание выделенной дороги во весь кадр", false, false},
        {"cmdDorVib_All", "На схеме", "Показать дорогу на полной схеме", false, false},
        {"cmdDorVib_Light", "Выделить дорогу", "", true, false}, {"cmdDorVib_Off", "Погасить выделение", "", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* c = control(r.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->property("text").toString().remove(u'&'), QString::fromUtf8(r.caption));
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(r.tip));
        EXPECT_EQ(c->isEnabled(), r.enabled);
        EXPECT_EQ(c->font().bold(), r.bold);
    }
    EXPECT_EQ(control("fraDorVib")->property("title").toString(), "Выделение дороги");
    EXPECT_LT(control("cmdDorVib_All")->x(), control("cmdDorVib_Off")->x());
    EXPECT_EQ(listed("dblListDor"), "");
}

TEST_F(DorWindow, ListSortedFilteredAndPlaced)
{
    FrmZdDor* d = open();
    EXPECT_TRUE(d->dtaFindDor().recordSource().endsWith("FROM  Doroga Order by NazDor"));
    EXPECT_EQ(listed("dbcListDor"), "Азовская,Белорусская,Еловая,Ёжиковская,ждановская,Октябрьская,Точечная,Южная");
    EXPECT_EQ(d->frameGeometry().left(), rightEdgeLeft());

    d->move(picPos());
    w->menuItem("mnuZdLight_RusOnly")->trigger();   // reloads the visible window
    EXPECT_TRUE(d->dtaFindDor().recordSource().endsWith("FROM  Doroga WHERE  Doroga.KodContry = '11'  Order by NazDor"));
    EXPECT_EQ(listed("dbcListDor"), "Азовская,Еловая,ждановская,Октябрьская,Точечная");
    EXPECT_EQ(d->frameGeometry().left(), rightEdgeLeft());
    pick("Октябрьская");
    EXPECT_TRUE(d->dtaCentrOtd().recordSource().endsWith("'1' AND  Doroga.KodContry = '11'  Order by NazStn"));
}

TEST_F(DorWindow, PickShowsCentresAndARailwayWithoutCentreIsStillPicked)
{
    FrmZdDor* d = open();
    pick("Октябрьская");
    EXPECT_EQ(control("lblFindDor3")->property("text").toString(), "Санкт-Петербург");
    EXPECT_TRUE(d->dtaCentrOtd().recordSource().endsWith("AND Stn.KodDor = '1' Order by NazStn"));
    EXPECT_EQ(listed("dblListDor"), "Волхов,Тверь");
    EXPECT_EQ(d->dorRect(), (Frame{1000, 1000, 5000, 5000}));
    EXPECT_TRUE(control("cmdDorVib_All")->isEnabled());

    // No centre: the label is emptied, not left showing the previous railway's centre,
    // and the rectangle and code are this railway's.
    pick("Азовская");
    EXPECT_EQ(control("lblFindDor3")->property("text").toString(), "");
    EXPECT_EQ(d->selKodDor(), "3");
    EXPECT_EQ(listed("dblListDor"), "");
    EXPECT_EQ(d->dorRect(), (Frame{0, 0, 900, 900}));

    pick("Октябрьская");
    EXPECT_EQ(control("lblFindDor3")->property("text").toString(), "Санкт-Петербург");

    QTest::keyClick(control<QComboBox>("dbcListDor")->lineEdit(), Qt::Key_A);   // an edit clears the centre
    EXPECT_EQ(control("lblFindDor3")->property("text").toString(), "");
}

TEST_F(DorWindow, HighlightOnOffAndOnAnotherRailway)
{
    showFrame(kNetworkFrame);
    FrmZdDor* d = open();
    pick("Октябрьская");
    ASSERT_TRUE(colourAt(kOnDor1, kNet));
    press("cmdDorVib_Light");
    EXPECT_TRUE(w->lightOn(Highlight::Railway));
    EXPECT_TRUE(d->dtaDorVib_Per().recordSource().endsWith("FROM Peregon WHERE KodDor = '1'"));
    EXPECT_TRUE(colourAt(kOnDor1, kLight));
    EXPECT_FALSE(colourAt(kOnDor2, kLight));
    EXPECT_TRUE(control("cmdDorVib_Off")->isEnabled() && control("cmdDorVib_Gab")->isEnabled());

    pick("Белорусская");
    press("cmdDorVib_Light");
    EXPECT_FALSE(colourAt(kOnDor1, kLight));
    EXPECT_TRUE(colourAt(kOnDor1, kNet));
    EXPECT_TRUE(colourAt(kOnDor2, kLight));

    // Switching off after another pick clears the railway that is highlighted.
    pick("Октябрьская");
    press("cmdDorVib_Off");
    EXPECT_FALSE(w->lightOn(Highlight::Railway));
    EXPECT_EQ(d->lightKodDor(), "");
    EXPECT_FALSE(colourAt(kOnDor2, kLight));
    EXPECT_TRUE(colourAt(kOnDor2, kNet));
    EXPECT_FALSE(colourAt(kOnDor1, kLight));
}

TEST_F(DorWindow, HighlightSurvivesRendersAndFramesTheRailway)
{
    showFrame(kNetworkFrame);
    FrmZdDor* d = open();
    const int shown = w->history().count();
    press("cmdDorVib_Light");   // before any pick: nothing drawn, nothing framed
    press("cmdDorVib_Gab");
    EXPECT_EQ(w->history().count(), shown);

    pick("Белорусская");
    press("cmdDorVib_Light");
    w->menuItem("mnuMagist_Near")->trigger();
    EXPECT_TRUE(colourAt(kOnDor2, kLight));
    pick("Октябрьская");   // the next render highlights the new pick
    press("cmdDorVib_Gab");
    EXPECT_EQ(w->state().kadr, (Frame{1000, 1000, 5000, 5000}));
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_TRUE(colourAt(kOnDor1, kLight));

    pick("Точечная");   // a rectangle without width is not made the frame
    press("cmdDorVib_Gab");
    EXPECT_EQ(w->state().kadr, (Frame{1000, 1000, 5000, 5000}));
    EXPECT_EQ(d->selKodDor(), "8");

    pick("Белорусская");
    press("cmdDorVib_All");
    EXPECT_EQ(w->state().kadr, w->state().scheme);
    EXPECT_TRUE(w->lightOn(Highlight::Railway));
}

TEST_F(DorWindow, MarkingModeTwoLeavesOtherCountriesPale)
{
    showFrame(kNetworkFrame);
    open();
    w->menuItem("mnuZdLight_RusBlank")->trigger();
    pick("Октябрьская");
    press("cmdDorVib_Light");
    EXPECT_TRUE(colourAt(kOnDor1, kLight));
    pick("Белорусская");
    press("cmdDorVib_Light");
    EXPECT_TRUE(colourAt(kOnDor2, kNetPale));
    EXPECT_FALSE(colourAt(kOnDor2, kLight));
}

TEST_F(DorWindow, WindowMovesOffTheRailway)
{
    showFrame(Frame{-3000, 0, 5000, 5000});   // the railway under the window, right half
    FrmZdDor* d = open();
    const QPoint right = d->frameGeometry().topLeft();
    pick("Октябрьская");
    press("cmdDorVib_Light");
    EXPECT_EQ(d->frameGeometry().topLeft(), QPoint(picPos().x(), right.y()));
    showFrame(Frame{1000, 1000, 9000, 6000});   // left half: the render's highlight moves it back
    EXPECT_EQ(d->frameGeometry().topLeft(), right);
    showFrame(Frame{0, 0, 40000, 20000});       // far from the window: it stays
    EXPECT_EQ(d->frameGeometry().topLeft(), right);
}

TEST_F(DorWindow, ClosingSwitchesTheHighlightOffAndF1AsksForHelp)
{
    showFrame(kNetworkFrame);
    FrmZdDor* d = open();
    QTest::keyClick(control<QComboBox>("dbcListDor")->lineEdit(), Qt::Key_F1);
    ASSERT_TRUE(w->help().viewer());
    boxes.clear();   // the test folder has no help document: the viewer says so

    pick("Октябрьская");
    press("cmdDorVib_Light");
    d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->dorWindow(), nullptr);
    EXPECT_FALSE(w->lightOn(Highlight::Railway));
    EXPECT_TRUE(colourAt(kOnDor1, kNet));
    EXPECT_EQ(open()->selKodDor(), "");   // a new window starts afresh
}

} // namespace
