#pragma once
// Station numbers by code, over the codes of a text pool that it does not copy: one flat
// table of numbers, so that millions of codes cost no allocation each. Codes may be added
// to the pool while the index lives.
#include "route/NetworkRows.h"

#include <cstdint>
#include <vector>

namespace zd::route {

class CodeIndex {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    CodeIndex(const TextPool& codes, std::uint32_t expected);

    // The number of the first entry with that code, or kNone.
    std::uint32_t find(QByteArrayView code) const;
    // find() of each text of a pool, into out: the slots of a few codes ahead are fetched
    // from memory while the present ones are compared, which is where a large index spends its time.
    void findAll(const TextPool& codes, std::vector<std::uint32_t>& out) const;
    // Files entry i of the pool under its code; false when an earlier entry holds the code.
    bool insert(std::uint32_t i);
    // insert() of the pool's first `count` entries; true for each one that an earlier entry
    // holds the code of, or that has none.
    std::vector<bool> insertAll(std::uint32_t count);

private:
    std::size_t slotOf(QByteArrayView code, std::uint32_t hash) const;
    std::uint32_t entry(std::size_t slot) const;
    bool insert(std::uint32_t i, QByteArrayView code, std::uint32_t hash);
    template <class Visit> void batched(const TextPool& codes, std::uint32_t count, Visit visit) const;
    void grow();

    const TextPool& m_codes;
    std::vector<std::uint64_t> m_slots;   // hash << 32 | entry + 1; 0 for an empty slot
    std::size_t m_used = 0;
};

} // namespace zd::route
