#pragma once
// The highlight window "Выбор типа подсветки": sections by traction, tracks or length,
// stations by category, drawn in the highlight colour over the main map.
#include "data/DataSource.h"
#include "data/ZdTypes.h"
#include "map/MapHost.h"

#include <QWidget>
#include <array>

class QAbstractButton;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace zd {

class UpDown;

class FrmLight : public QWidget, public MapTool {
    Q_OBJECT
public:
    explicit FrmLight(MapHost& host);   // runs LoadLight
    ~FrmLight() override;

    // --- MapTool
    const QWidget* toolWindow() const override { return this; }
    void redrawHighlight() override;
    bool switchHighlightOff() override;
    void drawHighlightOn(MapPicture& target) override;
    std::vector<LegendEntry> highlightLegend() const override;

    void LoadLight();
    void PeregonLight(bool light);   // sections of the criterion, highlighted or ordinary
    void StnLight(bool light);       // stations of the ticked categories, highlighted or ordinary

    // The queries last run for the highlights (their rows are what is drawn).
    const DataSource& dtaLightPer() const { return m_dtaLightPer; }
    const DataSource& dtaLightStn() const { return m_dtaLightStn; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void alignLayout();
    void createTipOptions();
    void createElOptions();
    void createRlOptions();
    void createLenOptions();
    void createStnChecks();
    void placeWindow();

    void optTipLight_Click(int index);
    void cmdLight_Enter_Click();
    void cmdLight_End_Click();
    void switchOff();
    bool txtLen_KeyPress(QKeyEvent* event);

    // The section condition and station code list of the current settings, and what is
    // wrong with them (empty when they can be queried).
    QString sectionCondition() const;
    QString stationCodes() const;
    QString sectionProblem() const;
    QString stationProblem() const;

    void drawSections(Color color);
    void drawStations(Color color);
    // What the settings highlight, in words, for a legend.
    QString sectionCaption() const;
    QString stationCaption() const;

    MapHost& m_host;
    QTabWidget* m_tabLight = nullptr;
    QGroupBox* m_fraTip = nullptr;
    QGroupBox* m_fraEL = nullptr;
    QGroupBox* m_fraRL = nullptr;
    QGroupBox* m_fraLen = nullptr;
    QGroupBox* m_fraStn = nullptr;
    std::array<QAbstractButton*, 3> m_optTipLight{};
    std::array<QAbstractButton*, 2> m_optEL{};
    std::array<QAbstractButton*, 3> m_optRL{};
    std::array<QAbstractButton*, 2> m_optLen{};
    std::array<QAbstractButton*, 3> m_chkStn{};
    UpDown* m_updRL_Dig = nullptr;
    QLabel* m_lblRL_Dig = nullptr;
    QLineEdit* m_txtLen = nullptr;
    QCheckBox* m_chkLightRus = nullptr;
    QPushButton* m_cmdLight_Enter = nullptr;
    QPushButton* m_cmdLight_Hide = nullptr;
    QPushButton* m_cmdLight_End = nullptr;
    QVBoxLayout* m_tipBox = nullptr;
    QHBoxLayout* m_elBox = nullptr;
    QHBoxLayout* m_rlBox = nullptr;
    QHBoxLayout* m_lenBox = nullptr;
    QVBoxLayout* m_stnBox = nullptr;

    // rsLightPer and rsLightStn are the rows of these sources.
    DataSource m_dtaLightPer, m_dtaLightStn;
    // What the rows were queried with: the condition or code list, and the map's
    // Russia-only condition at the time.
    QString m_perCondition, m_perFilter, m_stnCodes, m_stnFilter;
    QString m_perCaption, m_stnCaption;   // the highlights on the map, in words
    bool m_placed = false;
};

} // namespace zd
