#pragma once
// The dockable panel "Условные обозначения": the legend of the map as it is now, drawn by
// the same routines as the map and the exports' legend, again after every render.
#include "map/MapHost.h"

#include <QDockWidget>

class QLabel;

namespace zd {

class LegendDock : public QDockWidget, public MapTool {
    Q_OBJECT
public:
    explicit LegendDock(MapHost& host);

    // --- MapTool
    const QWidget* toolWindow() const override { return nullptr; }   // docked: beside the map
    void frameRendered() override { refresh(); }
    void markingChanged() override { refresh(); }

    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    MapHost& m_host;
    QLabel* m_picture = nullptr;
};

} // namespace zd
