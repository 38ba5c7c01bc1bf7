#pragma once
// The object under the pointer: the station or section found there is marked on the
// picture's screen layer and described in the popup until the button is released.
#include "data/DataSource.h"
#include "render/MapState.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace zd {

class Canvas;
class FrmKursInf;
class PictureBox;

// What the search reads of the main window.
struct CursorScene {
    MapState& st;                 // frame, KadrScale, colours
    bool genOn;
    DataSource& dtaStn;           // receives the station look-ups
    DataSource& dtaDoroga;        // all railways
    PictureBox& mainPic;          // the popup is placed beside it
    std::vector<const QWidget*> toolWindows;   // the tool windows open over the map, in their fixed order
};

class KursInfo {
public:
    enum Object : std::int16_t { Nothing = 0, Station = 1, Section = 2 };

    KursInfo();
    ~KursInfo();

    // Looks for a station in the search square around (x, y) map units, else for the first
    // section of `sections` passing within 1 % of the visible height. A failed query is
    // returned; nothing found leaves everything as it was.
    Expected<> show(CursorScene& scene, RowSet& sections, Canvas& surface, float x, float y);

    // The pointer-up: the marking and the popup go away.
    void end(Canvas& surface);

    std::int16_t object() const { return m_obj; }
    FrmKursInf* popup() const { return m_popup.get(); }
    const QStringList& lines() const { return m_lines; }   // the description as printed

private:
    struct Line;
    struct End {   // a section end found in Stn: its name line and rounded position
        QString nameLine;
        std::int32_t x, y;
    };
    void station(CursorScene& scene, Canvas& surface, float x, float y);
    Expected<> section(CursorScene& scene, RowSet& sections, int row, Canvas& surface);
    Expected<std::optional<End>> markEnd(CursorScene& scene, Canvas& surface, const QString& kod);
    void place(CursorScene& scene, float x, float y);
    void print(const std::vector<Line>& lines);

    std::unique_ptr<FrmKursInf> m_popup;
    std::int16_t m_obj = Nothing;
    QStringList m_lines;
};

// Half the side of the square searched for a station around the pointer, in map units:
// the root of KadrScale times the picture's scale height over 50.
std::int32_t cursorSearchHalf(float kadrScale, double scaleHeight);

// The railway line of a description: "дор " and the railway's name, or empty.
QString railwayLine(RowSet& doroga, const QString& kodDor);

} // namespace zd
