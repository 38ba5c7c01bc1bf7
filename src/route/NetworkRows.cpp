#include "route/NetworkRows.h"

#include "data/ZdTypes.h"
#include "route/RouteQueries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zd::route {

std::uint32_t TextPool::add(QByteArrayView utf8)
{
    m_bytes.append(utf8.data(), static_cast<std::size_t>(utf8.size()));
    m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
    return static_cast<std::uint32_t>(m_ends.size() - 1);
}

QByteArrayView TextPool::view(std::uint32_t i) const
{
    if (i >= m_ends.size()) return {};
    const std::uint32_t begin = i ? m_ends[i - 1] : 0;
    return QByteArrayView(m_bytes.data() + begin, m_ends[i] - begin);
}

// Room for the rows that the tables hold, so that no array grows twice as large as it must.
void StationRows::reserve(std::uint32_t rows)
{
    code.reserve(rows);
    name.reserve(rows);
    for (auto* v : {&x, &y}) v->reserve(rows);
    railway.reserve(rows);
    tip.reserve(rows);
}

void SectionRows::reserve(std::uint32_t rows)
{
    code1.reserve(rows);
    code2.reserve(rows);
    for (auto* v : {&x1, &y1, &x2, &y2}) v->reserve(rows);
    km.reserve(rows);
    railway.reserve(rows);
    tracks.reserve(rows);
    traction.reserve(rows);
}

namespace {

constexpr float kNoCoordinate = std::numeric_limits<float>::quiet_NaN();

// The text of a cell as UTF-8, without a copy when it is stored as text.
QByteArray textBytes(const RowSet& rs, int row, int col)
{
    const QByteArrayView v = rs.utf8At(row, col);
    if (!v.empty() || rs.isNullAt(row, col)) return QByteArray::fromRawData(v.data(), v.size());
    return rs.textAt(row, col).toUtf8();
}

float coordinate(const RowSet& rs, int row, int col)
{
    return rs.isNullAt(row, col) ? kNoCoordinate : static_cast<float>(rs.numberAt(row, col));
}

// A length that can be trusted: above zero and finite. Text that is no number reads as 0
// once the database is open, and a section of no length between two stations is no more
// likely, so both count as unknown rather than as a way for free.
double length(const RowSet& rs, int row, int col)
{
    const double v = rs.numberAt(row, col);   // NULL reads as 0
    return std::isfinite(v) && v > 0 ? v : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

Expected<RowSet> NetworkReader::run(const QString& sql)
{
    auto rs = m_db.query(sql, &m_storage);
    if (!rs) return rs.error();
    return std::move(*rs);
}

Expected<bool> NetworkReader::readSome(int rows)
{
    if (m_stage == Stage::Done) return false;
    rows = std::max(rows, 1);
    auto rs = run(m_stage == Stage::Counts     ? rowCountsSql()
                  : m_stage == Stage::Railways ? railwaysSql()
                  : m_stage == Stage::Stations ? stationsSql(m_lastRowid, rows)
                                               : sectionsSql(m_lastRowid, rows));
    if (!rs) return rs.error();
    bool stageDone = true;
    switch (m_stage) {
    case Stage::Counts: reserve(*rs); break;
    case Stage::Railways: readRailways(*rs); break;
    case Stage::Stations: readStations(*rs); stageDone = rs->recordCount() < rows; break;
    case Stage::Sections: readSections(*rs); stageDone = rs->recordCount() < rows; break;
    case Stage::Done: break;
    }
    if (rs->recordCount() > 0 && (m_stage == Stage::Stations || m_stage == Stage::Sections))
        m_lastRowid = static_cast<std::int64_t>(rs->numberAt(rs->recordCount() - 1, 0));
    if (stageDone && m_stage != Stage::Done) {
        m_stage = static_cast<Stage>(static_cast<int>(m_stage) + 1);
        m_lastRowid = 0;
    }
    m_storage = std::move(*rs);
    return m_stage != Stage::Done;
}

void NetworkReader::reserve(const RowSet& rs)
{
    const auto rows = [&](int col) { return static_cast<std::uint32_t>(std::clamp(rs.numberAt(0, col), 0.0, 4e9)); };
    m_rows.stations.reserve(rows(0));
    m_rows.sections.reserve(rows(1));
}

NetworkRows NetworkReader::take()
{
    for (TextPool* p : {&m_rows.stations.code, &m_rows.stations.name, &m_rows.sections.code1, &m_rows.sections.code2}) p->shrink();
    return std::move(m_rows);
}

void NetworkReader::readRailways(const RowSet& rs)
{
    const int code = rs.column(u"KodDor"), name = rs.column(u"NazDor"), country = rs.column(u"KodContry");
    for (int r = 0; r < rs.recordCount(); ++r) {
        const QByteArray key = textBytes(rs, r, code);
        if (m_railwayIndex.contains(key)) continue;   // the first row of a code holds
        m_railwayIndex.insert(QByteArray(key.constData(), key.size()), static_cast<std::uint32_t>(m_rows.railways.size()));
        m_rows.railways.push_back({rs.textAt(r, code), rs.textAt(r, name), rs.textAt(r, country) == u"11"});
    }
}

// The railway of a code; a code that Doroga does not hold gets an entry without a name.
std::uint32_t NetworkReader::railwayOf(const RowSet& rs, int row, int col)
{
    const QByteArray key = textBytes(rs, row, col);
    if (auto it = m_railwayIndex.constFind(key); it != m_railwayIndex.cend()) return *it;
    const auto index = static_cast<std::uint32_t>(m_rows.railways.size());
    m_railwayIndex.insert(QByteArray(key.constData(), key.size()), index);
    m_rows.railways.push_back({QString::fromUtf8(key), QString(), false});
    return index;
}

void NetworkReader::readStations(const RowSet& rs)
{
    StationRows& s = m_rows.stations;
    const int code = 1, name = 2, x = 3, y = 4, railway = 5, tip = 6;
    for (int r = 0; r < rs.recordCount(); ++r) {
        s.code.add(textBytes(rs, r, code));
        s.name.add(textBytes(rs, r, name));
        s.x.push_back(coordinate(rs, r, x));
        s.y.push_back(coordinate(rs, r, y));
        s.railway.push_back(railwayOf(rs, r, railway));
        s.tip.push_back(toInt16(rs.numberAt(r, tip)));
    }
}

void NetworkReader::readSections(const RowSet& rs)
{
    SectionRows& s = m_rows.sections;
    const int code1 = 1, code2 = 2, x1 = 3, y1 = 4, x2 = 5, y2 = 6, km = 7, railway = 8, tracks = 9, traction = 10;
    for (int r = 0; r < rs.recordCount(); ++r) {
        s.code1.add(textBytes(rs, r, code1));
        s.code2.add(textBytes(rs, r, code2));
        s.x1.push_back(coordinate(rs, r, x1));
        s.y1.push_back(coordinate(rs, r, y1));
        s.x2.push_back(coordinate(rs, r, x2));
        s.y2.push_back(coordinate(rs, r, y2));
        s.km.push_back(length(rs, r, km));
        s.railway.push_back(railwayOf(rs, r, railway));
        s.tracks.push_back(toInt16(rs.numberAt(r, tracks)));
        s.traction.push_back(toInt16(rs.numberAt(r, traction)));
    }
}

Expected<NetworkRows> readNetwork(const Database& db)
{
    NetworkReader reader(db);
    for (;;) {
        auto more = reader.readSome();
        if (!more) return more.error();
        if (!*more) return reader.take();
    }
}

} // namespace zd::route
