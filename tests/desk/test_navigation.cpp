// The arithmetic of moving about: zoom about a point, pan, the overview's frame, the scale
// text, and the probe of a frame's rows.
#include "DeskNetwork.h"

#include "data/Database.h"
#include "desk/Navigation.h"

#include <cmath>
#include <limits>

using namespace zd;
using namespace zdtest;

namespace {

const Frame kScheme{0, -1000, 84000, 36000};
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(Navigation, ZoomAboutAPoint)
{
    struct Row { const char* name; Frame f; bool near; QPointF at; std::optional<Frame> expected; };
    const Row rows[] = {
        {"centre is zoomFrame", kScheme, true, {0.5, 0.5}, Frame{21000, 8250, 63000, 26750}},
        {"left top corner stays", kScheme, true, {0, 0}, Frame{0, -1000, 42000, 17500}},
        {"right bottom corner stays", kScheme, false, {1, 1}, Frame{-84000, -38000, 84000, 36000}},
        {"a quarter in", Frame{0, 0, 1000, 1000}, true, {0.25, 0.75}, Frame{125, 375, 625, 875}},
        {"at the smallest extent", Frame{0, 0, 20, 20}, true, {0.5, 0.5}, std::nullopt},
        {"centre past the 32-bit range", Frame{kMax - 1000, 0, kMax, 1000}, false, {0.5, 0.5}, std::nullopt},
        {"edge past the 32-bit range", Frame{kMax - 1500, 0, kMax - 700, 800}, false, {0, 0}, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(zoomAbout(r.f, r.near, r.at), r.expected);
    }
}

TEST(Navigation, PanAndCentre)
{
    EXPECT_EQ(panFrame(kScheme, 1, 0), (Frame{21000, -1000, 105000, 36000}));
    EXPECT_EQ(panFrame(kScheme, 0, -1), (Frame{0, -10250, 84000, 26750}));
    EXPECT_EQ(panFrame(Frame{kMax - 1000, 0, kMax, 1000}, 1, 0), std::nullopt);
    EXPECT_EQ(centredAt(Frame{0, 0, 1000, 500}, 5000, 6000), (Frame{4500, 5750, 5500, 6250}));
}

// The scheme's aspect is kept: the whole scheme fits, centred, in a panel of any shape.
TEST(Navigation, LetterboxedKeepsTheAspect)
{
    for (QSizeF px : {QSizeF(300, 160), QSizeF(160, 300), QSizeF(840, 370)}) {
        SCOPED_TRACE(px.width());
        const Frame f = letterboxed(kScheme, px);
        EXPECT_NEAR((f.x2 - f.x1) / double(f.y2 - f.y1), px.width() / px.height(), 0.01);
        EXPECT_LE(f.x1, kScheme.x1);
        EXPECT_LE(f.y1, kScheme.y1);
        EXPECT_GE(f.x2, kScheme.x2);
        EXPECT_GE(f.y2, kScheme.y2);
        EXPECT_NEAR(f.x1 + f.x2, kScheme.x1 + kScheme.x2, 1);
    }
}

TEST(Navigation, ScaleText)
{
    struct Row { double km; const char* text; };
    const Row rows[] = {
        {0.123, "1 см ≈ 0,12 км"}, {1.26, "1 см ≈ 1,3 км"}, {9.96, "1 см ≈ 10 км"},
        {12.4, "1 см ≈ 12 км"},    {99.4, "1 см ≈ 99 км"},  {1234.5, "1 см ≈ 1 235 км"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.km);
        EXPECT_EQ(scaleText(r.km).replace(QChar(0xA0), u' '), QString::fromUtf8(r.text));
    }
    // At 96 DPI a centimetre is 566.9 twips: 1 twip per map unit and 0.01 km per unit.
    EXPECT_NEAR(kmPerCm(0.01, 1.0f), 5.669, 0.001);
}

TEST(Navigation, ProbeAndNetworkScale)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("grid.db");
    ASSERT_TRUE(writeSqlite(path, gridNetworkSql()));
    auto db = Database::open(path);
    ASSERT_TRUE(db);
    struct Row { const char* name; Frame f; int mode; bool generalised; bool expected; };
    const Row rows[] = {
        {"the grid", {17000, 11000, 27000, 21000}, 0, false, true},
        {"the empty half", {50000, 0, 80000, 30000}, 0, false, false},
        {"a section end alone", {21900, 15900, 22100, 16100}, 0, false, true},
        {"generalised Moscow", {21000, 15000, 23000, 17000}, 0, true, true},
        {"Russia only", {17000, 11000, 27000, 21000}, 1, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Expected<bool> has = frameHasRows(**db, r.f, r.mode, r.generalised);
        ASSERT_TRUE(has);
        EXPECT_EQ(*has, r.expected);
    }
    Expected<std::optional<double>> k = networkKmPerUnit(**db);
    ASSERT_TRUE(k);
    ASSERT_TRUE(*k);
    EXPECT_NEAR(**k, kKmPerUnit, 1e-9);

    ASSERT_TRUE(writeSqlite(path, gridNetworkSql() + "UPDATE Peregon SET LenPer = NULL;"));
    auto noLengths = Database::open(path);
    ASSERT_TRUE(noLengths);
    Expected<std::optional<double>> none = networkKmPerUnit(**noLengths);
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none) << "no estimate without lengths";
}

} // namespace
