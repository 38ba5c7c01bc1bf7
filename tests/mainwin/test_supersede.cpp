// Input that comes while a frame is drawn: held, it stops the frame and runs after it; a frame
// command it gives replaces the frame, anything else lets the frame be drawn again.
#include "MapWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>

using namespace zd;

namespace {

const Frame kPart{0, 0, 6000, 4000};   // about the first stations of the sample network

class Supersede : public zdtest::MapWindowTest {
protected:
    // The sample network and a line at the scheme's centre, which "Ближе" keeps in its frame.
    void start()
    {
        MapWindowTest::start(zdtest::sampleNetworkSql() + QStringLiteral(
            "INSERT INTO Stn VALUES('300','Центральная',42000,17500,'1',9,0),('301','Северная',42000,16000,'1',5,0);"
            "INSERT INTO Peregon VALUES('300','301',42000,17500,42000,16000,80,'1',1,2);"));
    }
    // A click posted now reaches the window at the first moment a frame lets it answer.
    void postClick(QWidget* target)
    {
        const QPointF at = QRectF(target->rect()).center();
        const QPointF global = target->mapToGlobal(at);
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(target, new QMouseEvent(t, at, global, Qt::LeftButton,
                                                                t == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                              : Qt::NoButton,
                                                                Qt::NoModifier));
    }
    QWidget* toolButton(const char* key)
    {
        return w->findChild<QToolBar*>()->widgetForAction(w->button(QLatin1String(key)));
    }
    void settle()
    {
        for (int i = 0; i < 10; ++i) QApplication::processEvents();
    }
    std::vector<Frame> frames()
    {
        std::vector<Frame> out;
        for (int c = 1; c <= w->history().count(); ++c) out.push_back(w->history().at(c));
        return out;
    }
    // The whole scheme asked for from a part of it, with a click on `target` while it is drawn.
    void wholeSchemeWithClickOn(QWidget* target)
    {
        showFrame(kPart);
        postClick(target);
        trigger("mnuMagist_Frag0");
        settle();
    }
};

// "Ближе" clicked while the whole scheme is drawn: the frame and the picture are those of the
// whole scheme and then "Ближе", and the whole scheme leaves no entry in the history.
TEST_F(Supersede, AFrameCommandDuringAFrameReplacesIt)
{
    start();
    trigger("mnuMagist_Frag0");
    press("mnuMagist_Near");
    const Frame near = w->state().kadr;
    const bool frag0 = itemOn("mnuMagist_Frag0");
    const QImage expected = pic().image();
    const QStringList expectedBoxes = takeBoxes();
    ASSERT_NE(near, w->state().scheme);
    w.reset();

    start();
    const Frame schemeFrame = w->state().kadr;
    wholeSchemeWithClickOn(toolButton("mnuMagist_Near"));
    EXPECT_EQ(w->state().kadr, near);
    EXPECT_EQ(pic().image(), expected);
    EXPECT_EQ(frames(), (std::vector<Frame>{schemeFrame, kPart, near}));
    EXPECT_EQ(itemOn("mnuMagist_Frag0"), frag0);
    EXPECT_TRUE(itemOn("mnuKadrBack"));
    EXPECT_FALSE(w->rendering());
    EXPECT_EQ(takeBoxes(), expectedBoxes);
}

// A click that starts no frame: the stopped frame is drawn again, as if it had not been
// stopped, with its history entry.
TEST_F(Supersede, OtherInputLetsTheFrameBeDrawnAgain)
{
    start();
    const Frame schemeFrame = w->state().kadr;
    const QImage whole = pic().image();
    wholeSchemeWithClickOn(w->statusBar());
    EXPECT_EQ(w->state().kadr, schemeFrame);
    EXPECT_EQ(pic().image(), whole);
    EXPECT_EQ(frames(), (std::vector<Frame>{schemeFrame, kPart, schemeFrame}));
    EXPECT_TRUE(itemOn("mnuMagist"));
}

} // namespace
