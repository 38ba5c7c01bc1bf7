// The route window through the user's events on the real main window: fields filled by
// typing, the list and the map, the route found, listed, totalled, framed and drawn over
// the map, and taken off it again.
#include "MapWindow.h"
#include "export/ExportCommands.h"
#include "export/Legend.h"
#include "help/Help.h"
#include "platform/HelpViewer.h"
#include "routewin/FrmRoute.h"
#include "routewin/RouteOverlay.h"
#include "routewin/StopField.h"
#include "stnfind/DbCombo.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

using namespace zd;

namespace {

// Two ways from Альфа to Бета (200 km by Икс, 300 by Игрек), Бета on to Зет over a diesel
// section of another railway, and an island (Остров, Залив) that joins nothing.
QString routeNetworkSql()
{
    return zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,50000,30000,'10','Альфа','11'),"
        " ('2','Белорусская',30000,0,60000,30000,'14','Зет','21');"
        "INSERT INTO Stn VALUES('10','Альфа',10000,10000,'1',9,0),('11','Икс',20000,5000,'1',5,0),"
        " ('12','Бета',30000,10000,'1',9,0),('13','Игрек',20000,20000,'1',5,0),"
        " ('14','Зет',40000,20000,'2',8,0),('20','Остров',70000,30000,'1',9,0),('21','Залив',76000,30000,'1',5,0);"
        "INSERT INTO Peregon VALUES('10','11',10000,10000,20000,5000,100,'1',2,3),"
        " ('11','12',20000,5000,30000,10000,100,'1',2,4),"
        " ('10','13',10000,10000,20000,20000,150,'1',1,3),"
        " ('13','12',20000,20000,30000,10000,150,'1',1,3),"
        " ('12','14',30000,10000,40000,20000,80,'2',1,2),"
        " ('20','21',70000,30000,76000,30000,50,'1',1,2);");
}

const QColor kRoute = QColor(220, 20, 60);
const QPointF kOnAlfaIks(15000, 7500), kOnBetaZet(35000, 15000), kOnAlfaIgrek(15000, 15000);

class RouteWindowTest : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        start(routeNetworkSql());
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZD_BUILD_DIR "/ZDHELP.HLP"), dir.filePath("ZDHELP.HLP")));
        trigger("mnuService_Route");
        win = w->routeWindow();
        ASSERT_NE(win, nullptr);
    }

    template <class T = QWidget> T* ctl(QWidget* in, const char* name)
    {
        T* c = in->findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    StopField* field(const char* name) { return ctl<StopField>(win, name); }
    QLineEdit& text(const char* name) { return field(name)->combo().textBox(); }
    void click(const char* name) { ctl<QPushButton>(win, name)->click(); }
    // Types into the field's text box as the user does, then Enter takes the list's entry.
    void typeInto(const char* name, const QString& typed, bool enter = false)
    {
        QLineEdit& box = text(name);
        box.clear();
        zdtest::typeText(&box, typed);
        if (enter) QTest::keyClick(&box, Qt::Key_Return);
    }
    void fill(const QString& from, const QString& to)
    {
        typeInto("fldRoute_From", from);
        typeInto("fldRoute_To", to);
    }
    QString cell(const char* table, int row, int col)
    {
        return ctl<QTableView>(win, table)->model()->index(row, col).data().toString();
    }
    int rows(const char* table) { return ctl<QTableView>(win, table)->model()->rowCount(); }
    bool routeAt(QPointF p) { return colourAt(p.x(), p.y(), kRoute); }

    FrmRoute* win = nullptr;
};

} // namespace

TEST_F(RouteWindowTest, TypedStationsGiveTheShortWayListedTotalledAndDrawn)
{
    EXPECT_FALSE(routeAt(kOnAlfaIks));
    typeInto("fldRoute_From", QStringLiteral("Альфа"));
    typeInto("fldRoute_To", QStringLiteral("Зе"), true);   // the list's entry taken by Enter
    EXPECT_EQ(text("fldRoute_To").text(), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    EXPECT_TRUE(takeBoxes().isEmpty());
    ASSERT_TRUE(win->route().has_value());

    ASSERT_EQ(rows("tblRoute_Sections"), 3);
    const char* expected[3][5] = {{"Альфа", "Икс", "100,0", "100,0", "электр."},
                                  {"Икс", "Бета", "100,0", "200,0", "электр."},
                                  {"Бета", "Зет", "80,0", "280,0", "тепл."}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(cell("tblRoute_Sections", r, c + 1), QString::fromUtf8(expected[r][c])) << r << c;
    EXPECT_EQ(cell("tblRoute_Sections", 2, 7), QStringLiteral("Белорусская"));
    EXPECT_TRUE(ctl<QLabel>(win, "lblRoute_Total")->text().contains(QStringLiteral("280,0 км, перегонов: 3")));
    QStringList totals;
    for (int r = 0; r < rows("tblRoute_Totals"); ++r)
        totals << cell("tblRoute_Totals", r, 0).trimmed() + u'=' + cell("tblRoute_Totals", r, 1);
    EXPECT_TRUE(totals.contains(QStringLiteral("Октябрьская=200,0"))) << totals.join(u' ').toStdString();
    EXPECT_TRUE(totals.contains(QStringLiteral("Белорусская=80,0")));
    EXPECT_TRUE(totals.contains(QStringLiteral("тепл.=80,0")));

    // Drawn over the map on the way taken, not on the longer one; the erase item is on.
    EXPECT_TRUE(routeAt(kOnAlfaIks));
    EXPECT_TRUE(routeAt(kOnBetaZet));
    EXPECT_FALSE(routeAt(kOnAlfaIgrek));
    EXPECT_TRUE(itemOn("mnuZdLight_Erase"));

    // Every later render draws it again.
    trigger("mnuMagist_Near");
    trigger("mnuMagist_Frag0");
    EXPECT_TRUE(routeAt(kOnAlfaIks));
}

TEST_F(RouteWindowTest, ShowOnMapFramesTheWholeRouteInOneHistoryEntry)
{
    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    const int before = w->history().count();
    click("cmdRoute_Show");
    EXPECT_EQ(w->history().count(), before + 1);
    const Frame k = w->state().kadr;
    for (QPointF p : {QPointF(10000, 10000), QPointF(20000, 5000), QPointF(40000, 20000)}) {
        EXPECT_TRUE(p.x() > k.x1 && p.x() < k.x2 && p.y() > k.y1 && p.y() < k.y2) << p.x() << ' ' << p.y();
    }
    // A margin, but far less than the whole scheme: the route is 30000 × 15000 map units.
    EXPECT_LT(k.x2 - k.x1, 60000);
    EXPECT_LT(k.y2 - k.y1, 30000);
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_TRUE(routeAt(kOnBetaZet));
    // Back in the history leaves the route drawn.
    trigger("mnuKadrBack");
    EXPECT_TRUE(routeAt(kOnBetaZet));
}

TEST_F(RouteWindowTest, EraseAndCloseTakeTheRouteOffTheMap)
{
    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    ASSERT_TRUE(routeAt(kOnAlfaIks));
    const int entries = w->history().count();

    trigger("mnuZdLight_Erase");
    EXPECT_FALSE(routeAt(kOnAlfaIks));
    EXPECT_TRUE(colourAt(kOnAlfaIks.x(), kOnAlfaIks.y(), QColor(128, 128, 0)));   // the network as it was
    EXPECT_EQ(w->history().count(), entries);
    EXPECT_TRUE(win->isVisible());     // the table stays
    EXPECT_EQ(rows("tblRoute_Sections"), 3);
    trigger("mnuMagist_Near");
    trigger("mnuMagist_Frag0");
    EXPECT_FALSE(routeAt(kOnAlfaIks));   // and it does not come back by itself

    click("cmdRoute_Show");
    EXPECT_TRUE(routeAt(kOnAlfaIks));
    win->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->routeWindow(), nullptr);
    EXPECT_FALSE(routeAt(kOnAlfaIks));
}

TEST_F(RouteWindowTest, AnswersWithoutARouteSayWhyAndDrawNothing)
{
    const struct { const char* name; const char* from; const char* to; bool electric; const char* message; } cases[] = {
        {"no way", "Альфа", "Остров", false, "Между станциями Альфа и Остров нет пути по сети"},
        {"same station", "Бета", "бета", false, "Станции отправления и назначения совпадают: Бета"},
        {"electric only", "Альфа", "Зет", true, "Между станциями Альфа и Зет нет пути по сети (только электрифицированные"},
        {"unknown", "Альфа", "Гамма", false, "Станция не найдена: Гамма"},
        {"empty", "", "Зет", false, "Не указана станция"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A route found before goes off the map with the failed answer.
        fill(QStringLiteral("Альфа"), QStringLiteral("Бета"));
        ctl<QAbstractButton>(win, "chkRoute_Electric")->setChecked(false);
        click("cmdRoute_Find");
        ASSERT_TRUE(routeAt(kOnAlfaIks));
        fill(QString::fromUtf8(c.from), QString::fromUtf8(c.to));
        ctl<QAbstractButton>(win, "chkRoute_Electric")->setChecked(c.electric);
        click("cmdRoute_Find");
        const QStringList shown = takeBoxes();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].startsWith(QString::fromUtf8(c.message))) << shown[0].toStdString();
        EXPECT_FALSE(win->route().has_value());
        EXPECT_EQ(rows("tblRoute_Sections"), 0);
        EXPECT_FALSE(routeAt(kOnAlfaIks));
        EXPECT_FALSE(ctl<QPushButton>(win, "cmdRoute_Show")->isEnabled());
    }
}

TEST_F(RouteWindowTest, ViaStationsAreAddedTakenInOrderAndRemoved)
{
    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Add" "Via");
    typeInto("fldRoute_Via", QStringLiteral("Игрек"));
    click("cmdRoute_Find");
    ASSERT_TRUE(win->route().has_value());
    EXPECT_DOUBLE_EQ(win->route()->km, 380);
    EXPECT_TRUE(routeAt(kOnAlfaIgrek));
    EXPECT_FALSE(routeAt(kOnAlfaIks));   // the earlier route's lines are gone with the new one

    // An empty via field is left out; a removed one is gone.
    click("cmdRoute_AddVia");
    click("cmdRoute_Find");
    EXPECT_DOUBLE_EQ(win->route()->km, 380);
    for (int i = 0; i < 2; ++i) {
        QList<StopField*> vias = win->findChildren<StopField*>(QStringLiteral("fldRoute_Via"));
        vias.erase(std::remove_if(vias.begin(), vias.end(), [](StopField* f) { return !f->isVisible(); }), vias.end());
        ASSERT_FALSE(vias.isEmpty());
        ctl<QToolButton>(vias.front(), "cmdRemove")->click();
    }
    click("cmdRoute_Find");
    EXPECT_DOUBLE_EQ(win->route()->km, 280);
    for (int i = 0; i < FrmRoute::kMaxVia; ++i) click("cmdRoute_AddVia");
    EXPECT_FALSE(ctl<QPushButton>(win, "cmdRoute_AddVia")->isEnabled());
}

TEST_F(RouteWindowTest, PickOnTheMapSetsTheFieldAndEscCancels)
{
    typeInto("fldRoute_From", QStringLiteral("Альфа"));
    QToolButton* pick = ctl<QToolButton>(field("fldRoute_To"), "cmdPick");
    pick->click();
    ASSERT_TRUE(win->picking());

    // A press beside every station keeps the pick going and says so.
    zdtest::clickAt(&pic(), px(55000, 2000));
    EXPECT_TRUE(win->picking());
    EXPECT_TRUE(ctl<QLabel>(win, "lblRoute_Status")->text().startsWith(QStringLiteral("Здесь нет станции")));
    EXPECT_EQ(w->kursInfObj(), 0);   // the map's own press did not run

    const QPoint beta = px(30000, 10000) + QPoint(2, -1);
    zdtest::clickAt(&pic(), beta);
    EXPECT_FALSE(win->picking());
    EXPECT_FALSE(pick->isChecked());
    EXPECT_EQ(text("fldRoute_To").text(), QStringLiteral("Бета"));
    EXPECT_EQ(field("fldRoute_To")->station(), QStringLiteral("12"));   // the code: a shared name cannot mislead
    click("cmdRoute_Find");
    EXPECT_DOUBLE_EQ(win->route()->km, 200);

    // Esc on the map or in the window ends a pick and changes nothing; the map's press is its own again.
    for (QWidget* target : {static_cast<QWidget*>(&pic()), static_cast<QWidget*>(win)}) {
        pick->click();
        ASSERT_TRUE(win->picking());
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(win->picking());
        EXPECT_FALSE(pick->isChecked());
        EXPECT_EQ(text("fldRoute_To").text(), QStringLiteral("Бета"));
    }
    zdtest::sendMouse(&pic(), QEvent::MouseButtonPress, beta);
    EXPECT_GT(w->kursInfObj(), 0);
    zdtest::sendMouse(&pic(), QEvent::MouseButtonRelease, beta);

    // With no pick going, Esc closes the window as it does every tool window.
    const QPointer<FrmRoute> closing = win;
    QTest::keyClick(&text("fldRoute_From"), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!closing || !closing->isVisible());
}

TEST_F(RouteWindowTest, CopySaveAndHelp)
{
    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    click("cmdRoute_Copy");
    const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 4);   // header and three sections
    EXPECT_TRUE(copied[3].split(u'\t').contains(QStringLiteral("80,0")));

    const QString path = dir.filePath("маршрут.csv");
    ASSERT_TRUE(win->saveCsv(path));
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("Альфа,11,Икс,100.0")));
    EXPECT_TRUE(takeBoxes().isEmpty());
    EXPECT_FALSE(win->saveCsv(dir.filePath("нет такой папки/маршрут.csv")));
    const QStringList shown = takeBoxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Не удалось сохранить файл")));

    QTest::keyClick(win, Qt::Key_F1);
    ASSERT_NE(w->help().viewer(), nullptr);
    QTextBrowser& b = w->help().viewer()->browser();
    const QTextCursor top = b.cursorForPosition(QPoint(5, 5));
    EXPECT_TRUE(top.block().text().startsWith(QStringLiteral("Маршрут между станциями"))) << top.block().text().toStdString();
}

TEST_F(RouteWindowTest, RussiaOnlyFollowsTheMap)
{
    auto* rus = ctl<QAbstractButton>(win, "chkRoute_Rus");
    EXPECT_FALSE(rus->isChecked());
    trigger("mnuZdLight_RusOnly");
    EXPECT_TRUE(rus->isChecked());
    EXPECT_FALSE(rus->isEnabled());
    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    const QStringList shown = takeBoxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("только дороги России")));
    trigger("mnuZdLight_RusAll");
    EXPECT_FALSE(rus->isChecked());   // the user's own choice back
    EXPECT_TRUE(rus->isEnabled());
}

TEST_F(RouteWindowTest, ExportShowsTheRouteInThePictureLegendAndTitle)
{
    auto* commands = w->findChild<ExportCommands*>();
    ASSERT_NE(commands, nullptr);
    const auto exported = [&] {
        ExportTarget t;
        t.path = dir.filePath("map.png");
        t.pixels = pic().size();
        auto drawn = writeExport(t, commands->scene(), {});
        EXPECT_TRUE(drawn) << drawn.error().message().toStdString();
        return QImage(t.path).convertToFormat(QImage::Format_RGB32);
    };
    const auto routeInLegend = [&] {
        const ExportScene s = commands->scene();
        return std::count_if(s.highlights.begin(), s.highlights.end(), [](const LegendEntry& e) { return e.color == kRouteColor; });
    };
    const QPoint onRoute = px(kOnBetaZet.x(), kOnBetaZet.y());

    fill(QStringLiteral("Альфа"), QStringLiteral("Зет"));
    click("cmdRoute_Find");
    ASSERT_TRUE(routeAt(kOnBetaZet));
    EXPECT_EQ(exported().pixelColor(onRoute), pic().image().pixelColor(onRoute));
    EXPECT_EQ(exported().pixelColor(onRoute), kRoute);
    EXPECT_EQ(routeInLegend(), 2);   // the line and the stops' symbol
    EXPECT_EQ(commands->title(), QStringLiteral("Маршрут Альфа — Зет, 280,0 км"));

    // The legend's symbols look as the route does on the map: a wide line on its casing, a
    // white stop ringed in the route's colour.
    auto legend = Legend::make(w->state(), pic().view(), *w->database(), legendEntries(w->state(), commands->scene().highlights));
    ASSERT_TRUE(legend);
    QImage image(legend->size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    legend->draw(painter, QPointF(0, 0));
    painter.end();
    for (int row = 0; row < legend->rowCount(); ++row) {
        if (legend->entry(row).color != kRouteColor) continue;
        const QPoint at = legend->anchor(row, QPointF(0, 0)).toPoint();
        int across = 0;
        for (int dy = -8; dy <= 8; ++dy) across += image.pixelColor(at + QPoint(0, dy)) == kRoute;
        if (legend->entry(row).kind == LegendEntry::Section) {
            EXPECT_EQ(across, kRouteWidthPx);
        } else {
            EXPECT_EQ(image.pixelColor(at), QColor(Qt::white));
            EXPECT_GE(across, 2);
        }
    }

    trigger("mnuZdLight_Erase");
    EXPECT_NE(exported().pixelColor(onRoute), kRoute);
    EXPECT_EQ(routeInLegend(), 0);
    EXPECT_EQ(commands->title(), QStringLiteral("Общая схема"));
}

// The fields' type-ahead is the station search's: a text that begins no name is the
// station the name matcher ranks first, and the route goes from it.
TEST_F(RouteWindowTest, OtherSpellingsFindTheMatchersStation)
{
    for (int i = 0; i < 500 && !w->nameIndex(); ++i) QTest::qWait(5);
    ASSERT_NE(w->nameIndex(), nullptr);
    const struct { const char* from; const char* to; double km; } cases[] = {
        {"Альфа", "Zet", 280},   // Latin
        {"10", "Beta", 200},     // a code, and Latin
        {"альфа", "бета", 200},  // another case: the list's own names
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        fill(QString::fromUtf8(c.from), QString::fromUtf8(c.to));
        click("cmdRoute_Find");
        EXPECT_TRUE(takeBoxes().isEmpty());
        ASSERT_TRUE(win->route().has_value());
        EXPECT_DOUBLE_EQ(win->route()->km, c.km);
        EXPECT_EQ(text("fldRoute_To").text(), QString::fromUtf8(c.to)) << "the typed text stays";
    }
}
