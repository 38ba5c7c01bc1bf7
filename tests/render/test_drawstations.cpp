#include "TestDb.h"
#include "data/Database.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"
#include "data/RowSet.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QColor kNet(128, 128, 0), kBack(0xE0, 0xE0, 0xE0), kGrey(192, 192, 192);

struct Map {
    Map()
    {
        pic.resize(400, 400);
        pic.setScale(0, 0, 10000, 10000);
        st.kadrScale = 16;   // sqrt = 4: circle of type 9 has R = 4 * 5000 / 40 = 500 map units
        pic.setFillStyle(PictureBox::FillSolid);
        pic.setFillColor(st.palette.net);
        pic.setDrawWidth(2);
    }
    PictureBox pic;
    MapState st;
};

} // namespace

TEST(StationSymbols, CentreOfARailwayShowsItsInnerRing)
{
    Map m;
    DrawStnSymbol(m.st, m.pic, 5000, 5000, 9, m.st.palette.net);
    EXPECT_EQ(m.st.stnRadius, 500);
    EXPECT_EQ(m.pic.pixel(5000, 5000), kNet);
    EXPECT_EQ(m.pic.pixel(5000 + 375, 5000), kGrey);   // the ring at 0.75 R
    EXPECT_EQ(m.pic.pixel(5000 + 700, 5000), kBack);
}

TEST(StationSymbols, JunctionIsAFilledTrianglePointingUp)
{
    Map m;
    const Color red = rgb(255, 0, 0);
    DrawStnSymbol(m.st, m.pic, 5000, 5000, 8, red);   // a = 400, b = 500
    EXPECT_EQ(m.pic.pixel(5000, 5300), QColor(255, 0, 0));
    EXPECT_EQ(m.pic.pixel(5000 - 350, 5400), QColor(255, 0, 0));   // wide at the bottom
    EXPECT_EQ(m.pic.pixel(5000 - 350, 4600), kBack);               // narrow at the top
    EXPECT_EQ(m.pic.drawWidth(), 2);                               // settings given back
}

TEST(StationSymbols, SizesByTypeAndTheFarScale)
{
    struct Case { const char* name; float scale; std::int16_t tip; int radius; };
    const Case cases[] = {
        {"type 9 near", 0.31f, 9, 70},      // sqrt(.31)*5000/40 = 69.6
        {"type 9 at 0.3 grows", 0.3f, 9, 102},   // round(68.5) = 68, * 1.5 = 102
        {"type 7 at 0.3 grows", 0.3f, 7, 56},    // round(36.51) = 37, * 1.5 = 55.5 -> 56
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Map m;
        m.st.kadrScale = c.scale;
        DrawStnSymbol(m.st, m.pic, 5000, 5000, c.tip, m.st.palette.net);
        EXPECT_NEAR(m.st.stnRadius, c.radius, 1);
    }
}

TEST(StationSymbols, PreviewUsesItsFixedScaleAndNoInnerRing)
{
    Map m;
    m.pic.setPreview(true);
    m.st.kadrScale = 0.01f;
    DrawStnSymbol(m.st, m.pic, 5000, 5000, 9, m.st.palette.net);
    EXPECT_EQ(m.st.stnRadius, toLong(std::sqrt(5.0f) * 5000 / 40));
    EXPECT_EQ(m.pic.pixel(5000 + 210, 5000), kNet);   // no grey ring inside
    EXPECT_FLOAT_EQ(m.st.kadrScale, 0.01f);
}

TEST(StationSymbols, AlwaysNamedCodes)
{
    EXPECT_TRUE(isAlwaysNamed(1840));
    EXPECT_TRUE(isAlwaysNamed(7060));
    EXPECT_FALSE(isAlwaysNamed(1841));
}

namespace {

// Dark pixels of printed names in the picture.
int darkPixels(PictureBox& pic)
{
    const QImage img = pic.image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 90;
    return n;
}

RowSet stationRows(const QString& dirPath, const QString& values)
{
    const QString p = dirPath + "/names.mdb";
    zdtest::writeSqlite(p, zdtest::schemaSql() + "INSERT INTO Contry VALUES('11','Россия');"
                           "INSERT INTO Doroga VALUES('1','Д',0,0,1,1,'1','Ц','11');"
                           "INSERT INTO Stn VALUES" + values + ";");
    auto db = Database::open(p);
    EXPECT_TRUE(db.ok());
    auto rs = (*db)->query("SELECT KodStn, NazStn, StnX, StnY, TipStn, StnBranch, KodContry FROM Stn, Doroga "
                           "WHERE Stn.KodDor = Doroga.KodDor");
    EXPECT_TRUE(rs.ok());
    return std::move(rs.value());
}

} // namespace

TEST(StationNames, ShownByTypeAndScaleThresholds)
{
    QTemporaryDir dir;
    struct Case { const char* name; const char* row; float scale; bool shown; };
    const Case cases[] = {
        {"ordinary below 1.1", "('5','Станция',5000,5000,'1',5,0)", 1.09f, false},
        {"ordinary at 1.1", "('5','Станция',5000,5000,'1',5,0)", 1.1f, true},
        {"division centre below 0.25", "('5','Станция',5000,5000,'1',7,0)", 0.24f, false},
        {"division centre at 0.25", "('5','Станция',5000,5000,'1',7,0)", 0.25f, true},
        {"railway centre always", "('5','Станция',5000,5000,'1',9,0)", 0.01f, true},
        {"always named code", "('1840','Станция',5000,5000,'1',3,0)", 0.01f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Map m;
        m.st.kadrScale = c.scale;
        RowSet rows = stationRows(dir.path(), QString::fromUtf8(c.row));
        ASSERT_EQ(rows.recordCount(), 1);
        DrawStnNames(m.st, m.pic, rows);
        EXPECT_EQ(darkPixels(m.pic) > 0, c.shown);
        EXPECT_TRUE(m.pic.fontTransparent());
        EXPECT_FALSE(m.pic.fontBold());
    }
}
