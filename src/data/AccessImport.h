#pragma once
// Copies the tables of an Access file (Jet3, Jet4, ACE) into SQLite, through libmdb.
#include "data/DbError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace zd {

class LoadProgress;

// True when the first bytes are those of an Access (Jet3/Jet4/ACE) file.
bool looksLikeAccess(const QByteArray& head);

// Copies tables of the Access file at `path` into the attached SQLite schema `schema`
// of `db`. When `onlyTables` is not empty, only those tables (case-insensitive) are
// copied. Jet3 text is decoded with `jet3Charset` (an iconv name). Numbers stay numbers
// (whole numbers as integers), text is UTF-8, NULL stays NULL. The error carries the cause
// only: the caller names the file.
// With a progress, each table's rows are counted there and a cancel stops the copy.
Expected<> importAccess(const QString& path, sqlite3* db, const QString& schema,
                     const QStringList& onlyTables = {}, const QByteArray& jet3Charset = "CP1251",
                     LoadProgress* progress = nullptr);

} // namespace zd
