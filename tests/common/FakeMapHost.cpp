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

void FakeMapTest::SetUp()
{
    zd::setMsgHandler([this](const zd::MsgRequest& r) { boxes.push_back(r); });
}

void FakeMapTest::TearDown()
{
    host.reset();
    zd::setMsgHandler({});
}

void FakeMapTest::start(const QString& script, QSize size)
{
    const QString path = dir.filePath(QStringLiteral("ZdShort.mdb"));
    ASSERT_TRUE(writeSqlite(path, script));
    host = std::make_unique<FakeMapHost>(path, size);
    host->owner.show();
}

} // namespace zdtest
