#pragma once
// The main window: the map, its menu bar and toolbar, the network's data sources and the
// state every other window reads (frame, modes, colours, history).
#include "data/DataSource.h"
#include "help/Help.h"
#include "identify/KursInfo.h"
#include "mainwin/FrameHistory.h"
#include "render/MapState.h"
#include "render/Polygon.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QActionGroup;
class QMouseEvent;
class QLabel;
class QToolBar;

namespace zd {

class Fragment;
class FrmLight;
class FrmZdDor;
class FrmZdFind;
class PictureBox;

class FrmZdMain : public QMainWindow {
    Q_OBJECT
public:
    // programDir: the folder that holds ZdShort.mdb (and the help and pointer files).
    explicit FrmZdMain(const QString& programDir, QWidget* parent = nullptr);
    ~FrmZdMain() override;

    // Runs the start-up sequence on the first activation only.
    void Form_Activate();

    // The shared routines of the map.
    void RenderKadr(PictureBox& pic);
    void WholeScheme();
    void ZoomKadr(std::int16_t near);

    // Menu commands; the toolbar buttons run them through tlbZd_ButtonClick.
    void mnuFiles_End_Click();
    void mnuMagist_Frag_Click();
    void mnuMagist_Sdvig_Click();
    void mnuMagist_Far_Click();
    void mnuMagist_Near_Click();
    void mnuKadrFore_Click();
    void mnuKadrBack_Click();
    void mnuMagist_Frag0_Click();
    void mnuZdLight_RusAll_Click() { setRusMode(0); }
    void mnuZdLight_RusOnly_Click() { setRusMode(1); }
    void mnuZdLight_RusBlank_Click() { setRusMode(2); }
    void mnuZdLight_Peregon_Click();
    void mnuZdLight_Erase_Click();
    void mnuZdGen_Click();
    void mnuZdFind_Stn_Click();
    void mnuZdFind_Dor_Click();
    void mnuHelp_About_Click() { m_help.helpAbout(m_programDir, this); }
    void mnuHelp_Instr_Click() { m_help.helpInstr(m_programDir, this); }
    Help& help() { return m_help; }
    void tlbZd_ButtonClick(const QString& key);

    // State read by the tool windows and the tests.
    MapState& state() { return m_st; }
    const FrameHistory& history() const { return m_hist; }
    const QString& programDir() const { return m_programDir; }
    const QString& dbPath() const { return m_dbPath; }
    bool startDone() const { return m_startDone; }
    bool genOn() const { return m_genOn; }
    std::int16_t kadrZoomed() const { return m_kadrZoomed; }
    void setKadrZoomed(std::int16_t z) { m_kadrZoomed = z; }
    std::int16_t mapMode() const { return m_mapMode; }
    PictureBox& picZdMain() { return *m_pic; }
    DataSource& dtaStn() { return m_dtaStn; }
    DataSource& dtaPeregon() { return m_dtaPeregon; }
    DataSource& dtaDoroga() { return m_dtaDoroga; }
    DataSource& dtaContry() { return m_dtaContry; }

    // The tool windows: loaded on first use, gone when closed (null then).
    FrmZdFind* findWindow() const;
    FrmZdFind& loadFindWindow();
    FrmZdDor* dorWindow() const;
    FrmZdDor& loadDorWindow();
    FrmLight* lightWindow() const;
    FrmLight& loadLightWindow();
    QWidget& shpFindPic() { return *m_shpFindPic; }

    // Highlights that every render draws again.
    bool lightDorOn() const { return m_lightDorOn; }
    void setLightDorOn(bool on) { m_lightDorOn = on; }
    bool lightPerOn() const { return m_lightPerOn; }
    void setLightPerOn(bool on) { m_lightPerOn = on; }
    bool lightStnOn() const { return m_lightStnOn; }
    void setLightStnOn(bool on) { m_lightStnOn = on; }


    // The object under the pointer on the map or on the station search preview: shown on
    // a press, gone on the release.
    void showObjectAt(RowSet& sections, PictureBox& surface, float x, float y);
    void endObjectAt(PictureBox& surface);
    std::int16_t kursInfObj() const { return m_kursInfo.object(); }
    KursInfo& kursInfo() { return m_kursInfo; }
    Fragment& fragment() { return *m_frag; }

    // Pointer and keys on the map; positions in map units of the current frame.
    void picZdMain_MouseDown(Qt::MouseButton button, float x, float y);
    void picZdMain_MouseMove(float x, float y);
    void picZdMain_MouseUp(float x, float y);
    void picZdMain_DblClick();
    void picZdMain_KeyPress(int key);

    // An unexpected failure: the message, then the end of the program.
    void fatal(const QString& text);

    QAction* menuItem(const QString& name) const;   // a menu item or a top-level menu
    QAction* button(const QString& key) const;      // a toolbar button

    // What ending the program does (tests record it instead); the default quits the
    // event loop with the code.
    void setEndHandler(std::function<void(int)> handler) { m_end = std::move(handler); }
    bool ended() const { return m_ended; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void StartUp();
    void layOutOverScreen();
    bool openDatabase();
    void setRusMode(std::int16_t mode);
    void emptyFrame();
    bool mapEvent(QEvent* event);
    bool ignoredPress(const QMouseEvent& e);
    bool ignoredRelease(const QMouseEvent& e);
    void applyFragment();
    void finishShift(float x, float y);
    void redrawHighlights();
    static void unload(QWidget* window);
    void recordFrame();
    void redrawUnrecorded();
    void zoomByWheel(int angleDelta);
    void endProgram(int code);
    void setMenusEnabled(bool on);
    void setItemEnabled(const QString& name, bool on);
    void setButtonEnabled(const QString& key, bool on);
    void processPendingEvents();

    QString m_programDir, m_dbPath;
    PictureBox* m_pic = nullptr;
    QToolBar* m_tlbZd = nullptr;
    QWidget* m_shpFindPic = nullptr;
    QLabel* m_lblFindMsg = nullptr;
    QActionGroup* m_toolGroup = nullptr;
    DataSource m_dtaStn, m_dtaPeregon, m_dtaDoroga, m_dtaContry;
    MapState m_st;
    FrameHistory m_hist;
    std::unique_ptr<Polygon> m_polyDraw;
    KursInfo m_kursInfo;
    Help m_help;
    std::unique_ptr<Fragment> m_frag;
    QPointer<FrmZdFind> m_find;
    QPointer<FrmZdDor> m_dor;
    QPointer<FrmLight> m_light;
    bool m_lightDorOn = false, m_lightPerOn = false, m_lightStnOn = false;

    bool m_startDone = false, m_starting = false;
    bool m_genOn = false, m_histNav = false;
    std::int16_t m_kadrZoomed = 0, m_mapMode = 0;
    bool m_rendering = false, m_resizePending = false;
    int m_emptyDepth = 0;   // nested empty-frame fall-backs in progress
    int m_wheelRest = 0;
    Qt::MouseButtons m_ignoredButtons;   // pressed on the map while another button was held

    std::function<void(int)> m_end;
    bool m_ended = false;
};

} // namespace zd
