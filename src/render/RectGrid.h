#pragma once
// Rectangles placed on a picture, found again through a uniform grid of cells: a test of a
// new rectangle looks only at those in the cells it covers, so that placing n labels costs
// about n tests, not n² (pixels).
#include <QRectF>

#include <vector>

namespace zd {

class RectGrid {
public:
    // area: the picture's rectangle in pixels; cell: the side of a grid cell in pixels.
    RectGrid(const QRectF& area, double cell);

    bool intersects(const QRectF& r) const;   // overlaps a placed rectangle (touching is not)
    void insert(const QRectF& r);
    const std::vector<QRectF>& rects() const { return m_rects; }

private:
    struct Span { int x1, y1, x2, y2; };
    Span span(const QRectF& r) const;

    QRectF m_area;
    double m_cell;
    int m_cols, m_rows;
    std::vector<std::vector<int>> m_cells;   // indexes into m_rects
    std::vector<QRectF> m_rects;
    mutable std::vector<unsigned> m_seen;    // the last test that looked at each rectangle
    mutable unsigned m_test = 0;
};

} // namespace zd
