#pragma once
// The station search window "Поиск станции": the station list of a category, the choice
// of a station by a double click, its preview with the neighbourhood, and the commands
// that bring it into view on the main map.
#include "data/DataSource.h"
#include "data/ZdTypes.h"
#include "map/MapHost.h"
#include "stnfind/FindQueries.h"

#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zd {

class DbCombo;
class PictureBox;
class StnListModel;

class FrmZdFind : public QWidget, public MapTool {
    Q_OBJECT
public:
    explicit FrmZdFind(MapHost& host);
    ~FrmZdFind() override;

    // --- MapTool
    const QWidget* toolWindow() const override { return this; }
    void frameRendered() override;
    void markingChanged() override;

    // Reads ahead, on the database's helper thread, the list a newly opened window shows.
    static void readListAhead(MapHost& host);

    void LoadFind();                 // sets the window up (once), fills the list and shows it
    void ListStn();                  // fills the list under the category and the marking mode
    void Stn_Selected(int selStn);   // chooses the row selStn of the list (-1: none selected)
    void FragStn();                  // zooms the main map to a frame around the chosen station
    void ViewAll();                  // the whole scheme with the chosen station marked
    void RamView();                  // outlines the preview zone on the main map (shpFindPic)
    void FindOver();                 // moves the window off the chosen station

    // The window's state, read by the tests.
    const Zone& zone() const { return m_zone; }
    RowSet& rsFindStn() { return m_dtaStn.rows(); }
    bool hasChosenRow() const { return m_hasRow; }
    DataSource& dtaFind_Stn() { return m_dtaStn; }
    DataSource& dtaFind_StnPic() { return m_dtaStnPic; }
    DataSource& dtaFind_PerPic() { return m_dtaPerPic; }
    PictureBox& picFind() { return *m_picFind; }
    DbCombo& dbcFind_Stn() { return *m_dbcStn; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The chosen row of rsFindStn as the drawing routines need it.
    struct Station {
        QString name, kodStn, kodDor;
        double x = 0, y = 0;
        std::int32_t ix = 0, iy = 0;   // rounded
        std::int16_t tip = 0;
        bool placed = false;           // both coordinates are numbers
    };

    void buildControls();
    void createAreaButtons();
    void watchAreaButton(QRadioButton* b);
    QRect twips(int left, int top, int width, int height) const;
    bool bindDataSources();
    int areaIndex() const;
    int matchedRow(const QString& text) const;
    Station chosen() const;
    void keepChoice(const QString& kodStn);
    void showRailway(const QString& kodDor);
    void markOnMap(const Station& s, Color color);
    bool findZone(const Station& s);
    bool drawPreview(const Station& s);
    void cmdFind_Frag_Click();
    void picFind_MouseDown(QMouseEvent* event);
    void picFind_MouseUp();

    MapHost& m_host;
    DataSource m_dtaStn, m_dtaDoroga, m_dtaStnPic, m_dtaPerPic;
    StnListModel* m_model = nullptr;

    QGroupBox* m_fraStn = nullptr;
    QLabel* m_lblNazDor = nullptr;
    DbCombo* m_dbcStn = nullptr;
    QGroupBox* m_fraArea = nullptr;
    std::array<QRadioButton*, 4> m_optArea{};
    QCheckBox* m_chkRus = nullptr;
    QLabel* m_lblNoStn = nullptr;
    QPushButton* m_cmdAll = nullptr;
    QPushButton* m_cmdFrag = nullptr;
    PictureBox* m_picFind = nullptr;

    bool m_loaded = false;
    bool m_hasRow = false;           // rsFindStn has been moved to a double-clicked row
    bool m_previewDrawn = false;
    bool m_pressedChecked = false;   // the category button pressed was the chosen one
    Zone m_zone;
    std::int32_t m_prevStnX = 0, m_prevStnY = 0;
    std::int16_t m_prevStnTip = 0;
};

} // namespace zd
