// zdmkdemo: builds the demo network database ZdShort.mdb (SQLite, the four network tables)
// from the text sources in data/demo: countries, railways, named stations with their
// latitude and longitude, and the main lines as ordered lists of named stations.
// Between neighbouring named stations of a line it places stops named "NNN км" (the
// kilometre from the line's start). The output depends only on the sources: fixed row
// order, no timestamps, written to a temporary file and renamed at the end.
#include "data/Schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kStopSpacingKm = 15.0;   // wanted distance between stops along a line
constexpr double kLengthFactor = 1.15;    // track length over great-circle distance
constexpr double kEarthRadiusKm = 6371.0;
constexpr int kFrameX1 = 0, kFrameY1 = -1000, kFrameX2 = 84000, kFrameY2 = 36000;

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Country { std::string code, name; };

struct Railway {
    std::string code, name, country, centre;
    std::optional<std::string> centreName;   // nullopt: NazCentr is NULL
    int centreIndex = -1;
};

struct Station {
    std::string code, name, railway;
    double lat = 0, lon = 0;
    int x = 0, y = 0, type = 0;
};

struct Line {
    std::string name;
    int rl = 0, el = 0;
    std::vector<int> stations;   // indices of named stations
    std::string where;           // file:line of its header, for messages
};

struct Section {
    int a, b;
    double km;
    std::string railway;
    int rl, el;
};

// ---- reading ------------------------------------------------------------------------

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::vector<std::string> split(const std::string& s)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const auto at = s.find(';', from);
        out.push_back(trim(s.substr(from, at == std::string::npos ? std::string::npos : at - from)));
        if (at == std::string::npos) return out;
        from = at + 1;
    }
}

// The meaningful lines of a text source (no blank lines, no "#" comments), with their numbers.
struct TextLine { std::string where, text; };

std::vector<TextLine> readText(const std::string& dir, const std::string& file)
{
    std::ifstream in(dir + "/" + file, std::ios::binary);
    if (!in) throw Error(dir + "/" + file + ": cannot read");
    std::vector<TextLine> out;
    std::string s;
    for (int n = 1; std::getline(in, s); ++n) {
        if (n == 1 && s.rfind("\xEF\xBB\xBF", 0) == 0) s.erase(0, 3);
        const std::string t = trim(s);
        if (t.empty() || t[0] == '#') continue;
        out.push_back({file + ":" + std::to_string(n), t});
    }
    return out;
}

// Rows of a ";"-separated table whose first line must be the given header.
std::vector<std::pair<std::string, std::vector<std::string>>>
readTable(const std::string& dir, const std::string& file, const std::string& header)
{
    const auto lines = readText(dir, file);
    if (lines.empty() || lines[0].text != header)
        throw Error(file + ": the first line must be \"" + header + "\"");
    const std::size_t columns = split(header).size();
    std::vector<std::pair<std::string, std::vector<std::string>>> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto cells = split(lines[i].text);
        if (cells.size() != columns)
            throw Error(lines[i].where + ": " + std::to_string(columns) + " fields expected, "
                        + std::to_string(cells.size()) + " found");
        rows.emplace_back(lines[i].where, std::move(cells));
    }
    return rows;
}

double number(const std::string& where, const std::string& s)
{
    try {
        std::size_t used = 0;
        const double v = std::stod(s, &used);
        if (used == s.size()) return v;
    } catch (const std::exception&) {
    }
    throw Error(where + ": \"" + s + "\" is not a number");
}

int integer(const std::string& where, const std::string& s, int lo, int hi)
{
    const double v = number(where, s);
    if (v != std::floor(v) || v < lo || v > hi)
        throw Error(where + ": \"" + s + "\" must be a whole number from " + std::to_string(lo)
                    + " to " + std::to_string(hi));
    return static_cast<int>(v);
}

bool isCode(const std::string& s)
{
    return !s.empty() && s[0] != '0' && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ---- the model ----------------------------------------------------------------------

int projectX(double lon) { return static_cast<int>(std::lround((lon - 19.0) * 677.0)); }
int projectY(double lat) { return static_cast<int>(std::lround(-1000.0 + (71.0 - lat) * 1028.0)); }

bool insideFrame(int x, int y) { return x > kFrameX1 && x < kFrameX2 && y > kFrameY1 && y < kFrameY2; }

double greatCircleKm(double lat1, double lon1, double lat2, double lon2)
{
    const double r = std::numbers::pi / 180.0;
    const double dlat = (lat2 - lat1) * r, dlon = (lon2 - lon1) * r;
    const double h = std::pow(std::sin(dlat / 2), 2) + std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin(dlon / 2), 2);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

double trackKm(const Station& a, const Station& b)
{
    return std::round(greatCircleKm(a.lat, a.lon, b.lat, b.lon) * kLengthFactor * 10.0) / 10.0;
}

class Network {
public:
    std::vector<Country> countries;
    std::vector<Railway> railways;
    std::vector<Station> stations;   // named stations first, then the stops
    std::vector<Section> sections;
    std::size_t namedCount = 0;

    void load(const std::string& dir)
    {
        loadCountries(dir);
        loadRailways(dir);
        loadStations(dir);
        bindCentres();
        loadLines(dir);
    }

    void build()
    {
        for (const Line& line : m_lines) buildLine(line);
        markJunctions();
    }

    std::vector<int> degrees() const
    {
        std::vector<int> d(stations.size(), 0);
        for (const Section& s : sections) { ++d[s.a]; ++d[s.b]; }
        return d;
    }

private:
    std::vector<Line> m_lines;
    std::map<std::string, int> m_byName, m_byCode, m_railwayByCode;
    std::set<std::string> m_countryCodes;
    int m_nextStopCode = 1000001;

    void loadCountries(const std::string& dir)
    {
        for (auto& [where, c] : readTable(dir, "countries.csv", "KodContry;NazContry")) {
            if (!isCode(c[0])) throw Error(where + ": country code \"" + c[0] + "\" is not a digit string");
            if (!m_countryCodes.insert(c[0]).second) throw Error(where + ": duplicate country " + c[0]);
            if (c[1].empty()) throw Error(where + ": country " + c[0] + " has no name");
            countries.push_back({c[0], c[1]});
        }
        if (!m_countryCodes.count("11")) throw Error("countries.csv: Russia (code 11) is missing");
    }

    void loadRailways(const std::string& dir)
    {
        for (auto& [where, c] : readTable(dir, "railways.csv", "KodDor;NazDor;KodContry;Centre;NazCentr")) {
            if (!isCode(c[0])) throw Error(where + ": railway code \"" + c[0] + "\" is not a digit string");
            if (m_railwayByCode.count(c[0])) throw Error(where + ": duplicate railway " + c[0]);
            if (c[1].empty()) throw Error(where + ": railway " + c[0] + " has no name");
            if (!m_countryCodes.count(c[2])) throw Error(where + ": unknown country " + c[2]);
            if (c[3].empty()) throw Error(where + ": railway " + c[1] + " has no centre");
            Railway r{c[0], c[1], c[2], c[3], std::nullopt};
            if (!c[4].empty()) r.centreName = c[4];
            m_railwayByCode[r.code] = static_cast<int>(railways.size());
            railways.push_back(std::move(r));
        }
        if (railways.empty()) throw Error("railways.csv: no railways");
    }

    void loadStations(const std::string& dir)
    {
        for (auto& [where, c] : readTable(dir, "stations.csv", "KodStn;NazStn;Lat;Lon;KodDor;TipStn")) {
            Station s;
            s.code = c[0];
            s.name = c[1];
            s.lat = number(where, c[2]);
            s.lon = number(where, c[3]);
            s.railway = c[4];
            s.type = integer(where, c[5], 1, 9);
            if (!isCode(s.code)) throw Error(where + ": station code \"" + s.code + "\" is not a digit string");
            if (s.name.empty()) throw Error(where + ": station " + s.code + " has no name");
            if (m_byCode.count(s.code)) throw Error(where + ": duplicate station code " + s.code);
            if (m_byName.count(s.name)) throw Error(where + ": duplicate station " + s.name);
            if (!m_railwayByCode.count(s.railway)) throw Error(where + ": unknown railway " + s.railway);
            s.x = projectX(s.lon);
            s.y = projectY(s.lat);
            if (!insideFrame(s.x, s.y))
                throw Error(where + ": station " + s.name + " lies outside the frame (" + std::to_string(s.x)
                            + ", " + std::to_string(s.y) + ")");
            m_byCode[s.code] = m_byName[s.name] = static_cast<int>(stations.size());
            stations.push_back(std::move(s));
        }
        namedCount = stations.size();
    }

    // Every railway has exactly its centre as its one type-9 station.
    void bindCentres()
    {
        for (Railway& r : railways) {
            const auto it = m_byName.find(r.centre);
            if (it == m_byName.end())
                throw Error("railways.csv: railway " + r.name + ": centre station " + r.centre + " is not in stations.csv");
            const Station& s = stations[it->second];
            if (s.railway != r.code || s.type != 9)
                throw Error("railways.csv: railway " + r.name + " has no centre: " + r.centre
                            + " must be a station of this railway with type 9");
            r.centreIndex = it->second;
        }
        for (std::size_t i = 0; i < stations.size(); ++i) {
            const Station& s = stations[i];
            if (s.type == 9 && railways[m_railwayByCode.at(s.railway)].centreIndex != static_cast<int>(i))
                throw Error("stations.csv: " + s.name + " has type 9 but is not the centre of its railway");
        }
    }

    void loadLines(const std::string& dir)
    {
        std::map<std::pair<int, int>, std::string> segments;
        std::vector<bool> used(stations.size(), false);
        for (const TextLine& t : readText(dir, "lines.txt")) {
            if (t.text[0] == '*') {
                const auto h = split(t.text.substr(1));
                if (h.size() != 3 || h[0].empty())
                    throw Error(t.where + ": a line header is \"* name; RL; EL\"");
                m_lines.push_back({h[0], integer(t.where, h[1], 0, 9), integer(t.where, h[2], 0, 9), {}, t.where});
                continue;
            }
            if (m_lines.empty()) throw Error(t.where + ": stations before the first line header");
            Line& line = m_lines.back();
            for (const std::string& name : split(t.text)) {
                if (name.empty()) continue;
                const auto it = m_byName.find(name);
                if (it == m_byName.end()) throw Error(t.where + ": unknown station " + name + " in line " + line.name);
                if (!line.stations.empty()) {
                    const int prev = line.stations.back();
                    if (prev == it->second) throw Error(t.where + ": station " + name + " repeated in line " + line.name);
                    const auto key = std::minmax(prev, it->second);
                    const auto [seen, fresh] = segments.emplace(key, line.name);
                    if (!fresh)
                        throw Error(t.where + ": " + stations[prev].name + " - " + name + " is already in line "
                                    + seen->second);
                }
                line.stations.push_back(it->second);
                used[it->second] = true;
            }
        }
        for (const Line& line : m_lines)
            if (line.stations.size() < 2) throw Error(line.where + ": line " + line.name + " needs two stations");
        for (std::size_t i = 0; i < stations.size(); ++i)
            if (!used[i]) throw Error("stations.csv: station " + stations[i].name + " is on no line");
    }

    // A section between two railways belongs to the railway of its first end, unless that
    // end is a declared junction.
    const std::string& railwayOf(int a, int b) const
    {
        const Station& sa = stations[a];
        const Station& sb = stations[b];
        if (sa.railway != sb.railway && sa.type == 8 && sb.type != 8) return sb.railway;
        return sa.railway;
    }

    void buildLine(const Line& line)
    {
        double km = 0;
        for (std::size_t i = 0; i + 1 < line.stations.size(); ++i) {
            const int a = line.stations[i], b = line.stations[i + 1];
            const std::string railway = railwayOf(a, b);
            const Station ea = stations[a], eb = stations[b];
            const double direct = greatCircleKm(ea.lat, ea.lon, eb.lat, eb.lon) * kLengthFactor;
            const int parts = std::max(1, static_cast<int>(std::lround(direct / kStopSpacingKm)));
            int from = a;
            for (int p = 1; p < parts; ++p) {
                const double f = static_cast<double>(p) / parts;
                Station stop;
                stop.lat = ea.lat + (eb.lat - ea.lat) * f;
                stop.lon = ea.lon + (eb.lon - ea.lon) * f;
                stop.x = projectX(stop.lon);
                stop.y = projectY(stop.lat);
                stop.railway = railway;
                stop.type = line.rl == 2 ? 5 : 6;
                stop.code = std::to_string(m_nextStopCode++);
                const double len = trackKm(stations[from], stop);
                km += len;
                stop.name = std::to_string(std::lround(km)) + " км";
                stations.push_back(std::move(stop));
                const int to = static_cast<int>(stations.size()) - 1;
                sections.push_back({from, to, len, railway, line.rl, line.el});
                from = to;
            }
            const double len = trackKm(stations[from], eb);
            km += len;
            sections.push_back({from, b, len, railway, line.rl, line.el});
        }
    }

    // A named station where sections of two railways meet is a junction of railways.
    void markJunctions()
    {
        std::vector<std::set<std::string>> met(namedCount);
        for (const Section& s : sections)
            for (int end : {s.a, s.b})
                if (static_cast<std::size_t>(end) < namedCount) met[end].insert(s.railway);
        for (std::size_t i = 0; i < namedCount; ++i) {
            Station& s = stations[i];
            if (met[i].size() >= 2 && s.type <= 6) s.type = 8;
            else if (s.type == 8 && met[i].size() < 2)
                throw Error("stations.csv: " + s.name + " has type 8 but sections of only one railway meet there");
        }
    }
};

// ---- writing ------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(const std::string& path)
    {
        std::remove(path.c_str());
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) throw Error(path + ": cannot write");
    }
    ~Writer() { sqlite3_close(m_db); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void exec(const char* sql)
    {
        char* msg = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
            const std::string text = msg ? msg : "sqlite error";
            sqlite3_free(msg);
            throw Error(text);
        }
    }

    // One INSERT statement reused for every row of a table.
    class Insert {
    public:
        Insert(sqlite3* db, const char* sql) : m_db(db)
        {
            if (sqlite3_prepare_v2(db, sql, -1, &m_st, nullptr) != SQLITE_OK) throw Error(sqlite3_errmsg(db));
        }
        ~Insert() { sqlite3_finalize(m_st); }
        Insert(const Insert&) = delete;
        Insert& operator=(const Insert&) = delete;
        Insert& text(const std::string& v) { sqlite3_bind_text(m_st, ++m_col, v.c_str(), -1, SQLITE_TRANSIENT); return *this; }
        Insert& null() { sqlite3_bind_null(m_st, ++m_col); return *this; }
        Insert& num(int v) { sqlite3_bind_int(m_st, ++m_col, v); return *this; }
        Insert& real(double v) { sqlite3_bind_double(m_st, ++m_col, v); return *this; }
        void row()
        {
            if (sqlite3_step(m_st) != SQLITE_DONE) throw Error(sqlite3_errmsg(m_db));
            sqlite3_reset(m_st);
            m_col = 0;
        }

    private:
        sqlite3* m_db;
        sqlite3_stmt* m_st = nullptr;
        int m_col = 0;
    };

    Insert insert(const char* sql) { return Insert(m_db, sql); }

private:
    sqlite3* m_db = nullptr;
};

void writeCountries(Writer& w, const Network& n)
{
    auto ins = w.insert("INSERT INTO Contry VALUES(?,?)");
    for (const Country& c : n.countries) ins.text(c.code).text(c.name).row();
}

void writeRailways(Writer& w, const Network& n)
{
    auto ins = w.insert("INSERT INTO Doroga VALUES(?,?,?,?,?,?,?,?,?)");
    for (const Railway& r : n.railways) {
        int xl = kFrameX2, yl = kFrameY2, xr = kFrameX1, yr = kFrameY1;
        for (const Station& s : n.stations) {
            if (s.railway != r.code) continue;
            xl = std::min(xl, s.x); xr = std::max(xr, s.x);
            yl = std::min(yl, s.y); yr = std::max(yr, s.y);
        }
        ins.text(r.code).text(r.name).num(xl).num(yl).num(xr).num(yr).text(n.stations[r.centreIndex].code);
        if (r.centreName) ins.text(*r.centreName);
        else ins.null();
        ins.text(r.country).row();
    }
}

void writeStations(Writer& w, const Network& n)
{
    const std::vector<int> degree = n.degrees();
    auto ins = w.insert("INSERT INTO Stn VALUES(?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < n.stations.size(); ++i) {
        const Station& s = n.stations[i];
        ins.text(s.code).text(s.name).num(s.x).num(s.y).text(s.railway).num(s.type).num(degree[i] >= 3 ? 1 : 0).row();
    }
}

void writeSections(Writer& w, const Network& n)
{
    auto ins = w.insert("INSERT INTO Peregon VALUES(?,?,?,?,?,?,?,?,?,?)");
    for (const Section& s : n.sections) {
        const Station& a = n.stations[s.a];
        const Station& b = n.stations[s.b];
        ins.text(a.code).text(b.code).num(a.x).num(a.y).num(b.x).num(b.y).real(s.km).text(s.railway)
            .num(s.rl).num(s.el).row();
    }
}

void writeDatabase(const std::string& path, const Network& n)
{
    Writer w(path);
    w.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
    w.exec(zd::schema::fileSchemaSql().c_str());
    writeCountries(w, n);
    writeRailways(w, n);
    writeStations(w, n);
    writeSections(w, n);
    w.exec("COMMIT;");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zdmkdemo DATA-DIR OUTPUT-FILE\n");
        return 2;
    }
    const std::string dir = argv[1], out = argv[2], temp = out + ".tmp";
    try {
        Network n;
        n.load(dir);
        n.build();
        writeDatabase(temp, n);
        if (std::rename(temp.c_str(), out.c_str()) != 0) throw Error(out + ": cannot replace");
        std::printf("zdmkdemo: %zu railways, %zu stations (%zu named), %zu sections written to %s\n",
                    n.railways.size(), n.stations.size(), n.namedCount, n.sections.size(), out.c_str());
    } catch (const std::exception& e) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "zdmkdemo: error: %s\n", e.what());
        return 1;
    }
    return 0;
}
