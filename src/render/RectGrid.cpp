#include "render/RectGrid.h"

#include <algorithm>
#include <cmath>

namespace zd {

namespace {
constexpr int kMaxCells = 1 << 20;   // a grid larger than this gets coarser cells

bool overlap(const QRectF& a, const QRectF& b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}
} // namespace

RectGrid::RectGrid(const QRectF& area, double cell) : m_area(area.normalized()), m_cell(std::max(cell, 1.0))
{
    auto count = [&](double extent) { return std::max(1, static_cast<int>(std::ceil(extent / m_cell))); };
    while (double(count(m_area.width())) * count(m_area.height()) > kMaxCells) m_cell *= 2;
    m_cols = count(m_area.width());
    m_rows = count(m_area.height());
    m_cells.resize(static_cast<std::size_t>(m_cols) * m_rows);
}

RectGrid::Span RectGrid::span(const QRectF& r) const
{
    auto col = [&](double x) { return std::clamp(static_cast<int>(std::floor((x - m_area.left()) / m_cell)), 0, m_cols - 1); };
    auto row = [&](double y) { return std::clamp(static_cast<int>(std::floor((y - m_area.top()) / m_cell)), 0, m_rows - 1); };
    return {col(r.left()), row(r.top()), col(r.right()), row(r.bottom())};
}

bool RectGrid::intersects(const QRectF& r) const
{
    const Span s = span(r);
    ++m_test;
    for (int y = s.y1; y <= s.y2; ++y)
        for (int x = s.x1; x <= s.x2; ++x)
            for (int i : m_cells[static_cast<std::size_t>(y) * m_cols + x]) {
                if (m_seen[i] == m_test) continue;
                m_seen[i] = m_test;
                if (overlap(r, m_rects[i])) return true;
            }
    return false;
}

void RectGrid::insert(const QRectF& r)
{
    const int index = static_cast<int>(m_rects.size());
    m_rects.push_back(r);
    m_seen.push_back(0);
    const Span s = span(r);
    for (int y = s.y1; y <= s.y2; ++y)
        for (int x = s.x1; x <= s.x2; ++x) m_cells[static_cast<std::size_t>(y) * m_cols + x].push_back(index);
}

} // namespace zd
