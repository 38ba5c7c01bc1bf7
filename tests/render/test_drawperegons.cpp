#include "TestDb.h"
#include "data/Database.h"
#include "data/Queries.h"
#include "render/DrawPeregons.h"
#include "render/PictureBox.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

class Sections : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString p = dir.filePath("ZdShort.mdb");
        ASSERT_TRUE(zdtest::writeSqlite(p, zdtest::sampleNetworkSql()));
        auto opened = Database::open(p);
        ASSERT_TRUE(opened.ok());
        db = *opened;
        auto rs = db->query(frameSectionsSql({0, 0, 10000, 5000}, QString()));
        ASSERT_TRUE(rs.ok());
        rows = std::move(rs.value());
        pic.resize(400, 200);
        pic.setScale(0, 0, 10000, 5000);
        st.mainPic = &pic;
        st.mainPeregons = &rows;
        st.kadr = {0, 0, 84000, 5000};   // too wide for length labels
    }
    int countDark()
    {
        const QImage img = pic.image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 90;
        return n;
    }
    QTemporaryDir dir;
    std::shared_ptr<Database> db;
    RowSet rows;
    PictureBox pic;
    MapState st;
};

const QColor kNet(128, 128, 0);

} // namespace

TEST_F(Sections, MidpointHasTheColourAndTheLineWidthFollowsTheScale)
{
    struct Case { const char* name; float scale; int width; };
    for (const Case c : {Case{"just below 0.6", 0.59999f, 1}, Case{"exactly 0.6", 0.6f, 2}}) {
        SCOPED_TRACE(c.name);
        pic.clearPicture();
        st.kadrScale = c.scale;
        DrawPeregons(st, pic, rows, st.palette.net);
        EXPECT_EQ(pic.pixel(5000, 3000), kNet);   // section 101-200 runs along y = 3000
        const int thick = pic.pixel(5000, 3000 + 25) == kNet ? 2 : (pic.pixel(5000, 3000 - 25) == kNet ? 2 : 1);
        EXPECT_EQ(thick, c.width);
        EXPECT_EQ(pic.drawWidth(), 1);
    }
}

TEST_F(Sections, MarkingModeTwoPalesSectionsOutsideRussia)
{
    st.rusMode = 2;
    const Color highlight = rgb(0, 192, 192);
    DrawPeregons(st, pic, rows, highlight);
    EXPECT_EQ(pic.pixel(5000, 3000), QColor(205, 205, 154));   // Belarusian railway
    EXPECT_EQ(pic.pixel(1500, 1500), QColor(0, 192, 192));     // Russian railway keeps the colour
}

TEST_F(Sections, LengthLabelsOnlyInFramesNarrowerThanAQuarterOfTheScheme)
{
    st.kadrScale = 1;
    st.kadr = {0, 0, 21000, 5000};
    DrawPeregons(st, pic, rows, st.palette.net);
    EXPECT_EQ(countDark(), 0);
    st.kadr = {0, 0, 20999, 5000};
    DrawPeregons(st, pic, rows, st.palette.net);
    EXPECT_GT(countDark(), 0);
    EXPECT_TRUE(pic.fontTransparent());
    EXPECT_EQ(pic.fontSize(), 6);
}
