#pragma once
// The one name matcher of the program: every station name (Stn.NazStn), station code
// (Stn.KodStn) and railway name (Doroga.NazDor) of a network, folded into keys (see
// NameFold.h) and sorted, so that a typed text finds its places in a few milliseconds on
// millions of stations.
//
// Ranking: a key equal to the typed text, then a key starting with it, then a word inside
// a key starting with it, then the text anywhere in a key. Ties go by the Russian order of
// the names, and for the same name centres of railways before junctions of railways
// before centres of divisions before other stations, railways last. Cyrillic text is
// matched against the folded names, Latin text against the Latin skeletons, digits alone
// against the station codes and the names.
#include "data/DbError.h"
#include "data/RowSet.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zd::search {

enum class Kind : std::uint8_t { Station, Railway };
enum class Rank : std::uint8_t { Exact, Prefix, WordPrefix, Substring };

// The rows an index is built from, read by readNameRows (IndexBuild.h).
struct NameRows {
    RowSet stations;   // KodStn, NazStn, StnX, StnY, KodDor, TipStn, StnBranch, by NazStn
    RowSet railways;   // KodDor, NazDor, XL, YL, XR, YR, KodContry, by NazDor
};

// One station or railway as callers show it. Coordinates in map units; a railway's are
// the centre of its rectangle, which xl, yl, xr, yr hold (left, top, right, bottom).
struct Place {
    Kind kind = Kind::Station;
    QString name;
    QString code;       // KodStn; KodDor of a railway
    QString kodDor;     // the station's railway, or the railway itself
    QString railway;    // NazDor of that railway; empty when the code names none
    bool hasXY = false;
    double x = 0, y = 0;
    double xl = 0, yl = 0, xr = 0, yr = 0;
    int tipStn = 0;
    bool branch = false;
    bool russia = false;   // the railway is of country "11"
};

// What a place is, as the program names it: "Центр дороги", "Стык дорог", "Центр
// отделения", "Дорога" for a railway; empty for other stations.
QString kindText(const Place& place);

// Which places a search may return.
struct Filter {
    bool stations = true;
    bool railways = true;
    bool russiaOnly = false;                 // stations and railways of country "11"
    int tipStn = -1;                         // stations of this TipStn only; -1 any
    std::function<bool(int entry)> accept;   // any further condition, when set
};

struct Hit {
    int entry;
    Rank rank;
    bool operator==(const Hit&) const = default;
};

class NameIndex {
public:
    // Builds the index on two threads. Fails only when ICU lacks a transliterator.
    static Expected<std::shared_ptr<const NameIndex>> build(const NameRows& rows);

    // The best places for a typed text, best first; limit <= 0 returns every match.
    std::vector<Hit> find(QStringView text, int limit, const Filter& filter = {}) const;

    int size() const { return static_cast<int>(m_entries.size()); }
    Place place(int entry) const;
    Kind kind(int entry) const { return m_entries[static_cast<size_t>(entry)].kind; }
    // KodStn (KodDor of a railway) as UTF-8, without building a Place: for a Filter that
    // keeps the places of a list of the caller's own.
    QByteArrayView code(int entry) const { return m_text.data() + m_entries[static_cast<size_t>(entry)].code; }

    struct KeySet;   // one kind of key with its sorted arrays
    ~NameIndex();
    NameIndex();

private:
    struct Entry {
        std::uint32_t name = 0, code = 0, kodDor = 0;   // offsets of NUL-ended UTF-8 in m_text
        std::int32_t railway = -1;          // index in m_railways
        std::int16_t tipStn = 0;
        Kind kind = Kind::Station;
        bool branch = false, hasXY = false;
        double x = 0, y = 0;
    };
    struct Railway {
        QString code, name;
        double xl = 0, yl = 0, xr = 0, yr = 0;
        bool hasRect = false, russia = false;
    };
    class Builder;
    friend class Builder;

    bool accepts(int entry, const Filter& filter) const;

    std::string m_text;
    std::vector<Entry> m_entries;   // in ranking order of ties
    std::vector<Railway> m_railways;
    std::unique_ptr<KeySet> m_folded, m_latin, m_codes;
};

} // namespace zd::search
