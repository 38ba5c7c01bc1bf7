// Building the name index: the rows put in ranking order, their names cut into tokens,
// each distinct token folded once (names repeat their words massively), the keys run
// together from the folded tokens, and the key arrays sorted, each step on two threads.
#include "data/SqlFunctions.h"
#include "data/ZdTypes.h"
#include "search/KeySet.h"
#include "search/NameIndex.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <thread>
#include <unordered_map>

namespace zd::search {

namespace {

// Runs task(i, worker) for every i below n on two threads, the calling one (worker 0)
// and one more (worker 1).
void onTwoThreads(size_t n, const std::function<void(size_t, int)>& task)
{
    std::atomic<size_t> next{0};
    auto work = [&](int worker) {
        for (size_t i; (i = next++) < n;) task(i, worker);
    };
    std::thread other(work, 1);
    work(0);
    other.join();
}

// Centres of railways, junctions of railways, centres of divisions, other stations.
int typeOrder(int tipStn)
{
    switch (tipStn) {
    case 9: return 0;
    case 8: return 1;
    case 7: return 2;
    default: return 3;
    }
}

std::string_view view(QByteArrayView v) { return {v.data(), static_cast<size_t>(v.size())}; }

} // namespace

class NameIndex::Builder {
public:
    Builder(const NameRows& rows, NameIndex& index) : m_rows(rows), m_ix(index) {}

    QString run()
    {
        std::unique_ptr<WordFolder> folders[2];
        for (auto& f : folders) {
            auto made = WordFolder::create();
            if (!made) return made.error().cause;
            f = std::move(*made);
        }
        readRailways();
        addEntries();
        foldTokens(folders);
        buildKeys();
        sortKeys();
        return {};
    }

private:
    struct Columns { int kod, naz, x, y, dor, tip, branch; };

    void readRailways()
    {
        const RowSet& d = m_rows.railways;
        const int kod = d.column(u"KodDor"), naz = d.column(u"NazDor"), contry = d.column(u"KodContry");
        const int rect[4] = {d.column(u"XL"), d.column(u"YL"), d.column(u"XR"), d.column(u"YR")};
        for (int r = 0; r < d.recordCount(); ++r) {
            Railway w{d.textAt(r, kod), d.textAt(r, naz)};
            w.hasRect = std::none_of(std::begin(rect), std::end(rect), [&](int c) { return d.isNullAt(r, c); });
            w.xl = d.numberAt(r, rect[0]), w.yl = d.numberAt(r, rect[1]);
            w.xr = d.numberAt(r, rect[2]), w.yr = d.numberAt(r, rect[3]);
            w.russia = d.textAt(r, contry) == QLatin1String("11");
            m_railwayOf.try_emplace(w.code.toStdString(), static_cast<int>(m_ix.m_railways.size()));
            m_ix.m_railways.push_back(std::move(w));
        }
    }

    // The station rows as the SQL gave them (by name), equal names by type; the railways
    // merged in by name, after the stations of the same name.
    std::vector<std::pair<Kind, int>> entryOrder() const
    {
        const RowSet& s = m_rows.stations;
        const int naz = s.column(u"NazStn"), tip = s.column(u"TipStn");
        std::vector<int> stations(static_cast<size_t>(s.recordCount()));
        for (size_t i = 0; i < stations.size(); ++i) stations[i] = static_cast<int>(i);
        for (auto run = stations.begin(); run != stations.end();) {
            const QByteArrayView name = s.utf8At(*run, naz);
            auto end = std::find_if(run, stations.end(), [&](int r) { return s.utf8At(r, naz) != name; });
            std::stable_sort(run, end, [&](int a, int b) {
                return typeOrder(toInt16(s.numberAt(a, tip))) < typeOrder(toInt16(s.numberAt(b, tip)));
            });
            run = end;
        }
        // Both lists are in Russian order: each railway goes before the first station
        // whose name comes after its own.
        const RowSet& d = m_rows.railways;
        const int nazDor = d.column(u"NazDor");
        std::vector<std::pair<Kind, int>> order;
        order.reserve(stations.size() + static_cast<size_t>(d.recordCount()));
        auto next = stations.begin();
        for (int r = 0; r < d.recordCount(); ++r) {
            const auto at = std::partition_point(next, stations.end(), [&](int st) {
                return russianCompare(s.utf8At(st, naz), d.utf8At(r, nazDor)) <= 0;
            });
            for (; next != at; ++next) order.emplace_back(Kind::Station, *next);
            order.emplace_back(Kind::Railway, r);
        }
        for (; next != stations.end(); ++next) order.emplace_back(Kind::Station, *next);
        return order;
    }

    std::uint32_t addText(QByteArrayView text)
    {
        const auto at = static_cast<std::uint32_t>(m_ix.m_text.size());
        m_ix.m_text.append(text.data(), static_cast<size_t>(text.size()));
        m_ix.m_text += '\0';
        return at;
    }

    void addEntries()
    {
        const RowSet& s = m_rows.stations;
        const Columns c{s.column(u"KodStn"), s.column(u"NazStn"), s.column(u"StnX"), s.column(u"StnY"),
                        s.column(u"KodDor"), s.column(u"TipStn"), s.column(u"StnBranch")};
        const RowSet& d = m_rows.railways;
        const int kodDor = d.column(u"KodDor"), nazDor = d.column(u"NazDor");
        for (const auto& [kind, row] : entryOrder()) {
            Entry e;
            e.kind = kind;
            if (kind == Kind::Station) {
                e.name = addText(s.utf8At(row, c.naz));
                e.code = addText(s.utf8At(row, c.kod));
                e.kodDor = addText(s.utf8At(row, c.dor));
                const auto w = m_railwayOf.find(view(s.utf8At(row, c.dor)));
                e.railway = w == m_railwayOf.end() ? -1 : w->second;
                e.tipStn = toInt16(s.numberAt(row, c.tip));
                e.branch = s.numberAt(row, c.branch) == 1;
                e.hasXY = !s.isNullAt(row, c.x) && !s.isNullAt(row, c.y);
                e.x = s.numberAt(row, c.x), e.y = s.numberAt(row, c.y);
            } else {
                const Railway& w = m_ix.m_railways[static_cast<size_t>(row)];
                e.name = addText(d.utf8At(row, nazDor));
                e.code = e.kodDor = addText(d.utf8At(row, kodDor));
                e.railway = row;
                e.hasXY = w.hasRect;
                e.x = (w.xl + w.xr) / 2, e.y = (w.yl + w.yr) / 2;
            }
            m_ix.m_entries.push_back(e);
        }
    }

    std::string_view textAt(std::uint32_t at) const { return m_ix.m_text.data() + at; }

    // Every distinct token of the names and station codes that is not plain ASCII, folded
    // once (a code may hold letters of any script).
    void foldTokens(std::unique_ptr<WordFolder> (&folders)[2])
    {
        std::vector<std::string_view> tokens;
        auto note = [&](std::string_view t, bool ascii) {
            if (!ascii && m_tokenIds.try_emplace(t, static_cast<std::uint32_t>(tokens.size())).second)
                tokens.push_back(t);
        };
        for (const Entry& e : m_ix.m_entries) {
            forEachToken(textAt(e.name), note);
            if (e.kind == Kind::Station) forEachToken(textAt(e.code), note);
        }
        m_parts.resize(tokens.size());
        constexpr size_t kChunk = 256;
        onTwoThreads((tokens.size() + kChunk - 1) / kChunk, [&](size_t chunk, int worker) {
            for (size_t i = chunk * kChunk; i < std::min(tokens.size(), (chunk + 1) * kChunk); ++i)
                m_parts[i] = folders[worker]->foldToken(tokens[i]);
        });
    }

    // Runs the keys of a text together from its tokens.
    void keysOf(std::string_view text, Key* folded, Key* bgn, Key* latin) const
    {
        for (Key* k : {folded, bgn, latin})
            if (k) k->text.clear(), k->wordStarts.clear();
        forEachToken(text, [&](std::string_view t, bool ascii) {
            if (std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                for (Key* k : {folded, bgn, latin})
                    if (k) k->appendWord(t);
                return;
            }
            const auto id = ascii ? m_tokenIds.end() : m_tokenIds.find(t);
            if (!ascii && id == m_tokenIds.end()) return;   // every token was folded: not reached
            const FoldedText plain = ascii ? foldAsciiWord(t) : FoldedText{};
            const FoldedText& p = ascii ? plain : m_parts[id->second];
            if (folded) folded->append(p.folded);
            if (bgn) bgn->append(p.bgn);
            if (latin) latin->append(p.latin);
        });
    }

    void buildKeys()
    {
        m_ix.m_folded = std::make_unique<KeySet>();
        m_ix.m_latin = std::make_unique<KeySet>();
        m_ix.m_codes = std::make_unique<KeySet>();
        for (KeySet* k : {m_ix.m_folded.get(), m_ix.m_latin.get(), m_ix.m_codes.get()}) k->reserve(m_ix.m_entries.size());
        onTwoThreads(2, [&](size_t task, int) {
            Key a, b;
            for (std::uint32_t i = 0; i < m_ix.m_entries.size(); ++i) {
                const Entry& e = m_ix.m_entries[i];
                if (task == 0) {
                    keysOf(textAt(e.name), &a, nullptr, nullptr);
                    m_ix.m_folded->add(a, i);
                    if (e.kind != Kind::Station) continue;
                    keysOf(textAt(e.code), &a, nullptr, nullptr);
                    a.wordStarts.clear();
                    m_ix.m_codes->add(a, i);
                } else {
                    keysOf(textAt(e.name), nullptr, &a, &b);
                    // Latin text is never all digits (digits go to the folded names), so
                    // no Latin search starts at a word of digits.
                    m_ix.m_latin->add(a, i, KeySet::kNoDigitWords);
                    if (b.text != a.text) m_ix.m_latin->add(b, i, KeySet::kNoDigitWords);
                }
            }
        });
    }

    void sortKeys()
    {
        KeySet& f = *m_ix.m_folded;
        KeySet& l = *m_ix.m_latin;
        KeySet& k = *m_ix.m_codes;
        const std::function<void()> sorts[] = {[&] { f.sortWords(); }, [&] { l.sortWords(); }, [&] { k.sortWhole(); },
                                               [&] { f.sortWhole(); }, [&] { l.sortWhole(); },
                                               [&] { f.notePairs(); }, [&] { l.notePairs(); }};
        onTwoThreads(std::size(sorts), [&](size_t i, int) { sorts[i](); });
    }

    const NameRows& m_rows;
    NameIndex& m_ix;
    std::map<std::string, int, std::less<>> m_railwayOf;   // KodDor -> railway
    std::unordered_map<std::string_view, std::uint32_t> m_tokenIds;
    std::vector<FoldedText> m_parts;                       // of each distinct token
};

Expected<std::shared_ptr<const NameIndex>> NameIndex::build(const NameRows& rows)
{
    auto index = std::make_shared<NameIndex>();
    const QString error = Builder(rows, *index).run();
    if (!error.isEmpty()) return DbError{QString(), error};
    return std::shared_ptr<const NameIndex>(std::move(index));
}

} // namespace zd::search
