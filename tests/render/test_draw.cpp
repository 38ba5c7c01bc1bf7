// The drawing routines of sections, station symbols and names on a picture without a
// window, checked at known map points.
#include "TestDb.h"
#include "data/Database.h"
#include "data/Queries.h"
#include "render/DrawPeregons.h"
#include "render/Canvas.h"
#include "render/DrawStations.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QColor kNet(128, 128, 0), kBack(0xE0, 0xE0, 0xE0), kGrey(192, 192, 192), kRed(255, 0, 0);

// The rows of a query on the database of a script.
RowSet rowsOf(const QString& script, const QString& sql)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("ZdShort.mdb");
    EXPECT_TRUE(zdtest::writeSqlite(p, script));
    auto db = Database::open(p);
    EXPECT_TRUE(db.ok());
    if (!db) return {};
    auto rs = (*db)->query(sql);
    EXPECT_TRUE(rs.ok());
    return rs ? std::move(rs.value()) : RowSet();
}

// Dark pixels: those of printed names.
int darkPixels(Canvas& pic)
{
    const QImage img = pic.image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 90;
    return n;
}

// A picture of the map units given, filled in the network colour as the renderer leaves it
// for symbols.
struct Map {
    Map(QSize size, const Frame& f)
        : pic(size)
    {
        pic.setScale(f);
        pic.setFillStyle(Canvas::FillSolid);
        pic.setFillColor(st.palette.net);
        pic.setDrawWidth(2);
        st.mainPic = &pic;   // the length labels go on the main picture
        st.kadr = f;
        st.kadrScale = 16;   // every name shown; sqrt = 4: a type 9 circle has R = 4 * 5000 / 40 = 500
    }
    Canvas pic;
    MapState st;
};

const QString kSections = frameSectionsSql({0, 0, 10000, 5000}, QString());

} // namespace

TEST(Sections, ColourWidthPaleCountriesAndLengthLabels)
{
    RowSet rows = rowsOf(zdtest::sampleNetworkSql(), kSections);
    Map m(QSize(400, 200), {0, 0, 10000, 5000});
    m.pic.setDrawWidth(1);
    m.st.mainPeregons = &rows;
    m.st.kadr = {0, 0, 84000, 5000};   // too wide for length labels
    struct Case { const char* name; float scale; int width; };
    for (const Case c : {Case{"just below 0.6", 0.59999f, 1}, Case{"exactly 0.6", 0.6f, 2}}) {
        SCOPED_TRACE(c.name);
        m.pic.clearPicture();
        m.st.kadrScale = c.scale;
        DrawPeregons(m.st, m.pic, rows, m.st.palette.net);
        EXPECT_EQ(m.pic.pixel(5000, 3000), kNet);   // section 101-200 runs along y = 3000
        const bool thick = m.pic.pixel(5000, 3000 + 25) == kNet || m.pic.pixel(5000, 3000 - 25) == kNet;
        EXPECT_EQ(thick ? 2 : 1, c.width);
        EXPECT_EQ(m.pic.drawWidth(), 1);
        EXPECT_EQ(darkPixels(m.pic), 0);
    }

    m.st.rusMode = 2;   // the Belarusian railway pale, the Russian one in the colour
    DrawPeregons(m.st, m.pic, rows, rgb(0, 192, 192));
    EXPECT_EQ(m.pic.pixel(5000, 3000), QColor(205, 205, 154));
    EXPECT_EQ(m.pic.pixel(1500, 1500), QColor(0, 192, 192));

    // Length labels only in frames narrower than a quarter of the scheme.
    m.st.rusMode = 0;
    m.st.kadrScale = 1;
    m.st.kadr = {0, 0, 21000, 5000};
    DrawPeregons(m.st, m.pic, rows, m.st.palette.net);
    EXPECT_EQ(darkPixels(m.pic), 0);
    m.st.kadr = {0, 0, 20999, 5000};
    DrawPeregons(m.st, m.pic, rows, m.st.palette.net);
    EXPECT_GT(darkPixels(m.pic), 0);
    EXPECT_TRUE(m.pic.fontTransparent());
    EXPECT_EQ(m.pic.fontSize(), 6);
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
        RowSet per = rowsOf(script, sections), stn = rowsOf(script, stations);
        Map m(QSize(400, 200), {0, 0, 10000, 5000});   // narrow enough for the length labels
        m.st.rusMode = static_cast<std::int16_t>(rusMode);
        m.st.mainPeregons = &per;
        DrawPeregons(m.st, m.pic, per, m.st.palette.net);
        DrawStations(m.st, m.pic, stn, m.st.palette.net);
        DrawStnNames(m.st, m.pic, stn);
        return m.pic.image();
    };
    for (int rusMode : {0, 2}) {
        SCOPED_TRACE(rusMode);
        const QImage plain = draw(zdtest::sampleNetworkSql(), rusMode);
        EXPECT_GT(plain.width(), 1);
        EXPECT_EQ(draw(zdtest::sampleNetworkSql() + extra, rusMode), plain);
    }
}

TEST(StationSymbols, ShapeByTypeAtKnownPoints)
{
    struct Probe { int dx, dy; QColor colour; };
    struct Case { const char* name; std::int16_t tip; bool preview; float scale; std::vector<Probe> probes; };
    const Case cases[] = {
        {"centre of a railway: its inner ring at 0.75 R", 9, false, 16, {{0, 0, kNet}, {375, 0, kGrey}, {700, 0, kBack}}},
        // a = 400, b = 500
        {"junction: a filled triangle pointing up", 8, false, 16, {{0, 300, kRed}, {-350, 400, kRed}, {-350, -400, kBack}}},
        {"preview: its own fixed scale, no inner ring", 9, true, 0.01f, {{0, 0, kNet}, {210, 0, kNet}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Map m(QSize(400, 400), {0, 0, 10000, 10000});
        m.pic.setPreview(c.preview);
        m.st.kadrScale = c.scale;
        DrawStnSymbol(m.st, m.pic, 5000, 5000, c.tip, fromQColor(kRed));
        for (const Probe& p : c.probes) EXPECT_EQ(m.pic.pixel(5000 + p.dx, 5000 + p.dy), p.colour) << p.dx << "," << p.dy;
        EXPECT_EQ(m.pic.drawWidth(), 2);   // settings given back
        EXPECT_FLOAT_EQ(m.st.kadrScale, c.scale);
    }
}

TEST(StationSymbols, SizesByTypeAndTheFarScale)
{
    struct Case { const char* name; float scale; std::int16_t tip; int radius; bool preview; };
    const Case cases[] = {
        {"type 9 near", 0.31f, 9, 70, false},        // sqrt(.31)*5000/40 = 69.6
        {"type 9 at 0.3 grows", 0.3f, 9, 102, false},   // round(68.5) = 68, * 1.5 = 102
        {"type 7 at 0.3 grows", 0.3f, 7, 56, false},    // round(36.51) = 37, * 1.5 = 55.5 -> 56
        {"preview", 0.01f, 9, 280, true},               // sqrt(5)*5000/40 = 279.5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Map m(QSize(400, 400), {0, 0, 10000, 10000});
        m.pic.setPreview(c.preview);
        m.st.kadrScale = c.scale;
        DrawStnSymbol(m.st, m.pic, 5000, 5000, c.tip, m.st.palette.net);
        EXPECT_NEAR(m.st.stnRadius, c.radius, 1);
    }
}

TEST(StationNames, ShownByTypeAndScaleThresholds)
{
    struct Case { const char* name; const char* row; float scale; bool shown; };
    const Case cases[] = {
        {"ordinary below 1.1", "('5','Станция',5000,5000,'1',5,0)", 1.09f, false},
        {"ordinary at 1.1", "('5','Станция',5000,5000,'1',5,0)", 1.1f, true},
        {"division centre below 0.25", "('5','Станция',5000,5000,'1',7,0)", 0.24f, false},
        {"division centre at 0.25", "('5','Станция',5000,5000,'1',7,0)", 0.25f, true},
        {"railway centre always", "('5','Станция',5000,5000,'1',9,0)", 0.01f, true},
        {"always named code", "('1840','Станция',5000,5000,'1',3,0)", 0.01f, true},
        {"other code", "('1841','Станция',5000,5000,'1',3,0)", 0.01f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Map m(QSize(400, 400), {0, 0, 10000, 10000});
        m.st.kadrScale = c.scale;
        RowSet rows = rowsOf(zdtest::schemaSql() + "INSERT INTO Contry VALUES('11','Россия');"
                             "INSERT INTO Doroga VALUES('1','Д',0,0,1,1,'1','Ц','11');INSERT INTO Stn VALUES"
                             + QString::fromUtf8(c.row) + ";",
                             "SELECT KodStn, NazStn, StnX, StnY, TipStn, StnBranch, KodContry FROM Stn, Doroga "
                             "WHERE Stn.KodDor = Doroga.KodDor");
        ASSERT_EQ(rows.recordCount(), 1);
        DrawStnNames(m.st, m.pic, rows);
        EXPECT_EQ(darkPixels(m.pic) > 0, c.shown);
        EXPECT_TRUE(m.pic.fontTransparent());
        EXPECT_FALSE(m.pic.fontBold());
    }
}
