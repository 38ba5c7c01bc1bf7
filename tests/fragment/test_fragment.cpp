#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "render/PictureBox.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const float kAspect = 84000.0f / 37000.0f;

// The whole scheme on a 1600 x 900 picture: y grows downward.
struct SchemePic {
    SchemePic() { pic.resize(1600, 900); pic.setScale(0, -1000, 84000, 36000); }
    void drawFrame(float x0, float y0, float x1, float y1)
    {
        frag.FragDown(pic, x0, y0);
        frag.FragMove(x1, y1);
        frag.FragUp();
    }
    QRectF mapRect() const
    {
        const RamkaShape* r = frag.ramka();
        return r ? QRectF(r->mapLeft(), r->mapTop(), r->mapWidth(), r->mapHeight()) : QRectF();
    }
    PictureBox pic;
    Fragment frag;
};

} // namespace

TEST(Fragment, FrameKeepsTheAspectAndIsCompleteFromAHundredthOfTheWidth)
{
    struct Row { const char* name; float x1, y1; QRectF rect; bool complete; };
    const Row rows[] = {
        {"wide, down-right", 5000, 2000, {1000, 1000, 4000, 4000 / kAspect}, true},
        {"tall, down-left", 0, 4000, {0, 1000, 3000 * kAspect, 3000}, true},
        {"wide, up-left: left and top at the pointer", -1000, 500, {-1000, 500, 2000, 2000 / kAspect}, true},
        {"tall, up-left", 500, -2000, {500, -2000, 3000 * kAspect, 3000}, true},
        {"exactly 1/100 wide", 1840, 1001, {1000, 1000, 840, 840 / kAspect}, true},
        {"just under 1/100", 1839.875f, 1001, {1000, 1000, 839.875, 839.875f / kAspect}, false},
        {"no vertical movement", 5000, 1000, {1000, 1000, 0, 0}, false},
        {"no horizontal movement", 1000, 5000, {1000, 1000, 0, 0}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SchemePic s;
        s.drawFrame(1000, 1000, r.x1, r.y1);
        EXPECT_EQ(s.mapRect(), r.rect);
        EXPECT_EQ(s.frag.frameComplete(), r.complete);
        EXPECT_EQ(s.frag.fragActive(), r.complete);
        EXPECT_EQ(s.frag.ramka()->isVisibleTo(&s.pic), r.complete);
    }
    SchemePic deep;   // the same test on screen at any zoom: 168 units over 1600 px
    deep.pic.setScale(40000, 10000, 40168, 10074);
    deep.drawFrame(40010, 10010, 40012, 10011);
    EXPECT_TRUE(deep.frag.frameComplete());
}

TEST(Fragment, FrameIsAnUnfilledOutlineInMapUnitsThatLetsThePointerThrough)
{
    SchemePic s;
    s.pic.setBackColor(rgb(255, 255, 255));
    s.pic.cls();
    s.pic.show();
    s.drawFrame(8400, 2700, 16800, 3000);   // from pixel (160, 90), 8400 x 3700 units
    const RamkaShape* ramka = s.pic.findChild<RamkaShape*>(QStringLiteral("Ramka"));
    ASSERT_EQ(ramka, s.frag.ramka());
    const QRect g = ramka->geometry();
    EXPECT_EQ(g, QRect(QPoint(160, 90), QPoint(320, 180)));
    EXPECT_TRUE(ramka->testAttribute(Qt::WA_TransparentForMouseEvents));
    QApplication::processEvents();
    const QImage shot = s.pic.grab().toImage();
    const QColor text = ramka->palette().color(QPalette::WindowText);
    EXPECT_EQ(shot.pixelColor(g.left(), g.center().y()), text);
    EXPECT_EQ(shot.pixelColor(g.center().x(), g.bottom()), text);
    EXPECT_EQ(shot.pixelColor(g.center()), QColor(255, 255, 255));
}

TEST(Fragment, CompleteFrameMovesOnlyWhenGrabbedInside)
{
    struct Row { const char* name; float px, py, mx, my; QPointF topLeft; Qt::CursorShape cursor; };
    const Row rows[] = {   // the frame: left 2000, top 2000, 10000 x 4405
        {"pressed inside", 3000, 3000, 4000, 3500, {3000, 2500}, Qt::SizeAllCursor},
        {"pressed on the corner", 2000, 2000, 2500, 2400, {2500, 2400}, Qt::SizeAllCursor},
        {"pressed outside", 50000, 30000, 51000, 31000, {2000, 2000}, Qt::ArrowCursor},
        {"pressed outside, dragged into it", 20000, 3000, 11000, 3000, {2000, 2000}, Qt::SizeAllCursor},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SchemePic s;
        s.drawFrame(2000, 2000, 12000, 3000);
        const QSizeF size = s.mapRect().size();
        s.frag.FragDown(s.pic, r.px, r.py);
        s.frag.FragMove(r.mx, r.my);
        EXPECT_EQ(s.mapRect(), QRectF(r.topLeft, size));
        EXPECT_EQ(s.pic.cursor().shape(), r.cursor);
        s.frag.FragUp();
        EXPECT_TRUE(s.frag.frameComplete());
    }
}

TEST(Fragment, AppliedFrameIsHandedBackThroughTheScale)
{
    SchemePic s;
    s.drawFrame(10000, 8000, 4000, 3000);   // up-left: left 4000, top 3000
    s.frag.FragMove(5000, 4000);
    ASSERT_EQ(s.pic.cursor().shape(), Qt::SizeAllCursor);
    const QRectF frame = s.mapRect();
    s.frag.FragEnd(QString());
    EXPECT_DOUBLE_EQ(s.pic.scaleLeft(), frame.left());
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), frame.width());
    EXPECT_DOUBLE_EQ(s.pic.scaleHeight(), frame.height());
    EXPECT_EQ(toLong(s.pic.scaleTop() - s.pic.scaleHeight()), 3000);   // top − height = upper edge
    EXPECT_EQ(toLong(s.pic.scaleLeft() + s.pic.scaleWidth()), 10000);
    EXPECT_EQ(s.pic.findChild<RamkaShape*>(), nullptr);
    EXPECT_FALSE(s.frag.fragActive());
    EXPECT_EQ(s.pic.cursor().shape(), Qt::ArrowCursor);

    PictureBox up;   // y grows upward: the scale top is the frame's upper edge
    up.resize(1000, 1000);
    up.setScale(0, 1000, 1000, 0);
    Fragment frag;
    frag.FragDown(up, 100, 900);
    frag.FragMove(500, 700);
    EXPECT_EQ(frag.ramka()->geometry(), QRect(QPoint(100, 100), QPoint(500, 500)));
    frag.FragUp();
    frag.FragEnd(QString());
    EXPECT_EQ(QRectF(up.scaleLeft(), up.scaleTop(), up.scaleWidth(), up.scaleHeight()), QRectF(100, 900, 400, 400));
}

TEST(Fragment, EndWithoutUsableFrameOrWithEscLeavesTheScale)
{
    struct Row { const char* name; bool draw; float x1, y1; const char* command; };
    const Row rows[] = {
        {"no frame ever drawn", false, 0, 0, ""},
        {"zero-size frame applied", true, 1000, 1000, ""},
        {"complete frame, Esc", true, 12000, 3000, "ESC"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SchemePic s;
        if (r.draw) s.drawFrame(1000, 1000, r.x1, r.y1);
        s.frag.FragEnd(QString::fromLatin1(r.command));
        EXPECT_EQ(QRectF(s.pic.scaleLeft(), s.pic.scaleTop(), s.pic.scaleWidth(), s.pic.scaleHeight()),
                  QRectF(0, -1000, 84000, 37000));
        EXPECT_EQ(s.pic.findChild<RamkaShape*>(), nullptr);
        EXPECT_FALSE(s.frag.fragActive());
    }
}

TEST(Fragment, RamkaAlreadyOnThePictureIsTolerated)
{
    SchemePic s;
    {
        Fragment earlier;
        earlier.FragDown(s.pic, 1000, 1000);
        earlier.FragUp();   // too small: its control stays on the picture
    }
    QWidget foreign(&s.pic);
    foreign.setObjectName(QStringLiteral("Ramka"));
    s.drawFrame(2000, 2000, 12000, 3000);
    EXPECT_TRUE(s.frag.frameComplete());
    EXPECT_EQ(s.pic.findChildren<RamkaShape*>().size(), 1);
    s.frag.FragEnd(QStringLiteral("ESC"));
    EXPECT_EQ(s.pic.findChild<QWidget*>(QStringLiteral("Ramka")), &foreign);
}
