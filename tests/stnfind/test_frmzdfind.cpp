// The station search window in the real main window, driven by the names of its controls.
#include "TestDb.h"
#include "data/Queries.h"
#include "mainwin/FrmZdMain.h"
#include "map/ZoneOutline.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FindQueries.h"
#include "stnfind/FrmZdFind.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <iostream>

using namespace zd;

namespace {

const QColor kFind(0, 255, 255);

// The sample network and: a dense cluster about Плотная, the lone Дальняя, Центральная at
// (41000, 12000), the Russian Пограничная among Belarusian stations, names for the sorting
// and the typing, and a station without coordinates.
QString networkSql()
{
    QString s = zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Stn VALUES('500','Плотная',20000,10000,'1',9,0),('600','Дальняя',70000,30000,'1',9,0),"
        "('700','Центральная',41000,12000,'1',9,0),('800','Пограничная',50000,5000,'1',5,0),"
        "('901','Ёлкино',60000,20000,'1',5,0),('902','Елань',60100,20000,'1',5,0),"
        "('903','Еманжелинск',60200,20000,'1',8,0),('904','Жуковка',60300,20000,'1',5,0),"
        "('905','Абакан',60400,20000,'1',8,0),('906','Мга',60500,20000,'1',5,0),"
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

class FindWindow : public ::testing::Test {
protected:
    void SetUp() override { setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); }); }
    void TearDown() override
    {
        w.reset();
        setMsgHandler({});
    }

    void start(const QString& script = networkSql())
    {
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), script));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([this](int code) { endCode = code; });
        w->Form_Activate();
        w->menuItem(QStringLiteral("mnuZdFind_Stn"))->trigger();
        f = w->findWindow();
        ASSERT_NE(f, nullptr);
        QApplication::processEvents();
    }
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
    void type(const char* typed)
    {
        const QString text = QString::fromUtf8(typed);
        // Key events carrying the characters (the key codes cover Latin letters only).
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&textBox(), &press);
            QApplication::sendEvent(&textBox(), &release);
        }
    }
    void doubleClick(const char* name)
    {
        const QModelIndex i = list().model()->index(rowOf(name), 0);
        ASSERT_TRUE(i.isValid()) << name;
        list().scrollTo(i);
        // As a real double click arrives: press, release, double click, release.
        const QPoint at = list().visualRect(i).center();
        QTest::mousePress(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list().viewport(), Qt::LeftButton, {}, at);
    }
    void area(int k) { QTest::mouseClick(f->findChildren<QRadioButton*>("optFind_Area").at(k), Qt::LeftButton); }
    void press(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void showFrame(const Frame& k)
    {
        w->state().kadr = k;
        w->setKadrZoomed(1);
        w->RenderKadr(w->picZdMain());
    }
    // Pixels of the colour on the picture within r pixels of the map point (r < 0: anywhere).
    static int pixels(PictureBox& pic, double x, double y, const QColor& c, int r = 8)
    {
        const QImage img = pic.image();
        const QPoint p = pic.toPixel(x, y).toPoint();
        const QRect area = r < 0 ? img.rect() : QRect(p - QPoint(r, r), p + QPoint(r, r)) & img.rect();
        int n = 0;
        for (int py = area.top(); py <= area.bottom(); ++py)
            for (int px = area.left(); px <= area.right(); ++px) n += img.pixelColor(px, py) == c;
        return n;
    }
    bool markedAt(double x, double y) { return pixels(w->picZdMain(), x, y, kFind) > 0; }

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    FrmZdFind* f = nullptr;
    std::vector<MsgRequest> boxes;
    int endCode = -1;
};

} // namespace

TEST_F(FindWindow, ControlsAsDesigned)
{
    start();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Поиск станции"));
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    const double k = 1440.0 / f->logicalDpiX();
    EXPECT_NEAR(f->width() * k, 4785, k);
    EXPECT_NEAR(f->height() * k, 5220, k);
    struct Ctl { const char* name; const char* caption; int l, t, wd, h; bool enabled; };
    const Ctl controls[] = {
        {"fraFind_Stn", "", 45, 60, 2640, 2445, true},       {"lblFind_NazDor", "", 90, 270, 2490, 315, true},
        {"dbcFind_Stn", "", 75, 555, 2505, 1740, true},      {"fraArea_Find", "Зона поиска", 2715, 45, 2040, 1575, true},
        {"chkFindRus", "Только Россия", 75, 1275, 1800, 255, true}, {"lblFind_NoStn", "", 2775, 1725, 1950, 330, true},
        {"cmdFind_All", "Вся схема", 2745, 2190, 1005, 270, false}, {"cmdFind_Frag", "Фрагмент", 3720, 2190, 945, 255, true},
        {"picFind", "", 45, 2580, 4680, 2610, true},
    };
    for (const Ctl& c : controls) {
        SCOPED_TRACE(c.name);
        QWidget* wd = child<QWidget>(c.name);
        ASSERT_NE(wd, nullptr);
        const QRectF g = QRectF(wd->geometry());
        EXPECT_LE((QRectF(g.x() * k, g.y() * k, g.width() * k, g.height() * k).topLeft() - QPointF(c.l, c.t)).manhattanLength(), 2 * k);
        EXPECT_NEAR(g.width() * k, c.wd, k);
        EXPECT_NEAR(g.height() * k, c.h, k);
        EXPECT_EQ(wd->isEnabled(), c.enabled);
        auto* box = qobject_cast<QGroupBox*>(wd);
        EXPECT_EQ(box ? box->title() : wd->property("text").toString().remove(u'&'), QString::fromUtf8(c.caption));
    }
    EXPECT_EQ(child<QWidget>("dbcFind_Stn")->toolTip(), QStringLiteral("Выбрать двойным щелчком"));
    EXPECT_EQ(textBox().focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(list().focusProxy(), &textBox());
    const QList<QRadioButton*> opts = f->findChildren<QRadioButton*>("optFind_Area");
    ASSERT_EQ(opts.size(), 4);
    const char* captions[] = {"Все станции", "Центры дорог", "Стыки дорог", "Центры отделений"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(opts[i]->text().remove(u'&'), QString::fromUtf8(captions[i]));
        EXPECT_NEAR(opts[i]->y() * k, 270 + 240 * i, 2 * k);   // 210 high, 30 apart
        EXPECT_EQ(opts[i]->isChecked(), i == 0);
        EXPECT_TRUE(opts[i]->isVisible());
    }
    // Right-aligned with the map, at its top.
    const PictureBox& pic = w->picZdMain();
    const QPoint map = pic.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(f->frameGeometry().topRight(), QPoint(map.x() + pic.width() - 1, map.y()));
}

TEST_F(FindWindow, ListByCategoryAndCountrySortedByName)
{
    start();
    EXPECT_EQ(f->dtaFind_Stn().recordSource(), listStnSql(0, QString()));
    // Ё beside Е, case ignored.
    EXPECT_EQ(rowOf("Абакан"), 0);
    EXPECT_EQ(rowOf("Еманжелинск") + 1, rowOf("Ёлкино"));
    EXPECT_EQ(rowOf("Ёлкино") + 1, rowOf("Жуковка"));
    EXPECT_LT(rowOf("Мосальск"), rowOf("москва-Пассажирская"));

    area(2);
    EXPECT_EQ(f->dtaFind_Stn().recordSource(), listStnSql(2, QString()));
    EXPECT_EQ(names(), (QStringList{"Абакан", "Бологое", "Еманжелинск"}));
    w->mnuZdLight_RusOnly_Click();
    area(0);
    EXPECT_EQ(f->dtaFind_Stn().recordSource(), listStnSql(0, rusFilter(1)));
    EXPECT_EQ(rowOf("Минск"), -1);
    EXPECT_EQ(rowOf("Погранзона-1"), -1);
    w->mnuZdLight_RusAll_Click();
    EXPECT_NE(rowOf("Минск"), -1);

    bool refilled = false;
    QObject::connect(list().model(), &QAbstractItemModel::modelReset, [&] { refilled = true; });
    QTest::mouseClick(child<QCheckBox>("chkFindRus"), Qt::LeftButton);
    EXPECT_TRUE(refilled);
    EXPECT_EQ(f->dtaFind_Stn().recordSource(), listStnSql(0, QString()));
}

TEST_F(FindWindow, TypingSelectsTheFirstNameStartingWithTheTextAndClearsTheRailway)
{
    start();
    doubleClick("Центральная");
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

    const Frame before = w->state().kadr;
    press("cmdFind_Frag");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Не определена станция поиска\r\nВыбор из списка двойным щелчком"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Поиск станций"));
    EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(w->state().kadr, before);

    // Enter takes the selected entry's name and chooses it.
    textBox().clear();
    type("Дал");
    QTest::keyClick(&textBox(), Qt::Key_Return);
    EXPECT_EQ(textBox().text(), QStringLiteral("Дальняя"));
    EXPECT_EQ(f->rsFindStn().bookmark(), rowOf("Дальняя"));
    EXPECT_EQ(label("lblFind_NazDor"), QStringLiteral("дор. Октябрьская"));
}

TEST_F(FindWindow, ZoneGrowsUntilItHoldsMoreThanEightStations)
{
    start();
    struct Case { const char* name; bool rusOnly; Zone zone; int stations; };
    const Case cases[] = {
        {"Плотная", false, {18740, 9445, 21260, 10555}, 10},       // one pass
        {"Дальняя", false, {65380, 27965, 74620, 32035}, 1},       // five passes
        {"Пограничная", false, {48740, 4445, 51260, 5555}, 10},    // its Belarusian neighbours count
        {"Пограничная", true, {45380, 2965, 54620, 7035}, 1},      // Russia only: they do not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.rusOnly ? " Russia only" : ""));
        if (c.rusOnly) w->mnuZdLight_RusOnly_Click();
        doubleClick(c.name);
        EXPECT_EQ(f->zone(), c.zone);
        EXPECT_EQ(f->dtaFind_StnPic().recordSource(), zoneStationsSql(c.zone, w->state().rusFilter));
        EXPECT_EQ(f->dtaFind_StnPic().rows().recordCount(), c.stations);
        EXPECT_EQ(f->dtaFind_PerPic().recordSource(), zoneSectionsSql(c.zone, w->state().rusFilter));
        PictureBox& pic = f->picFind();
        EXPECT_EQ(QRectF(pic.scaleLeft(), pic.scaleTop(), pic.scaleWidth(), pic.scaleHeight()),
                  QRectF(QPointF(c.zone.x1, c.zone.y1), QPointF(c.zone.x2, c.zone.y2)));
        const double x = f->rsFindStn().field(u"StnX").toDouble(), y = f->rsFindStn().field(u"StnY").toDouble();
        EXPECT_GT(pixels(pic, x, y, kFind), 0) << "marked in the preview";
    }
}

TEST_F(FindWindow, FragmentAndTheNextChoiceRedrawThePreviousStation)
{
    start();
    EXPECT_FALSE(markedAt(70000, 30000));
    doubleClick("Дальняя");
    EXPECT_TRUE(markedAt(70000, 30000));
    doubleClick("Плотная");
    EXPECT_FALSE(markedAt(70000, 30000));
    EXPECT_GT(pixels(w->picZdMain(), 70000, 30000, toQColor(w->state().palette.net)), 0);
    EXPECT_TRUE(markedAt(20000, 10000));

    doubleClick("Центральная");
    press("cmdFind_Frag");
    EXPECT_EQ(w->state().kadr, (Frame{32600, 8300, 49400, 15700}));
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_TRUE(markedAt(41000, 12000));
    EXPECT_TRUE(w->zoneOutline().isVisible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FindWindow, OutOfFrameNoticeAndTheWholeSchemeButton)
{
    start();
    f->ViewAll();   // before any choice: nothing to mark
    EXPECT_EQ(pixels(w->picZdMain(), 0, 0, kFind, -1), 0);
    EXPECT_EQ(w->zoneOutline().size(), QSize(0, 0));

    doubleClick("Плотная");
    EXPECT_EQ(label("lblFind_NoStn"), QString());
    EXPECT_FALSE(child<QPushButton>("cmdFind_All")->isEnabled());   // chosen on the whole scheme

    showFrame(Frame{0, -1000, 10000, 6000});
    doubleClick("Дальняя");
    EXPECT_EQ(label("lblFind_NoStn"), QStringLiteral("Станция за кадром"));
    EXPECT_TRUE(child<QPushButton>("cmdFind_All")->isEnabled());

    press("cmdFind_All");
    EXPECT_EQ(w->state().kadr, w->state().scheme);
    EXPECT_EQ(w->kadrZoomed(), 0);
    EXPECT_EQ(label("lblFind_NoStn"), QString());   // the render clears it
    EXPECT_TRUE(markedAt(70000, 30000));
    doubleClick("Плотная");
    EXPECT_EQ(label("lblFind_NoStn"), QString());
    EXPECT_FALSE(child<QPushButton>("cmdFind_All")->isEnabled());
}

TEST_F(FindWindow, RefusedChoicesChangeNothingVisible)
{
    start();
    doubleClick("Плотная");
    const Zone zone = f->zone();
    const QImage preview = f->picFind().image(), map = w->picZdMain().image();
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
        EXPECT_EQ(w->picZdMain().image(), map);
    }
    // The typed name leaves the list on the double-clicked row; the missing coordinates put it back.
    EXPECT_EQ(f->rsFindStn().bookmark(), rowOf("Мосальск"));
}

TEST_F(FindWindow, ZoneOutlineOnTheMap)
{
    start();
    doubleClick("Дальняя");
    QWidget& shape = w->zoneOutline();
    auto expectAtZone = [&] {
        const QPointF a = w->picZdMain().toPixel(f->zone().x1, f->zone().y1);
        const QPointF b = w->picZdMain().toPixel(f->zone().x2, f->zone().y2);
        EXPECT_TRUE(shape.isVisible());
        EXPECT_EQ(shape.geometry(), QRect(a.toPoint(), b.toPoint() - QPoint(1, 1)));
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
    EXPECT_TRUE(QRect(w->picZdMain().rect()).adjusted(-4, -4, 4, 4).contains(shape.geometry()));
}

TEST_F(FindWindow, MovesOffTheChosenStation)
{
    start();
    doubleClick("Дальняя");
    PictureBox& pic = w->picZdMain();
    const QPoint mapTl = pic.mapToGlobal(QPoint(0, 0));
    const QPoint station = mapTl + pic.toPixel(70000, 30000).toPoint();
    f->move(station.x() - 50, station.y() - 50);
    f->FindOver();
    EXPECT_EQ(f->frameGeometry().topLeft(), QPoint(mapTl.x(), station.y() - 50));
    f->FindOver();   // no longer over it: stays
    EXPECT_EQ(f->frameGeometry().left(), mapTl.x());
}

TEST_F(FindWindow, OpeningAgainOrANewListKeepsTheChoiceWhileTheListHoldsIt)
{
    start();
    area(1);
    doubleClick("Дальняя");
    w->menuItem(QStringLiteral("mnuZdFind_Stn"))->trigger();
    EXPECT_EQ(w->findWindow(), f);
    EXPECT_EQ(f->findChildren<QRadioButton*>("optFind_Area").size(), 4);
    EXPECT_TRUE(f->findChildren<QRadioButton*>("optFind_Area").at(1)->isChecked());
    area(0);
    EXPECT_EQ(label("lblFind_NazDor"), QStringLiteral("дор. Октябрьская"));
    EXPECT_EQ(f->rsFindStn().field(u"NazStn").toString(), QStringLiteral("Дальняя"));
    EXPECT_EQ(f->dbcFind_Stn().selectedRow(), rowOf("Дальняя"));
    area(2);   // junctions: Дальняя is none
    EXPECT_EQ(label("lblFind_NazDor"), QString());
    EXPECT_FALSE(f->hasChosenRow());
    press("cmdFind_Frag");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Не определена станция поиска")));
}

TEST_F(FindWindow, F1AndClosing)
{
    start();
    QTest::keyClick(&textBox(), Qt::Key_F1);
    EXPECT_TRUE(w->help().viewer());
    boxes.clear();   // the test folder has no help document: the viewer says so

    doubleClick("Плотная");
    f->close();
    EXPECT_FALSE(w->zoneOutline().isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->findWindow(), nullptr);
    w->RenderKadr(w->picZdMain());
    EXPECT_FALSE(w->zoneOutline().isVisible());
    w->menuItem(QStringLiteral("mnuZdFind_Stn"))->trigger();   // a fresh window
    ASSERT_NE(w->findWindow(), nullptr);
    EXPECT_EQ(w->findWindow()->zone(), Zone{});
}

TEST_F(FindWindow, AHundredThousandStationsFillTheListAtOnce)
{
    // Outside the scheme, so that only the list reads them.
    start(networkSql() + QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO Stn SELECT 'g' || i, 'Станция ' || ((i * 7919) % 100000), 200000 + i, 200000, '1', 5, 0 FROM n;"));
    QElapsedTimer t;
    t.start();
    f->ListStn();
    const qint64 fill = t.restart();
    type("Станция 9999");
    const qint64 typing = t.elapsed();
    EXPECT_GT(list().model()->rowCount(), 100000);
    // The sanitizers slow every memory access several times over.
    const int slowdown = ZD_SANITIZED ? 5 : 1;
    EXPECT_LT(fill, 1000 * slowdown) << "ms to fill";
    EXPECT_LT(typing, 500 * slowdown) << "ms to type and search";
    EXPECT_EQ(list().model()->index(f->dbcFind_Stn().selectedRow(), 0).data().toString(), QStringLiteral("Станция 9999"));
    std::cout << "list of " << list().model()->rowCount() << " filled in " << fill << " ms, typing " << typing << " ms\n";
}
