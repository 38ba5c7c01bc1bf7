#pragma once
// Networks a user's ZdShort.mdb can hold that a sound network never would: NULLs, text in
// number columns, coordinates at and past the 32-bit limits, sections of no length,
// awkward codes and names, railways without stations or extents, empty tables.
// Every case is a sound base network with one kind of damage, so that the rest of the map
// still gives the commands something to act on.
#include <QString>
#include <iosfwd>
#include <string>
#include <vector>

namespace hostile {

struct Column {
    const char* table;
    const char* name;
    bool number;   // read as a number by the program
};

// The columns of the four tables, in the order of the test schema.
const std::vector<Column>& columns();

// The base network: Russia (11) with railways 1 and 3, Belarus (21) with railway 2, Latvia
// (31) with railway 4 (no centre). Station 300 "Центральная" lies at the scheme's centre
// (42000, 17500); the section 300-301 runs from there to (42000, 16000).
QString baseNetworkSql();

struct Case {
    std::string name;    // a gtest parameter name: letters, digits, underscores
    QString sql;         // the whole script of ZdShort.mdb
    bool empty = false;  // nothing of the whole scheme can be drawn: the start says so
};

std::vector<Case> allCases();
void PrintTo(const Case& c, std::ostream* os);

// Values that a number column may hold as text, and their case-name tags.
struct Odd { const char* tag; const char* sql; };
const std::vector<Odd>& oddNumberTexts();
const std::vector<Odd>& extremeCoordinates();

} // namespace hostile
