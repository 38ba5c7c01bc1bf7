#pragma once
// Inside the name index: the keys of one kind (folded names, Latin skeletons or station
// codes) in one buffer, with the arrays that find them by the beginning of the key or of
// one of its words.
#include "search/NameFold.h"
#include "search/NameIndex.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zd::search {

struct NameIndex::KeySet {
    // A place in bytes where a key or one of its words begins, and the entry it is of.
    struct Ref { std::uint32_t pos, entry; };
    using Range = std::pair<const Ref*, const Ref*>;

    std::string bytes;                    // every key, each ended by NUL, in entry order
    std::vector<std::uint32_t> keyStart;  // where each key begins, increasing
    std::vector<std::uint32_t> keyEntry;  // the entry of each key
    std::vector<Ref> whole;               // every key, sorted by its text, then entry
    std::vector<Ref> words;               // every later word, by the text from there, then entry

    // Which of a key's words a search may start at.
    enum Words { kAllWords, kNoDigitWords };
    void reserve(size_t keys);
    void add(const Key& key, std::uint32_t entry, Words starts = kAllWords);
    void sortWhole() { sortRefs(whole); }
    void sortWords() { sortRefs(words); }

    // Notes which pairs of adjacent bytes occur in the keys.
    void notePairs();
    // Whether every pair of adjacent bytes of a text occurs in the keys: if not, the text
    // is in none of them.
    bool mayHold(std::string_view text) const;

    // The refs whose text begins with key; those equal to it come first.
    Range prefixRange(const std::vector<Ref>& refs, std::string_view key) const;
    // The end of the refs at the front of a prefix range that are equal to key.
    const Ref* exactEnd(Range prefix, std::string_view key) const;
    // The entry of the key that holds a byte of bytes.
    std::uint32_t entryAt(std::uint32_t pos) const;
    // Where the key after the one that holds a byte begins (bytes.size() after the last).
    std::uint32_t nextKey(std::uint32_t pos) const;

private:
    std::vector<std::uint64_t> m_pairs;   // a bit per pair of bytes

    void sortRefs(std::vector<Ref>& refs) const;
    size_t keyOf(std::uint32_t pos) const;
};

} // namespace zd::search
