#pragma once
// The SQL texts of the frame renderer and of the object under the pointer, each built from
// its fixed pieces, and the quoting every query uses. The tool windows build theirs the same
// way in their own folders (FindQueries, DorQueries, LightSql).
#include <QString>
#include <cstdint>

namespace zd {

// A text value between single quotes, its own quotes doubled.
QString quoted(const QString& value);

// A table or column name between double quotes, its own double quotes doubled.
QString quoteIdent(const QString& name);

// The Russia-only condition, or empty.
QString rusFilter(int rusMode);

// The generalisation condition of the station queries.
inline const QString kGenFilter = QStringLiteral(" AND (TipStn BETWEEN 7 AND 9 OR StnBranch = 1)");

struct FrameBounds { std::int32_t x1, y1, x2, y2; };

// The sections with an end in the frame.
QString frameSectionsSql(const FrameBounds& f, const QString& rusFilter);
// The stations in the frame, ordered by type.
QString frameStationsSql(const FrameBounds& f, const QString& rusFilter, bool generalised);

// One row and column: 1 when both queries of the frame would give rows (a frame the map
// can show), 0 otherwise. Each query stops at its first row.
QString frameHasRowsSql(const FrameBounds& f, const QString& rusFilter, bool generalised);

// The ends and the country of every section under the marking's condition: the lines of a
// small picture of the whole scheme.
QString overviewSectionsSql(const QString& rusFilter);

// The ends and the length of every section: the network's kilometres per map unit.
QString sectionLengthsSql();

// The stations within d map units of (x0, y0) on both axes (the object under the pointer).
QString cursorStationsSql(std::int32_t x0, std::int32_t y0, std::int32_t d, bool generalised);

// The first station of the table with the code (in table order).
QString stationByCodeSql(const QString& kodStn);

} // namespace zd
