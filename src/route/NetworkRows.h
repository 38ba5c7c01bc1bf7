#pragma once
// The rows of the network that the route graph is built from, as plain arrays: read from
// the database on its own thread, then handed to any thread (see RouteGraph::build).
#include "data/Database.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace zd::route {

// Texts of many rows in one UTF-8 buffer: the codes and names of millions of stations are
// two allocations, not millions.
class TextPool {
public:
    void reserve(std::uint32_t texts) { m_ends.reserve(texts); }
    void shrink() { m_bytes.shrink_to_fit(); }
    std::uint32_t add(QByteArrayView utf8);
    QByteArrayView view(std::uint32_t i) const;
    QString text(std::uint32_t i) const { return QString::fromUtf8(view(i)); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(m_ends.size()); }
    std::size_t bytes() const { return m_bytes.capacity() + m_ends.capacity() * sizeof(std::uint32_t); }
    void clear() { std::string().swap(m_bytes); std::vector<std::uint32_t>().swap(m_ends); }

private:
    std::string m_bytes;
    std::vector<std::uint32_t> m_ends;   // end of each text in m_bytes
};

struct Railway {
    QString code, name;
    bool russia = false;   // of the country "11"
};

// One entry per row of Stn, in table order. Coordinates are map units as 32-bit floats,
// the precision the drawing routines draw with; NaN where the value is NULL.
struct StationRows {
    TextPool code, name;
    std::vector<float> x, y;
    std::vector<std::uint32_t> railway;   // index into NetworkRows::railways
    std::vector<std::int16_t> tip;        // TipStn
    std::uint32_t size() const { return static_cast<std::uint32_t>(x.size()); }
    void reserve(std::uint32_t rows);
};

// One entry per row of Peregon, in table order. km is NaN where LenPer is NULL, not a
// number, zero or negative.
struct SectionRows {
    TextPool code1, code2;
    std::vector<float> x1, y1, x2, y2;    // map units, NaN where NULL
    std::vector<double> km;
    std::vector<std::uint32_t> railway;   // index into NetworkRows::railways
    std::vector<std::int16_t> tracks;     // RL
    std::vector<std::int16_t> traction;   // EL
    std::uint32_t size() const { return static_cast<std::uint32_t>(km.size()); }   // the codes go after the build
    void reserve(std::uint32_t rows);
};

struct NetworkRows {
    std::vector<Railway> railways;   // Doroga's rows, first row of a code; then codes met only in Stn or Peregon
    StationRows stations;
    SectionRows sections;
};

// Reads the network in pieces, so that a window can let its events run between them.
// Every call goes to the database's thread: its SQLite connection serves one thread.
class NetworkReader {
public:
    static constexpr int kPieceRows = 65536;

    explicit NetworkReader(const Database& db) : m_db(db) {}

    // Reads up to `rows` more rows; true while rows are left to read.
    Expected<bool> readSome(int rows = kPieceRows);
    // The rows read so far; the reader is left empty.
    NetworkRows take();

private:
    enum class Stage { Counts, Railways, Stations, Sections, Done };
    Expected<RowSet> run(const QString& sql);
    void reserve(const RowSet& rs);
    void readRailways(const RowSet& rs);
    void readStations(const RowSet& rs);
    void readSections(const RowSet& rs);
    std::uint32_t railwayOf(const RowSet& rs, int row, int col);

    const Database& m_db;
    Stage m_stage = Stage::Counts;
    std::int64_t m_lastRowid = 0;
    NetworkRows m_rows;
    QHash<QByteArray, std::uint32_t> m_railwayIndex;
    RowSet m_storage;
};

// Reads the whole network at once.
Expected<NetworkRows> readNetwork(const Database& db);

} // namespace zd::route
