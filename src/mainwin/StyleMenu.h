#pragma once
// The map's style chosen by the user: the menu "Вид" with "Классический" and "Для экрана",
// a toolbar toggle for "Для экрана", and the choice kept between runs.
#include "render/MapState.h"

#include <QObject>

class QAction;
class QActionGroup;

namespace zd {

class FrmZdMain;

class StyleMenu : public QObject {
    Q_OBJECT
public:
    // Adds the items to the main window and gives its map the style kept from the last run.
    explicit StyleMenu(FrmZdMain& window);

    // Draws the map in the style from now on, remembers it, and redraws the frame.
    void choose(MapStyle style);

    static MapStyle saved();
    static void save(MapStyle style);

private:
    void showChecks(MapStyle style);

    FrmZdMain& m_window;
    QAction* m_classic = nullptr;
    QAction* m_screen = nullptr;
    QAction* m_toggle = nullptr;
};

} // namespace zd
