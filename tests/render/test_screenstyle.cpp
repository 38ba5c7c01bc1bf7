// The style "Для экрана" on the demo network, drawn by the renderer on a picture without a
// window: names that never overlap, highlights visible at every section's midpoint and
// gone without a trace, sizes held between their floor and ceiling at every zoom, thinning
// by density, and a preview that leaves the main map as it was.
#include "TestDb.h"
#include "data/Database.h"
#include "data/Queries.h"
#include "light/LightSql.h"
#include "render/Canvas.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "render/RenderFrame.h"
#include "render/ScreenStyle.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

// The demo network drawn on a 1920 × 1000 picture, as the main map of a full-HD screen.
struct DemoMap {
    DemoMap(MapStyle style, bool genOn = true) : pic(QSize(1920, 1000))
    {
        auto db = Database::open(QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb"));
        EXPECT_TRUE(db.ok()) << "the demo database is built beside the program";
        if (!db) return;
        for (DataSource* d : {&sections, &stations, &extra}) d->setDatabase(*db);
        st.style = style;
        st.mainPic = &pic;
        st.mainPeregons = &sections.rows();
        gen = genOn;
    }
    bool render(const Frame& f)
    {
        st.kadr = f;
        auto drawn = renderFrame(st, pic, sections, stations, gen);
        return drawn.ok() && *drawn == FrameDrawn::Drawn;
    }
    Canvas pic;
    MapState st;
    DataSource sections, stations, extra;
    bool gen = true;
};

// A frame of 1/zoom of the scheme's width and height about a map point.
Frame around(const Frame& scheme, int zoom, int x, int y)
{
    const int hw = (scheme.x2 - scheme.x1) / zoom / 2, hh = (scheme.y2 - scheme.y1) / zoom / 2;
    return Frame{x - hw, y - hh, x + hw, y + hh};
}

constexpr int kMoscowX = 12606, kMoscowY = 14667;

} // namespace

TEST(ScreenStyle, PlacedNamesAndLengthsNeverOverlap)
{
    DemoMap m(MapStyle::Screen);
    struct Case { const char* name; Frame frame; std::size_t atLeast; bool latin; };
    const Frame moscow16 = around(m.st.scheme, 16, kMoscowX, kMoscowY);
    const Case cases[] = {
        {"the whole scheme", m.st.scheme, 150, false},
        {"1/16 about Москва", moscow16, 60, false},
        {"1/128 about Москва", around(m.st.scheme, 128, kMoscowX, kMoscowY), 3, false},
        {"the whole scheme, Latin names", m.st.scheme, 150, true},
        {"1/16 about Москва, Latin names", moscow16, 60, true},
    };
    // The smallest name font: a name's box is at least as wide as its text drawn in it.
    QFont smallest(QStringLiteral("DejaVu Sans"));
    smallest.setPixelSize(screen::sizesFloor().fontMinor);
    const QFontMetricsF small(smallest);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.st.latinNames = c.latin;
        ASSERT_TRUE(m.render(c.frame));
        std::vector<QRectF> boxes = screen::placedNames(m.pic);
        EXPECT_GE(boxes.size(), c.atLeast);
        for (const auto& [box, text] : screen::placedNameTexts(m.pic)) {
            EXPECT_EQ(text.contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]"))), !c.latin) << text.toStdString();
            EXPECT_GE(box.width() + 0.5, small.horizontalAdvance(text)) << text.toStdString();
        }
        const std::vector<QRectF> lengths = screen::placedLengths(m.pic);
        boxes.insert(boxes.end(), lengths.begin(), lengths.end());
        const QRectF picture(QPointF(0, 0), QSizeF(m.pic.pixelSize()));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_TRUE(picture.contains(boxes[i]));
            for (std::size_t j = i + 1; j < boxes.size(); ++j)
                ASSERT_FALSE(boxes[i].intersects(boxes[j])) << i << " and " << j << " of " << boxes.size();
        }
    }
}

// Every electric section of the whole scheme shows the highlight colour at its midpoint,
// unless a name lies there; switching the highlight off gives the picture back as it was.
TEST(ScreenStyle, HighlightVisibleAtEveryMidpointAndGoneWithoutATrace)
{
    DemoMap m(MapStyle::Screen);
    ASSERT_TRUE(m.render(m.st.scheme));
    const QImage before = m.pic.image();
    ASSERT_TRUE(m.extra.open(lightPerSql(QStringLiteral("(EL = 3 OR EL = 4)"), QString())).ok());
    RowSet& electric = m.extra.rows();
    ASSERT_GT(electric.recordCount(), 1000);
    DrawPeregons(m.st, m.pic, electric, m.st.palette.light);
    // Drawn again by a highlight window: the frame's symbols and names change nothing.
    DrawStations(m.st, m.pic, m.stations.rows(), m.st.palette.net);
    DrawStnNames(m.st, m.pic, m.stations.rows());

    const QImage lit = m.pic.image();
    const std::vector<QRectF> names = screen::placedNames(m.pic);
    const QColor light = toQColor(m.st.palette.light);
    int visible = 0, checked = 0;
    for (int r = 0; r < electric.recordCount(); ++r) {
        auto at = [&](const char* col) { return electric.numberAt(r, electric.column(QString::fromLatin1(col))); };
        const QPointF mid = m.pic.toPixel((at("Stn1X") + at("Stn2X")) / 2, (at("Stn1Y") + at("Stn2Y")) / 2);
        if (std::any_of(names.begin(), names.end(), [&](const QRectF& b) { return b.adjusted(-2, -2, 2, 2).contains(mid); }))
            continue;
        ++checked;
        visible += lit.pixelColor(mid.toPoint()) == light;
    }
    EXPECT_GT(checked, electric.recordCount() / 2);
    EXPECT_EQ(visible, checked);

    DrawPeregons(m.st, m.pic, electric, m.st.palette.net);
    EXPECT_TRUE(m.pic.image() == before);
}

TEST(ScreenStyle, SizesStayBetweenFloorAndCeilingAtEveryZoomStep)
{
    const screen::Sizes lo = screen::sizesFloor(), hi = screen::sizesCeiling();
    screen::Sizes previous = lo;
    // The whole scheme on a small window, then each "Ближе" halves the frame.
    for (int step = 0; step <= 14; ++step) {
        SCOPED_TRACE(step);
        const float scale = kadrScaleFor(1100 * 15, 700 * 15, around(Frame{}, 1 << step, 42000, 17500));
        const screen::Sizes s = screen::sizesAt(scale);
        for (int tip : {9, 8, 7, 5, 1}) {
            EXPECT_GE(s.symbol(tip), lo.symbol(tip));
            EXPECT_LE(s.symbol(tip), hi.symbol(tip));
            EXPECT_GE(s.symbol(tip), previous.symbol(tip));   // never smaller when nearer
        }
        EXPECT_GE(s.fontMinor, 10);
        EXPECT_LE(s.fontCentre, 14);
        EXPECT_GT(s.highlight, s.doubleTrack);
        EXPECT_GT(s.doubleTrack, s.singleTrack);
        // Types stay told apart by size.
        EXPECT_GT(s.symbol(9), s.symbol(7));
        EXPECT_GT(s.symbol(7), s.symbol(5));
        EXPECT_GT(s.symbol(5), s.symbol(1));
        previous = s;
    }
}

// On a 1/128 frame the classic centre of a railway grows to a disc of about 190 pixels;
// here it keeps its ceiling.
TEST(ScreenStyle, SymbolKeepsItsCeilingWhenZoomedIn)
{
    struct Case { const char* name; MapStyle style; int atLeast, atMost; };
    const int ceiling = 2 * static_cast<int>(std::ceil(screen::sizesCeiling().centre)) + 4;
    for (const Case c : {Case{"classic", MapStyle::Classic, 150, 1920}, Case{"screen", MapStyle::Screen, 8, ceiling}}) {
        SCOPED_TRACE(c.name);
        Canvas pic(QSize(1920, 1000));
        MapState st;
        st.style = c.style;
        const Frame f = around(st.scheme, 128, kMoscowX, kMoscowY);
        pic.setScale(f);
        st.kadrScale = pic.view().kadrScale();
        pic.setFillStyle(Canvas::FillSolid);
        DrawStnSymbol(st, pic, kMoscowX, kMoscowY, 9, st.palette.net);
        const QImage img = pic.image();
        int left = img.width(), right = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != img.pixel(0, 0)) { left = std::min(left, x); right = std::max(right, x); }
        EXPECT_GE(right - left + 1, c.atLeast);
        EXPECT_LE(right - left + 1, c.atMost);
    }
}

TEST(ScreenStyle, MinorStationsThinnedByDensityOnlyWithGeneralisation)
{
    struct Case { const char* name; bool gen; Frame frame; bool thinned; };
    const Frame scheme;
    const Case cases[] = {
        {"whole scheme, generalisation on", true, scheme, true},
        {"whole scheme, generalisation off", false, scheme, false},
        {"1/16 about Москва", true, around(scheme, 16, kMoscowX, kMoscowY), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DemoMap m(MapStyle::Screen, c.gen);
        ASSERT_TRUE(m.render(c.frame));
        const int rows = m.stations.rows().recordCount();
        EXPECT_EQ(screen::drawnSymbols(m.pic) < rows, c.thinned) << screen::drawnSymbols(m.pic) << " of " << rows;
    }
}

// A preview drawn on a picture of its own leaves the main map's pixels as they were, in
// both styles, also when the main map is zoomed in far enough for length labels.
TEST(ScreenStyle, PreviewDrawsNothingOnTheMainMap)
{
    for (MapStyle style : {MapStyle::Classic, MapStyle::Screen}) {
        SCOPED_TRACE(style == MapStyle::Classic ? "classic" : "screen");
        DemoMap m(style);
        ASSERT_TRUE(m.render(around(m.st.scheme, 16, kMoscowX, kMoscowY)));
        const QImage main = m.pic.image();
        Canvas preview(QSize(312, 174));
        preview.setPreview(true);
        const Frame zone = around(m.st.scheme, 30, kMoscowX, kMoscowY);
        preview.setScale(zone);
        ASSERT_TRUE(m.extra.open(frameSectionsSql({zone.x1, zone.y1, zone.x2, zone.y2}, QString())).ok());
        preview.clearPicture();
        DrawPeregons(m.st, preview, m.extra.rows(), m.st.palette.net);
        EXPECT_TRUE(m.pic.image() == main);
        EXPECT_FALSE(preview.image().isNull());
    }
}
