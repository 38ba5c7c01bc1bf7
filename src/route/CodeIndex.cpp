#include "route/CodeIndex.h"

#include <QHashFunctions>
#include <algorithm>
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

std::uint32_t CodeIndex::entry(std::size_t slot) const
{
    return m_slots[slot] ? static_cast<std::uint32_t>(m_slots[slot]) - 1 : kNone;
}

std::uint32_t CodeIndex::find(QByteArrayView code) const { return entry(slotOf(code, hashOf(code))); }

// Calls visit(i, hash) for the first `count` texts of a pool in order, with the slots of
// the next few fetched ahead.
template <class Visit>
void CodeIndex::batched(const TextPool& codes, std::uint32_t count, Visit visit) const
{
    constexpr std::uint32_t kAhead = 16;
    std::uint32_t hashes[kAhead];
    for (std::uint32_t begin = 0; begin < count; begin += kAhead) {
        const std::uint32_t end = std::min(count, begin + kAhead);
        for (std::uint32_t i = begin; i < end; ++i) {
            hashes[i - begin] = hashOf(codes.view(i));
            __builtin_prefetch(&m_slots[hashes[i - begin] & (m_slots.size() - 1)]);
        }
        for (std::uint32_t i = begin; i < end; ++i) visit(i, hashes[i - begin]);
    }
}

void CodeIndex::findAll(const TextPool& codes, std::vector<std::uint32_t>& out) const
{
    out.resize(codes.size());
    batched(codes, codes.size(), [&](std::uint32_t i, std::uint32_t hash) { out[i] = entry(slotOf(codes.view(i), hash)); });
}

bool CodeIndex::insert(std::uint32_t i)
{
    const QByteArrayView code = m_codes.view(i);
    return insert(i, code, hashOf(code));
}

bool CodeIndex::insert(std::uint32_t i, QByteArrayView code, std::uint32_t hash)
{
    if (2 * (m_used + 1) > m_slots.size()) grow();
    std::uint64_t& slot = m_slots[slotOf(code, hash)];
    if (slot) return false;
    slot = static_cast<std::uint64_t>(hash) << 32 | (static_cast<std::uint64_t>(i) + 1);
    ++m_used;
    return true;
}

std::vector<bool> CodeIndex::insertAll(std::uint32_t count)
{
    while (2 * (m_used + count) > m_slots.size()) grow();
    std::vector<bool> held(count);
    batched(m_codes, count, [&](std::uint32_t i, std::uint32_t hash) {
        const QByteArrayView code = m_codes.view(i);
        held[i] = code.empty() || !insert(i, code, hash);
    });
    return held;
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
