#include "TestDb.h"
#include "data/Database.h"
#include "data/Queries.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
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

// A row with an empty coordinate adds nothing to the picture (read as 0 it would draw a
// line, a symbol or a name at the map's edge): the sample network drawn with such rows
// gives the same picture as without them.
TEST(NullCoordinates, RowsWithoutACoordinateAddNothingToThePicture)
{
    const QString extra = QStringLiteral(
        "INSERT INTO Stn VALUES('500','Без абсциссы',NULL,4000,'1',9,0),('501','Без ординаты',4000,NULL,'1',7,0);"
        "INSERT INTO Peregon VALUES('500','501',NULL,4000,5000,4000,300,'1',2,3),"
        " ('501','500',5000,4500,6000,NULL,300,'1',2,3),('500','201',3000,NULL,NULL,2000,300,'2',2,3);");
    const QString sections = QStringLiteral("SELECT * FROM Peregon, Doroga WHERE Doroga.KodDor = Peregon.KodDor");
    const QString stations = QStringLiteral(
        "SELECT KodStn, NazStn, StnX, StnY, Stn.KodDor, TipStn, StnBranch, Doroga.KodDor, Doroga.KodContry "
        "FROM Stn, Doroga WHERE Doroga.KodDor = Stn.KodDor Order by TipStn ASC");
    auto draw = [&](const QString& script, int rusMode) {
        QTemporaryDir dir;
        const QString p = dir.filePath("ZdShort.mdb");
        EXPECT_TRUE(zdtest::writeSqlite(p, script));
        auto db = Database::open(p);
        EXPECT_TRUE(db.ok());
        if (!db.ok()) return QImage();
        auto per = (*db)->query(sections);
        auto stn = (*db)->query(stations);
        EXPECT_TRUE(per.ok() && stn.ok());
        if (!per.ok() || !stn.ok()) return QImage();
        PictureBox pic;
        pic.resize(400, 200);
        pic.setScale(0, 0, 10000, 5000);
        MapState st;
        st.mainPic = &pic;
        st.mainPeregons = &per.value();
        st.kadr = {0, 0, 10000, 5000};   // narrow enough for the length labels
        st.kadrScale = 16;               // every name shown
        st.rusMode = static_cast<std::int16_t>(rusMode);
        DrawPeregons(st, pic, per.value(), st.palette.net);
        DrawStations(st, pic, stn.value(), st.palette.net);
        DrawStnNames(st, pic, stn.value());
        return pic.image();
    };
    for (int rusMode : {0, 2}) {
        SCOPED_TRACE(rusMode);
        const QImage plain = draw(zdtest::sampleNetworkSql(), rusMode);
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(draw(zdtest::sampleNetworkSql() + extra, rusMode), plain);
    }
}
