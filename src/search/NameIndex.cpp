#include "search/NameIndex.h"

#include "search/KeySet.h"
#include "search/NameFold.h"

#include <boost/sort/pdqsort/pdqsort.hpp>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <unordered_set>

namespace zd::search {

// --- the keys of one kind ---------------------------------------------------------------

void NameIndex::KeySet::reserve(size_t keys)
{
    keyStart.reserve(keys);
    keyEntry.reserve(keys);
    whole.reserve(keys);
}

void NameIndex::KeySet::add(const Key& key, std::uint32_t entry, Words starts)
{
    if (key.text.empty()) return;
    const auto pos = static_cast<std::uint32_t>(bytes.size());
    keyStart.push_back(pos);
    keyEntry.push_back(entry);
    whole.push_back({pos, entry});
    auto digitsOnly = [&](std::uint32_t w) {
        return std::all_of(key.text.begin() + w, key.text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    for (const std::uint32_t w : key.wordStarts)
        if (starts == kAllWords || !digitsOnly(w)) words.push_back({pos + w, entry});
    bytes += key.text;
    bytes += '\0';
}

void NameIndex::KeySet::notePairs()
{
    m_pairs.assign(65536 / 64, 0);
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        const unsigned pair = static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]);
        m_pairs[pair / 64] |= std::uint64_t{1} << (pair % 64);
    }
}

bool NameIndex::KeySet::mayHold(std::string_view text) const
{
    if (m_pairs.empty()) return true;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const unsigned pair = static_cast<unsigned char>(text[i]) << 8 | static_cast<unsigned char>(text[i + 1]);
        if (!(m_pairs[pair / 64] >> (pair % 64) & 1)) return false;
    }
    return true;
}

void NameIndex::KeySet::sortRefs(std::vector<Ref>& refs) const
{
    const char* b = bytes.data();
    boost::sort::pdqsort(refs.begin(), refs.end(), [b](const Ref& x, const Ref& y) {
        const int c = std::strcmp(b + x.pos, b + y.pos);
        return c < 0 || (c == 0 && x.entry < y.entry);
    });
}

NameIndex::KeySet::Range NameIndex::KeySet::prefixRange(const std::vector<Ref>& refs, std::string_view key) const
{
    const char* b = bytes.data();
    const Ref* first = refs.data();
    const Ref* last = first + refs.size();
    // Compared on the first key.size() bytes only, the refs that begin with key are equal.
    auto head = [&](const Ref& r) { return std::strncmp(b + r.pos, key.data(), key.size()); };
    const Ref* lo = std::partition_point(first, last, [&](const Ref& r) { return head(r) < 0; });
    const Ref* hi = std::partition_point(lo, last, [&](const Ref& r) { return head(r) == 0; });
    return {lo, hi};
}

const NameIndex::KeySet::Ref* NameIndex::KeySet::exactEnd(Range prefix, std::string_view key) const
{
    const char* b = bytes.data();
    return std::partition_point(prefix.first, prefix.second, [&](const Ref& r) { return b[r.pos + key.size()] == '\0'; });
}

size_t NameIndex::KeySet::keyOf(std::uint32_t pos) const
{
    return static_cast<size_t>(std::upper_bound(keyStart.begin(), keyStart.end(), pos) - keyStart.begin()) - 1;
}

std::uint32_t NameIndex::KeySet::entryAt(std::uint32_t pos) const { return keyEntry[keyOf(pos)]; }

std::uint32_t NameIndex::KeySet::nextKey(std::uint32_t pos) const
{
    const size_t k = keyOf(pos) + 1;
    return k < keyStart.size() ? keyStart[k] : static_cast<std::uint32_t>(bytes.size());
}

// --- searching --------------------------------------------------------------------------

namespace {

// The best entries of a search, one rank after another: within a rank the lowest entries
// (the ranking order of ties) win, and an entry found once is not found again.
class Collector {
public:
    Collector(int limit, std::function<bool(std::uint32_t)> accepts)
        : m_limit(limit > 0 ? static_cast<size_t>(limit) : std::numeric_limits<size_t>::max()),
          m_accepts(std::move(accepts))
    {
    }

    // Offers an entry of the current rank; false once no higher entry can enter, so that
    // a caller offering entries in increasing order may stop.
    bool offer(std::uint32_t entry)
    {
        const size_t need = m_limit - m_hits.size();
        if (m_best.size() >= need && entry >= m_best.front()) return false;
        if ((m_accepts && !m_accepts(entry)) || !m_seen.insert(entry).second) return true;
        m_best.push_back(entry);
        std::push_heap(m_best.begin(), m_best.end());
        if (m_best.size() > need) {
            std::pop_heap(m_best.begin(), m_best.end());
            m_best.pop_back();
        }
        return true;
    }

    void endRank(Rank rank)
    {
        std::sort(m_best.begin(), m_best.end());
        for (const std::uint32_t e : m_best) m_hits.push_back({static_cast<int>(e), rank});
        m_best.clear();
    }

    bool full() const { return m_hits.size() >= m_limit; }
    std::vector<Hit> take() { return std::move(m_hits); }

private:
    size_t m_limit;
    std::function<bool(std::uint32_t)> m_accepts;
    std::vector<std::uint32_t> m_best;   // a max-heap of the current rank's best entries
    std::unordered_set<std::uint32_t> m_seen;
    std::vector<Hit> m_hits;
};

using KeySet = NameIndex::KeySet;

void offerRange(KeySet::Range range, Collector& c)
{
    for (const KeySet::Ref* r = range.first; r != range.second; ++r) c.offer(r->entry);
}

void offerExact(KeySet::Range exact, Collector& c)
{
    // Equal keys are sorted by entry: the first refused one ends the run.
    for (const KeySet::Ref* r = exact.first; r != exact.second && c.offer(r->entry); ++r) {}
}

// Keys lie in entry order in the buffer, so the scan offers entries in increasing order.
void offerSubstrings(const KeySet& set, std::string_view key, Collector& c)
{
    if (!set.mayHold(key)) return;
    const char* begin = set.bytes.data();
    const char* end = begin + set.bytes.size();
    for (const char* from = begin; from < end;) {
        const auto* found = static_cast<const char*>(memmem(from, static_cast<size_t>(end - from), key.data(), key.size()));
        if (!found) return;
        const auto pos = static_cast<std::uint32_t>(found - begin);
        if (!c.offer(set.entryAt(pos))) return;
        from = begin + set.nextKey(pos);
    }
}

// A prefix shared by a large part of the keys (a first letter) is found sooner by walking
// the keys in entry order, where the first matches are the best, than by offering every
// ref of its range. The walk gives up after as many keys as the range holds, and the
// range is offered after all (entries offered already are not taken twice).
bool walkKeys(const KeySet& set, KeySet::Range range, std::string_view key, Collector& c)
{
    constexpr ptrdiff_t kLargeRange = 4096;
    const ptrdiff_t budget = range.second - range.first;
    if (budget < kLargeRange) return false;
    const char* b = set.bytes.data();
    for (size_t k = 0; k < set.keyStart.size() && static_cast<ptrdiff_t>(k) < budget; ++k) {
        const char* at = b + set.keyStart[k];
        const bool longer = std::strncmp(at, key.data(), key.size()) == 0 && at[key.size()] != '\0';
        if (longer && !c.offer(set.keyEntry[k])) return true;
    }
    return static_cast<ptrdiff_t>(set.keyStart.size()) <= budget;
}

void collect(const KeySet& set, std::string_view key, Rank rank, Collector& c)
{
    switch (rank) {
    case Rank::Exact: {
        const KeySet::Range p = set.prefixRange(set.whole, key);
        offerExact({p.first, set.exactEnd(p, key)}, c);
        break;
    }
    case Rank::Prefix: {
        const KeySet::Range p = set.prefixRange(set.whole, key);
        const KeySet::Range longer{set.exactEnd(p, key), p.second};
        if (!walkKeys(set, longer, key, c)) offerRange(longer, c);
        break;
    }
    case Rank::WordPrefix: offerRange(set.prefixRange(set.words, key), c); break;
    case Rank::Substring: offerSubstrings(set, key, c); break;
    }
}

const WordFolder* queryFolder()
{
    thread_local const std::unique_ptr<WordFolder> folder = [] {
        auto f = WordFolder::create();
        return f ? std::move(*f) : nullptr;
    }();
    return folder.get();
}

bool allDigits(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::vector<Hit> NameIndex::find(QStringView text, int limit, const Filter& filter) const
{
    const WordFolder* folder = queryFolder();
    if (!folder || m_entries.empty()) return {};
    const FoldedText typed = folder->fold(text);
    if (typed.folded.text.empty()) return {};

    std::vector<std::pair<const KeySet*, std::string>> probes;
    if (allDigits(typed.folded.text)) {
        probes = {{m_codes.get(), typed.folded.text}, {m_folded.get(), typed.folded.text}};
    } else if (hasCyrillic(text) || typed.latin.text.empty()) {
        probes = {{m_folded.get(), typed.folded.text}};
    } else {
        probes = {{m_latin.get(), typed.latin.text}};
    }

    const bool filtered = !filter.stations || !filter.railways || filter.russiaOnly || filter.tipStn >= 0 || filter.accept;
    Collector c(limit, filtered ? std::function<bool(std::uint32_t)>([&](std::uint32_t e) { return accepts(static_cast<int>(e), filter); })
                                : nullptr);
    // A text that ends in a blank, hyphen or dot asks for a longer name ("Москва-"), as
    // the list's plain prefix search took it, so a name equal to the rest is no answer.
    const QChar last = text.back();
    const bool open = !last.isLetterOrNumber() && last != u'\'' && last != u'`' && last != QChar(0x2019);
    for (const Rank rank : {Rank::Exact, Rank::Prefix, Rank::WordPrefix, Rank::Substring}) {
        if (open && rank == Rank::Exact) continue;
        for (const auto& [set, key] : probes)
            if (set != m_codes.get() || rank <= Rank::Prefix) collect(*set, key, rank, c);
        c.endRank(rank);
        if (c.full()) break;
    }
    return c.take();
}

bool NameIndex::accepts(int entry, const Filter& filter) const
{
    const Entry& e = m_entries[static_cast<size_t>(entry)];
    if (!(e.kind == Kind::Station ? filter.stations : filter.railways)) return false;
    if (filter.russiaOnly && (e.railway < 0 || !m_railways[static_cast<size_t>(e.railway)].russia)) return false;
    if (filter.tipStn >= 0 && (e.kind != Kind::Station || e.tipStn != filter.tipStn)) return false;
    return !filter.accept || filter.accept(entry);
}

Place NameIndex::place(int entry) const
{
    const Entry& e = m_entries[static_cast<size_t>(entry)];
    Place p;
    p.kind = e.kind;
    p.name = QString::fromUtf8(m_text.data() + e.name);
    p.code = QString::fromUtf8(m_text.data() + e.code);
    p.kodDor = QString::fromUtf8(m_text.data() + e.kodDor);
    p.hasXY = e.hasXY;
    p.x = e.x;
    p.y = e.y;
    p.tipStn = e.tipStn;
    p.branch = e.branch;
    if (e.railway >= 0) {
        const Railway& r = m_railways[static_cast<size_t>(e.railway)];
        p.railway = r.name;
        p.russia = r.russia;
        p.xl = r.xl, p.yl = r.yl, p.xr = r.xr, p.yr = r.yr;
    }
    return p;
}

QString kindText(const Place& place)
{
    if (place.kind == Kind::Railway) return QStringLiteral("Дорога");
    switch (place.tipStn) {
    case 9: return QStringLiteral("Центр дороги");
    case 8: return QStringLiteral("Стык дорог");
    case 7: return QStringLiteral("Центр отделения");
    default: return {};
    }
}

NameIndex::NameIndex() = default;
NameIndex::~NameIndex() = default;

} // namespace zd::search
