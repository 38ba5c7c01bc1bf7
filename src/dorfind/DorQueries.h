#pragma once
// The SQL texts of the railway search window.
#include <QString>
#include <cstdint>

namespace zd {

// The railways, sorted by name; only those of Russia when russiaOnly.
QString findDorSql(bool russiaOnly);

// The division centres (stations of type 7) of a railway, sorted by name. rusFilter is
// the Russia-only condition of the last render, or empty.
QString centrOtdSql(const QString& kodDor, const QString& rusFilter);

// The stations and the sections of a railway for its highlight. In marking mode 2 the
// railway's country comes along (through Doroga), so that the drawing routines can tell
// Russia from the other countries.
QString dorStationsSql(const QString& kodDor, std::int16_t rusMode);
QString dorSectionsSql(const QString& kodDor, std::int16_t rusMode);

} // namespace zd
