// The whole program over hostile networks: for each case the real main window starts and
// every command runs — menus, toolbar, pointer, keys and the three tool windows. Nothing may
// end the program (but "Выход"), and every message shown must be one of the program's
// Russian messages for what cannot be shown.
#include "HostileDb.h"
#include "TestDb.h"
#include "dorfind/FrmZdDor.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace zd;

namespace {

// Under a sanitizer the loops over every station and railway stop after a few.
constexpr int kMaxPicks = ZD_SANITIZED ? 3 : 1000;

const QString kEmptyFrame = QStringLiteral("В выбранном фрагменте отсутствуют элементы схемы");
const QString kEmptyNetwork = QStringLiteral("В базе данных нет ни одного перегона или станции схемы, показывать нечего");
const QString kEmptyRussia = QStringLiteral("На схеме России нет ни одного перегона или станции, показывать нечего");
const QString kNoHelp = QStringLiteral("Отсутствует файл справки ZdHelp.hlp");

// Every message the program may show over data it cannot draw or settings it cannot use.
const std::set<QString>& knownMessages()
{
    static const std::set<QString> m = {
        kEmptyFrame,
        kEmptyNetwork,
        kEmptyRussia,
        kNoHelp,
        QStringLiteral("Объекты соответствующие данному критерию НЕ НАЙДЕНЫ"),
        QStringLiteral("Не отмечена ни одна категория станций"),
        QStringLiteral("Длина перегона должна быть числом, например 15 или 15.5"),
        QStringLiteral("Выберите станцию из списка"),
        QStringLiteral("Не определена станция поиска\r\nВыбор из списка двойным щелчком"),
        QStringLiteral("Станция не нанесена на схему: у неё нет координат"),
    };
    return m;
}

bool knownMessage(const MsgRequest& r)
{
    return knownMessages().count(r.text) > 0 || r.text.startsWith(QStringLiteral("Не удается открыть файл справки "));
}

std::string show(const MsgRequest& r) { return r.text.toStdString(); }

class Hostile : public ::testing::TestWithParam<hostile::Case> {
protected:
    void SetUp() override
    {
        setMsgHandler([this](const MsgRequest& r) {
            boxes.push_back(r);
            EXPECT_TRUE(knownMessage(r)) << "unexpected message: " << show(r) << " (during " << step << ")";
            EXPECT_NE(r.icon, MsgIcon::Critical) << show(r) << " (during " << step << ")";
        });
    }
    void TearDown() override
    {
        w.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setMsgHandler({});
    }

    void start()
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), GetParam().sql));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([this](int code) { endCode = code; });
        step = "start";
        w->Form_Activate();
        QApplication::processEvents();
    }

    // After every command: the program runs on, the menus are usable, the history and the
    // frame are sound.
    void check(const char* what)
    {
        SCOPED_TRACE(what);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(w->ended()) << "the program ended during " << what << " with code " << endCode
                                 << (boxes.empty() ? std::string() : ": " + show(boxes.back()));
        for (const char* menu : {"mnuMagist", "mnuZdFind", "mnuZdLight"})
            ASSERT_TRUE(w->menuItem(QLatin1String(menu))->isEnabled()) << menu << " left disabled by " << what;
        const FrameHistory& h = w->history();
        if (h.count() > 0) {
            EXPECT_GE(h.pos(), 1);
            EXPECT_LE(h.pos(), h.count());
        }
        const Frame& k = w->state().kadr;
        EXPECT_LT(k.x1, k.x2) << what;
        EXPECT_LT(k.y1, k.y2) << what;
    }

    // A command is reached only while its item (and its menu) is enabled, as for a user.
    bool choose(const char* name)
    {
        QAction* a = w->menuItem(QLatin1String(name));
        if (!a) { ADD_FAILURE() << "no menu item " << name; return false; }
        if (!a->isEnabled()) return false;
        step = name;
        a->trigger();
        return true;
    }
    bool click(const char* key)
    {
        QAction* a = w->button(QLatin1String(key));
        if (!a) { ADD_FAILURE() << "no toolbar button " << key; return false; }
        if (!a->isEnabled()) return false;
        step = std::string("button ") + key;
        a->trigger();
        return true;
    }

    // A point of the current frame at fractions of its width and height.
    QPointF at(double fx, double fy) const
    {
        const Frame& k = w->state().kadr;
        return {k.x1 + fx * (double(k.x2) - k.x1), k.y1 + fy * (double(k.y2) - k.y1)};
    }
    void down(Qt::MouseButton b, QPointF p) { w->pointer().press(b, float(p.x()), float(p.y())); }
    void move(QPointF p) { w->pointer().move(float(p.x()), float(p.y())); }
    void up(QPointF p) { w->pointer().release(float(p.x()), float(p.y())); }

    // Rows of the network as the program copied it, for pointing at its own objects.
    std::vector<QPointF> points(const QString& sql)
    {
        std::vector<QPointF> out;
        auto rs = w->dtaStn().database()->query(sql);
        if (!rs) { ADD_FAILURE() << rs.error().message().toStdString(); return out; }
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            if (rs->isNull(0) || rs->isNull(1)) continue;
            const double x = rs->number(0), y = rs->number(1);
            if (std::isfinite(x) && std::isfinite(y)) out.emplace_back(x, y);
        }
        return out;
    }

    int netPixels()
    {
        const QImage img = w->picZdMain().image();
        const QRgb net = qRgb(128, 128, 0);
        int n = 0;
        for (int y = 0; y < img.height(); y += 1)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (net & 0xFFFFFF);
        return n;
    }

    void frameCommands();
    void toolbarButtons();
    void fragmentAndShift();
    void objectsUnderThePointer();
    void stationSearch();
    void railwaySearch();
    void highlightByCriteria();
    void helpAndEnd();

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    std::vector<MsgRequest> boxes;
    int endCode = -1;
    std::string step;
};

void Hostile::frameCommands()
{
    for (const char* name : {"mnuMagist_Near", "mnuMagist_Near", "mnuKadrBack", "mnuKadrFore", "mnuZdGen",
                             "mnuZdGen", "mnuMagist_Far", "mnuMagist_Far", "mnuMagist_Far", "mnuMagist_Frag0",
                             "mnuZdGen", "mnuZdGen", "mnuZdLight_RusOnly", "mnuMagist_Near", "mnuZdLight_RusBlank",
                             "mnuZdLight_RusAll", "mnuKadrBack", "mnuKadrBack", "mnuKadrFore", "mnuZdLight_Erase",
                             "mnuMagist_Frag0"}) {
        choose(name);
        check(name);
        if (HasFatalFailure()) return;
    }
    // Zooming in and out until refused never leaves a usable frame.
    for (int i = 0; i < 20; ++i) { choose("mnuMagist_Near"); check("zoom in"); if (HasFatalFailure()) return; }
    for (int i = 0; i < 40; ++i) { choose("mnuMagist_Far"); check("zoom out"); if (HasFatalFailure()) return; }
    for (int i = 0; i < 5; ++i) { choose("mnuKadrBack"); check("back"); if (HasFatalFailure()) return; }
    choose("mnuMagist_Frag0");
    check("whole scheme");
}

void Hostile::toolbarButtons()
{
    for (const char* key : {"mnuMagist_Near", "mnuMagist_Far", "mnuMagist_Near", "mnuKadrBack", "mnuKadrFore",
                            "mnuZdLight_RusOnly", "mnuZdLight_RusBlank", "mnuZdLight_RusBlank", "mnuZdLight_RusAll",
                            "mnuMagist_Frag0", "mnuZdLight_Erase"}) {
        click(key);
        check(key);
        if (HasFatalFailure()) return;
    }
    // The pointer tools armed from the toolbar, then dropped with Esc.
    click("mnuMagist_Frag");
    w->pointer().key(27);
    check("Esc after the fragment button");
    click("mnuMagist_Near");
    click("mnuMagist_Sdvig");
    w->pointer().key(27);
    check("Esc after the shift button");
    ASSERT_FALSE(HasFatalFailure());
    up(at(0.5, 0.5));   // a release in shift mode without a press redraws the frame
    check("release in shift mode");
    click("mnuMagist_Frag0");
    check("whole scheme button");
}

void Hostile::fragmentAndShift()
{
    // A rubber band applied with a double click, one applied with Enter, one dropped.
    for (int k = 0; k < 3; ++k) {
        step = "fragment";
        ASSERT_TRUE(choose("mnuMagist_Frag"));
        down(Qt::LeftButton, at(0.3, 0.3));
        move(at(0.45, 0.4));
        move(at(0.7, 0.6));
        up(at(0.7, 0.6));
        if (k == 0) w->pointer().doubleClick();
        else w->pointer().key(k == 1 ? 13 : 27);
        up(at(0.7, 0.6));
        check("fragment");
        if (HasFatalFailure()) return;
    }
    // A band of nothing: a click without a drag, then Enter and a double click.
    choose("mnuMagist_Frag");
    down(Qt::LeftButton, at(0.5, 0.5));
    up(at(0.5, 0.5));
    w->pointer().key(13);
    w->pointer().doubleClick();
    w->pointer().key(27);
    check("empty fragment");
    ASSERT_FALSE(HasFatalFailure());

    // Drags of the picture, one cancelled with Esc, one re-armed by the right button.
    choose("mnuMagist_Near");
    for (int k = 0; k < 3; ++k) {
        step = "shift";
        if (k == 2) {
            down(Qt::RightButton, at(0.5, 0.5));
        } else {
            if (!choose("mnuMagist_Sdvig")) continue;   // an empty map stays on the whole scheme
            down(Qt::LeftButton, at(0.5, 0.5));
        }
        move(at(0.6, 0.55));
        move(at(0.9, 0.8));
        if (k == 1) w->pointer().key(27);
        up(at(0.9, 0.8));
        check("shift");
        if (HasFatalFailure()) return;
    }
    w->pointer().key(27);
    choose("mnuMagist_Frag0");
    check("whole scheme after the shift");
}

void Hostile::objectsUnderThePointer()
{
    // Every station and section of the network, pointed at on the whole scheme and on a
    // frame about the centre; the release always takes the popup away.
    const std::vector<QPointF> stations = points(QStringLiteral("SELECT StnX, StnY FROM Stn"));
    const std::vector<QPointF> sections =
        points(QStringLiteral("SELECT (Stn1X + Stn2X) / 2.0, (Stn1Y + Stn2Y) / 2.0 FROM Peregon"));
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) { choose("mnuMagist_Near"); choose("mnuMagist_Near"); }
        w->pointer().key(27);
        std::vector<QPointF> targets = stations;
        targets.insert(targets.end(), sections.begin(), sections.end());
        targets.push_back({42000, 17500});
        targets.push_back({42000, 16750});
        targets.push_back(at(0, 0));
        targets.push_back(at(1, 1));
        for (const QPointF& p : targets) {
            step = "object under the pointer";
            // The map's tool mode may be on after a shift; a plain press identifies.
            if (w->mapMode() != 0) break;
            down(Qt::LeftButton, p);
            ASSERT_FALSE(w->ended()) << "press at " << p.x() << "," << p.y();
            up(p);
            EXPECT_EQ(w->kursInfObj(), 0);
            check("object under the pointer");
            if (HasFatalFailure()) return;
        }
    }
    choose("mnuMagist_Frag0");
}

void Hostile::stationSearch()
{
    step = "station search";
    ASSERT_TRUE(choose("mnuZdFind_Stn"));
    check("station search opened");
    ASSERT_FALSE(HasFatalFailure());
    FrmZdFind* f = w->findWindow();
    ASSERT_NE(f, nullptr);
    QApplication::processEvents();
    DbCombo& dbc = f->dbcFind_Stn();
    QLineEdit& box = dbc.textBox();
    QListView& list = dbc.list();
    auto type = [&](const QString& text) {
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&box, &press);
            QApplication::sendEvent(&box, &release);
        }
    };
    auto pressButton = [&](const char* name) {
        auto* b = f->findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        if (b->isEnabled()) QTest::mouseClick(b, Qt::LeftButton);
    };
    // Typing and Enter, then the commands with nothing chosen.
    for (const QString& t : {QStringLiteral("Ц"), QStringLiteral("'"), QStringLiteral("%"), QStringLiteral("zz\n")}) {
        box.clear();
        type(t);
        QTest::keyClick(&box, Qt::Key_Return);
        check("typing in the station search");
        if (HasFatalFailure()) return;
    }
    box.clear();
    type(QStringLiteral("нет такой"));
    pressButton("cmdFind_Frag");
    check("fragment without a station");
    ASSERT_FALSE(HasFatalFailure());

    const QList<QRadioButton*> areas = f->findChildren<QRadioButton*>(QStringLiteral("optFind_Area"));
    ASSERT_EQ(areas.size(), 4);
    for (int area : {1, 2, 3, 0}) {
        QTest::mouseClick(areas[area], Qt::LeftButton);
        check("station category");
        if (HasFatalFailure()) return;
        const int rows = std::min(list.model()->rowCount(), area == 0 ? kMaxPicks : 2);
        for (int r = 0; r < rows; ++r) {
            step = "station pick";
            const QModelIndex i = list.model()->index(r, 0);
            list.scrollTo(i);
            const QPoint p = list.visualRect(i).center();
            QTest::mousePress(list.viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, p);
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, p);
            check("station pick");
            if (HasFatalFailure()) return;
            // The preview: the object under the pointer at its centre and a corner.
            PictureBox& pic = f->picFind();
            for (QPoint q : {QPoint(pic.width() / 2, pic.height() / 2), QPoint(2, 2)}) {
                QTest::mousePress(&pic, Qt::LeftButton, {}, q);
                QTest::mouseRelease(&pic, Qt::LeftButton, {}, q);
                EXPECT_EQ(w->kursInfObj(), 0);
            }
            check("preview");
            if (HasFatalFailure()) return;
            if (r % 2 == 0) {
                pressButton("cmdFind_Frag");
                check("station fragment");
                if (HasFatalFailure()) return;
                pressButton("cmdFind_All");
                check("station on the whole scheme");
                if (HasFatalFailure()) return;
            }
        }
    }
    // Russia only, from the window and from the map's marking.
    QTest::mouseClick(f->findChild<QCheckBox*>(QStringLiteral("chkFindRus")), Qt::LeftButton);
    check("station search: Russia only");
    ASSERT_FALSE(HasFatalFailure());
    choose("mnuZdLight_RusOnly");
    check("marking with the station search open");
    ASSERT_FALSE(HasFatalFailure());
    pressButton("cmdFind_Frag");
    pressButton("cmdFind_All");
    choose("mnuZdLight_RusAll");
    check("station search back to all countries");
    QTest::keyClick(f, Qt::Key_F1);
    if (w->findWindow()) w->findWindow()->close();
    check("station search closed");
    choose("mnuMagist_Frag0");
}

void Hostile::railwaySearch()
{
    step = "railway search";
    ASSERT_TRUE(choose("mnuZdFind_Dor"));
    check("railway search opened");
    ASSERT_FALSE(HasFatalFailure());
    FrmZdDor* d = w->dorWindow();
    ASSERT_NE(d, nullptr);
    auto* combo = d->findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    ASSERT_NE(combo, nullptr);
    auto pressButton = [&](const char* name) {
        if (!w->dorWindow()) return;
        auto* b = w->dorWindow()->findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        step = name;
        if (b->isEnabled()) b->click();
    };
    // Highlight before any pick, then every railway in turn.
    pressButton("cmdDorVib_Light");
    check("highlight without a railway");
    pressButton("cmdDorVib_Off");
    ASSERT_FALSE(HasFatalFailure());
    const int n = std::min(combo->count(), kMaxPicks);
    for (int i = 0; i < n; ++i) {
        step = "railway pick";
        combo->setCurrentIndex(i);
        emit combo->activated(i);
        check("railway pick");
        if (HasFatalFailure()) return;
        for (const char* b : {"cmdDorVib_Gab", "cmdDorVib_Light", "cmdDorVib_All", "cmdDorVib_Gab", "cmdDorVib_Off"}) {
            pressButton(b);
            check(b);
            if (HasFatalFailure()) return;
        }
        pressButton("cmdDorVib_Light");
        choose("mnuMagist_Near");   // the highlight is drawn again by every render
        check("render with a railway highlighted");
        if (HasFatalFailure()) return;
    }
    combo->lineEdit()->setText(QStringLiteral("' OR 1=1 --"));
    emit combo->activated(-1);
    check("railway typed");
    ASSERT_FALSE(HasFatalFailure());
    QTest::mouseClick(d->findChild<QCheckBox*>(QStringLiteral("chkFindRus")), Qt::LeftButton);
    check("railway search: Russia only");
    ASSERT_FALSE(HasFatalFailure());
    choose("mnuZdLight_RusOnly");
    choose("mnuZdLight_RusAll");
    check("marking with the railway search open");
    ASSERT_FALSE(HasFatalFailure());
    choose("mnuZdLight_Erase");
    check("erase after the railway highlight");
    if (w->dorWindow()) w->dorWindow()->close();
    check("railway search closed");
    choose("mnuMagist_Frag0");
}

void Hostile::highlightByCriteria()
{
    step = "highlight by criteria";
    ASSERT_TRUE(choose("mnuZdLight_Peregon"));
    FrmLight* light = w->lightWindow();
    ASSERT_NE(light, nullptr);
    auto ctl = [&](const char* name) { return w->lightWindow()->findChild<QWidget*>(QLatin1String(name)); };
    auto press = [&](const char* name) {
        auto* b = qobject_cast<QAbstractButton*>(ctl(name));
        ASSERT_NE(b, nullptr) << name;
        step = name;
        if (b->isEnabled() && b->isVisible()) b->click();
    };
    auto enter = [&](const char* what) {
        press("cmdLight_Enter");
        check(what);
    };
    auto* tabs = qobject_cast<QTabWidget*>(ctl("tabLight"));
    ASSERT_NE(tabs, nullptr);
    auto typeLen = [&](const QString& keys) {
        auto* len = qobject_cast<QLineEdit*>(ctl("txtLen"));
        ASSERT_NE(len, nullptr);
        len->clear();
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode() < 128 ? c.toUpper().unicode() : 0, Qt::NoModifier,
                            QString(c));
            QApplication::sendEvent(len, &press);
        }
        QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        if (keys.endsWith(u'\b')) QApplication::sendEvent(len, &back);
    };

    tabs->setCurrentIndex(0);
    press("optTipLight(0)");
    for (const char* el : {"optEL(0)", "optEL(1)"}) { press(el); enter(el); if (HasFatalFailure()) return; }
    press("optTipLight(1)");
    auto* upd = w->lightWindow()->findChild<UpDown*>(QStringLiteral("updRL_Dig"));
    ASSERT_NE(upd, nullptr);
    for (const char* rl : {"optRL(0)", "optRL(1)", "optRL(2)"}) {
        press(rl);
        for (int v : {upd->minimum(), 2, upd->maximum()}) {
            upd->setValue(v);
            enter(rl);
            if (HasFatalFailure()) return;
        }
    }
    press("optTipLight(2)");
    for (const char* len : {"optLen(0)", "optLen(1)"}) {
        press(len);
        for (const QString& t : {QStringLiteral(""), QStringLiteral("abc"), QStringLiteral("1.2.3"), QStringLiteral("-5"),
                                 QStringLiteral("99999"), QStringLiteral("."), QStringLiteral("0"), QStringLiteral("15.5"),
                                 QStringLiteral("1e3"), QStringLiteral("'"), QStringLiteral("12\b"),
                                 QStringLiteral("٣"), QStringLiteral(" ")}) {
            typeLen(t);
            enter("txtLen");
            if (HasFatalFailure()) return;
        }
    }
    press("chkLightRus");
    enter("sections, Russia only");
    press("chkLightRus");
    ASSERT_FALSE(HasFatalFailure());

    tabs->setCurrentIndex(1);
    for (int mask = 0; mask < 8; ++mask) {
        for (int i = 0; i < 3; ++i) {
            auto* c = qobject_cast<QAbstractButton*>(ctl(QStringLiteral("chkStn(%1)").arg(i).toLatin1().constData()));
            ASSERT_NE(c, nullptr);
            c->setChecked((mask >> i) & 1);
        }
        enter("stations");
        if (HasFatalFailure()) return;
    }
    // Renders redraw the highlights; the marking changes under them.
    for (const char* name : {"mnuMagist_Near", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank", "mnuZdLight_RusAll",
                             "mnuMagist_Frag0"}) {
        choose(name);
        check(name);
        if (HasFatalFailure()) return;
    }
    QTest::keyClick(w->lightWindow(), Qt::Key_F1);
    click("mnuZdLight_Erase");
    check("erase button");
    ASSERT_FALSE(HasFatalFailure());
    if (w->lightWindow()) press("cmdLight_End");
    check("highlight window ended");
    ASSERT_FALSE(HasFatalFailure());

    // A fresh window: a highlight, then the menu's erase.
    ASSERT_TRUE(choose("mnuZdLight_Peregon"));
    ASSERT_NE(w->lightWindow(), nullptr);
    enter("sections again");
    ASSERT_FALSE(HasFatalFailure());
    choose("mnuZdLight_Erase");
    check("erase menu");
    EXPECT_FALSE(w->lightOn(Highlight::Railway) || w->lightOn(Highlight::Sections) || w->lightOn(Highlight::Stations));
    ASSERT_FALSE(HasFatalFailure());
    if (w->lightWindow()) w->lightWindow()->close();
    check("highlight window closed");
}

void Hostile::helpAndEnd()
{
    for (const char* name : {"mnuHelp_About", "mnuHelp_Instr"}) {
        const size_t before = boxes.size();
        choose(name);
        check(name);
        ASSERT_EQ(boxes.size(), before + 1) << name;
        EXPECT_EQ(boxes.back().text, kNoHelp);
    }
    click("mnuHelp_About");
    check("help button");
    ASSERT_FALSE(HasFatalFailure());
    // "Выход" ends the program, and nothing runs after it.
    ASSERT_TRUE(choose("mnuFiles_End"));
    EXPECT_TRUE(w->ended());
    EXPECT_EQ(endCode, 0);
    const size_t before = boxes.size();
    w->RenderKadr(w->picZdMain());
    choose("mnuMagist_Near");
    EXPECT_EQ(boxes.size(), before);
}

TEST_P(Hostile, EveryCommandRunsAndNothingBreaks)
{
    const hostile::Case& c = GetParam();
    start();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_FALSE(w->ended()) << "the program ended at the start: " << (boxes.empty() ? std::string() : show(boxes.back()));
    ASSERT_TRUE(w->startDone());
    const bool saidEmpty = std::any_of(boxes.begin(), boxes.end(), [](const MsgRequest& r) { return r.text == kEmptyNetwork; });
    EXPECT_EQ(saidEmpty, c.empty) << "the start said the network is empty: " << saidEmpty;
    if (!c.empty) {
        EXPECT_TRUE(boxes.empty()) << "a message at the start of a drawable network: " << show(boxes.front());
        EXPECT_EQ(w->history().count(), 1);
        EXPECT_GT(netPixels(), 0) << "nothing of the network drawn";
    }
    check("start");
    ASSERT_FALSE(HasFatalFailure());

    QElapsedTimer t;
    t.start();
    frameCommands();
    ASSERT_FALSE(HasFatalFailure());
    toolbarButtons();
    ASSERT_FALSE(HasFatalFailure());
    fragmentAndShift();
    ASSERT_FALSE(HasFatalFailure());
    objectsUnderThePointer();
    ASSERT_FALSE(HasFatalFailure());
    stationSearch();
    ASSERT_FALSE(HasFatalFailure());
    railwaySearch();
    ASSERT_FALSE(HasFatalFailure());
    highlightByCriteria();
    ASSERT_FALSE(HasFatalFailure());
    helpAndEnd();
}

INSTANTIATE_TEST_SUITE_P(Cases, Hostile, ::testing::ValuesIn(hostile::allCases()),
                         [](const ::testing::TestParamInfo<hostile::Case>& i) { return i.param.name; });

} // namespace

// Faults found with the hostile networks, each pinned down on its own.
namespace {

class HostileFault : public ::testing::Test {
protected:
    void SetUp() override { setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); }); }
    void TearDown() override
    {
        w.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setMsgHandler({});
    }
    void start(const QString& sql)
    {
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), sql));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([this](int code) { endCode = code; });
        w->Form_Activate();
        ASSERT_FALSE(w->ended());
    }
    void showFrame(const Frame& f)
    {
        w->state().kadr = f;
        w->setKadrZoomed(1);
        w->RenderKadr(w->picZdMain());
    }
    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    std::vector<MsgRequest> boxes;
    int endCode = -1;
};

// Abs(Val(StnX) - x) of the object-under-the-pointer query overflowed on a coordinate of
// -2^63 and the query error ended the program.
TEST_F(HostileFault, CoordinateAtTheSixtyFourBitLimitCanBePointedAt)
{
    start(hostile::baseNetworkSql() + "UPDATE Stn SET StnX = -9223372036854775808, StnY = 9223372036854775807 WHERE KodStn = '303';");
    for (const QPointF p : {QPointF(42000, 17500), QPointF(0, -1000), QPointF(41000, 18000)}) {
        w->pointer().press(Qt::LeftButton, float(p.x()), float(p.y()));
        w->pointer().release(float(p.x()), float(p.y()));
    }
    EXPECT_FALSE(w->ended());
    EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
}

// A section with an end without coordinates is not drawn; the press must not find it on a
// line to the map's origin either.
TEST_F(HostileFault, SectionThatCannotBeDrawnCannotBePointedAt)
{
    start(hostile::baseNetworkSql() + "UPDATE Peregon SET Stn2X = NULL WHERE KodStn1 = '300' AND KodStn2 = '301';");
    showFrame({0, 0, 84000, 36000});
    // On the line from Центральная (42000, 17500) to (0, 16000), away from anything drawn.
    w->pointer().press(Qt::LeftButton, 21000, 16750);
    EXPECT_EQ(w->kursInfObj(), 0) << "a popup for a section that is not on the map";
    w->pointer().release(21000, 16750);
    // A drawn section is still found.
    w->pointer().press(Qt::LeftButton, 42500, 18250);
    EXPECT_GT(w->kursInfObj(), 0);
    w->pointer().release(42500, 18250);
    EXPECT_TRUE(boxes.empty());
}

// A railway whose rectangle is stored with its corners swapped still frames that rectangle.
TEST_F(HostileFault, InvertedRailwayExtentsFrameTheRailway)
{
    start(hostile::baseNetworkSql() + "UPDATE Doroga SET XL = XR, XR = XL, YL = YR, YR = YL WHERE KodDor = '3';");
    ASSERT_TRUE(w->menuItem("mnuZdFind_Dor")->isEnabled());
    w->menuItem("mnuZdFind_Dor")->trigger();
    FrmZdDor* d = w->dorWindow();
    ASSERT_NE(d, nullptr);
    auto* combo = d->findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    const int i = combo->findText(QStringLiteral("Московская"));
    ASSERT_GE(i, 0);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
    d->FragDor();
    EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
    EXPECT_EQ(w->state().kadr, (Frame{40000, 15000, 45000, 20000}));
    EXPECT_EQ(w->kadrZoomed(), 1);
}

} // namespace
