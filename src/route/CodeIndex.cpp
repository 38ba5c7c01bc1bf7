#include "route/CodeIndex.h"

#include <QHashFunctions>
#include <bit>

namespace zd::route {

namespace {
std::uint32_t hashOf(QByteArrayView code) { return static_cast<std::uint32_t>(qHash(code, 0)); }
} // namespace

CodeIndex::CodeIndex(const TextPool& codes, std::uint32_t expected)
    : m_codes(codes), m_slots(std::bit_ceil(std::max<std::size_t>(16, 2 * static_cast<std::size_t>(expected))))
{
}

// The slot that holds the code, or the empty slot where it would go (linear probing).
std::size_t CodeIndex::slotOf(QByteArrayView code, std::uint32_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = m_slots[i];
        if (slot == 0) return i;
        if (slot >> 32 == hash && m_codes.view(static_cast<std::uint32_t>(slot) - 1) == code) return i;
    }
}

std::uint32_t CodeIndex::find(QByteArrayView code) const
{
    const std::uint64_t slot = m_slots[slotOf(code, hashOf(code))];
    return slot ? static_cast<std::uint32_t>(slot) - 1 : kNone;
}

bool CodeIndex::insert(std::uint32_t i)
{
    if (2 * (m_used + 1) > m_slots.size()) grow();
    const QByteArrayView code = m_codes.view(i);
    const std::uint32_t hash = hashOf(code);
    std::uint64_t& slot = m_slots[slotOf(code, hash)];
    if (slot) return false;
    slot = static_cast<std::uint64_t>(hash) << 32 | (static_cast<std::uint64_t>(i) + 1);
    ++m_used;
    return true;
}

void CodeIndex::grow()
{
    std::vector<std::uint64_t> old(2 * m_slots.size());
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (std::uint64_t slot : old) {
        if (!slot) continue;
        std::size_t i = (slot >> 32) & mask;
        while (m_slots[i]) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace zd::route
