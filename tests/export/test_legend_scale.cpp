// The legend's symbols against the renderer's own, and the scale bar on networks of known
// lengths.
#include "TestDb.h"
#include "data/Database.h"
#include "export/ExportRender.h"
#include "export/Legend.h"
#include "render/Canvas.h"
#include "render/RenderFrame.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QColor kMapBack(0xE0, 0xE0, 0xE0);

std::shared_ptr<Database> network(QTemporaryDir& dir, const QString& rows)
{
    const QString path = dir.filePath(QStringLiteral("net.db"));
    if (!zdtest::writeSqlite(path, zdtest::schemaSql() + rows)) return nullptr;
    auto db = Database::open(path);
    EXPECT_TRUE(db);
    return db ? *db : nullptr;
}

// The pixels of a symbol around a point: each differs from its picture's background.
std::vector<std::pair<QPoint, QRgb>> symbolAt(const QImage& img, QPoint centre, QColor back, int radius = 30)
{
    std::vector<std::pair<QPoint, QRgb>> out;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (img.valid(p) && img.pixelColor(p) != back) out.push_back({QPoint(dx, dy), img.pixel(p)});
        }
    return out;
}

} // namespace

TEST(Legend, SymbolsAreTheRenderersPixels)
{
    // Stations of each type without names, far apart, and one section in a corner; 10 map
    // units a pixel, so that whole map units fall on whole pixels as the legend's do.
    QTemporaryDir dir;
    auto db = network(dir, QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,8000,4000,'1','А','11');"
        "INSERT INTO Stn VALUES('1',NULL,1000,1000,'1',9,0),('2',NULL,2500,1000,'1',8,0),('3',NULL,4000,1000,'1',7,0),"
        " ('4',NULL,1000,2500,'1',5,0),('5',NULL,2500,2500,'1',1,0);"
        "INSERT INTO Peregon VALUES('8','9',6000,3500,7600,3500,50,'1',1,2);"));
    ASSERT_TRUE(db);
    for (std::int16_t rusMode : {0, 2}) {
        SCOPED_TRACE(rusMode);
        MapState st;
        st.kadr = Frame{0, 0, 8000, 4000};
        st.rusMode = rusMode;
        Canvas map(QSize(800, 400));
        DataSource sections, stations;
        sections.setDatabase(db);
        stations.setDatabase(db);
        ASSERT_TRUE(renderFrame(st, map, sections, stations, true));
        const QImage mapImage = map.image();

        auto legend = Legend::make(st, map.view(), *db, legendEntries(st, {}));
        ASSERT_TRUE(legend);
        QImage image(legend->size().toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        legend->draw(p, QPointF(0, 0));
        p.end();
        const QPoint stationsAt[] = {{100, 100}, {250, 100}, {400, 100}, {100, 250}, {250, 250}};
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(legend->entry(row).caption.toStdString());
            EXPECT_EQ(legend->entry(row).kind, LegendEntry::Station);
            const QPoint anchor = legend->anchor(row, QPointF(0, 0)).toPoint();
            const auto onMap = symbolAt(mapImage, stationsAt[row], kMapBack, 12);
            const auto inLegend = symbolAt(image, anchor, Qt::white, 12);
            EXPECT_FALSE(onMap.empty());
            EXPECT_EQ(onMap, inLegend);
        }
        EXPECT_EQ(legend->entry(5).kind, LegendEntry::Section);
        EXPECT_EQ(legend->rowCount(), rusMode == 2 ? 8 : 6) << "the pale entries of other countries";
        const QPoint line = legend->anchor(5, QPointF(0, 0)).toPoint();
        EXPECT_EQ(image.pixelColor(line), map.pixel(6800, 3500));
    }
}

TEST(ScaleBar, RoundLengthsUpToTheLongestBar)
{
    struct Case {
        double kmPerUnit, pixelsPerUnit, most;
        double km, pixels;
    };
    for (const Case& c : {Case{0.1, 0.1, 200, 200, 200}, Case{0.1, 0.1, 199, 100, 100}, Case{0.05, 0.02, 250, 500, 200},
                          Case{0.001, 1, 30, 0.02, 20}, Case{3, 0.5, 100, 500, 83.333333}}) {
        auto bar = roundScaleBar(c.kmPerUnit, c.pixelsPerUnit, c.most);
        ASSERT_TRUE(bar);
        EXPECT_DOUBLE_EQ(bar->km, c.km);
        EXPECT_NEAR(bar->pixels, c.pixels, 1e-6);
        EXPECT_LE(bar->pixels, c.most);
    }
    EXPECT_FALSE(roundScaleBar(0, 1, 100));
    EXPECT_FALSE(roundScaleBar(1, 0, 100));
    EXPECT_EQ(roundScaleBar(0.5, 1, 100)->label(), QStringLiteral("50 км"));
}

TEST(ScaleBar, FromTheNetworksOwnLengths)
{
    // Twelve sections along Y = 500 of 0.02 km a map unit, and two in the frame's far corner
    // of 0.5 km a unit: a frame of the two alone takes the whole network's median.
    QString rows = QStringLiteral("INSERT INTO Contry VALUES('11','Россия');"
                                  "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,10000,5000,'1','А','11');"
                                  "INSERT INTO Stn VALUES('1','А',100,500,'1',9,0),('2','Б',9100,4600,'1',9,0);");
    for (int i = 0; i < 12; ++i)
        rows += QStringLiteral("INSERT INTO Peregon VALUES('a','b',%1,500,%2,500,%3,'1',1,2);").arg(i * 500).arg(i * 500 + 400).arg(8);
    rows += QStringLiteral("INSERT INTO Peregon VALUES('c','d',9000,4500,9200,4500,100,'1',1,2),"
                           " ('d','e',9200,4500,9200,4700,100,'1',1,2);");
    QTemporaryDir dir;
    auto db = network(dir, rows);
    ASSERT_TRUE(db);
    struct Case {
        const char* name;
        Frame frame;
    };
    for (const Case& c : {Case{"the frame's sections", {0, 0, 8000, 4000}}, Case{"too few: the network's", {8800, 4200, 9600, 4800}}}) {
        SCOPED_TRACE(c.name);
        ExportScene scene;
        scene.db = db;
        scene.state.kadr = c.frame;
        QImage image(800, 400, QImage::Format_RGB32);
        QPainter p(&image);
        auto drawn = drawExport(p, image.size(), Dpi{}, scene, ExportOptions{false, true, QString()}, false);
        p.end();
        ASSERT_TRUE(drawn) << drawn.error().message().toStdString();
        ASSERT_TRUE(drawn->bar);
        const double kmPerPixel = 0.02 * (c.frame.x2 - c.frame.x1) / 800.0;
        EXPECT_NEAR(drawn->bar->pixels, drawn->bar->km / kmPerPixel, 1e-6);
        EXPECT_LE(drawn->bar->pixels, 200);
        EXPECT_GT(drawn->bar->pixels, 200 / 2.5);   // the next round length would not fit
    }

    QTemporaryDir none;
    auto unmeasured = network(none, QStringLiteral("INSERT INTO Doroga VALUES('1','О',0,0,1,1,'1','А','11');"
                                                   "INSERT INTO Stn VALUES('1','А',100,500,'1',9,0);"
                                                   "INSERT INTO Peregon VALUES('a','b',0,500,400,500,0,'1',1,2);"));
    ExportScene scene;
    scene.db = unmeasured;
    QImage image(800, 400, QImage::Format_RGB32);
    QPainter p(&image);
    auto drawn = drawExport(p, image.size(), Dpi{}, scene, ExportOptions{false, true, QString()}, false);
    ASSERT_TRUE(drawn);
    EXPECT_FALSE(drawn->bar);
    EXPECT_EQ(drawn->noBar, kNoScaleReason);
}
