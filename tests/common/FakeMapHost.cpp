#include "FakeMapHost.h"

#include "render/RenderFrame.h"

#include <gtest/gtest.h>

namespace zdtest {

FakeMapHost::FakeMapHost(const QString& file, QSize size) : map(new zd::PictureBox(&owner)), zone(new zd::ZoneOutline(*map)), path(file)
{
    map->resize(size);
    auto db = zd::Database::open(file);
    EXPECT_TRUE(db.ok()) << (db ? "" : db.error().message().toStdString());
    if (db) {
        sections.setDatabase(*db);
        stations.setDatabase(*db);
    }
    st.mainPic = map;
    st.mainPeregons = &sections.rows();
    showFrame(st.scheme, 0);
}

void FakeMapHost::showFrame(const zd::Frame& f, std::int16_t kadrZoomed)
{
    st.kadr = f;
    zoomed = kadrZoomed;
    frames.push_back(f);
    auto drawn = zd::renderFrame(st, *map, sections, stations, genOn);
    if (!drawn) reportFailure(drawn.error());
}

} // namespace zdtest
