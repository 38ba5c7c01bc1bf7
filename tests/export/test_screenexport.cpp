// Exports and the legend in the style "Для экрана": the PNG at the map's size is the map's
// picture with its highlights, and the legend shows the style's own symbols, without
// painting the style's background over the page.
#include "MapWindow.h"
#include "TestDb.h"
#include "data/Database.h"
#include "export/ExportCommands.h"
#include "export/Legend.h"
#include "light/FrmLight.h"
#include "mainwin/StyleMenu.h"
#include "render/RenderFrame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QPainter>

using namespace zd;

namespace {

class ScreenExport : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        StyleMenu::save(MapStyle::Screen);
        MapWindowTest::SetUp();
    }
    void TearDown() override
    {
        MapWindowTest::TearDown();
        StyleMenu::save(MapStyle::Classic);
    }
};

// The box of the pixels that stand out from the background (by more than antialiasing's
// faint edge) within `radius` of a point.
QRect inkAround(const QImage& img, QPoint centre, QColor back, int radius)
{
    QRect box;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (!img.valid(p)) continue;
            const QColor c = img.pixelColor(p);
            const int away = std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) + std::abs(c.blue() - back.blue());
            if (away > 120) box |= QRect(QPoint(dx, dy), QSize(1, 1));
        }
    return box;
}

} // namespace

TEST_F(ScreenExport, PngAtTheMapsSizeIsTheMapsPicture)
{
    start();
    ASSERT_EQ(w->state().style, MapStyle::Screen);
    auto* commands = w->findChild<ExportCommands*>();
    ASSERT_NE(commands, nullptr);
    struct Case { const char* name; std::function<void()> set; };
    const Case cases[] = {
        {"whole scheme", [] {}},
        {"zoomed in, sections highlighted", [&] {
             showFrame({0, 0, 10000, 5000});
             trigger("mnuZdLight_Peregon");
             w->lightWindow()->findChild<QAbstractButton*>(QStringLiteral("cmdLight_Enter"))->click();
             w->RenderKadr(pic());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        QApplication::processEvents();
        ExportTarget t{dir.filePath(QStringLiteral("map.png")), pic().size()};
        auto drawn = writeExport(t, commands->scene(), {});
        ASSERT_TRUE(drawn) << drawn.error().message().toStdString();
        const QImage png = QImage(t.path).convertToFormat(QImage::Format_RGB32);
        const QImage screen = pic().image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(png.size(), screen.size());
        EXPECT_TRUE(png == screen);
    }
}

// A highlight joins the scene without a second copy of the network in the vector file.
TEST_F(ScreenExport, SvgHoldsTheNetworkOnceWhateverIsHighlighted)
{
    start();
    auto* commands = w->findChild<ExportCommands*>();
    ASSERT_NE(commands, nullptr);
    auto svgSize = [&](const char* name) {
        ExportTarget t{dir.filePath(QString::fromLatin1(name)), pic().size()};
        auto drawn = writeExport(t, commands->scene(), {});
        EXPECT_TRUE(drawn);
        return QFileInfo(t.path).size();
    };
    const qint64 plain = svgSize("plain.svg");
    trigger("mnuZdLight_Peregon");
    w->lightWindow()->findChild<QAbstractButton*>(QStringLiteral("cmdLight_Enter"))->click();
    QApplication::processEvents();
    const qint64 lit = svgSize("lit.svg");
    EXPECT_GT(lit, plain);
    EXPECT_LT(lit, plain * 3 / 2);
    // The legend names the choice in words, without the mnemonic the window's option shows.
    const std::vector<LegendEntry> legend = commands->scene().highlights;
    ASSERT_EQ(legend.size(), 1u);
    EXPECT_EQ(legend[0].caption, QStringLiteral("Вид тяги: Электр."));
}

TEST(ScreenLegend, SymbolsOfTheStyleInUse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net.db"));
    ASSERT_TRUE(zdtest::writeSqlite(path, zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,8000,4000,'1','А','11');"
        "INSERT INTO Stn VALUES('1',NULL,1000,1000,'1',9,0),('2',NULL,2500,1000,'1',8,0),('3',NULL,4000,1000,'1',7,0),"
        " ('4',NULL,1000,2500,'1',5,0),('5',NULL,2500,2500,'1',1,0);"
        "INSERT INTO Peregon VALUES('8','9',6000,3500,7600,3500,50,'1',1,2);")));
    auto db = Database::open(path);
    ASSERT_TRUE(db);
    const QPoint stationsAt[] = {{100, 100}, {250, 100}, {400, 100}, {100, 250}, {250, 250}};
    std::vector<QSize> extents[2];
    for (MapStyle style : {MapStyle::Classic, MapStyle::Screen}) {
        SCOPED_TRACE(style == MapStyle::Screen ? "Для экрана" : "Классический");
        MapState st;
        st.kadr = Frame{0, 0, 8000, 4000};
        st.style = style;
        Canvas map(QSize(800, 400));
        map.setBackColor(rgb(0xE0, 0xE0, 0xE0));
        DataSource sections, stations;
        sections.setDatabase(*db);
        stations.setDatabase(*db);
        ASSERT_TRUE(renderFrame(st, map, sections, stations, true));
        const QImage mapImage = map.image();
        const QColor mapBack = mapImage.pixelColor(700, 50);

        auto legend = Legend::make(st, map.view(), **db, legendEntries(st, {}));
        ASSERT_TRUE(legend);
        QImage image(legend->size().toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        legend->draw(p, QPointF(0, 0));
        p.end();
        EXPECT_EQ(image.pixelColor(2, image.height() - 2), QColor(Qt::white)) << "the legend's own ground";
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(legend->entry(row).caption.toStdString());
            const QRect onMap = inkAround(mapImage, stationsAt[row], mapBack, 14);
            ASSERT_FALSE(onMap.isEmpty());
            // The legend's rows stand close: only as far as the map's symbol reaches.
            const int reach = std::max(onMap.width(), onMap.height()) / 2 + 1;
            const QRect inLegend = inkAround(image, legend->anchor(row, QPointF(0, 0)).toPoint(), Qt::white, reach);
            EXPECT_LE(std::abs(onMap.width() - inLegend.width()), 1);
            EXPECT_LE(std::abs(onMap.height() - inLegend.height()), 1);
            extents[style == MapStyle::Screen].push_back(onMap.size());
        }
    }
    EXPECT_NE(extents[0], extents[1]) << "the styles' symbols differ, so the legend's follow the style";
}
