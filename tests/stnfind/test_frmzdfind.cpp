// The station search window driven by the names of its controls: its own logic on a fake
// map, and what the main window tells it (renders, marking changes, unloading).
#include "FakeMapHost.h"
#include "MapWindow.h"
#include "data/Queries.h"
#include "help/Help.h"
#include "map/ToolPlacement.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace zd;

namespace {

const QColor kFind(0, 255, 255), kNet(128, 128, 0);

// The sample network and: a dense cluster about Плотная, the lone Дальняя, Центральная at
// (41000, 12000), the Russian Пограничная among Belarusian stations, names for the typing,
// and a station without coordinates.
QString networkSql()
{
    QString s = zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('500','Плотная',20000,10000,'1',9,0),('600','Дальняя',70000,30000,'1',9,0),"
        "('700','Центральная',41000,12000,'1',9,0),('800','Пограничная',50000,5000,'1',5,0),"
        "('903','Еманжелинск',60200,20000,'1',8,0),('905','Абакан',60400,20000,'1',8,0),"
        "('907','Мостовская',60600,20000,'1',5,0),('908','Мосальск',60700,20000,'1',5,0),"
        "('909','москва-Пассажирская',60800,20000,'1',7,0),('910','Безымянная',NULL,20000,'1',5,0);"
        "INSERT INTO Peregon VALUES('500','700',20000,10000,41000,12000,300,'1',1,2),"
        "('700','600',41000,12000,70000,30000,900,'1',1,2);");
    for (int i = 1; i <= 9; ++i) {
        s += QStringLiteral("INSERT INTO Stn VALUES('5%1','Плотная-%1',%2,%3,'1',5,0);")
                 .arg(i).arg(20000 - 1000 + 200 * i).arg(10000 - 500 + 100 * i);
        s += QStringLiteral("INSERT INTO Stn VALUES('8%1','Погранзона-%1',%2,%3,'2',5,0);")
                 .arg(i).arg(50000 - 1000 + 200 * i).arg(5000 - 500 + 100 * i);
    }
    return s;
}

bool marked(PictureBox& pic, double x, double y) { return zdtest::colourNear(pic.image(), pic.toPixel(x, y).toPoint(), kFind, 8); }
bool markedAnywhere(PictureBox& pic)
{
    const QImage img = pic.image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == kFind) return true;
    return false;
}

// The controls of a station search window, found by name.
struct Controls {
    FrmZdFind* f = nullptr;
    template <class T> T* child(const char* name) { return f->findChild<T*>(QLatin1String(name)); }
    QLineEdit& textBox() { return f->dbcFind_Stn().textBox(); }
    QListView& list() { return f->dbcFind_Stn().list(); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    QStringList names()
    {
        QStringList out;
        for (int r = 0; r < list().model()->rowCount(); ++r) out << list().model()->index(r, 0).data().toString();
        return out;
    }
    int rowOf(const char* name) { return static_cast<int>(names().indexOf(QString::fromUtf8(name))); }
    void type(const char* typed) { zdtest::typeText(&textBox(), QString::fromUtf8(typed)); }
    void choose(const char* name)   // a double click on the list entry
    {
        const QModelIndex i = list().model()->index(rowOf(name), 0);
        ASSERT_TRUE(i.isValid()) << name;
        list().scrollTo(i);
        zdtest::doubleClickAt(list().viewport(), list().visualRect(i).center());
    }
    void area(int k) { QTest::mouseClick(f->findChildren<QRadioButton*>("optFind_Area").at(k), Qt::LeftButton); }
    void clickOn(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
};

// The window on a fake map showing the whole scheme.
class FindTool : public zdtest::FakeMapTest, public Controls {
protected:
    void SetUp() override
    {
        FakeMapTest::SetUp();
        start(networkSql());
        f = new FrmZdFind(*host);
        f->LoadFind();
    }
    void russiaOnly(bool on) { host->st.rusFilter = rusFilter(on ? 1 : 0); }
};

} // namespace

TEST_F(FindTool, ListByCategoryAndCountry)
{
    area(2);
    EXPECT_EQ(names(), (QStringList{"Абакан", "Бологое", "Еманжелинск"}));
    area(0);
    EXPECT_NE(rowOf("Погранзона-1"), -1);
    russiaOnly(true);
    QTest::mouseClick(child<QWidget>("chkFindRus"), Qt::LeftButton);   // fills the list again
    EXPECT_EQ(rowOf("Погранзона-1"), -1);
    EXPECT_NE(rowOf("Пограничная"), -1);
}

TEST_F(FindTool, TypingSelectsTheFirstNameStartingWithTheTextAndClearsTheRailway)
{
    choose("Центральная");
    EXPECT_EQ(label("lblFind_NazDor"), QStringLiteral("дор. Октябрьская"));
    textBox().clear();
    type("мос");
    EXPECT_EQ(f->dbcFind_Stn().selectedRow(), rowOf("Мосальск"));
    EXPECT_EQ(f->dbcFind_Stn().boundText(), QStringLiteral("908"));
    EXPECT_EQ(textBox().text(), QStringLiteral("мос"));
    EXPECT_EQ(label("lblFind_NazDor"), QString());
    type("к");
    EXPECT_EQ(f->dbcFind_Stn().selectedRow(), rowOf("москва-Пассажирская"));
    type("ы");
    EXPECT_EQ(f->dbcFind_Stn().selectedRow(), -1);

    const size_t shown = host->frames.size();
    clickOn("cmdFind_Frag");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Не определена станция поиска\r\nВыбор из списка двойным щелчком"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Поиск станций"));
    EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(host->frames.size(), shown);

    // Enter takes the selected entry's name and chooses it.
    textBox().clear();
    type("Дал");
    QTest::keyClick(&textBox(), Qt::Key_Return);
    EXPECT_EQ(textBox().text(), QStringLiteral("Дальняя"));
    EXPECT_EQ(f->rsFindStn().bookmark(), rowOf("Дальняя"));
    EXPECT_EQ(label("lblFind_NazDor"), QStringLiteral("дор. Октябрьская"));
}

TEST_F(FindTool, ZoneGrowsUntilItHoldsMoreThanEightStations)
{
    struct Case { const char* name; bool rusOnly; Zone zone; int stations; };
    const Case cases[] = {
        {"Плотная", false, {18740, 9445, 21260, 10555}, 10},       // one pass
        {"Дальняя", false, {65380, 27965, 74620, 32035}, 1},       // five passes
        {"Пограничная", false, {48740, 4445, 51260, 5555}, 10},    // its Belarusian neighbours count
        {"Пограничная", true, {45380, 2965, 54620, 7035}, 1},      // Russia only: they do not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.rusOnly ? " Russia only" : ""));
        russiaOnly(c.rusOnly);
        choose(c.name);
        EXPECT_EQ(f->zone(), c.zone);
        EXPECT_EQ(f->dtaFind_StnPic().rows().recordCount(), c.stations);
        PictureBox& preview = f->picFind();
        EXPECT_EQ(QRectF(preview.scaleLeft(), preview.scaleTop(), preview.scaleWidth(), preview.scaleHeight()),
                  QRectF(QPointF(c.zone.x1, c.zone.y1), QPointF(c.zone.x2, c.zone.y2)));
        EXPECT_TRUE(marked(preview, f->rsFindStn().field(u"StnX").toDouble(), f->rsFindStn().field(u"StnY").toDouble()))
            << "marked in the preview";
    }
    // A press on the preview describes the object under the pointer there.
    zdtest::clickAt(&f->picFind(), QPoint(10, 10));
    EXPECT_EQ(host->objectShown, 1);
}

TEST_F(FindTool, FragmentAndTheNextChoiceRedrawThePreviousStation)
{
    PictureBox& map = pic();
    EXPECT_FALSE(marked(map, 70000, 30000));
    choose("Дальняя");
    EXPECT_TRUE(marked(map, 70000, 30000));
    choose("Плотная");
    EXPECT_FALSE(marked(map, 70000, 30000));
    EXPECT_TRUE(zdtest::colourNear(map.image(), px(70000, 30000), kNet, 8));
    EXPECT_TRUE(marked(map, 20000, 10000));

    choose("Центральная");
    clickOn("cmdFind_Frag");
    EXPECT_EQ(host->st.kadr, (Frame{32600, 8300, 49400, 15700}));
    EXPECT_EQ(host->zoomed, 1);
    EXPECT_TRUE(marked(map, 41000, 12000));
    EXPECT_TRUE(host->zone->isVisible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FindTool, RefusedChoicesChangeNothingVisible)
{
    choose("Плотная");
    const Zone zone = f->zone();
    const QImage preview = f->picFind().image(), map = pic().image();
    struct Case { const char* typed; const char* text; MsgIcon icon; QString caption; };
    const Case cases[] = {
        {"Мос", "Выберите станцию из списка", MsgIcon::None, kAppTitle},         // a row is selected
        {"Нет такой", "Выберите станцию из списка", MsgIcon::None, kAppTitle},   // none is
        {"Безымянная", "Станция не нанесена на схему: у неё нет координат", MsgIcon::Information, QStringLiteral("Поиск станций")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        boxes.clear();
        textBox().clear();
        type(c.typed);
        QTest::mouseDClick(&textBox(), Qt::LeftButton);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(boxes[0].icon, c.icon);
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(f->zone(), zone);
        EXPECT_EQ(f->picFind().image(), preview);
        EXPECT_EQ(pic().image(), map);
    }
    // The typed name leaves the list on the double-clicked row; the missing coordinates put it back.
    EXPECT_EQ(f->rsFindStn().bookmark(), rowOf("Мосальск"));
}

TEST_F(FindTool, MovesOffTheChosenStation)
{
    choose("Дальняя");
    const QPoint mapTl = pic().mapToGlobal(QPoint(0, 0));
    const QPoint station = mapTl + px(70000, 30000);
    f->move(station.x() - 50, station.y() - 50);
    f->FindOver();
    EXPECT_EQ(f->frameGeometry().topLeft(), QPoint(mapTl.x(), station.y() - 50));
    f->FindOver();   // no longer over it: stays
    EXPECT_EQ(f->frameGeometry().left(), mapTl.x());
}

// A tool window opened at the map's edge, where it would cover the chosen station, opens
// beside it; a station off the picture moves nothing.
TEST_F(FindTool, ToolWindowsOpenClearOfTheChosenStation)
{
    choose("Дальняя");
    const QPoint station = pic().mapToGlobal(px(70000, 30000));
    const QRect map(pic().mapToGlobal(QPoint(0, 0)), pic().size());
    QWidget tool(&host->owner, Qt::Tool);
    tool.resize(map.right() - station.x() + 40, station.y() - map.top() + 40);
    tool.show();
    placeAtMapEdge(tool, pic(), 0);
    ASSERT_TRUE(tool.frameGeometry().contains(station));   // where it would stand
    placeToolWindow(tool, *host, 0);
    EXPECT_FALSE(tool.frameGeometry().contains(station));
    EXPECT_TRUE(map.contains(tool.frameGeometry()));
    host->chosen = QPointF(1e12, 30000);
    placeToolWindow(tool, *host, 0);
    EXPECT_TRUE(tool.frameGeometry().contains(station));
}

TEST_F(FindTool, LoadingAgainOrANewListKeepsTheChoiceWhileTheListHoldsIt)
{
    QTest::keyClick(&textBox(), Qt::Key_F1);
    EXPECT_EQ(host->helpTopics, std::vector<int>{kHelpTopicFind});
    area(1);
    choose("Дальняя");
    f->LoadFind();
    EXPECT_EQ(f->findChildren<QRadioButton*>("optFind_Area").size(), 4);
    EXPECT_TRUE(f->findChildren<QRadioButton*>("optFind_Area").at(1)->isChecked());
    area(0);
    EXPECT_EQ(label("lblFind_NazDor"), QStringLiteral("дор. Октябрьская"));
    EXPECT_EQ(f->rsFindStn().field(u"NazStn").toString(), QStringLiteral("Дальняя"));
    EXPECT_EQ(f->dbcFind_Stn().selectedRow(), rowOf("Дальняя"));
    area(2);   // junctions: Дальняя is none
    EXPECT_EQ(label("lblFind_NazDor"), QString());
    EXPECT_FALSE(f->hasChosenRow());
    clickOn("cmdFind_Frag");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Не определена станция поиска")));
}

TEST_F(FindTool, AHundredThousandStationsFillTheList)
{
    const QString script = networkSql() + QStringLiteral(   // outside the scheme: only the list reads them
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO Stn SELECT 'g' || i, 'Станция ' || ((i * 7919) % 100000), 200000 + i, 200000, '1', 5, 0 FROM n;");
    host.reset();
    start(script);
    f = new FrmZdFind(*host);
    f->LoadFind();
    type("Станция 9999");
    EXPECT_GT(list().model()->rowCount(), 100000);
    EXPECT_EQ(list().model()->index(f->dbcFind_Stn().selectedRow(), 0).data().toString(), QStringLiteral("Станция 9999"));
}

namespace {

// The window in the real main window.
class FindWindow : public zdtest::MapWindowTest, public Controls {
protected:
    void open()
    {
        trigger("mnuZdFind_Stn");
        f = w->findWindow();
        ASSERT_NE(f, nullptr);
    }
};

} // namespace

TEST_F(FindWindow, RendersClearTheOutOfFrameNoticeAndPutTheZoneBack)
{
    start(networkSql());
    open();
    f->ViewAll();   // before any choice: nothing to mark, no zone
    EXPECT_FALSE(markedAnywhere(pic()));
    EXPECT_EQ(w->zoneOutline().size(), QSize(0, 0));
    choose("Плотная");
    EXPECT_FALSE(child<QPushButton>("cmdFind_All")->isEnabled());   // chosen on the whole scheme

    showFrame(Frame{0, -1000, 10000, 6000});
    choose("Дальняя");
    EXPECT_EQ(label("lblFind_NoStn"), QStringLiteral("Станция за кадром"));
    EXPECT_TRUE(child<QPushButton>("cmdFind_All")->isEnabled());
    clickOn("cmdFind_All");
    EXPECT_EQ(w->state().kadr, w->state().scheme);
    EXPECT_EQ(w->kadrZoomed(), 0);
    EXPECT_EQ(label("lblFind_NoStn"), QString());   // the render clears it
    EXPECT_TRUE(marked(pic(), 70000, 30000));

    QWidget& shape = w->zoneOutline();
    auto expectAtZone = [&] {
        EXPECT_TRUE(shape.isVisible());
        EXPECT_EQ(shape.geometry(), QRect(px(f->zone().x1, f->zone().y1), px(f->zone().x2, f->zone().y2) - QPoint(1, 1)));
    };
    expectAtZone();
    showFrame(Frame{60000, 25000, 80000, 35000});   // every render puts it back at the zone
    expectAtZone();
    const QImage img = shape.grab().toImage();
    for (const QPoint& p : {QPoint(0, 0), QPoint(1, 1), QPoint(img.width() - 2, img.height() / 2)})
        EXPECT_EQ(img.pixelColor(p), QColor(255, 0, 255)) << p.x() << "," << p.y();
    EXPECT_NE(img.pixelColor(2, 2), QColor(255, 0, 255));
    // Zoomed far into the zone, the outline keeps to the map's edges.
    showFrame(Frame{69990, 29990, 70010, 30010});
    EXPECT_TRUE(QRect(pic().rect()).adjusted(-4, -4, 4, 4).contains(shape.geometry()));
    EXPECT_EQ(takeBoxes(), QStringList());
}

TEST_F(FindWindow, AMarkingChangeFillsTheListAgain)
{
    start(networkSql());
    open();
    trigger("mnuZdLight_RusOnly");
    EXPECT_EQ(rowOf("Минск"), -1);
    trigger("mnuZdLight_RusAll");
    EXPECT_NE(rowOf("Минск"), -1);
    EXPECT_EQ(takeBoxes(), QStringList());
}

TEST_F(FindWindow, OpeningAgainKeepsTheWindowAndClosingUnloadsIt)
{
    start(networkSql());
    open();
    choose("Плотная");
    FrmZdFind* first = f;
    open();
    EXPECT_EQ(f, first);
    f->close();
    EXPECT_FALSE(w->zoneOutline().isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->findWindow(), nullptr);
    w->RenderKadr(pic());
    EXPECT_FALSE(w->zoneOutline().isVisible());
    open();   // a fresh window
    EXPECT_EQ(f->zone(), Zone{});
    EXPECT_EQ(takeBoxes(), QStringList());
}
