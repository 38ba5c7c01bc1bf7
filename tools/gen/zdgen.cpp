// zdgen: writes a synthetic network database (SQLite, the four tables of ZdShort.mdb) of
// a given size, deterministic for a seed. Stations lie on a jittered grid inside the
// scheme frame; rows of stations form lines, joined by cross lines every eighth column,
// so that the network is connected and has junctions where the lines cross.
#include "data/Schema.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <algorithm>

namespace {

struct Options {
    long long stations = 10000;
    unsigned seed = 1;
    std::string out = "ZdShort.mdb";
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string k = argv[i];
        if (k == "--stations") o.stations = std::atoll(argv[i + 1]);
        else if (k == "--seed") o.seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (k == "--out") o.out = argv[i + 1];
        else return false;
    }
    return argc % 2 == 1 && o.stations >= 4;
}

void exec(sqlite3* db, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        std::fprintf(stderr, "zdgen: %s\n", msg ? msg : "sqlite error");
        std::exit(1);
    }
}

constexpr int kRailCols = 8, kRailRows = 6;   // railways tile the frame
constexpr const char* kCountries[] = {"11", "21", "22", "23", "24", "25"};

// The country of a railway tile: Russia holds most of the frame.
const char* countryOf(int railway)
{
    const int col = railway % kRailCols, row = railway / kRailCols;
    if (col < 2) return kCountries[1 + row % 3];
    if (row >= 4) return kCountries[3 + col % 3];
    return kCountries[0];
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: zdgen --stations N [--seed S] [--out FILE]\n");
        return 2;
    }
    std::remove(o.out.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(o.out.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "zdgen: cannot write %s\n", o.out.c_str());
        return 1;
    }
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
    exec(db, zd::schema::fileSchemaSql().c_str());
    exec(db, "INSERT INTO Contry VALUES('11','Россия'),('21','Страна 21'),('22','Страна 22'),"
             "('23','Страна 23'),('24','Страна 24'),('25','Страна 25');");

    const double x0 = 500, y0 = -500, w = 83000, h = 36000;
    const long long cols = std::max(2LL, static_cast<long long>(std::llround(std::sqrt(o.stations * w / h))));
    const long long rows = std::max(2LL, (o.stations + cols - 1) / cols);
    const double dx = w / cols, dy = h / rows;
    std::mt19937_64 rng(o.seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::uniform_int_distribution<int> pct(0, 999);

    auto railwayAt = [&](long long c, long long r) {
        return static_cast<int>((r * kRailRows / rows) * kRailCols + c * kRailCols / cols);
    };
    const long long n = o.stations;
    std::vector<int> sx(n), sy(n);
    for (long long i = 0; i < n; ++i) {
        const long long c = i % cols, r = i / cols;
        sx[i] = static_cast<int>(std::lround(x0 + (c + 0.5 + jitter(rng)) * dx));
        sy[i] = static_cast<int>(std::lround(y0 + (r + 0.5 + jitter(rng)) * dy));
    }
    auto code = [](long long i) { return std::to_string(100000 + i); };
    auto crossing = [&](long long c) { return c % 8 == 0; };

    // Railway rectangles and centres: the first station of each tile.
    const int railways = kRailCols * kRailRows;
    std::vector<long long> centre(railways, -1);
    std::vector<int> xl(railways, 1 << 30), yl(railways, 1 << 30), xr(railways, -(1 << 30)), yr(railways, -(1 << 30));
    for (long long i = 0; i < n; ++i) {
        const int d = railwayAt(i % cols, i / cols);
        if (centre[d] < 0) centre[d] = i;
        xl[d] = std::min(xl[d], sx[i]); xr[d] = std::max(xr[d], sx[i]);
        yl[d] = std::min(yl[d], sy[i]); yr[d] = std::max(yr[d], sy[i]);
    }

    sqlite3_stmt* stn = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Stn VALUES(?,?,?,?,?,?,?)", -1, &stn, nullptr);
    for (long long i = 0; i < n; ++i) {
        const long long c = i % cols, r = i / cols;
        const int d = railwayAt(c, r);
        const bool branch = crossing(c) && r > 0 && r + 1 < rows;
        const int roll = pct(rng);
        int tip = 1 + roll % 6;
        if (roll < 10) tip = 7;
        else if (roll < 15) tip = 8;
        if (centre[d] == i) tip = 9;
        const std::string k = code(i), name = "Станция " + std::to_string(i + 1), dor = std::to_string(d + 1);
        sqlite3_bind_text(stn, 1, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stn, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(stn, 3, sx[i]);
        sqlite3_bind_int(stn, 4, sy[i]);
        sqlite3_bind_text(stn, 5, dor.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(stn, 6, tip);
        sqlite3_bind_int(stn, 7, branch ? 1 : 0);
        sqlite3_step(stn);
        sqlite3_reset(stn);
    }
    sqlite3_finalize(stn);

    sqlite3_stmt* per = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Peregon VALUES(?,?,?,?,?,?,?,?,?,?)", -1, &per, nullptr);
    auto section = [&](long long a, long long b) {
        const double km = std::hypot(sx[a] - sx[b], sy[a] - sy[b]) * 0.108 * 1.15;
        const std::string ka = code(a), kb = code(b), dor = std::to_string(railwayAt(a % cols, a / cols) + 1);
        sqlite3_bind_text(per, 1, ka.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(per, 2, kb.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(per, 3, sx[a]);
        sqlite3_bind_int(per, 4, sy[a]);
        sqlite3_bind_int(per, 5, sx[b]);
        sqlite3_bind_int(per, 6, sy[b]);
        sqlite3_bind_double(per, 7, std::round(km * 10) / 10);
        sqlite3_bind_text(per, 8, dor.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(per, 9, pct(rng) % 3);
        sqlite3_bind_int(per, 10, pct(rng) % 5);
        sqlite3_step(per);
        sqlite3_reset(per);
    };
    for (long long i = 0; i < n; ++i) {
        const long long c = i % cols, r = i / cols;
        if (c + 1 < cols && i + 1 < n) section(i, i + 1);
        if ((crossing(c) || r + 1 == rows - 1) && i + cols < n) section(i, i + cols);
    }
    sqlite3_finalize(per);

    sqlite3_stmt* dor = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Doroga VALUES(?,?,?,?,?,?,?,?,?)", -1, &dor, nullptr);
    for (int d = 0; d < railways; ++d) {
        if (centre[d] < 0) continue;
        const std::string k = std::to_string(d + 1), name = "Дорога " + k, c = code(centre[d]);
        const std::string cname = "Станция " + std::to_string(centre[d] + 1);
        sqlite3_bind_text(dor, 1, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(dor, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(dor, 3, xl[d]);
        sqlite3_bind_int(dor, 4, yl[d]);
        sqlite3_bind_int(dor, 5, xr[d]);
        sqlite3_bind_int(dor, 6, yr[d]);
        sqlite3_bind_text(dor, 7, c.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(dor, 8, cname.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(dor, 9, countryOf(d), -1, SQLITE_STATIC);
        sqlite3_step(dor);
        sqlite3_reset(dor);
    }
    sqlite3_finalize(dor);
    exec(db, "COMMIT;");
    sqlite3_close(db);
    std::printf("zdgen: %lld stations written to %s\n", n, o.out.c_str());
    return 0;
}
