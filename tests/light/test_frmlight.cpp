// The highlight window driven by the names of its controls, over the real main window.
#include "TestDb.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QString kPerSql = QStringLiteral(
    "SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, Peregon.KodDor, RL, EL, Doroga.KodDor, "
    "Doroga.KodContry FROM Peregon, Doroga WHERE   Peregon.KodDor = Doroga.KodDor AND ");
const QString kStnSql = QStringLiteral(
    "SELECT Stn.KodStn,Stn.NazStn, Stn.StnX, Stn.StnY,Stn.TipStn, Stn.KodDor, Doroga.KodDor, Doroga.KodContry "
    "FROM Stn, Doroga WHERE Stn.KodDor = Doroga.KodDor AND TipStn IN (");
const QString kRussia = QStringLiteral(" AND  Doroga.KodContry = '11' ");
const QString kNotFound = QStringLiteral("Объекты соответствующие данному критерию НЕ НАЙДЕНЫ");
const QColor kNet(128, 128, 0), kLight(0, 192, 192), kBack(0xE0, 0xE0, 0xE0);

// Points of the sample network in the frame 0, 0, 10000, 5000.
const QPointF kElectric(1250, 1250);   // on 100–102, electric, Russia
const QPointF kDiesel(4000, 3000);     // on 101–200, diesel, Belarus
const QPointF kMalayaVishera(2000, 2000);   // a small station on the electric line
const QPointF kBologoe(3000, 3000);    // a junction (triangle) of Russia
const QPointF kElectricNear(2750, 2750);   // on 102–101, electric, inside the frame zoomed in

class LightWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); });
        ASSERT_TRUE(zdtest::writeSqlite(dir.filePath("ZdShort.mdb"), zdtest::sampleNetworkSql()));
        w = std::make_unique<FrmZdMain>(dir.path());
        w->setEndHandler([this](int code) { endCode = code; });
        w->Form_Activate();
        showFrame({0, 0, 10000, 5000});
        w->menuItem("mnuZdLight_Peregon")->trigger();
        light = w->lightWindow();
        ASSERT_NE(light, nullptr);
        QApplication::processEvents();
    }
    void TearDown() override { setMsgHandler({}); }

    void showFrame(const Frame& f)
    {
        w->state().kadr = f;
        w->setKadrZoomed(1);
        w->RenderKadr(w->picZdMain());
    }
    template <class T = QWidget> T* ctl(const char* name)
    {
        T* c = light->findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void click(const char* name) { ctl<QAbstractButton>(name)->click(); }
    void tick(const char* name, bool on) { ctl<QAbstractButton>(name)->setChecked(on); }
    void stationsTab() { ctl<QTabWidget>("tabLight")->setCurrentIndex(1); }
    void sectionsTab() { ctl<QTabWidget>("tabLight")->setCurrentIndex(0); }
    void enter() { click("cmdLight_Enter"); }
    QString perSql() { return light->dtaLightPer().recordSource(); }
    QString stnSql() { return light->dtaLightStn().recordSource(); }
    void unloaded()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(w->lightWindow(), nullptr);
    }
    // A line one pixel wide falls on either side of a point between pixel rows.
    bool colourNear(QPointF at, const QColor& c)
    {
        const QImage img = w->picZdMain().image();
        const QPoint p = w->picZdMain().toPixel(at.x(), at.y()).toPoint();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.valid(p.x() + dx, p.y() + dy) && img.pixelColor(p.x() + dx, p.y() + dy) == c) return true;
        return false;
    }
    QColor pixelAt(QPointF at) { return w->picZdMain().pixel(at.x(), at.y()); }
    void type(const QString& keys)
    {
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode() < 128 ? c.toUpper().unicode() : 0,
                            Qt::NoModifier, QString(c));
            QApplication::sendEvent(ctl("txtLen"), &press);
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    FrmLight* light = nullptr;
    std::vector<MsgRequest> boxes;
    int endCode = -1;
};

TEST_F(LightWindow, ControlsCaptionsAndFirstStates)
{
    EXPECT_EQ(light->windowTitle(), "Выбор типа подсветки");
    EXPECT_TRUE(light->isVisible());
    EXPECT_TRUE(light->windowFlags() & Qt::WindowStaysOnTopHint);
    auto* tabs = ctl<QTabWidget>("tabLight");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Перегоны");
    EXPECT_EQ(tabs->tabText(1), "Станции");

    struct Row { const char* name; const char* caption; bool enabled; bool checked; };
    const Row buttons[] = {
        {"optTipLight(0)", "Вид тяги", true, true}, {"optTipLight(1)", "Кол-во путей", true, false},
        {"optTipLight(2)", "Длина перегона", true, false}, {"optEL(0)", "Электр.", true, true},
        {"optEL(1)", "Тепл.", true, false}, {"optRL(0)", "=", false, false}, {"optRL(1)", ">", false, false},
        {"optRL(2)", "<", false, false}, {"optLen(0)", ">", false, false}, {"optLen(1)", "<", false, false},
        {"chkStn(0)", "Центры дорог", true, true}, {"chkStn(1)", "Центры отделений", true, false},
        {"chkStn(2)", "Стыки дорог", true, false}, {"chkLightRus", "Только Россия", true, false},
        {"cmdLight_Enter", "Подсветить", true, false}, {"cmdLight_Hide", "Закрыть панель", true, false},
        {"cmdLight_End", "Убрать подсветку", false, false},
    };
    for (const Row& r : buttons) {
        SCOPED_TRACE(r.name);
        auto* b = ctl<QAbstractButton>(r.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text().remove(u'&'), QString::fromUtf8(r.caption));
        EXPECT_EQ(b->isEnabled(), r.enabled);
        EXPECT_EQ(b->isChecked(), r.checked);
    }
    const std::pair<const char*, const char*> frames[] = {
        {"fraTip", ""}, {"fraEL", "Вид тяги"}, {"fraRL", "Кол-во путей"}, {"fraLen", "Длина перегона (км)"}, {"fraStn", ""}};
    for (const auto& [name, caption] : frames) EXPECT_EQ(ctl<QGroupBox>(name)->title(), QString::fromUtf8(caption)) << name;
    EXPECT_FALSE(ctl("fraRL")->isEnabled());
    EXPECT_FALSE(ctl("fraLen")->isEnabled());
    auto* upd = ctl<UpDown>("updRL_Dig");
    EXPECT_EQ(upd->minimum(), 0);
    EXPECT_EQ(upd->maximum(), 9);
    EXPECT_EQ(upd->value(), 1);
    EXPECT_EQ(ctl<QLabel>("lblRL_Dig")->text(), "1");
    EXPECT_EQ(ctl<QLineEdit>("txtLen")->text(), "");
}

TEST_F(LightWindow, LayoutAndPlace)
{
    const QRect tip = ctl("fraTip")->geometry(), el = ctl("fraEL")->geometry();
    const QRect rl = ctl("fraRL")->geometry(), len = ctl("fraLen")->geometry();
    EXPECT_EQ(el.top(), tip.top());
    EXPECT_GT(el.left(), tip.right());
    EXPECT_TRUE(rl.left() == el.left() && len.left() == el.left() && rl.width() == el.width() && len.width() == el.width());
    EXPECT_TRUE(el.bottom() < rl.top() && rl.bottom() < len.top());
    const QRect enter = ctl("cmdLight_Enter")->geometry(), hide = ctl("cmdLight_Hide")->geometry();
    const QRect end = ctl("cmdLight_End")->geometry();
    EXPECT_TRUE(hide.top() == enter.top() && end.top() == enter.top());
    EXPECT_TRUE(hide.height() == enter.height() && end.height() == enter.height());
    EXPECT_TRUE(enter.right() < hide.left() && hide.right() < end.left());
    EXPECT_GT(ctl("chkLightRus")->geometry().top(), ctl("tabLight")->geometry().bottom());
    EXPECT_GT(enter.top(), ctl("chkLightRus")->geometry().bottom());

    stationsTab();
    QApplication::processEvents();
    QWidget *c0 = ctl("chkStn(0)"), *c1 = ctl("chkStn(1)"), *c2 = ctl("chkStn(2)");
    EXPECT_NEAR(c1->y() - c0->y(), 1.5 * c0->height(), 1.0);
    EXPECT_NEAR(c2->y() - c1->y(), 1.5 * c0->height(), 1.0);

    const double twips = 1440.0 / light->logicalDpiY();
    EXPECT_GE(light->width() * twips, 4260 - twips);
    EXPECT_GE(light->height() * twips, 3705 - twips);
    const PictureBox& pic = w->picZdMain();
    const int mapRight = pic.mapToGlobal(QPoint(pic.width() - 1, 0)).x();
    EXPECT_EQ(light->frameGeometry().right(), std::min(mapRight, w->screen()->availableGeometry().right()))
        << "at the map's right edge, kept on the screen";
}

TEST_F(LightWindow, CriterionChoiceEnablesItsFrame)
{
    struct Row { int index; bool el, rl, len, enter; const char* tip0; const char* tip1; const char* tip2; };
    const Row rows[] = {
        {1, false, true, false, false, "", "Установите параметры", ""},
        {2, false, false, true, false, "", "", "Установите параметры"},
        {0, true, false, false, true, "", "", "Установите параметры"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        click(QStringLiteral("optTipLight(%1)").arg(r.index).toLatin1().constData());
        EXPECT_EQ(ctl("fraEL")->isEnabled(), r.el);
        EXPECT_EQ(ctl("fraRL")->isEnabled(), r.rl);
        EXPECT_EQ(ctl("fraLen")->isEnabled(), r.len);
        EXPECT_EQ(ctl("cmdLight_Enter")->isEnabled(), r.enter);
        EXPECT_EQ(ctl("optTipLight(0)")->toolTip(), QString::fromUtf8(r.tip0));
        EXPECT_EQ(ctl("optTipLight(1)")->toolTip(), QString::fromUtf8(r.tip1));
        EXPECT_EQ(ctl("optTipLight(2)")->toolTip(), QString::fromUtf8(r.tip2));
    }
    for (const auto& [criterion, param] : {std::pair{"optTipLight(1)", "optRL(2)"}, std::pair{"optTipLight(2)", "optLen(1)"}}) {
        SCOPED_TRACE(param);
        click(criterion);
        EXPECT_FALSE(ctl("cmdLight_Enter")->isEnabled());
        click(param);
        EXPECT_TRUE(ctl("cmdLight_Enter")->isEnabled());
    }
}

TEST_F(LightWindow, QueryTextOfEachCriterion)
{
    auto up = [&](int n) { for (int i = 0; i < n; ++i) ctl<UpDown>("updRL_Dig")->upButton().click(); };
    auto down = [&](int n) { for (int i = 0; i < n; ++i) ctl<UpDown>("updRL_Dig")->downButton().click(); };
    struct Row { const char* name; std::function<void()> set; bool stations; QString expected; };
    const Row rows[] = {
        {"electric", [] {}, false, kPerSql + "(EL = 3 OR EL = 4)"},
        {"diesel", [&] { click("optEL(1)"); }, false, kPerSql + "EL = 2"},
        {"tracks, no comparison chosen", [&] { click("optTipLight(1)"); }, false, kPerSql + "RL  =1"},
        {"tracks more than 2", [&] { click("optRL(1)"); up(1); }, false, kPerSql + "RL  >2"},
        {"tracks fewer than 0", [&] { click("optRL(2)"); down(5); }, false, kPerSql + "RL  <0"},
        {"tracks up to 9 at most", [&] { click("optRL(0)"); up(12); }, false, kPerSql + "RL  =9"},
        {"length, no comparison chosen", [&] { click("optTipLight(2)"); ctl<QLineEdit>("txtLen")->setText("150.5"); },
         false, kPerSql + "LenPer  >150.5"},
        {"length shorter", [&] { click("optLen(1)"); }, false, kPerSql + "LenPer  <150.5"},
        {"centres of divisions", [&] { tick("chkStn(0)", false); tick("chkStn(1)", true); }, true, kStnSql + " 7 )"},
        {"centres of railways and junctions", [&] { tick("chkStn(0)", true); tick("chkStn(1)", false); tick("chkStn(2)", true); },
         true, kStnSql + " 9 ,  8 )"},
        {"all categories", [&] { tick("chkStn(1)", true); }, true, kStnSql + " 9 ,  7 ,  8 )"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        r.set();
        if (r.stations) light->StnLight(true);
        else light->PeregonLight(true);
        EXPECT_EQ(r.stations ? stnSql() : perSql(), r.expected);
    }
    EXPECT_EQ(endCode, -1) << "every query ran";
}

TEST_F(LightWindow, RussiaOnlyRestrictsBothQueries)
{
    w->menuItem("mnuZdLight_RusOnly")->trigger();
    enter();
    EXPECT_EQ(perSql(), kPerSql + "(EL = 3 OR EL = 4)" + kRussia);
    stationsTab();
    enter();
    EXPECT_EQ(stnSql(), kStnSql + " 9 )" + kRussia);
    EXPECT_EQ(light->dtaLightStn().rows().recordCount(), 1);   // Минск is not Russian
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LightWindow, HighlightedSectionsAndBackToTheNetworkColour)
{
    enter();
    EXPECT_TRUE(w->lightOn(Highlight::Sections));
    EXPECT_TRUE(colourNear(kElectric, kLight));
    EXPECT_TRUE(colourNear(kDiesel, kNet));
    EXPECT_FALSE(colourNear(kDiesel, kLight));
    EXPECT_EQ(pixelAt(kMalayaVishera), kNet) << "the station symbol lies over the coloured line";
    EXPECT_TRUE(ctl("cmdLight_End")->isEnabled());
    EXPECT_TRUE(w->menuItem("mnuZdLight_Erase")->isEnabled());
    EXPECT_TRUE(w->button("mnuZdLight_Erase")->isEnabled());

    click("optEL(1)");   // changed but not applied: what was drawn is what goes
    click("cmdLight_End");
    EXPECT_FALSE(w->lightOn(Highlight::Sections));
    EXPECT_TRUE(colourNear(kElectric, kNet));
    EXPECT_FALSE(colourNear(kElectric, kLight));
    EXPECT_FALSE(w->button("mnuZdLight_Erase")->isEnabled());
    EXPECT_TRUE(boxes.empty());
    unloaded();
}

TEST_F(LightWindow, HighlightsSurviveRendersAndHiding)
{
    enter();
    stationsTab();
    tick("chkStn(2)", true);
    enter();
    click("cmdLight_Hide");
    EXPECT_FALSE(light->isVisible());
    w->menuItem("mnuMagist_Near")->trigger();   // 2500, 1250, 7500, 3750
    EXPECT_TRUE(w->lightOn(Highlight::Sections) && w->lightOn(Highlight::Stations));
    EXPECT_TRUE(colourNear(kElectricNear, kLight));
    EXPECT_EQ(pixelAt(kBologoe), kLight);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(w->lightWindow(), light);
    w->menuItem("mnuZdLight_Peregon")->trigger();
    EXPECT_TRUE(light->isVisible());
    EXPECT_TRUE(ctl("cmdLight_End")->isEnabled());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LightWindow, StationsStayOnTopOfSections)
{
    stationsTab();
    tick("chkStn(2)", true);
    enter();
    EXPECT_EQ(pixelAt(kBologoe), kLight);
    sectionsTab();
    enter();
    EXPECT_EQ(pixelAt(kBologoe), kLight) << "the junction keeps its highlight over the sections";
    EXPECT_TRUE(colourNear(kElectric, kLight));
    w->menuItem("mnuZdLight_Erase")->trigger();
    EXPECT_EQ(pixelAt(kBologoe), kNet);
    EXPECT_FALSE(colourNear(kElectric, kLight));
    EXPECT_FALSE(w->lightOn(Highlight::Sections));
    EXPECT_FALSE(w->lightOn(Highlight::Stations));
    unloaded();
}

TEST_F(LightWindow, NothingFoundIsSaidAndTheHighlightStaysOff)
{
    click("optTipLight(1)");
    click("optRL(0)");
    for (int i = 0; i < 9; ++i) ctl<UpDown>("updRL_Dig")->upButton().click();
    enter();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kNotFound);
    EXPECT_EQ(boxes[0].caption, kAppTitle);
    EXPECT_EQ(boxes[0].icon, MsgIcon::None);
    EXPECT_FALSE(w->lightOn(Highlight::Sections));

    stationsTab();
    tick("chkStn(0)", false);
    tick("chkStn(1)", true);   // no centre of a division in the network
    enter();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, kNotFound);
    EXPECT_FALSE(w->lightOn(Highlight::Stations));
}

TEST_F(LightWindow, CriteriaThatCannotBeQueriedAreSaidAndSendNothing)
{
    stationsTab();
    tick("chkStn(0)", false);
    enter();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("категория станций"));
    EXPECT_TRUE(stnSql().isEmpty());
    EXPECT_FALSE(w->lightOn(Highlight::Stations));

    sectionsTab();
    click("optTipLight(2)");
    click("optLen(0)");
    for (const char* text : {"", ".", "1a", "-5", "1.2.3", "1;2"}) {
        SCOPED_TRACE(text);
        boxes.clear();
        ctl<QLineEdit>("txtLen")->setText(QString::fromUtf8(text));   // as pasted
        enter();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.contains("Длина перегона должна быть числом"));
        EXPECT_TRUE(perSql().isEmpty());
        EXPECT_FALSE(w->lightOn(Highlight::Sections));
    }
}

TEST_F(LightWindow, AHighlightOnKeepsItsLastCriterionWhenTheSettingsCannotBeQueried)
{
    enter();
    const QString applied = perSql();
    click("optTipLight(2)");   // the length box stays empty
    click("optLen(0)");
    enter();
    w->menuItem("mnuMagist_Near")->trigger();
    EXPECT_EQ(boxes.size(), 1u) << "said once, on the press";
    EXPECT_EQ(perSql(), applied);
    EXPECT_TRUE(w->lightOn(Highlight::Sections));
    EXPECT_TRUE(colourNear(kElectricNear, kLight));
}

TEST_F(LightWindow, RussiaOnlyAfterAHighlightDrawsNothingOfOtherCountries)
{
    click("optEL(1)");   // the only diesel section is Belarusian
    enter();
    EXPECT_TRUE(colourNear(kDiesel, kLight));
    w->menuItem("mnuZdLight_RusOnly")->trigger();
    EXPECT_FALSE(colourNear(kDiesel, kNet));
    EXPECT_FALSE(colourNear(kDiesel, kLight));
    EXPECT_EQ(pixelAt(kDiesel), kBack);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kNotFound);
    EXPECT_FALSE(w->lightOn(Highlight::Sections));
}

TEST_F(LightWindow, LengthBoxTakesDigitsAndOneSeparator)
{
    click("optTipLight(2)");
    auto* box = ctl<QLineEdit>("txtLen");
    const std::pair<const char*, const char*> rows[] = {
        {"12,5", "12.5"}, {"12.53", "12.5"}, {"1.2.", "1.2"}, {"-5+", "5"}, {"a1 бz", "1"}, {"07", "7"}};
    for (const auto& [typed, text] : rows) {
        SCOPED_TRACE(typed);
        box->clear();
        type(QString::fromUtf8(typed));
        EXPECT_EQ(box->text(), QString::fromUtf8(text));
    }
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "");
    box->setText("12");
    QTest::keyClick(box, Qt::Key_Home);   // moving keys reach the box
    type("3");
    EXPECT_EQ(box->text(), "312");
}

TEST_F(LightWindow, F1AsksForHelpAndClosingSwitchesOffAndUnloads)
{
    QTest::keyClick(ctl("cmdLight_Enter"), Qt::Key_F1);
    EXPECT_TRUE(w->help().viewer());
    boxes.clear();   // the test folder has no help document: the viewer says so

    enter();
    QPointer<FrmLight> old(light);
    light->close();
    EXPECT_FALSE(w->lightOn(Highlight::Sections));
    EXPECT_FALSE(colourNear(kElectric, kLight));
    unloaded();
    EXPECT_TRUE(old.isNull());
    w->menuItem("mnuZdLight_Peregon")->trigger();
    ASSERT_NE(w->lightWindow(), nullptr);
    EXPECT_FALSE(w->lightWindow()->findChild<QWidget*>("cmdLight_End")->isEnabled()) << "a fresh window";
}

} // namespace

// Switching a highlight off repaints in the network colour the rows that were drawn, not
// those the window's settings would select now.
TEST_F(LightWindow, SwitchingOffRepaintsTheRowsThatWereDrawn)
{
    struct Case {
        const char* name;
        bool stations;                         // the station tab's highlight, else the sections'
        std::function<void()> change;          // settings changed after the highlight, not applied
        const char* off;                       // "cmdLight_End", "mnuZdLight_Erase" or "close"
    };
    const Case cases[] = {
        {"sections, the other traction picked", false, [&] { click("optEL(1)"); }, "cmdLight_End"},
        {"sections, the tracks criterion picked", false, [&] { click("optTipLight(1)"); click("optRL(0)"); },
         "mnuZdLight_Erase"},
        {"sections, the length criterion picked", false,
         [&] { click("optTipLight(2)"); click("optLen(1)"); ctl<QLineEdit>("txtLen")->setText("1"); }, "close"},
        {"stations, the junctions ticked off", true, [&] { tick("chkStn(2)", false); }, "cmdLight_End"},
        {"stations, another category ticked instead", true,
         [&] { tick("chkStn(2)", false); tick("chkStn(0)", true); }, "mnuZdLight_Erase"},
        {"stations, the sections tab shown", true, [&] { sectionsTab(); click("optEL(1)"); }, "close"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!w->lightWindow()) w->menuItem("mnuZdLight_Peregon")->trigger();
        light = w->lightWindow();
        ASSERT_NE(light, nullptr);
        if (c.stations) {
            stationsTab();
            tick("chkStn(0)", false);
            tick("chkStn(2)", true);
        }
        enter();
        if (c.stations) ASSERT_EQ(pixelAt(kBologoe), kLight);
        else ASSERT_TRUE(colourNear(kElectric, kLight));
        c.change();
        const std::string off = c.off;
        if (off == "close") light->close();
        else if (off == "mnuZdLight_Erase") w->menuItem("mnuZdLight_Erase")->trigger();
        else click(c.off);
        EXPECT_FALSE(w->lightOn(Highlight::Sections) || w->lightOn(Highlight::Stations));
        if (c.stations) {
            EXPECT_EQ(pixelAt(kBologoe), kNet);
        } else {
            EXPECT_TRUE(colourNear(kElectric, kNet));
            EXPECT_FALSE(colourNear(kElectric, kLight));
        }
        EXPECT_TRUE(boxes.empty());
        if (w->lightWindow()) w->lightWindow()->deleteLater();   // closed, it stays loaded
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(w->lightWindow(), nullptr);
    }
}

// The station highlight after "Только Россия": the foreign centre drawn before is neither
// repainted nor highlighted again; the Russian one keeps the highlight.
TEST_F(LightWindow, RussiaOnlyAfterAStationHighlightLeavesNoForeignStation)
{
    const QPointF minsk(7000, 3000), spb(1000, 1000);
    stationsTab();
    enter();   // the centres of railways: Санкт-Петербург and Минск
    ASSERT_EQ(light->dtaLightStn().rows().recordCount(), 2);
    auto allBack = [&](QPointF at) {
        const QImage img = w->picZdMain().image();
        const QPoint c = w->picZdMain().toPixel(at.x(), at.y()).toPoint();
        for (int dy = -8; dy <= 8; ++dy)
            for (int dx = -8; dx <= 8; ++dx)
                if (img.valid(c.x() + dx, c.y() + dy) && img.pixelColor(c.x() + dx, c.y() + dy) != kBack) return false;
        return true;
    };
    ASSERT_FALSE(allBack(minsk));
    w->menuItem("mnuZdLight_RusOnly")->trigger();
    EXPECT_TRUE(w->lightOn(Highlight::Stations));
    EXPECT_EQ(light->dtaLightStn().rows().recordCount(), 1);
    EXPECT_TRUE(allBack(minsk)) << "nothing of Belarus on the map";
    EXPECT_FALSE(allBack(spb));
    w->menuItem("mnuZdLight_Erase")->trigger();
    EXPECT_TRUE(allBack(minsk));
    EXPECT_TRUE(boxes.empty());
}
