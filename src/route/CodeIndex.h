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
    // Files entry i of the pool under its code; false when an earlier entry holds the code.
    bool insert(std::uint32_t i);

private:
    std::size_t slotOf(QByteArrayView code, std::uint32_t hash) const;
    void grow();

    const TextPool& m_codes;
    std::vector<std::uint64_t> m_slots;   // hash << 32 | entry + 1; 0 for an empty slot
    std::size_t m_used = 0;
};

} // namespace zd::route
