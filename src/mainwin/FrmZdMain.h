#pragma once
// The main window: the map, its menu bar and toolbar, the network's data sources and the
// state every other window reads (frame, modes, colours, history). It is the MapHost of
// the tool windows.
#include "data/DataSource.h"
#include "help/Help.h"
#include "identify/KursInfo.h"
#include "map/MapHost.h"
#include "mainwin/FrameHistory.h"
#include "render/MapState.h"
#include "render/Polygon.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QActionGroup;
class QLabel;
class QTimer;
class QToolBar;

namespace zd {

class Desk;
class ExportCommands;
class Fragment;
class FrmLight;
class FrmStats;
class LegendDock;
class FrmZdDor;
class FrmZdFind;
class FrmRoute;
class MapPointer;
class NetworkOpener;
class PictureBox;
class QuickSearch;
class RenderGate;
class ZoneOutline;
namespace search { class IndexLoader; }

class FrmZdMain : public QMainWindow, public MapHost {
    Q_OBJECT
public:
    // programDir: the folder that holds ZdShort.mdb (and the help and pointer files).
    explicit FrmZdMain(const QString& programDir, QWidget* parent = nullptr);
    ~FrmZdMain() override;

    // Runs the start-up sequence on the first activation only.
    void Form_Activate();

    // The network the start-up opens instead of ZdShort.mdb beside the program (the
    // command line's FILE); set before the window is shown.
    void setStartFile(const QString& path) { m_startFile = path; }
    // "Открыть базу…": loads the file in the background and makes it the open network,
    // showing its whole scheme; a failure is said and a cancel changes nothing: the
    // network that was open stays. True when the file was opened.
    bool openNetwork(const QString& path);
    NetworkOpener& opener() { return *m_opener; }

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
    void mnuService_Route_Click();
    void mnuHelp_About_Click() { m_help.helpAbout(m_programDir, this); }
    void mnuHelp_Instr_Click() { m_help.helpInstr(m_programDir, this); }
    Help& help() { return m_help; }
    void tlbZd_ButtonClick(const QString& key);

    // --- MapHost
    MapState& state() override { return m_st; }
    PictureBox& picture() override { return *m_pic; }
    QWidget& window() override { return *this; }
    std::int16_t kadrZoomed() const override { return m_kadrZoomed; }
    bool ended() const override { return m_ended; }
    bool acceptsCommands() const override { return m_startDone && !m_ended && !m_rendering; }
    bool generalised() const override { return m_genOn; }
    void showFrame(const Frame& f, std::int16_t kadrZoomed) override;
    void wholeScheme() override { WholeScheme(); }
    void redrawFrame() override;
    std::shared_ptr<Database> database() override { return m_dtaStn.database(); }
    const QString& dbPath() const override { return m_dbPath; }
    RowSet& frameSections() override { return m_dtaPeregon.rows(); }
    RowSet& frameStations() override { return m_dtaStn.rows(); }
    void reportFailure(const DbError& error) override { fatal(error.message()); }
    std::shared_ptr<const search::NameIndex> nameIndex() const override;
    void whenNameIndexReady(QObject* context, std::function<void()> ready) override;
    bool lightOn(Highlight h) const override { return m_lightOn[static_cast<int>(h)]; }
    void setLightOn(Highlight h, bool on) override { m_lightOn[static_cast<int>(h)] = on; }
    void enableEraseItem(bool on) override;
    void enableEraseButton(bool on) override;
    ZoneOutline& zoneOutline() override { return *m_shpFindPic; }
    void showObjectAt(RowSet& sections, PictureBox& surface, float x, float y) override;
    void endObjectAt(PictureBox& surface) override;
    std::int16_t kursInfObj() const override { return m_kursInfo.object(); }
    void setPickMode(PointerMode* mode) override;
    std::optional<QPointF> chosenStation() const override { return m_chosenStation; }
    void chooseStation(QPointF mapXY) override { m_chosenStation = mapXY; }
    void showHelpTopic(int topic) override { m_help.HelpTopic(topic); }
    std::vector<MapTool*> mapTools() const override { return tools(); }

    // State read by the tests.
    const FrameHistory& history() const { return m_hist; }
    const QString& programDir() const { return m_programDir; }
    bool startDone() const { return m_startDone; }
    bool rendering() const { return m_rendering; }
    bool genOn() const { return m_genOn; }
    void setKadrZoomed(std::int16_t z) { m_kadrZoomed = z; }
    std::int16_t mapMode() const { return m_mapMode; }
    PictureBox& picZdMain() { return *m_pic; }
    DataSource& dtaStn() { return m_dtaStn; }
    DataSource& dtaPeregon() { return m_dtaPeregon; }
    DataSource& dtaDoroga() { return m_dtaDoroga; }
    DataSource& dtaContry() { return m_dtaContry; }
    KursInfo& kursInfo() { return m_kursInfo; }
    Fragment& fragment() { return *m_frag; }
    MapPointer& pointer() { return *m_pointer; }
    Desk& desk() { return *m_desk; }   // status bar, overview, bookmarks, keys
    QuickSearch& quickSearch() { return *m_quickSearch; }

    // The tool windows: loaded on first use, gone when closed (null then).
    FrmZdFind* findWindow() const;
    FrmZdFind& loadFindWindow();
    FrmZdDor* dorWindow() const;
    FrmZdDor& loadDorWindow();
    FrmLight* lightWindow() const;
    FrmLight& loadLightWindow();
    FrmRoute* routeWindow() const;
    FrmRoute& loadRouteWindow();
    FrmStats& loadStatsWindow();
    LegendDock& loadLegendPanel();

    QAction* menuItem(const QString& name) const;   // a menu item or a top-level menu
    QAction* button(const QString& key) const;      // a toolbar button

    // Where the additions to the classic viewer go. The menus "Вид" (mnuView), "Закладки"
    // (mnuBookmarks) and "Сервис" (mnuService) stand between "Поиск" and "Справка" in this
    // order, each made when its first item comes; new items of "Файлы" stand above "Выход";
    // new toolbar buttons and fields after the classic ones, behind a separator.
    QMenu& extraMenu(const QString& name);
    void addFileItem(QAction* item);
    void addToolbarAction(QAction* action);
    void addToolbarWidget(QWidget* widget);

    // What ending the program does (tests record it instead); the default quits the
    // event loop with the code.
    void setEndHandler(std::function<void(int)> handler) { m_end = std::move(handler); }

signals:
    // A network has become the open one: everything that belongs to one network binds anew.
    void networkOpened();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tool windows in their fixed order: a render redraws their highlights in this
    // order, "Убрать подсветку" switches them off in the reverse order.
    enum ToolSlot { FindTool, DorTool, LightTool, RouteTool, StatsTool, LegendTool, kToolSlots };
    template <class W>
    W& loadTool(ToolSlot slot);
    std::vector<MapTool*> tools() const;

    void buildMenus();
    void buildToolbar();
    void addExportItems();   // export and print in "Файлы", statistics and legend in "Сервис"
    void addRouteCommand();
    void StartUp();
    void layOutOverScreen();
    bool openDatabase();
    bool bindNetwork(std::shared_ptr<Database> db);
    void announceNetwork();
    void closeToolWindows();
    void addNameSearch();
    void fatal(const QString& text);
    void setRusMode(std::int16_t mode);
    void emptyFrame();
    void redrawHighlights();
    static void unload(QWidget* window);
    void recordFrame(bool record);
    void zoomByWheel(QPointF at, int angleDelta);
    void endProgram(int code);
    void setMenusEnabled(bool on);
    void setItemEnabled(const QString& name, bool on);
    void setButtonEnabled(const QString& key, bool on);
    void processPendingEvents();
    void answerEvents();
    bool keepDrawing();
    void drawFrame(PictureBox& pic, bool record);
    void enableAfterFrame();
    void readListAhead();
    void startNameIndex();
    void finishFrame(bool record);
    void frameInterrupted(bool record);
    void resumeFrame();
    bool canRedraw() const;

    QString m_programDir, m_dbPath, m_startFile;
    PictureBox* m_pic = nullptr;
    QToolBar* m_tlbZd = nullptr;
    QAction* m_extraTools = nullptr;   // the separator before the toolbar's additions
    ZoneOutline* m_shpFindPic = nullptr;
    search::IndexLoader* m_names = nullptr;   // the name index of the network
    QuickSearch* m_quickSearch = nullptr;
    QLabel* m_lblFindMsg = nullptr;
    QActionGroup* m_toolGroup = nullptr;
    DataSource m_dtaStn, m_dtaPeregon, m_dtaDoroga, m_dtaContry;
    MapState m_st;
    FrameHistory m_hist;
    std::unique_ptr<Polygon> m_polyDraw;
    KursInfo m_kursInfo;
    Help m_help;
    std::unique_ptr<Fragment> m_frag;
    std::unique_ptr<MapPointer> m_pointer;
    Desk* m_desk = nullptr;
    NetworkOpener* m_opener = nullptr;
    ExportCommands* m_export = nullptr;   // export, print, statistics, legend (a child object)
    std::array<QPointer<QWidget>, kToolSlots> m_tools;
    std::array<bool, 3> m_lightOn{};   // LightDorOn, LightPerOn, LightStnOn

    bool m_startDone = false, m_starting = false;
    bool m_genOn = false, m_histNav = false;
    std::int16_t m_kadrZoomed = 0, m_mapMode = 0;
    bool m_rendering = false, m_resizePending = false;
    std::optional<QPointF> m_chosenStation;
    int m_emptyDepth = 0;   // nested empty-frame fall-backs in progress
    int m_wheelRest = 0;

    // A frame stopped by input that came while it was drawn: drawn again once that input has
    // run, unless it gave a frame of its own. `record`: the frame goes into the history.
    struct Interrupted {
        Frame kadr;
        bool record;
    };
    RenderGate* m_gate = nullptr;
    std::optional<Interrupted> m_interrupted;
    QTimer* m_resume = nullptr;
    QElapsedTimer m_answered;   // since the window last answered its events during a frame

    std::function<void(int)> m_end;
    bool m_ended = false;
};

} // namespace zd
