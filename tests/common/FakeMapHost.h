#pragma once
// A map for one tool window without the main window: a picture in a window of its own,
// the network of a file, frames rendered by the program's renderer, and a record of what
// the tool asked for.
#include "MapWindow.h"   // colourNear and the user's events
#include "TestDb.h"
#include "map/MapHost.h"
#include "map/ZoneOutline.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace zdtest {

class FakeMapHost : public zd::MapHost {
public:
    // The network at path; the picture is size pixels, showing the whole scheme.
    explicit FakeMapHost(const QString& path, QSize size = QSize(800, 400));

    zd::MapState& state() override { return st; }
    zd::PictureBox& picture() override { return *map; }
    QWidget& window() override { return owner; }
    std::int16_t kadrZoomed() const override { return zoomed; }
    bool ended() const override { return !failures.empty(); }
    void showFrame(const zd::Frame& f, std::int16_t kadrZoomed) override;
    void wholeScheme() override { showFrame(st.scheme, 0); }
    void redrawFrame() override { showFrame(st.kadr, zoomed); }
    std::shared_ptr<zd::Database> database() override { return stations.database(); }
    const QString& dbPath() const override { return path; }
    zd::RowSet& frameSections() override { return sections.rows(); }
    zd::RowSet& frameStations() override { return stations.rows(); }
    void reportFailure(const zd::DbError& e) override { failures.push_back(e.message()); }
    bool lightOn(zd::Highlight h) const override { return light[static_cast<int>(h)]; }
    void setLightOn(zd::Highlight h, bool on) override { light[static_cast<int>(h)] = on; }
    void enableEraseItem(bool on) override { eraseItem = on; }
    void enableEraseButton(bool on) override { eraseButton = on; }
    zd::ZoneOutline& zoneOutline() override { return *zone; }
    void showObjectAt(zd::RowSet&, zd::PictureBox&, float, float) override { ++objectShown; }
    void endObjectAt(zd::PictureBox&) override {}
    std::int16_t kursInfObj() const override { return 0; }
    void setPickMode(zd::PointerMode* mode) override { pick = mode; }
    void showHelpTopic(int topic) override { helpTopics.push_back(topic); }
    std::optional<QPointF> chosenStation() const override { return chosen; }
    void chooseStation(QPointF mapXY) override { chosen = mapXY; }

    QWidget owner;
    zd::PictureBox* map;
    zd::ZoneOutline* zone;
    zd::MapState st;
    zd::DataSource sections, stations;
    QString path;
    std::int16_t zoomed = 0;
    bool light[3] = {};
    bool eraseItem = false, eraseButton = false, genOn = true;
    int objectShown = 0;
    zd::PointerMode* pick = nullptr;
    std::optional<QPointF> chosen;
    std::vector<zd::Frame> frames;     // every frame shown, in order
    std::vector<int> helpTopics;
    std::vector<QString> failures;
};

// A test of one tool window on a FakeMapHost over a database of its own, message boxes
// recorded instead of shown.
class FakeMapTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The host over a database written from the script, the picture size pixels.
    void start(const QString& script = sampleNetworkSql(), QSize size = QSize(800, 400));
    zd::PictureBox& pic() { return *host->map; }
    QPoint px(double x, double y) { return pic().toPixel(x, y).toPoint(); }
    bool colourAt(double x, double y, const QColor& c) { return colourNear(pic().image(), px(x, y), c); }

    QTemporaryDir dir;
    std::unique_ptr<FakeMapHost> host;
    std::vector<zd::MsgRequest> boxes;
};

} // namespace zdtest
