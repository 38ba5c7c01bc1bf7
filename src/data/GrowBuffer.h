#pragma once
// A growing array of plain values in one block from malloc. It grows with realloc, which
// moves the pages of a large block instead of copying them, so that reading a query of a
// million rows never stops for a copy of hundreds of megabytes while the window waits.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace zd {

template <class T>
class GrowBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowBuffer() = default;
    GrowBuffer(const GrowBuffer& other) { append(other.data(), other.size()); }
    GrowBuffer(GrowBuffer&& other) noexcept { swap(other); }
    GrowBuffer& operator=(GrowBuffer other) noexcept
    {
        swap(other);
        return *this;
    }
    ~GrowBuffer() { std::free(m_data); }

    void swap(GrowBuffer& other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

    T* data() { return m_data; }
    const T* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }

    void clear() { m_size = 0; }   // keeps the memory for the next rows
    T& emplace_back()
    {
        makeRoom(1);
        return *new (m_data + m_size++) T();
    }
    void append(const T* values, std::size_t n)
    {
        if (n == 0) return;
        makeRoom(n);
        std::memcpy(m_data + m_size, values, n * sizeof(T));
        m_size += n;
    }

private:
    void makeRoom(std::size_t more)
    {
        if (m_size + more <= m_capacity) return;
        const std::size_t capacity = std::max({m_capacity * 2, m_size + more, std::size_t(64)});
        void* grown = std::realloc(m_data, capacity * sizeof(T));
        if (!grown) throw std::bad_alloc();
        m_data = static_cast<T*>(grown);
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace zd
