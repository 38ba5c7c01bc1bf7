#pragma once
// The railway search window "Поиск дороги": a railway picked from the list, its centre and
// division centres shown, and the railway framed, shown on the whole scheme or highlighted
// on the main map.
#include "data/DataSource.h"
#include "map/MapHost.h"
#include "render/MapState.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zd {

class FrmZdDor : public QWidget, public MapTool {
    Q_OBJECT
public:
    explicit FrmZdDor(MapHost& host);
    ~FrmZdDor() override;

    // --- MapTool
    const QWidget* toolWindow() const override { return this; }
    void markingChanged() override;
    void redrawHighlight() override;
    bool switchHighlightOff() override;
    void drawHighlightOn(MapPicture& target) override;
    std::vector<LegendEntry> highlightLegend() const override;
    QString frameTitle() const override;

    // Fills the railway list under the marking mode, places the window at the right edge
    // of the map, on top, and shows it.
    void LoadFindDor();
    // true: the railway last highlighted goes back to the network colour and the picked
    // one is drawn in the highlight colour. false: the highlighted railway goes back to the
    // network colour and the highlight is off.
    void DorLight(bool light);

    // The pick of the row of dtaFindDor at a bookmark; a row without a centre is ignored.
    void Dor_Selected(int selDor);
    // The picked railway's rectangle becomes the frame (nothing before a pick).
    void FragDor();
    // Moves the window to the other edge of the map when it covers the picked railway.
    void DorOver();

    const QString& selKodDor() const { return m_selKodDor; }
    const QString& lightKodDor() const { return m_lightKodDor; }
    const Frame& dorRect() const { return m_dorRect; }   // map units: left, top, right, bottom
    DataSource& dtaFindDor() { return m_dtaFindDor; }
    DataSource& dtaCentrOtd() { return m_dtaCentrOtd; }
    DataSource& dtaDorVib_Stn() { return m_dtaDorVib_Stn; }
    DataSource& dtaDorVib_Per() { return m_dtaDorVib_Per; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildNameColumn();
    QWidget* buildCentreColumn();
    QWidget* buildButtons();
    void fillListDor();
    void placeWindow();
    void dbcListDor_Click(int index);
    void cmdDorVib_Light_Click();
    void cmdDorVib_Off_Click();
    void cmdDorVib_All_Click();
    void drawRailway(Color color);
    void drawRailwayOn(MapState& st, Canvas& pic, Color color);
    QPoint picScreenPos() const;

    MapHost& m_host;
    DataSource m_dtaFindDor, m_dtaCentrOtd, m_dtaDorVib_Stn, m_dtaDorVib_Per;
    QString m_selKodDor, m_lightKodDor;
    QString m_selNazDor, m_lightNazDor;   // their names, for the legend and titles of exports
    Frame m_dorRect{0, 0, 0, 0};
    bool m_picked = false;

    QCheckBox* m_chkFindRus = nullptr;
    QComboBox* m_dbcListDor = nullptr;
    QLabel* m_lblFindDor3 = nullptr;
    QListWidget* m_dblListDor = nullptr;
    QPushButton *m_cmdGab = nullptr, *m_cmdAll = nullptr, *m_cmdLight = nullptr, *m_cmdOff = nullptr;
};

} // namespace zd
