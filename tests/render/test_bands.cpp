// A frame drawn by the picture's helper threads, each owning stripes of rows, against the
// same frame drawn at once on one thread: the same pixels for every style of symbol, line
// width, name and marking, and a frame superseded while they draw leaves nothing behind.
#include "data/Database.h"
#include "render/Canvas.h"
#include "render/PictureBox.h"
#include "render/RenderFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

struct Map {
    Map(const QString& path, int threads, qreal ratio) : pic(QSize(1920, 1050), Dpi{96, 96}, ratio)
    {
        pic.setBandThreads(threads, 0);
        auto db = Database::open(path);
        EXPECT_TRUE(db.ok());
        if (!db) return;
        for (DataSource* d : {&sections, &stations}) d->setDatabase(*db);
        st.mainPic = &pic;
        st.mainPeregons = &sections.rows();
        st.scheme = schemeOf(**db);
    }
    static Frame schemeOf(Database& db)
    {
        auto rows = db.query(QStringLiteral("SELECT min(StnX), min(StnY), max(StnX), max(StnY) FROM Stn"));
        EXPECT_TRUE(rows.ok());
        const RowSet& r = *rows;
        return Frame{toLong(r.numberAt(0, 0)), toLong(r.numberAt(0, 1)), toLong(r.numberAt(0, 2)), toLong(r.numberAt(0, 3))};
    }
    Expected<FrameDrawn> render(const Frame& f, std::int16_t rusMode)
    {
        st.kadr = f;
        st.rusMode = rusMode;
        return renderFrame(st, pic, sections, stations, true);
    }
    Canvas pic;
    MapState st;
    DataSource sections, stations;
};

Frame around(const Frame& s, int zoom, double fx, double fy)
{
    const int w = (s.x2 - s.x1) / zoom, h = (s.y2 - s.y1) / zoom;
    const int x = s.x1 + static_cast<int>((s.x2 - s.x1) * fx), y = s.y1 + static_cast<int>((s.y2 - s.y1) * fy);
    return Frame{x - w / 2, y - h / 2, x + w / 2, y + h / 2};
}

// Whole scheme (thin lines, small symbols), and zoomed frames (wide lines, names, lengths),
// plain and with the CIS marked, at whole and fractional device pixel ratios.
void expectSamePixels(const QString& path)
{
    for (const qreal ratio : {1.0, 1.25}) {
        Map one(path, 0, ratio), two(path, 2, ratio), three(path, 3, ratio);
        const Frame s = one.st.scheme;
        for (const Frame& f : {s, around(s, 4, 0.4, 0.5), around(s, 16, 0.5, 0.5), around(s, 64, 0.3, 0.6)})
            for (const std::int16_t rus : {0, 2}) {
                SCOPED_TRACE(testing::Message() << "ratio " << ratio << ", frame " << f.x1 << "," << f.y1 << "–"
                                                << f.x2 << "," << f.y2 << ", marking " << rus);
                auto a = one.render(f, rus);
                ASSERT_TRUE(a.ok());
                for (Map* m : {&two, &three}) {
                    auto b = m->render(f, rus);
                    ASSERT_TRUE(b.ok());
                    EXPECT_EQ(*b, *a);
                    EXPECT_EQ(m->stations.rows().recordCount(), one.stations.rows().recordCount());
                    EXPECT_TRUE(m->pic.image() == one.pic.image());
                }
            }
    }
}

} // namespace

QString generated(QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("gen.db"));
    const int rc = QProcess::execute(QStringLiteral(ZD_BUILD_DIR "/zdgen"),
                                     {QStringLiteral("--stations"), QStringLiteral("30000"), QStringLiteral("--seed"),
                                      QStringLiteral("3"), QStringLiteral("--out"), path});
    EXPECT_EQ(rc, 0);
    return path;
}

TEST(Bands, DemoNetworkGivesTheOneThreadPixels) { expectSamePixels(QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb")); }

TEST(Bands, GeneratedNetworkGivesTheOneThreadPixels)
{
    QTemporaryDir dir;
    expectSamePixels(generated(dir));
}

// The map's window repaints while the helpers draw, showing what they have put in so far, and
// its picture in the end is the one-thread one.
TEST(Bands, WindowShowsTheDrawingAndEndsWithTheOneThreadPicture)
{
    QTemporaryDir dir;
    const QString path = generated(dir);
    PictureBox box;
    box.resize(1280, 720);
    box.show();
    QCoreApplication::processEvents();
    box.setBandThreads(2, 0);
    Map one(path, 0, box.devicePixelRatioF());
    one.pic.setPixelSize(box.size());
    auto db = Database::open(path);
    ASSERT_TRUE(db.ok());
    MapState st = one.st;
    st.mainPic = &box;
    DataSource sections, stations;
    for (DataSource* d : {&sections, &stations}) d->setDatabase(*db);
    st.mainPeregons = &sections.rows();
    int answered = 0;
    st.keepDrawing = [&] {
        ++answered;
        box.repaint();
        QCoreApplication::processEvents();
        return true;
    };
    st.kadr = one.st.scheme;
    PaintCounter counter;
    box.installEventFilter(&counter);
    ASSERT_TRUE(renderFrame(st, box, sections, stations, true).ok());
    box.removeEventFilter(&counter);
    EXPECT_GT(counter.paints, 0);
    one.pic.setScale(st.kadr);
    ASSERT_TRUE(one.render(st.kadr, 0).ok());
    EXPECT_GT(answered, 0);
    EXPECT_TRUE(box.image() == one.pic.image());
}

// A frame superseded at any point, during its rows or while the helpers still draw, then the
// next frame: the picture is the next frame's alone, as one thread would leave it.
TEST(Bands, SupersededFrameLeavesOnlyTheNextOne)
{
    const QString path = QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb");
    Map one(path, 0, 1), two(path, 2, 1);
    const Frame next = around(one.st.scheme, 4, 0.5, 0.5);
    ASSERT_TRUE(one.render(next, 0).ok());
    for (const int stopAt : {1, 2, 3, 5, 8, 13, 40}) {
        SCOPED_TRACE(stopAt);
        int asked = 0;
        two.st.keepDrawing = [&] { return ++asked < stopAt; };
        auto stopped = two.render(two.st.scheme, 0);
        ASSERT_TRUE(stopped.ok());
        if (asked >= stopAt) {
            EXPECT_EQ(*stopped, FrameDrawn::Superseded);
        }
        two.st.keepDrawing = nullptr;
        auto drawn = two.render(next, 0);
        ASSERT_TRUE(drawn.ok());
        EXPECT_EQ(*drawn, FrameDrawn::Drawn);
        EXPECT_TRUE(two.pic.image() == one.pic.image());
    }
}
