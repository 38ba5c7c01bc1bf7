#pragma once
// The four tables of a network file, with the columns the program reads: one definition
// for the loader's in-memory schema, the files the tools and the tests write, and the
// generator. Plain C++, so that tools without Qt include it too.
#include <string>
#include <vector>

namespace zd::schema {

// What a column holds, which decides its type in the loaded copy and in a written file.
enum class Kind {
    Code,    // text code (KodStn, KodDor …): TEXT
    Name,    // text a reader sorts (NazStn, NazDor …): TEXT, Russian order once loaded
    Whole,   // small whole number (TipStn, RL, EL …): INTEGER
    Coord,   // map coordinate: NUMERIC once loaded, written as INTEGER
    Real,    // a length in km: NUMERIC once loaded, written as REAL
};

struct Column {
    const char* name;
    Kind kind;
    bool text() const { return kind == Kind::Code || kind == Kind::Name; }
    // The declared type in the loaded in-memory copy.
    const char* loadedType() const
    {
        switch (kind) {
        case Kind::Code: return "TEXT";
        case Kind::Name: return "TEXT COLLATE RUSSIAN";
        case Kind::Whole: return "INTEGER";
        default: return "NUMERIC";
        }
    }
    // The declared type in a network file written by the tools and the tests.
    const char* fileType() const
    {
        switch (kind) {
        case Kind::Whole: case Kind::Coord: return "INTEGER";
        case Kind::Real: return "REAL";
        default: return "TEXT";
        }
    }
};

struct Table {
    const char* name;
    std::vector<Column> columns;
};

inline const std::vector<Table>& tables()
{
    using K = Kind;
    static const std::vector<Table> t = {
        {"Stn", {{"KodStn", K::Code}, {"NazStn", K::Name}, {"StnX", K::Coord}, {"StnY", K::Coord},
                 {"KodDor", K::Code}, {"TipStn", K::Whole}, {"StnBranch", K::Whole}}},
        {"Peregon", {{"KodStn1", K::Code}, {"KodStn2", K::Code}, {"Stn1X", K::Coord}, {"Stn1Y", K::Coord},
                     {"Stn2X", K::Coord}, {"Stn2Y", K::Coord}, {"LenPer", K::Real}, {"KodDor", K::Code},
                     {"RL", K::Whole}, {"EL", K::Whole}}},
        {"Doroga", {{"KodDor", K::Code}, {"NazDor", K::Name}, {"XL", K::Coord}, {"YL", K::Coord},
                    {"XR", K::Coord}, {"YR", K::Coord}, {"KodCentr", K::Code}, {"NazCentr", K::Code},
                    {"KodContry", K::Code}}},
        {"Contry", {{"KodContry", K::Code}, {"NazContry", K::Name}}},
    };
    return t;
}

// "CREATE TABLE …;" of the four tables as a network file holds them.
inline std::string fileSchemaSql()
{
    std::string sql;
    for (const Table& t : tables()) {
        sql += std::string("CREATE TABLE ") + t.name + "(";
        for (size_t i = 0; i < t.columns.size(); ++i)
            sql += std::string(i ? ", " : "") + t.columns[i].name + " " + t.columns[i].fileType();
        sql += ");";
    }
    return sql;
}

} // namespace zd::schema
