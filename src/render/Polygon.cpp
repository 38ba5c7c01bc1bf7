#include "render/Polygon.h"

#include "render/Canvas.h"

namespace zd {

void Polygon::setForeColor(Color c)
{
    if (c <= 0 || !m_pic) return;
    m_savedFore = m_pic->foreColor();
    m_pic->setForeColor(c);
}

void Polygon::setFillStyle(int style)
{
    if (style <= 0 || !m_pic) return;
    m_savedFillStyle = m_pic->fillStyle();
    m_pic->setFillStyle(style);
}

void Polygon::setFillColor(Color c)
{
    if (c <= 0 || !m_pic) return;
    m_savedFill = m_pic->fillColor();
    m_pic->setFillColor(c);
}

void Polygon::setDrawWidth(int px)
{
    if (px <= 0 || !m_pic) return;
    m_savedWidth = m_pic->drawWidth();
    m_pic->setDrawWidth(px);
}

void Polygon::setDevice(Canvas* pic)
{
    m_pic = pic;
    if (!pic) return;
    m_originX = static_cast<float>(pic->scaleLeft());
    m_originY = static_cast<float>(pic->scaleTop());
    // Factors taken once per picture, so that each vertex costs two multiplications.
    m_pxPerUnitX = static_cast<float>(pic->pixelSize().width() / pic->scaleWidth());
    m_pxPerUnitY = static_cast<float>(pic->pixelSize().height() / pic->scaleHeight());
    m_savedWidth = pic->drawWidth();
    m_savedFillStyle = pic->fillStyle();
    m_savedFill = pic->fillColor();
    m_savedFore = pic->foreColor();
}

void Polygon::point(float x, float y)
{
    m_vertices << QPoint(toLong((x - m_originX) * m_pxPerUnitX), toLong((y - m_originY) * m_pxPerUnitY));
}

void Polygon::draw()
{
    if (m_pic) {
        m_pic->polygonPixels(m_vertices);
        m_pic->setDrawWidth(m_savedWidth);
        m_pic->setFillStyle(m_savedFillStyle);
        m_pic->setFillColor(m_savedFill);
        m_pic->setForeColor(m_savedFore);
    }
    m_vertices.clear();
}

} // namespace zd
