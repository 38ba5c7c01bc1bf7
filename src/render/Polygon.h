#pragma once
// Draws one filled polygon given in user (map) units on a canvas; the picture's line
// width, fill style, fill colour and line colour are given back after drawing.
#include "data/ZdTypes.h"

#include <QPolygon>

namespace zd {

class Canvas;

class Polygon {
public:
    // Settings of 0 or less are ignored: the picture keeps its own.
    void setForeColor(Color c);
    void setFillStyle(int style);
    void setFillColor(Color c);
    void setDrawWidth(int px);
    void setDevice(Canvas* pic);
    void point(float x, float y);   // appends one vertex
    void draw();                    // draws and resets for the next polygon

private:
    Canvas* m_pic = nullptr;
    float m_originX = 0, m_originY = 0;
    float m_pxPerUnitX = 1, m_pxPerUnitY = 1;
    int m_savedWidth = 1, m_savedFillStyle = 1;
    Color m_savedFill = 0, m_savedFore = 0;
    QPolygon m_vertices;
};

} // namespace zd
