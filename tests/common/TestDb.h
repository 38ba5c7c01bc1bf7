#pragma once
// Small network databases written by the tests themselves.
#include <QColor>
#include <QString>
#include <ostream>

// Texts and colours in test failures as text, not as arrays of bytes.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name(QColor::HexArgb).toStdString(); }

namespace zdtest {

// The four tables with the columns the program reads.
QString schemaSql();

// A tiny network: Russia (11) with railway 1 and Belarus (21) with railway 2.
QString sampleNetworkSql();

// Writes an SQLite file at path from an SQL script; returns false (and fails the test) on error.
bool writeSqlite(const QString& path, const QString& script);

} // namespace zdtest
