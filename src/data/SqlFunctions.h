#pragma once
// SQL functions and the collation that every connection of the program has.
#include <QByteArrayView>

struct sqlite3;

namespace zd {

// Access Val: the leading number of a text; blanks, tabs and line feeds are ignored
// anywhere in it, &H and &O prefixes give hexadecimal and octal; 0 when there is none.
double accessVal(QByteArrayView text);

// Russian order for names: case-insensitive, Ё beside Е, Cyrillic after Latin and digits.
// Returns <0, 0 or >0 like strcmp; UTF-8 input.
int russianCompare(QByteArrayView a, QByteArrayView b);

// Registers Val (Access semantics; numbers pass through), ZdText and ZdNum (used when
// copying a source file: codes to decimal text, numbers held as text to numbers) and the
// collation RUSSIAN on the connection.
bool registerSqlFunctions(sqlite3* db);

} // namespace zd
