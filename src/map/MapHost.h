#pragma once
// What a tool window may ask of the map (MapHost), and what the map tells a tool window
// (MapTool). The main window is the one MapHost; every tool window is a MapTool that takes
// a MapHost& and reaches the map through it alone.
#include "data/DataSource.h"
#include "render/MapState.h"

#include <QPointF>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QObject;
class QWidget;

namespace zd {

class Canvas;
class MapTool;
class PictureBox;
class PointerMode;
class ZoneOutline;
namespace search { class NameIndex; }

// Another picture of the map's frame than the map itself: an export or a print. Its state is
// a copy of the map's whose mainPic and mainPeregons are this canvas and these sections, so
// that nothing drawn there reaches the map; sections and stations are its frame's rows.
struct MapPicture {
    MapState& state;
    Canvas& canvas;
    RowSet& sections;
    RowSet& stations;
};

// One line of a legend for what a tool shows on the map: a section line or a station symbol
// of the type, in the colour.
struct LegendEntry {
    enum Kind { Section, Station } kind = Section;
    Color color = 0;
    QString caption;
    std::int16_t tip = 0;   // the symbol's TipStn for a station entry
    bool foreign = false;   // drawn as another country's: pale in the CIS marking
    // The tool's own drawing of the symbol's one row (StnX, StnY or Stn1X … Stn2Y), where
    // its highlight is not drawn by the map's routines as they are; empty for those.
    std::function<void(MapState&, Canvas&, RowSet&)> draw = {};
};

// The highlights a render draws again over the new picture.
enum class Highlight { Railway, Sections, Stations };

class MapHost {
public:
    virtual ~MapHost() = default;

    // --- the view
    virtual MapState& state() = 0;             // frame, scheme, scale, marking mode, palette
    virtual PictureBox& picture() = 0;         // picZdMain
    virtual QWidget& window() = 0;             // the main window: the owner of tool windows
    virtual std::int16_t kadrZoomed() const = 0;
    virtual bool ended() const = 0;            // the program is ending: do nothing more
    // The map takes a command now: started, not ending, not in the middle of a render.
    virtual bool acceptsCommands() const { return !ended(); }
    virtual bool generalised() const { return false; }   // "Генерализация станций" is on
    // Makes f the frame with the zoom state given and renders it (a history entry).
    virtual void showFrame(const Frame& f, std::int16_t kadrZoomed) = 0;
    virtual void wholeScheme() = 0;            // "Общая схема"
    virtual void redrawFrame() = 0;            // the same frame again, without a history entry

    // --- the network
    virtual std::shared_ptr<Database> database() = 0;   // the open network, shared by every query
    virtual const QString& dbPath() const = 0;
    virtual RowSet& frameSections() = 0;       // the rows of the last render
    virtual RowSet& frameStations() = 0;
    // A database failure while running: the message, then the end of the program.
    virtual void reportFailure(const DbError& error) = 0;
    // The name index of the network (every lookup of a name goes through it), or null while
    // it is being built in the background or when it could not be built.
    virtual std::shared_ptr<const search::NameIndex> nameIndex() const { return nullptr; }
    // Calls ready once the index is there (at once when it is already); nothing when context
    // is destroyed first.
    virtual void whenNameIndexReady(QObject* context, std::function<void()> ready) { (void)context, (void)ready; }

    // --- highlights
    virtual bool lightOn(Highlight h) const = 0;
    virtual void setLightOn(Highlight h, bool on) = 0;
    // The menu item "Убрать подсветку" and its toolbar button, each on its own.
    virtual void enableEraseItem(bool on) = 0;
    virtual void enableEraseButton(bool on) = 0;

    // --- on the map
    virtual ZoneOutline& zoneOutline() = 0;    // shpFindPic: the station search's zone
    // The object under the pointer, on the map or on a tool window's preview picture.
    virtual void showObjectAt(RowSet& sections, PictureBox& surface, float x, float y) = 0;
    virtual void endObjectAt(PictureBox& surface) = 0;
    virtual std::int16_t kursInfObj() const = 0;
    // A tool window's own pointer handler for the map's next presses (picking a station);
    // null gives the map back to MapMode.
    virtual void setPickMode(PointerMode* mode) = 0;
    // The station last chosen by a search (map units), which tool windows open clear of;
    // none before the first choice and after another network is opened.
    virtual std::optional<QPointF> chosenStation() const { return std::nullopt; }
    virtual void chooseStation(QPointF mapXY) { (void)mapXY; }

    virtual void showHelpTopic(int topic) = 0;

    // The tool windows open now, in their fixed order (an export asks them for their highlights).
    virtual std::vector<MapTool*> mapTools() const { return {}; }

    // Opens the data source with the SQL text; a failure is reported and false returned.
    bool openOrFail(DataSource& ds, const QString& sql)
    {
        auto opened = ds.open(sql);
        if (!opened) reportFailure(opened.error());
        return opened.ok();
    }
};

class MapTool {
public:
    virtual ~MapTool() = default;

    // The tool's window, or null: the popup of the object under the pointer keeps clear of it.
    virtual const QWidget* toolWindow() const = 0;
    // A frame was rendered and every highlight drawn again.
    virtual void frameRendered() {}
    // The marking mode changed and the map was rendered in it.
    virtual void markingChanged() {}
    // Draw your highlight again over the new picture (the host calls the tools in their fixed
    // order: railway, then sections, then stations).
    virtual void redrawHighlight() {}
    // "Убрать подсветку": switch your highlight off; true when there was one, and the window
    // is to go (the host calls the tools in the reverse order).
    virtual bool switchHighlightOff() { return false; }

    // Draw your highlight, as the map shows it now, on another picture of the same frame,
    // from the rows you hold (nothing is queried again and the map is not touched).
    virtual void drawHighlightOn(MapPicture&) {}
    // The legend lines of what your highlight shows now; none when it is off.
    virtual std::vector<LegendEntry> highlightLegend() const { return {}; }
    // What the frame shows because of you (a railway's name, a route's ends), for a title
    // line; empty when nothing.
    virtual QString frameTitle() const { return {}; }
};

} // namespace zd
