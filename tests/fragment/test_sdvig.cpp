#include "fragment/CursorFile.h"
#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "render/PictureBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

// The whole scheme on a 1600 x 900 picture with a red line across it.
struct ShiftPic {
    ShiftPic()
    {
        pic.resize(1600, 900);
        pic.setScale(0.4, -1000, 84000.4, 36000);
        pic.setDrawWidth(3);
        pic.line(0, 17500, 84000, 17500, rgb(255, 0, 0));
        shown = pic.screenImage();
    }
    void press(float x, float y)
    {
        frag.SdvigPrepare(pic, QStringLiteral("/nonexistent/handgrab.cur"));
        frag.SdvigStep(1, x, y);
    }
    QPointF origin() const { return {pic.scaleLeft(), pic.scaleTop()}; }
    bool showsOnlyBackColour() { return pic.screenImage().pixelColor(800, 450) == QColor(0xE0, 0xE0, 0xE0); }
    PictureBox pic;
    Fragment frag;
    QImage shown;
};

} // namespace

TEST(Sdvig, SnapshotFollowsThePointerAndTheReleaseMovesTheOrigin)
{
    ShiftPic s;
    s.press(10000, 10000);
    SnapshotView* snap = s.pic.findChild<SnapshotView*>(QStringLiteral("PictSdvig"));
    ASSERT_EQ(snap, s.frag.pictSdvig());
    EXPECT_EQ(snap->geometry(), QRect(0, 0, 1600, 900));
    EXPECT_EQ(snap->grab().toImage().convertToFormat(QImage::Format_RGB32), s.shown);
    EXPECT_TRUE(s.showsOnlyBackColour());
    EXPECT_FALSE(s.pic.autoRedraw());

    s.frag.SdvigStep(2, 14200, 13700);   // 4200 x 3700 units = 80 x 90 px
    EXPECT_EQ(snap->pos(), QPoint(80, 90));
    s.frag.SdvigStep(2, 5800, 6300);
    EXPECT_EQ(snap->pos(), QPoint(-80, -90));
    EXPECT_EQ(s.origin(), QPointF(0.4, -1000));   // the scale holds still during the drag

    s.frag.SdvigStep(0, 12000, 11000);
    EXPECT_EQ(s.origin(), QPointF(0.4 - 2000, -2000));
    EXPECT_DOUBLE_EQ(s.pic.scaleWidth(), 84000);
    EXPECT_EQ(s.pic.findChild<SnapshotView*>(), nullptr);
    EXPECT_TRUE(s.pic.autoRedraw());
    EXPECT_EQ(s.pic.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(s.showsOnlyBackColour());   // until the caller renders the new frame

    s.frag.SdvigStep(-1, 0, 0);   // after a finished shift: back to the press's rounded origin
    EXPECT_EQ(s.origin(), QPointF(0, -1000));
}

TEST(Sdvig, CancelDuringTheDragShowsTheMapAgainUnchanged)
{
    ShiftPic s;
    s.press(10000, 10000);
    s.frag.SdvigStep(2, 30000, 20000);
    s.frag.SdvigStep(-1, 0, 0);
    EXPECT_EQ(s.origin(), QPointF(0, -1000));
    EXPECT_EQ(s.pic.findChild<SnapshotView*>(), nullptr);
    EXPECT_TRUE(s.pic.autoRedraw());
    EXPECT_EQ(s.pic.screenImage(), s.shown);
    EXPECT_EQ(s.pic.cursor().shape(), Qt::ArrowCursor);
}

TEST(Sdvig, MovesAndReleasesWithoutAPressChangeNothing)
{
    ShiftPic s;
    s.frag.SdvigStep(2, 5000, 5000);
    s.frag.SdvigStep(0, 5000, 5000);
    EXPECT_EQ(s.origin(), QPointF(0.4, -1000));
    Fragment earlier;   // leaves a snapshot control that the next shift takes over
    earlier.SdvigPrepare(s.pic, QString());
    s.press(10000, 10000);
    EXPECT_EQ(s.frag.pictSdvig(), earlier.pictSdvig());
    s.frag.SdvigStep(0, 11000, 11000);
    s.frag.SdvigStep(0, 20000, 20000);
    EXPECT_EQ(s.origin(), QPointF(0.4 - 1000, -2000));
    EXPECT_EQ(s.pic.findChild<SnapshotView*>(), nullptr);
}

TEST(Sdvig, PointerIsTheHandFromTheFileOrTheMoveShape)
{
    const QString hand = QStringLiteral(ZD_SOURCE_DIR "/data/beside/handgrab.cur");
    const std::optional<QCursor> cursor = loadCursorFile(hand);
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor->hotSpot(), QPoint(16, 16));
    EXPECT_EQ(cursor->pixmap().toImage().pixelColor(0, 0).alpha(), 0);

    QTemporaryDir dir;
    QFile::copy(hand, dir.filePath(QStringLiteral("HandGrab.CUR")));
    QFile junk(dir.filePath(QStringLiteral("junk.cur")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("no cursor here, just text") > 0);
    junk.close();
    struct Row { const char* name; QString path; Qt::CursorShape shape; };
    const Row rows[] = {
        {"beside, any case, backslash", dir.path() + QStringLiteral("\\handgrab.cur"), Qt::BitmapCursor},
        {"missing", dir.filePath(QStringLiteral("none.cur")), Qt::SizeAllCursor},
        {"unreadable", dir.filePath(QStringLiteral("junk.cur")), Qt::SizeAllCursor},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ShiftPic s;
        s.frag.SdvigPrepare(s.pic, r.path);
        EXPECT_EQ(s.pic.cursor().shape(), r.shape);
    }
}
