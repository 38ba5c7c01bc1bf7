#pragma once
// The legend of a map: the station symbols by type and the section line as the renderer
// draws them on that map (its size and scale), with their Russian names; the pale colour of
// the other countries in the CIS marking; the highlights that are on the picture.
#include "data/DbError.h"
#include "data/RowSet.h"
#include "map/MapHost.h"
#include "render/MapState.h"

#include <QFont>
#include <QRectF>
#include <vector>

class QPainter;

namespace zd {

class Database;

// The lines of the legend of a map in the state, the highlights' lines last.
std::vector<LegendEntry> legendEntries(const MapState& st, const std::vector<LegendEntry>& highlights);

class Legend {
public:
    // The legend of a map of the view drawn in the state; its rows are read from the
    // database (one-row queries that the drawing routines take as they take the frame's).
    static Expected<Legend> make(const MapState& st, const View& mapView, const Database& db,
                                 const std::vector<LegendEntry>& entries);

    QSizeF size() const { return m_size; }          // device pixels
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const LegendEntry& entry(int row) const { return m_rows[row].entry; }
    // Where the row's map point lands when the legend is drawn at topLeft (device pixels):
    // the centre of a station symbol, the middle of a section line.
    QPointF anchor(int row, QPointF topLeft) const;

    // Draws the legend on a white ground with its heading, its top-left corner at topLeft.
    void draw(QPainter& p, QPointF topLeft) const;

private:
    struct Row {
        LegendEntry entry;
        RowSet rows;        // the one row drawn
        QRectF box;         // the symbol's extent on the map's picture (device pixels)
        QPointF offset;     // whole pixels that move the symbol into its cell
        double top = 0, height = 0;
    };
    void drawSymbol(QPainter& p, const Row& row, QPointF at) const;
    void layOut();

    MapState m_st;
    View m_view;
    QPointF m_at;           // the map point of every symbol, in pixels of the map
    std::vector<Row> m_rows;
    QFont m_font, m_heading;
    QSizeF m_size;
    double m_symbolWidth = 0, m_textLeft = 0, m_headingHeight = 0;
};

// A font of the legend, title and scale bar at the size in points.
QFont exportFont(double points, bool bold = false);

} // namespace zd
