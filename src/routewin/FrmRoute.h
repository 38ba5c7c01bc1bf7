#pragma once
// The route window "Маршрут": the stops (from, via stations in order, to) with the station
// search's list or a pick on the map, the options, the shortest route by kilometres as a
// table with its subtotals, and the route drawn over the map until it is switched off.
#include "data/DataSource.h"
#include "map/MapHost.h"
#include "route/Route.h"
#include "route/RouteRequest.h"
#include "routewin/RouteOverlay.h"
#include "routewin/RoutePick.h"

#include <QWidget>
#include <optional>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace zd {

class RouteSource;
class StnListModel;
class StopField;

class FrmRoute : public QWidget, public MapTool {
    Q_OBJECT
public:
    static constexpr int kMaxVia = 4;

    explicit FrmRoute(MapHost& host);
    ~FrmRoute() override;

    // --- MapTool
    const QWidget* toolWindow() const override { return this; }
    void markingChanged() override;
    void redrawHighlight() override;
    // The route goes off the map; the window stays, its table still of use.
    bool switchHighlightOff() override;
    // An export or a print shows the route as the map does, names it in the legend and
    // by its ends in the title line.
    void drawHighlightOn(MapPicture& target) override;
    std::vector<LegendEntry> highlightLegend() const override;
    QString frameTitle() const override;

    void LoadRoute();   // fills the station list (once), shows the window and starts reading the network

    // The commands of the buttons.
    void addVia();
    void removeVia(StopField* field);
    void find();
    void showOnMap();
    void copyTable();
    bool saveCsv(const QString& path);   // false (and a message) when the file cannot be written

    // What the window holds, read by the tests.
    const std::optional<route::Route>& route() const { return m_route; }
    bool overlayOn() const { return m_overlayOn; }
    bool picking() const { return m_pickField != nullptr; }
    route::RouteRequest request() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildOptions();
    QWidget* buildResult();
    QWidget* buildStatus();
    StopField* newField(const char* name, const QString& caption, bool removable);
    void fillList();
    void followRussiaOnly();
    void showProgress();
    double freeMapWidth() const;

    void startPick(StopField* field);
    void endPick(const std::optional<PickedStation>& station);
    void pickMissed();

    void showAnswer(route::RouteAnswer& answer);
    void showRoute();
    void clearRoute();
    void overlayChanged(bool wasDrawn);

    MapHost& m_host;
    RouteSource& m_source;
    DataSource m_dtaStn;
    StnListModel* m_model = nullptr;
    StopField* m_from = nullptr;
    StopField* m_to = nullptr;
    std::vector<StopField*> m_via;
    QBoxLayout* m_stops = nullptr;
    QPushButton* m_cmdAddVia = nullptr;
    QCheckBox* m_chkElectric = nullptr;
    QCheckBox* m_chkRus = nullptr;
    bool m_rusChosen = false;   // the user's own choice, kept while the map shows only Russia
    QPushButton* m_cmdFind = nullptr;
    QLabel* m_lblTotal = nullptr;
    QTableView* m_tblSections = nullptr;
    QTableView* m_tblTotals = nullptr;
    QStandardItemModel* m_sections = nullptr;
    QStandardItemModel* m_totals = nullptr;
    QPushButton* m_cmdShow = nullptr;
    QPushButton* m_cmdCopy = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QLabel* m_lblStatus = nullptr;
    QProgressBar* m_prgRead = nullptr;

    std::optional<route::Route> m_route;
    RouteOverlay m_overlay;
    bool m_overlayOn = false;
    bool m_loaded = false;
    RoutePick m_pick;
    StopField* m_pickField = nullptr;
};

} // namespace zd
