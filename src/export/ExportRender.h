#pragma once
// The map's frame drawn on any paint device: an image, an SVG or PDF page, a printer. The
// frame renderer and the tools' highlights draw on a canvas of the map's area; a title line
// above it, a legend beside it and a scale bar on it when asked for. Files are written to a
// temporary file and renamed, so that a failure leaves no half-written file.
#include "data/Database.h"
#include "export/ScaleBar.h"
#include "map/MapHost.h"
#include "render/MapState.h"

#include <QPageLayout>
#include <QPageSize>
#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace zd {

struct ExportOptions {
    bool legend = false;
    bool scaleBar = false;
    QString title;   // empty: no title line
};

// What is drawn: the map's state and network, and the tools' highlights.
struct ExportScene {
    MapState state;   // a copy of the map's: frame, scheme, marking mode, palette, scales
    std::shared_ptr<Database> db;
    bool genOn = true;
    Color back = rgb(0xE0, 0xE0, 0xE0);   // the map's background
    Dpi dpi;          // the map picture's: an image of the map's size is the map's picture
    double aspect = 0;   // width over height of the map on the screen; 0: the frame's own
    // The map's size on the screen, logical pixels: a picture or page of another size shows
    // the map as the screen does (the same stations, names and symbols), enlarged or
    // reduced as a whole. Empty: the picture's own size decides what is shown.
    QSize screenMap;
    std::vector<LegendEntry> highlights;
    std::function<void(MapPicture&)> drawHighlights;
};

// What the drawing gave besides the picture.
struct ExportDrawn {
    std::optional<ScaleBar> bar;
    QString noBar;   // why a bar asked for is missing
    QRect map;       // the map's area, device pixels
};

// The largest size in each direction that a picture may have, in pixels.
inline constexpr int kMaxExportPixels = 20000;

// Draws on the painter's area of page pixels at the DPI. keepAspect: the map keeps the
// aspect ratio of the screen's map (pages); otherwise it fills the room left.
Expected<ExportDrawn> drawExport(QPainter& p, QSize page, Dpi dpi, const ExportScene& scene, const ExportOptions& o,
                                 bool keepAspect);

enum class ExportFormat { Png, Svg, Pdf };
// The format told by the file name's extension, case-insensitively.
std::optional<ExportFormat> exportFormatOf(const QString& path);

struct ExportTarget {
    QString path;
    QSize pixels;   // PNG and SVG
    QPageSize::PageSizeId page = QPageSize::A4;   // PDF
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
};

// Why the target cannot be written, before anything is drawn; empty when it can.
QString exportProblem(const ExportTarget& t);

// Writes the bytes through a temporary file renamed at the end; a failure is a value with
// its Russian message, and no file is left.
Expected<> saveFile(const QString& path, const QByteArray& bytes);

// Draws and writes the file; a failure is a value with its Russian message.
Expected<ExportDrawn> writeExport(const ExportTarget& t, const ExportScene& scene, const ExportOptions& o);

} // namespace zd

namespace zd {
// The title line of a frame: a tool's (a railway's name, a route's ends) when there is one,
// else "Общая схема" or "Фрагмент схемы".
QString defaultTitle(const MapState& st, const QStringList& toolTitles);
}
