// The quick-search field of the toolbar in the real main window, driven by the user's keys
// and clicks: what it offers, what a choice shows on the map, Esc, Ctrl+F, Russia only.
#include "MapWindow.h"
#include "quicksearch/NameCompleter.h"
#include "quicksearch/QuickSearch.h"
#include "stnfind/FindZone.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QTest>
#include <optional>

using namespace zd;

namespace {

// The sample network and railway 3, whose rectangle is stored with its corners the wrong
// way round, with Орёл, Орловка and Ростов-Главный; one station without coordinates.
QString networkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Doroga VALUES('3','Зеркальная',4500,4200,2000,1500,'302','Ростов-Главный','11');"
        "INSERT INTO Stn VALUES('300','Орёл',4000,4000,'3',7,0),('301','Орловка',4200,3500,'3',5,0),"
        " ('302','Ростов-Главный',3500,4500,'3',9,0),('303','Безымянная',NULL,NULL,'3',5,0);"
        "INSERT INTO Peregon VALUES('300','301',4000,4000,4200,3500,50,'3',2,3),"
        " ('300','302',4000,4000,3500,4500,60,'3',2,3),('101','300',3000,3000,4000,4000,150,'3',2,3);");
}

const QString kOrel = QStringLiteral("Орёл — Зеркальная (Центр отделения)");
const QString kOrlovka = QStringLiteral("Орловка — Зеркальная");

class QuickSearchTest : public zdtest::MapWindowTest {
protected:
    void startAndWait()
    {
        start(networkSql());
        for (int i = 0; i < 500 && !w->nameIndex(); ++i) QTest::qWait(5);
        ASSERT_NE(w->nameIndex(), nullptr);
    }
    QuickSearch& field() { return w->quickSearch(); }
    QAbstractItemView& popup() { return *field().completer().completer().popup(); }
    // Keys go where the platform sends them: to the open popup, else to the field.
    QWidget* keyTarget() { return popup().isVisible() ? &popup() : static_cast<QWidget*>(&field()); }
    void type(const char* text)
    {
        field().setFocus();
        zdtest::typeText(keyTarget(), QString::fromUtf8(text));
    }
    void key(Qt::Key k) { QTest::keyClick(keyTarget(), k); }
    QStringList offered()
    {
        QStringList lines;
        for (int r = 0; popup().isVisible() && r < popup().model()->rowCount(); ++r)
            lines << popup().model()->index(r, 0).data().toString();
        return lines;
    }
    // Pixels in ColorFind within 10 pixels of the map point, or anywhere.
    int marked(std::optional<QPointF> at = {})
    {
        const QImage img = pic().image();
        const QPoint p = at ? px(at->x(), at->y()) : QPoint();
        const QRect area = at ? QRect(p - QPoint(10, 10), p + QPoint(10, 10)) : img.rect();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += img.valid(x, y) && img.pixelColor(x, y) == QColor(0, 255, 255);
        return n;
    }
    Frame stationFrame(double x, double y) { return fragFrame(x, y, w->state().scheme); }
};

} // namespace

TEST_F(QuickSearchTest, ArrowsAndEnterShowTheStationFramedAndMarkedUntilTheNextRender)
{
    startAndWait();
    type("ор");
    // The beginnings in the Russian order, then the railway holding the text inside.
    EXPECT_EQ(offered(), (QStringList{kOrel, kOrlovka, QStringLiteral("Орша — Белорусская"), QStringLiteral("Белорусская (Дорога)")}));
    EXPECT_EQ(marked(), 0);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(w->state().kadr, stationFrame(4200, 3500));
    EXPECT_EQ(w->kadrZoomed(), 1);
    EXPECT_GT(marked(QPointF(4200, 3500)), 0) << "Орловка marked";
    EXPECT_EQ(marked(QPointF(4000, 4000)), 0) << "Орёл not marked";
    EXPECT_EQ(field().text(), QStringLiteral("Орловка"));
    EXPECT_EQ(w->focusWidget(), &pic());
    EXPECT_TRUE(takeBoxes().isEmpty());

    w->redrawFrame();
    EXPECT_EQ(marked(), 0) << "the mark lasts until the next render";

    // Enter again goes to the place the field names now, not to the best of "ор".
    w->wholeScheme();
    field().setFocus();
    key(Qt::Key_Return);
    EXPECT_EQ(w->state().kadr, stationFrame(4200, 3500));
}

TEST_F(QuickSearchTest, EnterWithNothingHighlightedTakesTheBest)
{
    struct Case { const char* typed; double x, y; };
    const Case cases[] = {
        {"орел", 4000, 4000},            // ё typed as е
        {"orel", 4000, 4000},            // Latin
        {"rostov glavnyy", 3500, 4500},  // Latin, blank for the hyphen
        {"главный", 3500, 4500},         // a word inside the name
        {"301", 4200, 3500},             // a code
    };
    startAndWait();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        w->wholeScheme();
        field().clear();
        type(c.typed);
        EXPECT_TRUE(popup().isVisible());
        key(Qt::Key_Return);
        EXPECT_EQ(w->state().kadr, stationFrame(c.x, c.y));
        EXPECT_GT(marked(QPointF(c.x, c.y)), 0);
    }
}

TEST_F(QuickSearchTest, ARailwayClickedIsFramedByItsRectangleInOrder)
{
    startAndWait();
    type("зерк");
    ASSERT_EQ(offered(), QStringList{QStringLiteral("Зеркальная (Дорога)")});
    QTest::mouseClick(popup().viewport(), Qt::LeftButton, {}, popup().visualRect(popup().model()->index(0, 0)).center());
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(w->state().kadr, (Frame{2000, 1500, 4500, 4200}));
    EXPECT_EQ(marked(), 0) << "a railway is framed, not marked";
}

TEST_F(QuickSearchTest, EscAndCtrlFMoveTheFocusBetweenTheMapAndTheField)
{
    startAndWait();
    const Frame before = w->state().kadr;
    type("ор");
    ASSERT_TRUE(popup().isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(popup().isVisible());
    EXPECT_EQ(w->focusWidget(), &pic());
    EXPECT_EQ(w->state().kadr, before);

    QTest::keyClick(&pic(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(w->focusWidget(), &field());
    EXPECT_EQ(field().selectedText(), QStringLiteral("ор")) << "the text kept, selected for the next";
    key(Qt::Key_Escape);
    EXPECT_EQ(w->focusWidget(), &pic());
}

TEST_F(QuickSearchTest, RussiaOnlyOffersRussiasPlacesAlone)
{
    startAndWait();
    trigger("mnuZdLight_RusOnly");
    type("ор");
    EXPECT_EQ(offered(), (QStringList{kOrel, kOrlovka}));
    key(Qt::Key_Escape);
    field().clear();
    type("белорус");
    EXPECT_FALSE(popup().isVisible()) << "neither the Belarusian railway nor its stations";
}

TEST_F(QuickSearchTest, AStationWithoutCoordinatesIsSaidAndNothingMoves)
{
    startAndWait();
    const Frame before = w->state().kadr;
    type("безым");
    key(Qt::Key_Return);
    EXPECT_EQ(takeBoxes(), QStringList{QStringLiteral("Станция не нанесена на схему: у неё нет координат")});
    EXPECT_EQ(w->state().kadr, before);
}

TEST_F(QuickSearchTest, TypedBeforeTheIndexIsBuiltIsLookedUpWhenItIs)
{
    start(networkSql());
    ASSERT_EQ(w->nameIndex(), nullptr) << "the index arrives through the event loop";
    type("орл");
    EXPECT_FALSE(popup().isVisible());
    for (int i = 0; i < 500 && !popup().isVisible(); ++i) QTest::qWait(5);
    EXPECT_EQ(offered(), QStringList{kOrlovka});
}
