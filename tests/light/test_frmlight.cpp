// The highlight window driven by the names of its controls: its own logic on a fake map,
// and what the main window tells it (renders, marking changes, highlight removal).
#include "FakeMapHost.h"
#include "MapWindow.h"
#include "help/Help.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>

using namespace zd;

namespace {

const QString kPerSql = QStringLiteral(
    "SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, Peregon.KodDor, RL, EL, Doroga.KodDor, "
    "Doroga.KodContry FROM Peregon, Doroga WHERE   Peregon.KodDor = Doroga.KodDor AND ");
const QString kStnSql = QStringLiteral(
    "SELECT Stn.KodStn,Stn.NazStn, Stn.StnX, Stn.StnY,Stn.TipStn, Stn.KodDor, Doroga.KodDor, Doroga.KodContry "
    "FROM Stn, Doroga WHERE Stn.KodDor = Doroga.KodDor AND TipStn IN (");
const QString kNotFound = QStringLiteral("Объекты соответствующие данному критерию НЕ НАЙДЕНЫ");
const QColor kNet(128, 128, 0), kLight(0, 192, 192), kBack(0xE0, 0xE0, 0xE0);
const Frame kNetworkFrame{0, 0, 10000, 5000};

// Points of the sample network in the network frame.
const QPointF kElectric(1250, 1250);        // on 100–102, electric, Russia
const QPointF kDiesel(4000, 3000);          // on 101–200, diesel, Belarus
const QPointF kMalayaVishera(2000, 2000);   // a small station on the electric line
const QPointF kBologoe(3000, 3000);         // a junction (triangle) of Russia
const QPointF kElectricNear(2750, 2750);    // on 102–101, electric, inside the frame zoomed in

// The controls of a highlight window, found by name.
struct Controls {
    FrmLight* light = nullptr;
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
    void upDown(int steps)
    {
        auto* u = ctl<UpDown>("updRL_Dig");
        for (int i = 0; i < std::abs(steps); ++i) (steps > 0 ? u->upButton() : u->downButton()).click();
    }
    void junctionsOnly()
    {
        stationsTab();
        tick("chkStn(0)", false);
        tick("chkStn(2)", true);
    }
    QString perSql() { return light->dtaLightPer().recordSource(); }
    QString stnSql() { return light->dtaLightStn().recordSource(); }
};

// The window on a fake map showing the network frame.
class LightTool : public zdtest::FakeMapTest, public Controls {
protected:
    void SetUp() override
    {
        FakeMapTest::SetUp();
        start();
        host->showFrame(kNetworkFrame, 1);
        light = new FrmLight(*host);
        light->show();
    }
    bool near(QPointF at, const QColor& c) { return colourAt(at.x(), at.y(), c); }
    QColor pixelAt(QPointF at) { return pic().pixel(at.x(), at.y()); }
};

} // namespace

TEST_F(LightTool, CriterionChoiceEnablesItsFrame)
{
    struct Row { int index; bool el, rl, len, enter; };
    const Row rows[] = {{1, false, true, false, false}, {2, false, false, true, false}, {0, true, false, false, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        click(QStringLiteral("optTipLight(%1)").arg(r.index).toLatin1().constData());
        EXPECT_EQ(ctl("fraEL")->isEnabled(), r.el);
        EXPECT_EQ(ctl("fraRL")->isEnabled(), r.rl);
        EXPECT_EQ(ctl("fraLen")->isEnabled(), r.len);
        EXPECT_EQ(ctl("cmdLight_Enter")->isEnabled(), r.enter);
    }
    for (const auto& [criterion, param] : {std::pair{"optTipLight(1)", "optRL(2)"}, std::pair{"optTipLight(2)", "optLen(1)"}}) {
        SCOPED_TRACE(param);
        click(criterion);
        EXPECT_FALSE(ctl("cmdLight_Enter")->isEnabled());
        click(param);
        EXPECT_TRUE(ctl("cmdLight_Enter")->isEnabled());
    }
    // At the map's right edge, kept on the screen; F1 asks for the window's topic.
    const int mapRight = pic().mapToGlobal(QPoint(pic().width() - 1, 0)).x();
    EXPECT_EQ(light->frameGeometry().right(), std::min(mapRight, light->screen()->availableGeometry().right()));
    QTest::keyClick(ctl("cmdLight_Enter"), Qt::Key_F1);
    EXPECT_EQ(host->helpTopics, std::vector<int>{kHelpTopicLight});
}

TEST_F(LightTool, QueryTextOfEachCriterion)
{
    struct Row { const char* name; std::function<void()> set; bool stations; QString expected; };
    const Row rows[] = {
        {"electric", [] {}, false, kPerSql + "(EL = 3 OR EL = 4)"},
        {"diesel", [&] { click("optEL(1)"); }, false, kPerSql + "EL = 2"},
        {"tracks, no comparison chosen", [&] { click("optTipLight(1)"); }, false, kPerSql + "RL  =1"},
        {"tracks more than 2", [&] { click("optRL(1)"); upDown(1); }, false, kPerSql + "RL  >2"},
        {"tracks fewer than 0", [&] { click("optRL(2)"); upDown(-5); }, false, kPerSql + "RL  <0"},
        {"tracks up to 9 at most", [&] { click("optRL(0)"); upDown(12); }, false, kPerSql + "RL  =9"},
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
    EXPECT_TRUE(host->failures.empty()) << "every query ran";
}

TEST_F(LightTool, HighlightedSectionsUnderTheStationsAndBackToTheNetworkColour)
{
    enter();
    EXPECT_TRUE(host->lightOn(Highlight::Sections));
    EXPECT_TRUE(near(kElectric, kLight));
    EXPECT_TRUE(near(kDiesel, kNet));
    EXPECT_FALSE(near(kDiesel, kLight));
    EXPECT_EQ(pixelAt(kMalayaVishera), kNet) << "the station symbol lies over the coloured line";
    EXPECT_TRUE(ctl("cmdLight_End")->isEnabled());
    EXPECT_TRUE(host->eraseItem && host->eraseButton);

    junctionsOnly();
    enter();
    EXPECT_EQ(pixelAt(kBologoe), kLight);
    sectionsTab();
    enter();
    EXPECT_EQ(pixelAt(kBologoe), kLight) << "the junction keeps its highlight over the sections";

    QPointer<FrmLight> window(light);
    click("optEL(1)");   // changed but not applied: what was drawn is what goes
    click("cmdLight_End");
    EXPECT_FALSE(host->lightOn(Highlight::Sections) || host->lightOn(Highlight::Stations));
    EXPECT_EQ(pixelAt(kBologoe), kNet);
    EXPECT_FALSE(host->eraseButton);
    EXPECT_TRUE(boxes.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "unloaded";
}

TEST_F(LightTool, NothingFoundAndCriteriaThatCannotBeQueriedAreSaid)
{
    struct Case { const char* name; std::function<void()> set; const char* said; MsgIcon icon; bool stations; };
    const Case cases[] = {
        {"nine tracks", [&] { click("optTipLight(1)"); click("optRL(0)"); upDown(9); }, "НЕ НАЙДЕНЫ", MsgIcon::None, false},
        {"no centre of a division", [&] { stationsTab(); tick("chkStn(0)", false); tick("chkStn(1)", true); },
         "НЕ НАЙДЕНЫ", MsgIcon::None, true},
        {"no category", [&] { tick("chkStn(1)", false); }, "категория станций", MsgIcon::Exclamation, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        c.set();
        enter();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.contains(QString::fromUtf8(c.said))) << boxes[0].text.toStdString();
        EXPECT_EQ(boxes[0].icon, c.icon);
        EXPECT_EQ(boxes[0].caption, kAppTitle);
        EXPECT_FALSE(host->lightOn(c.stations ? Highlight::Stations : Highlight::Sections));
    }
    EXPECT_TRUE(stnSql().endsWith(" 7 )")) << "the last query that could run";

    sectionsTab();
    click("optTipLight(2)");
    click("optLen(0)");
    const QString before = perSql();
    for (const char* text : {"", ".", "1a", "-5", "1.2.3", "1;2"}) {
        SCOPED_TRACE(text);
        boxes.clear();
        ctl<QLineEdit>("txtLen")->setText(QString::fromUtf8(text));   // as pasted
        enter();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.contains("Длина перегона должна быть числом"));
        EXPECT_EQ(perSql(), before) << "nothing sent";
        EXPECT_FALSE(host->lightOn(Highlight::Sections));
    }
}

TEST_F(LightTool, LengthBoxTakesDigitsAndOneSeparator)
{
    click("optTipLight(2)");
    auto* box = ctl<QLineEdit>("txtLen");
    // The rules themselves are KeyDigit's; this shows that every typed key goes through it.
    zdtest::typeText(box, "-1a2,5б3+");
    EXPECT_EQ(box->text(), "12.5");
    QTest::keyClick(box, Qt::Key_Backspace);   // at the length limit too
    EXPECT_EQ(box->text(), "12.");
    box->setText("12");
    QTest::keyClick(box, Qt::Key_Home);   // moving keys reach the box
    zdtest::typeText(box, "3");
    EXPECT_EQ(box->text(), "312");
}

namespace {

// The window in the real main window showing the network frame.
class LightWindow : public zdtest::MapWindowTest, public Controls {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        start();
        showFrame(kNetworkFrame);
        open();
    }
    void TearDown() override
    {
        EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
        MapWindowTest::TearDown();
    }
    void open()
    {
        trigger("mnuZdLight_Peregon");
        light = w->lightWindow();
        ASSERT_NE(light, nullptr);
    }
    bool near(QPointF at, const QColor& c) { return colourAt(at.x(), at.y(), c); }
    QColor pixelAt(QPointF at) { return pic().pixel(at.x(), at.y()); }
    // No pixel but the background within 8 pixels of the map point.
    bool allBack(QPointF at)
    {
        const QPoint c = px(at.x(), at.y());
        const QImage img = pic().image().copy(c.x() - 8, c.y() - 8, 17, 17);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) != kBack) return false;
        return true;
    }
};

} // namespace

TEST_F(LightWindow, HighlightsSurviveRendersAndHiding)
{
    enter();
    junctionsOnly();
    enter();
    click("cmdLight_Hide");
    EXPECT_FALSE(light->isVisible());
    trigger("mnuMagist_Near");   // 2500, 1250, 7500, 3750
    EXPECT_TRUE(w->lightOn(Highlight::Sections) && w->lightOn(Highlight::Stations));
    EXPECT_TRUE(near(kElectricNear, kLight));
    EXPECT_EQ(pixelAt(kBologoe), kLight);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(w->lightWindow(), light);
    open();
    EXPECT_TRUE(light->isVisible());
    EXPECT_TRUE(ctl("cmdLight_End")->isEnabled());

    // Settings that cannot be queried are said once, on the press; the renders go on
    // with the criterion applied last.
    const QString applied = perSql();
    sectionsTab();
    click("optTipLight(2)");   // the length box stays empty
    click("optLen(0)");
    enter();
    EXPECT_EQ(takeBoxes().size(), 1);
    showFrame(kNetworkFrame);
    EXPECT_EQ(perSql(), applied);
    EXPECT_TRUE(near(kElectric, kLight));
}

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
        if (!w->lightWindow()) open();
        light = w->lightWindow();
        if (c.stations) junctionsOnly();
        enter();
        if (c.stations) ASSERT_EQ(pixelAt(kBologoe), kLight);
        else ASSERT_TRUE(near(kElectric, kLight));
        c.change();
        const std::string off = c.off;
        if (off == "close") light->close();
        else if (off == "mnuZdLight_Erase") trigger("mnuZdLight_Erase");
        else click(c.off);
        EXPECT_FALSE(w->lightOn(Highlight::Sections) || w->lightOn(Highlight::Stations));
        if (c.stations) {
            EXPECT_EQ(pixelAt(kBologoe), kNet);
        } else {
            EXPECT_TRUE(near(kElectric, kNet));
            EXPECT_FALSE(near(kElectric, kLight));
        }
        if (w->lightWindow()) w->lightWindow()->deleteLater();   // closed, it stays loaded
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(w->lightWindow(), nullptr);
    }
}

// "Только Россия" after a highlight: nothing of the other countries is drawn again, neither
// in the network colour nor highlighted; a highlight left with no rows goes off.
TEST_F(LightWindow, RussiaOnlyAfterAHighlightLeavesNoForeignRow)
{
    const QPointF minsk(7000, 3000), spb(1000, 1000);
    stationsTab();
    enter();   // the centres of railways: Санкт-Петербург and Минск
    ASSERT_EQ(light->dtaLightStn().rows().recordCount(), 2);
    ASSERT_FALSE(allBack(minsk));
    sectionsTab();
    click("optEL(1)");   // the only diesel section is Belarusian
    enter();
    EXPECT_TRUE(near(kDiesel, kLight));

    trigger("mnuZdLight_RusOnly");
    EXPECT_EQ(takeBoxes(), QStringList{kNotFound});
    EXPECT_FALSE(w->lightOn(Highlight::Sections));
    EXPECT_EQ(pixelAt(kDiesel), kBack);
    EXPECT_TRUE(w->lightOn(Highlight::Stations));
    EXPECT_EQ(light->dtaLightStn().rows().recordCount(), 1);
    EXPECT_TRUE(allBack(minsk)) << "nothing of Belarus on the map";
    EXPECT_FALSE(allBack(spb));
    trigger("mnuZdLight_Erase");
    EXPECT_TRUE(allBack(minsk));
    EXPECT_FALSE(w->lightOn(Highlight::Stations));
}
