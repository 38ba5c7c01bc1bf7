// The whole program over hostile networks: networks a user's ZdShort.mdb can hold that a
// sound network never would (NULLs, text in number columns, coordinates at and past the
// 32-bit limits, sections of no length, awkward codes and names, railways without stations
// or extents, empty tables), each a sound base network with one kind of damage. For each the
// real main window starts and every command runs — menus, toolbar, pointer, keys and the
// three tool windows — with the window's invariants checked after each. Nothing may end the
// program (but "Выход"), and every message shown must be one the program shows about what
// it cannot draw or use.
#include "MapWindow.h"
#include "WindowInvariants.h"
#include "data/Schema.h"
#include "dorfind/FrmZdDor.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"
#include "mainwin/MapPointer.h"
#include "route/RouteFormat.h"
#include "route/RouteNetwork.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonDocument>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <cstring>
#include <ostream>

using namespace zd;

namespace {

// ---------------------------------------------------------------- the networks

struct Case {
    std::string name;    // a gtest parameter name: letters, digits, underscores
    QString sql;         // the whole script of ZdShort.mdb
    bool empty = false;  // nothing of the whole scheme can be drawn: the start says so
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// Russia (11) with railways 1 and 3, Belarus (21) with railway 2, Latvia (31) with railway 4
// (no centre). Station 300 "Центральная" lies at the scheme's centre (42000, 17500); the
// section 300-301 runs from there to (42000, 16000).
QString baseNetworkSql()
{
    return zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь'),('31','Латвия');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',1000,1000,5000,5000,'100','Санкт-Петербург','11'),"
        " ('2','Белорусская',6000,1000,9000,5000,'200','Минск','21'),"
        " ('3','Московская',40000,15000,45000,20000,'300','Центральная','11'),"
        " ('4','Латвийская',60000,25000,70000,30000,NULL,NULL,'31');"
        "INSERT INTO Stn VALUES('100','Санкт-Петербург',1000,1000,'1',9,0),"
        " ('101','Бологое',3000,3000,'1',8,0), ('102','Малая Вишера',2000,2000,'1',5,1),"
        " ('103','Чудово',2500,2500,'1',7,0), ('200','Минск',7000,3000,'2',9,0),"
        " ('201','Орша',8000,2000,'2',1,0), ('300','Центральная',42000,17500,'3',9,0),"
        " ('301','Северная',42000,16000,'3',7,0), ('302','Южная',43000,19000,'3',8,1),"
        " ('303','Полевая',41000,18000,'3',5,0), ('400','Рига',65000,27000,'4',9,0),"
        " ('401','Елгава',66000,28000,'4',4,0);"
        "INSERT INTO Peregon VALUES('100','102',1000,1000,2000,2000,120.5,'1',2,3),"
        " ('102','103',2000,2000,2500,2500,50,'1',2,4), ('103','101',2500,2500,3000,3000,60,'1',2,4),"
        " ('101','200',3000,3000,7000,3000,600,'2',1,2), ('200','201',7000,3000,8000,2000,212,'2',0,1),"
        " ('300','301',42000,17500,42000,16000,80,'3',1,2), ('300','302',42000,17500,43000,19000,90,'3',2,3),"
        " ('300','303',42000,17500,41000,18000,70,'3',0,0), ('400','401',65000,27000,66000,28000,40,'4',1,2),"
        " ('301','101',42000,16000,3000,3000,2000,'3',2,4);");
}

// "UPDATE table SET c1 = v, c2 = v ..." over every number column of the table.
QString setNumbers(const schema::Table& t, const char* value, const char* where)
{
    QStringList sets;
    for (const schema::Column& c : t.columns)
        if (!c.text()) sets << QStringLiteral("%1 = %2").arg(QLatin1String(c.name), QLatin1String(value));
    return QStringLiteral("UPDATE %1 SET %2%3;").arg(QLatin1String(t.name), sets.join(u", "), QLatin1String(where));
}

// Codes that quote, wildcard or inject in SQL text: a station, railway, country and section each.
QString quotedCodesSql()
{
    QString s;
    int i = 0;
    for (const char* code : {"'", "''", "\"", "a'b", "' OR '1'='1", "%", "_", "%'_"}) {
        const QString c = QString::fromUtf8(code).replace(u'\'', QStringLiteral("''"));
        const int x = 40000 + 500 * i, y = 15000 + 300 * i;
        s += QStringLiteral("INSERT INTO Stn VALUES('%1','Кавычка-%2',%3,%4,'%1',9,1);").arg(c).arg(i).arg(x).arg(y);
        s += QStringLiteral("INSERT INTO Doroga VALUES('%1','Дорога %1',%2,%3,%4,%5,'%1','Кавычка-%6','%1');")
                 .arg(c).arg(x - 100).arg(y - 100).arg(x + 100).arg(y + 100).arg(i);
        s += QStringLiteral("INSERT INTO Contry VALUES('%1','Страна %1');").arg(c);
        s += QStringLiteral("INSERT INTO Peregon VALUES('%1','300',%2,%3,42000,17500,10,'%1',1,2);").arg(c).arg(x).arg(y);
        ++i;
    }
    return s;
}

std::vector<Case> allCases()
{
    const QString base = baseNetworkSql();
    std::vector<Case> cases = {{"base", base}};
    auto add = [&](const std::string& name, const QString& damage, bool empty = false) {
        cases.push_back({name, base + damage, empty});
    };
    // NULL in every column in turn, all rows. Without the station coordinates or the railway
    // codes nothing joins or lies in a frame.
    for (const schema::Table& t : schema::tables())
        for (const schema::Column& c : t.columns) {
            const std::string name = std::string(t.name) + "_" + c.name;
            add("null_" + name, QStringLiteral("UPDATE %1 SET %2 = NULL;").arg(QLatin1String(t.name), QLatin1String(c.name)),
                name == "Stn_StnX" || name == "Stn_StnY" || name.ends_with("_KodDor"));
        }
    // Text in the number columns: of every other row of one table, and of every row of all
    // (then no station is a centre, a junction or branching: the generalised scheme is empty).
    for (const auto& [tag, value] : {std::pair{"abc", "'abc'"}, {"12abc", "'12abc'"}, {"emptytext", "''"},
                                      {"blank5", "' 5'"}, {"1e3", "'1e3'"}, {"0x10", "'0x10'"}}) {
        QString all;
        for (const schema::Table& t : schema::tables()) {
            if (!qstrcmp(t.name, "Contry")) continue;
            add(std::string("text_") + tag + "_" + t.name, setNumbers(t, value, " WHERE rowid % 2 = 0"));
            all += setNumbers(t, value, "");
        }
        add(std::string("text_") + tag + "_everywhere", all, true);
    }
    // Coordinates far outside the scheme, at the 32-bit limits and beyond: a station on both
    // axes (Полевая), one on X only (Южная), their sections, a railway's corner.
    for (const auto& [tag, x] : {std::pair{"int32max", "2147483647"}, {"int32min", "-2147483648"}, {"1e12", "1e12"},
                                 {"int64max", "9223372036854775807"}, {"int64min", "-9223372036854775808"},
                                 {"far1e6", "1000000"}, {"farneg", "-500000"}, {"1e308", "1e308"}})
        add(std::string("coord_") + tag, QStringLiteral(
            "UPDATE Stn SET StnX = %1, StnY = %1 WHERE KodStn = '303'; UPDATE Stn SET StnX = %1 WHERE KodStn = '302';"
            "UPDATE Peregon SET Stn2X = %1, Stn2Y = %1 WHERE KodStn2 = '303';"
            "UPDATE Peregon SET Stn2X = %1 WHERE KodStn2 = '302';"
            "UPDATE Doroga SET XR = %1, YR = %1 WHERE KodDor = '3'; UPDATE Doroga SET XL = %1 WHERE KodDor = '4';").arg(x));
    // Sections of no length (both ends the same point, lengths 0, negative, huge); codes far
    // outside their ranges.
    add("zero_length_sections", QStringLiteral(
        "UPDATE Peregon SET Stn2X = Stn1X, Stn2Y = Stn1Y, LenPer = 0 WHERE KodStn2 = '303';"
        "UPDATE Peregon SET LenPer = -5 WHERE KodStn2 = '302'; UPDATE Peregon SET LenPer = 1e12 WHERE KodStn2 = '301';"
        "UPDATE Peregon SET LenPer = -1e300 WHERE KodStn1 = '301';"
        "INSERT INTO Peregon VALUES('300','300',42000,17500,42000,17500,-5,'3',1,2),('201','201',8000,2000,8000,2000,0,'2',0,0);"
        "INSERT INTO Stn VALUES('304','Двойник',42000,17500,'3',5,0);"));
    add("codes_out_of_range", QStringLiteral(
        "UPDATE Stn SET TipStn = 1e12 WHERE KodStn = '303'; UPDATE Stn SET TipStn = -32769, StnBranch = 1e12 WHERE KodStn = '302';"
        "UPDATE Stn SET TipStn = 32768 WHERE KodStn = '301'; UPDATE Stn SET TipStn = 9.5, StnBranch = -1 WHERE KodStn = '103';"
        "UPDATE Peregon SET RL = 1e12, EL = -1e12 WHERE KodStn2 = '301'; UPDATE Peregon SET RL = -3, EL = 99999 WHERE KodStn2 = '302';"
        "UPDATE Peregon SET RL = 2.5, EL = 3.7 WHERE KodStn2 = '303';"));
    // Codes: duplicates, quotes and the LIKE wildcards, Cyrillic.
    add("codes_duplicate", QStringLiteral(
        "INSERT INTO Stn VALUES('300','Центральная-2',41500,17000,'3',7,0), ('300','Центральная-3',NULL,NULL,'3',5,0);"
        "INSERT INTO Doroga VALUES('3','Московская-2',0,0,84000,36000,'300','Центральная','11');"
        "INSERT INTO Contry VALUES('11','Россия-2'); INSERT INTO Peregon VALUES('300','301',42000,17500,42000,16000,80,'3',1,2);"));
    add("codes_quotes_and_wildcards", quotedCodesSql());
    add("codes_cyrillic", QStringLiteral(
        "UPDATE Stn SET KodStn = 'Ц' || KodStn, KodDor = 'Д' || KodDor;"
        "UPDATE Peregon SET KodStn1 = 'Ц' || KodStn1, KodStn2 = 'Ц' || KodStn2, KodDor = 'Д' || KodDor;"
        "UPDATE Doroga SET KodDor = 'Д' || KodDor, KodCentr = 'Ц' || KodCentr, KodContry = 'С' || KodContry;"
        "UPDATE Contry SET KodContry = 'С' || KodContry;"));
    // Names: 255 characters, Cyrillic and ASCII; line breaks; nothing.
    for (const auto& [tag, letter] : {std::pair{"cyrillic", QChar(0x0416)}, {"ascii", QChar(u'W')}})
        add(std::string("names_255_") + tag, QStringLiteral(
            "UPDATE Stn SET NazStn = '%1' WHERE KodStn IN ('300','301','100','101');"
            "UPDATE Doroga SET NazDor = '%1', NazCentr = '%1'; UPDATE Contry SET NazContry = '%1';").arg(QString(255, letter)));
    add("names_line_breaks", QStringLiteral(
        "UPDATE Stn SET NazStn = 'Цен' || char(10) || 'тральная' WHERE KodStn = '300';"
        "UPDATE Stn SET NazStn = char(13) || char(10) WHERE KodStn = '301'; UPDATE Stn SET NazStn = '' WHERE KodStn = '302';"
        "UPDATE Stn SET NazStn = 'Полевая' || char(10) WHERE KodStn = '303';"
        "UPDATE Stn SET NazStn = char(9) || 'Рига' || char(0) || 'x' WHERE KodStn = '400';"
        "UPDATE Doroga SET NazDor = 'Москов' || char(10) || 'ская', NazCentr = char(10) WHERE KodDor = '3';"
        "UPDATE Doroga SET NazDor = '' WHERE KodDor = '2';"));
    // Railways without stations, with inverted or zero extents.
    add("railway_without_stations", QStringLiteral("INSERT INTO Doroga VALUES('5','Пустая',20000,20000,30000,30000,'500','Нигде','11'),"
                                                   " ('6','Пустая без центра',20000,20000,30000,30000,NULL,NULL,'11');"));
    add("railway_inverted_extents", QStringLiteral("UPDATE Doroga SET XL = XR, XR = XL, YL = YR, YR = YL WHERE KodDor = '3';"
                                                   "UPDATE Doroga SET XL = XR, XR = XL WHERE KodDor = '1';"
                                                   "UPDATE Doroga SET YL = YR, YR = YL WHERE KodDor = '2';"));
    add("railway_zero_extents", QStringLiteral("UPDATE Doroga SET XR = XL, YR = YL WHERE KodDor = '3';"
                                               "UPDATE Doroga SET XR = XL WHERE KodDor = '1'; UPDATE Doroga SET YR = YL WHERE KodDor = '2';"));
    // Each table empty in turn, then all.
    for (const char* table : {"Stn", "Peregon", "Doroga", "Contry"})
        add(std::string("empty_") + table, QStringLiteral("DELETE FROM %1;").arg(QLatin1String(table)), qstrcmp(table, "Contry") != 0);
    cases.push_back({"empty_all", zdtest::schemaSql(), true});
    return cases;
}

// ---------------------------------------------------------------- every command on each

// Under a sanitizer the loops over every station and railway stop after a few.
constexpr int kMaxPicks = ZD_SANITIZED ? 3 : 1000;
const QString kEmptyNetwork = QStringLiteral("В базе данных нет ни одного перегона или станции схемы, показывать нечего");

class Hostile : public zdtest::MapWindowTest, public ::testing::WithParamInterface<Case> {
public:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        setMsgHandler([this](const MsgRequest& r) {
            boxes.push_back(r);
            EXPECT_TRUE(zdtest::expectedMessage(r)) << "unexpected message: " << r.text.toStdString() << " (during " << step << ")";
        });
    }

    // The window's invariants after a command; the first broken one is reported and ends the run.
    bool check(const std::string& what)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (broken) return false;
        const std::string b = zdtest::brokenInvariant(*w, held, !GetParam().empty);
        if (b.empty()) return true;
        ADD_FAILURE() << b << " after " << what << (boxes.empty() ? "" : ", last message: " + boxes.back().text.toStdString());
        broken = true;
        return false;
    }

    // Runs commands in turn, checking after each: "NAME" a menu item and "b:KEY" a toolbar
    // button, each only while enabled as for a user; "k:13" Enter and "k:27" Esc on the map;
    // "L:fx,fy" and "R:fx,fy" a press of the left or right button, "m:fx,fy" a move and
    // "u:fx,fy" the release at fractions of the current frame; "dbl" a double click.
    bool run(std::initializer_list<const char*> commands)
    {
        for (const char* c : commands) {
            step = c;
            const QString s = QLatin1String(c), arg = s.mid(2);
            const QPointF p = at(arg.section(u',', 0, 0).toDouble(), arg.section(u',', 1, 1).toDouble());
            if (s == u"dbl") w->pointer().doubleClick();
            else if (s.startsWith(u"k:")) w->pointer().key(arg.toInt());
            else if (s.startsWith(u"L:") || s.startsWith(u"R:")) down(s[0] == u'L' ? Qt::LeftButton : Qt::RightButton, p);
            else if (s.startsWith(u"m:")) w->pointer().move(float(p.x()), float(p.y()));
            else if (s.startsWith(u"u:")) up(p);
            else if (QAction* a = s.startsWith(u"b:") ? w->button(arg) : w->menuItem(s); a->isEnabled()) a->trigger();
            if (!check(c)) return false;
        }
        return true;
    }

    // A point of the current frame at fractions of its width and height.
    QPointF at(double fx, double fy) const
    {
        const Frame& k = w->state().kadr;
        return {k.x1 + fx * (double(k.x2) - k.x1), k.y1 + fy * (double(k.y2) - k.y1)};
    }
    void down(Qt::MouseButton b, QPointF p) { held = true; w->pointer().press(b, float(p.x()), float(p.y())); }
    void up(QPointF p) { held = false; w->pointer().release(float(p.x()), float(p.y())); }

    // A button of a tool window, clicked when a user could click it.
    void click(QWidget* window, const QString& name)
    {
        step = name.toStdString();
        auto* b = window ? window->findChild<QAbstractButton*>(name) : nullptr;
        ASSERT_NE(b, nullptr) << step;
        if (b->isEnabled() && b->isVisible()) b->click();
    }
    bool clickAndCheck(QWidget* window, const QString& name)
    {
        click(window, name);
        return !HasFatalFailure() && check(name.toStdString());
    }

    // Positions of the rows of the network as the program copied it (map units).
    std::vector<QPointF> points(const char* sql)
    {
        std::vector<QPointF> out;
        auto rs = w->database()->query(QLatin1String(sql));
        if (!rs) ADD_FAILURE() << rs.error().message().toStdString();
        for (rs ? rs->moveFirst() : void(); rs && !rs->eof(); rs->moveNext())
            if (!rs->isNull(0) && !rs->isNull(1) && std::isfinite(rs->number(0)) && std::isfinite(rs->number(1)))
                out.emplace_back(rs->number(0), rs->number(1));
        return out;
    }

    bool netDrawn()
    {
        const QImage img = pic().image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == 0x808000) return true;
        return false;
    }

    void frameCommands();
    void pointerTools();
    void objectsUnderThePointer();
    void stationSearch();
    void railwaySearch();
    void highlightByCriteria();

    std::string step;
    bool held = false, broken = false;
};

void Hostile::frameCommands()
{
    run({"mnuMagist_Near", "mnuMagist_Near", "mnuKadrBack", "mnuKadrFore", "mnuZdGen", "mnuZdGen", "mnuMagist_Far",
         "mnuMagist_Far", "mnuMagist_Far", "mnuMagist_Frag0", "mnuZdGen", "mnuZdGen", "mnuZdLight_RusOnly", "mnuMagist_Near",
         "mnuZdLight_RusBlank", "mnuZdLight_RusAll", "mnuKadrBack", "mnuKadrBack", "mnuKadrFore", "mnuZdLight_Erase",
         "mnuMagist_Frag0", "b:mnuMagist_Near", "b:mnuMagist_Far", "b:mnuMagist_Near", "b:mnuKadrBack", "b:mnuKadrFore",
         "b:mnuZdLight_RusOnly", "b:mnuZdLight_RusBlank", "b:mnuZdLight_RusBlank", "b:mnuZdLight_RusAll",
         "b:mnuMagist_Frag0", "b:mnuZdLight_Erase"});
    // Zooming in and out until refused never leaves a usable frame.
    for (const auto& [name, times] : {std::pair{"mnuMagist_Near", 20}, {"mnuMagist_Far", 40}, {"mnuKadrBack", 5}})
        for (int i = 0; i < times; ++i)
            if (!run({name})) return;
    run({"mnuMagist_Frag0"});
}

void Hostile::pointerTools()
{
    // The tools armed from the toolbar and dropped with Esc; a release in shift mode without
    // a press redraws the frame.
    run({"b:mnuMagist_Frag", "k:27", "b:mnuMagist_Near", "b:mnuMagist_Sdvig", "k:27", "u:.5,.5", "b:mnuMagist_Frag0"});
    // A rubber band applied with a double click, one applied with Enter, one dropped; a band
    // of nothing (a click without a drag).
    for (const char* ending : {"dbl", "k:13", "k:27"})
        run({"mnuMagist_Frag", "L:.3,.3", "m:.45,.4", "m:.7,.6", "u:.7,.6", ending, "u:.7,.6"});
    run({"mnuMagist_Frag", "L:.5,.5", "u:.5,.5", "k:13", "dbl", "k:27"});
    // Drags of the picture: one released, one cancelled with Esc, one re-armed by the right button.
    run({"mnuMagist_Near", "mnuMagist_Sdvig", "L:.5,.5", "m:.6,.55", "m:.9,.8", "u:.9,.8"});
    run({"mnuMagist_Sdvig", "L:.5,.5", "m:.6,.55", "m:.9,.8", "k:27", "u:.9,.8"});
    run({"R:.5,.5", "m:.6,.55", "m:.9,.8", "u:.9,.8", "k:27", "mnuMagist_Frag0"});
}

// Every station and section of the network pointed at on the whole scheme and on a frame
// about the centre; the release always takes the popup away.
void Hostile::objectsUnderThePointer()
{
    std::vector<QPointF> targets = points("SELECT StnX, StnY FROM Stn");
    for (const QPointF& p : points("SELECT (Stn1X + Stn2X) / 2.0, (Stn1Y + Stn2Y) / 2.0 FROM Peregon")) targets.push_back(p);
    targets.insert(targets.end(), {{42000, 17500}, {42000, 16750}, {0, -1000}, {84000, 36000}});
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) run({"mnuMagist_Near", "mnuMagist_Near"});
        ASSERT_EQ(w->mapMode(), 0) << "a press would not point at an object";
        for (const QPointF& p : targets) {
            step = "object under the pointer";
            down(Qt::LeftButton, p);
            up(p);
            if (!check(QStringLiteral("a press at %1, %2").arg(p.x()).arg(p.y()).toStdString())) return;
        }
    }
    run({"mnuMagist_Frag0"});
}

void Hostile::stationSearch()
{
    ASSERT_TRUE(run({"mnuZdFind_Stn"}));
    FrmZdFind* f = w->findWindow();
    ASSERT_NE(f, nullptr);
    QApplication::processEvents();
    QLineEdit& box = f->dbcFind_Stn().textBox();
    QListView& list = f->dbcFind_Stn().list();
    // Typing and Enter, then the commands with nothing chosen.
    for (const QString& t : {QStringLiteral("Ц"), QStringLiteral("'"), QStringLiteral("%"), QStringLiteral("zz\n"), QStringLiteral("нет такой")}) {
        box.clear();
        zdtest::typeText(&box, t);
        QTest::keyClick(&box, Qt::Key_Return);
        if (!check("typing in the station search")) return;
    }
    if (!clickAndCheck(f, QStringLiteral("cmdFind_Frag"))) return;
    const QList<QRadioButton*> areas = f->findChildren<QRadioButton*>(QStringLiteral("optFind_Area"));
    ASSERT_EQ(areas.size(), 4);
    for (int area : {1, 2, 3, 0}) {
        QTest::mouseClick(areas[area], Qt::LeftButton);
        if (!check("station category")) return;
        const int rows = std::min(list.model()->rowCount(), area == 0 ? kMaxPicks : 2);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex i = list.model()->index(r, 0);
            list.scrollTo(i);
            zdtest::doubleClickAt(list.viewport(), list.visualRect(i).center());
            if (!check("station pick")) return;
            // The preview: the object under the pointer at its centre and a corner.
            for (QPoint q : {f->picFind().rect().center(), QPoint(2, 2)}) zdtest::clickAt(&f->picFind(), q);
            if (!check("preview")) return;
            if (r % 2 == 0 && !(clickAndCheck(f, QStringLiteral("cmdFind_Frag")) && clickAndCheck(f, QStringLiteral("cmdFind_All"))))
                return;
        }
    }
    // Russia only, from the window and from the map's marking.
    if (!clickAndCheck(f, QStringLiteral("chkFindRus")) || !run({"mnuZdLight_RusOnly"})) return;
    if (!clickAndCheck(f, QStringLiteral("cmdFind_Frag")) || !clickAndCheck(f, QStringLiteral("cmdFind_All"))) return;
    if (!run({"mnuZdLight_RusAll"})) return;
    QTest::keyClick(f, Qt::Key_F1);
    if (w->findWindow()) w->findWindow()->close();
    run({"mnuMagist_Frag0"});
}

void Hostile::railwaySearch()
{
    ASSERT_TRUE(run({"mnuZdFind_Dor"}));
    ASSERT_NE(w->dorWindow(), nullptr);
    auto* combo = w->dorWindow()->findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    ASSERT_NE(combo, nullptr);
    auto buttons = [&](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (!clickAndCheck(w->dorWindow(), QLatin1String(name))) return false;
        return true;
    };
    // Highlight before any pick, then every railway in turn; every render draws the highlight again.
    if (!buttons({"cmdDorVib_Light", "cmdDorVib_Off"})) return;
    for (int i = 0; i < std::min(combo->count(), kMaxPicks); ++i) {
        step = "railway pick";
        combo->setCurrentIndex(i);
        emit combo->activated(i);
        if (!check("railway pick") || !buttons({"cmdDorVib_Gab", "cmdDorVib_Light", "cmdDorVib_All", "cmdDorVib_Gab",
                                               "cmdDorVib_Off", "cmdDorVib_Light"}) || !run({"mnuMagist_Near"}))
            return;
    }
    combo->lineEdit()->setText(QStringLiteral("' OR 1=1 --"));
    emit combo->activated(-1);
    if (!check("railway typed") || !clickAndCheck(w->dorWindow(), QStringLiteral("chkFindRus"))) return;
    if (!run({"mnuZdLight_RusOnly", "mnuZdLight_RusAll", "mnuZdLight_Erase"})) return;
    if (w->dorWindow()) w->dorWindow()->close();
    run({"mnuMagist_Frag0"});
}

void Hostile::highlightByCriteria()
{
    ASSERT_TRUE(run({"mnuZdLight_Peregon"}));
    FrmLight* light = w->lightWindow();
    ASSERT_NE(light, nullptr);
    auto set = [&](std::initializer_list<const char*> names) {
        for (const char* name : names) click(light, QLatin1String(name));
        return !HasFatalFailure();
    };
    auto enter = [&](const std::string& what) { return set({"cmdLight_Enter"}) && check(what); };
    auto* upd = light->findChild<UpDown*>(QStringLiteral("updRL_Dig"));
    auto* len = light->findChild<QLineEdit*>(QStringLiteral("txtLen"));
    auto* tabs = light->findChild<QTabWidget*>(QStringLiteral("tabLight"));
    ASSERT_TRUE(upd && len && tabs);
    tabs->setCurrentIndex(0);
    for (const char* el : {"optEL(0)", "optEL(1)"})
        if (!set({"optTipLight(0)", el}) || !enter(el)) return;
    for (const char* rl : {"optRL(0)", "optRL(1)", "optRL(2)"})
        for (int v : {upd->minimum(), 2, upd->maximum()}) {
            if (!set({"optTipLight(1)", rl})) return;
            upd->setValue(v);
            if (!enter(rl)) return;
        }
    for (const char* how : {"optLen(0)", "optLen(1)"})
        for (const char* t : {"", "abc", "1.2.3", "-5", "99999", ".", "0", "15.5", "1e3", "'", "12\b", "٣", " "}) {
            if (!set({"optTipLight(2)", how})) return;
            len->clear();
            zdtest::typeText(len, QString::fromUtf8(t).remove(u'\b'));
            if (std::strchr(t, '\b')) QTest::keyClick(len, Qt::Key_Backspace);
            if (!enter(std::string("txtLen ") + t)) return;
        }
    if (!set({"chkLightRus"}) || !enter("sections, Russia only") || !set({"chkLightRus"})) return;
    tabs->setCurrentIndex(1);
    for (int mask = 0; mask < 8; ++mask) {
        for (int i = 0; i < 3; ++i) {
            auto* c = light->findChild<QAbstractButton*>(QStringLiteral("chkStn(%1)").arg(i));
            ASSERT_NE(c, nullptr);
            c->setChecked((mask >> i) & 1);
        }
        if (!enter("stations")) return;
    }
    // Renders redraw the highlights; the marking changes under them; the erase button, then
    // a fresh window's highlight and the menu's erase switch them off.
    if (!run({"mnuMagist_Near", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank", "mnuZdLight_RusAll", "mnuMagist_Frag0"})) return;
    QTest::keyClick(light, Qt::Key_F1);
    if (!run({"b:mnuZdLight_Erase"}) || (w->lightWindow() && !clickAndCheck(w->lightWindow(), QStringLiteral("cmdLight_End"))))
        return;
    ASSERT_TRUE(run({"mnuZdLight_Peregon"}));
    ASSERT_NE(w->lightWindow(), nullptr);
    light = w->lightWindow();
    if (!enter("sections again") || !run({"mnuZdLight_Erase"})) return;
    EXPECT_FALSE(w->lightOn(Highlight::Railway) || w->lightOn(Highlight::Sections) || w->lightOn(Highlight::Stations));
    if (w->lightWindow()) w->lightWindow()->close();
    check("highlight window closed");
}

TEST_P(Hostile, EveryCommandRunsAndNothingBreaks)
{
    start(GetParam().sql);
    QApplication::processEvents();
    ASSERT_TRUE(w->startDone());
    ASSERT_FALSE(w->ended()) << "the program ended at the start: " << (boxes.empty() ? std::string() : boxes.back().text.toStdString());
    const bool saidEmpty = std::any_of(boxes.begin(), boxes.end(), [](const MsgRequest& r) { return r.text == kEmptyNetwork; });
    EXPECT_EQ(saidEmpty, GetParam().empty) << "the start said the network is empty: " << saidEmpty;
    if (!GetParam().empty) {
        EXPECT_TRUE(boxes.empty()) << "a message at the start of a drawable network: " << boxes.front().text.toStdString();
        EXPECT_EQ(w->history().count(), 1);
        EXPECT_TRUE(netDrawn()) << "nothing of the network drawn";
    }
    ASSERT_TRUE(check("start"));
    for (auto section : {&Hostile::frameCommands, &Hostile::pointerTools, &Hostile::objectsUnderThePointer,
                         &Hostile::stationSearch, &Hostile::railwaySearch, &Hostile::highlightByCriteria}) {
        (this->*section)();
        ASSERT_FALSE(broken || HasFatalFailure());
    }
    // No help file beside this database; then "Выход" ends the program, and nothing runs after it.
    const size_t before = boxes.size();
    ASSERT_TRUE(run({"mnuHelp_About", "mnuHelp_Instr", "b:mnuHelp_About"}));
    EXPECT_EQ(takeBoxes().mid(int(before)), QStringList(3, QStringLiteral("Отсутствует файл справки ZdHelp.hlp")));
    trigger("mnuFiles_End");
    EXPECT_TRUE(w->ended());
    EXPECT_EQ(endCode, 0);
    w->RenderKadr(pic());
    trigger("mnuMagist_Near");
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, Hostile, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& i) { return i.param.name; });

// ---------------------------------------------------------------- faults found with them

using HostileFault = zdtest::MapWindowTest;

// Abs(Val(StnX) - x) of the object-under-the-pointer query overflowed on a coordinate of
// -2^63 and the query error ended the program.
TEST_F(HostileFault, CoordinateAtTheSixtyFourBitLimitCanBePointedAt)
{
    start(baseNetworkSql() + "UPDATE Stn SET StnX = -9223372036854775808, StnY = 9223372036854775807 WHERE KodStn = '303';");
    for (const QPointF p : {QPointF(42000, 17500), QPointF(0, -1000), QPointF(41000, 18000)}) {
        w->pointer().press(Qt::LeftButton, float(p.x()), float(p.y()));
        w->pointer().release(float(p.x()), float(p.y()));
    }
    EXPECT_FALSE(w->ended());
    EXPECT_EQ(takeBoxes(), QStringList());
}

// A section with an end without coordinates is not drawn; the press must not find it on a
// line to the map's origin either.
TEST_F(HostileFault, SectionThatCannotBeDrawnCannotBePointedAt)
{
    start(baseNetworkSql() + "UPDATE Peregon SET Stn2X = NULL WHERE KodStn1 = '300' AND KodStn2 = '301';");
    showFrame({0, 0, 84000, 36000});
    // On the line from Центральная (42000, 17500) to (0, 16000), away from anything drawn.
    w->pointer().press(Qt::LeftButton, 21000, 16750);
    EXPECT_EQ(w->kursInfObj(), 0) << "a popup for a section that is not on the map";
    w->pointer().release(21000, 16750);
    w->pointer().press(Qt::LeftButton, 42500, 18250);   // a drawn section is still found
    EXPECT_GT(w->kursInfObj(), 0);
    w->pointer().release(42500, 18250);
    EXPECT_EQ(takeBoxes(), QStringList());
}

// A railway whose rectangle is stored with its corners swapped still frames that rectangle.
TEST_F(HostileFault, InvertedRailwayExtentsFrameTheRailway)
{
    start(baseNetworkSql() + "UPDATE Doroga SET XL = XR, XR = XL, YL = YR, YR = YL WHERE KodDor = '3';");
    trigger("mnuZdFind_Dor");
    ASSERT_NE(w->dorWindow(), nullptr);
    auto* combo = w->dorWindow()->findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    const int i = combo->findText(QStringLiteral("Московская"));
    ASSERT_GE(i, 0);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
    w->dorWindow()->FragDor();
    EXPECT_EQ(takeBoxes(), QStringList());
    EXPECT_EQ(w->state().kadr, (Frame{40000, 15000, 45000, 20000}));
    EXPECT_EQ(w->kadrZoomed(), 1);
}

// ---------------------------------------------------------------- the route engine

// The graph builds on every damaged network, and every route between its stations joins
// up, with lengths that are numbers and writers that write them.
class HostileRoute : public ::testing::TestWithParam<Case> {};

TEST_P(HostileRoute, EveryRouteJoinsUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), GetParam().sql));
    auto db = zd::Database::open(dir.filePath("ZdShort.mdb"));
    if (!db) GTEST_SKIP() << "not a usable database: " << db.error().message().toStdString();
    auto g = zd::route::RouteNetwork(*db).graph();
    ASSERT_TRUE(g.ok()) << g.error().message().toStdString();
    const zd::route::RouteGraph& graph = **g;
    const std::uint32_t n = std::min<std::uint32_t>(graph.stationCount(), 12);
    for (std::uint32_t a = 0; a < n; ++a)
        for (std::uint32_t b = 0; b < n; ++b)
            for (const zd::route::RouteOptions o : {zd::route::RouteOptions{}, zd::route::RouteOptions{true, true}}) {
                const auto r = graph.shortest({a, b}, o);
                if (!r) continue;
                ASSERT_EQ(r->stations.size(), r->sections.size() + 1);
                for (std::size_t i = 0; i < r->sections.size(); ++i) {
                    EXPECT_EQ(r->sections[i].fromCode, r->stations[i].code);
                    EXPECT_EQ(r->sections[i].toCode, r->stations[i + 1].code);
                    EXPECT_TRUE(std::isfinite(r->sections[i].km) && r->sections[i].km >= 0) << r->sections[i].km;
                }
                EXPECT_FALSE(QJsonDocument::fromJson(zd::route::routeJson(*r)).isNull());
                EXPECT_FALSE(zd::route::routeText(*r).isEmpty());
            }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileRoute, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& i) { return i.param.name; });

} // namespace
