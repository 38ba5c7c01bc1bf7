#include "mainwin/FrmZdMain.h"

#include "desk/Desk.h"
#include "dorfind/FrmZdDor.h"
#include "export/ExportCommands.h"
#include "export/FrmStats.h"
#include "export/LegendDock.h"
#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "light/FrmLight.h"
#include "mainwin/LatinLabels.h"
#include "mainwin/MapPointer.h"
#include "mainwin/NetworkOpener.h"
#include "mainwin/RenderGate.h"
#include "mainwin/StyleMenu.h"
#include "mainwin/ToolbarIcons.h"
#include "map/ZoneOutline.h"
#include "platform/FileLookup.h"
#include "platform/Keyboard.h"
#include "platform/MsgBox.h"
#include "platform/WindPos.h"
#include "quicksearch/QuickSearch.h"
#include "render/PictureBox.h"
#include "render/RenderFrame.h"
#include "routewin/FrmRoute.h"
#include "search/IndexLoader.h"
#include "stnfind/FrmZdFind.h"

#include <algorithm>
#include <cmath>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>
#include <limits>

namespace zd {

namespace {
const QString kEmptyFrame = QStringLiteral("В выбранном фрагменте отсутствуют элементы схемы");
const QString kEmptyNetwork = QStringLiteral("В базе данных нет ни одного перегона или станции схемы, показывать нечего");
const QString kEmptyRussia = QStringLiteral("На схеме России нет ни одного перегона или станции, показывать нечего");
constexpr int kWheelStep = 120;   // one notch of a mouse wheel, in eighths of a degree

struct ButtonDef {
    const char* key;    // nullptr: a separator
    enum Style { Plain, Group, Check } style;
    const char* tip;
};

const ButtonDef kButtons[] = {
    {"mnuMagist_Frag", ButtonDef::Group, "Получить фрагмент"},
    {"mnuMagist_Sdvig", ButtonDef::Group, "Сдвиг кадра"},
    {"mnuMagist_Near", ButtonDef::Plain, "Ближе (увеличить масштаб)"},
    {"mnuMagist_Far", ButtonDef::Plain, "Дальше (уменьшить масштаб)"},
    {"mnuKadrFore", ButtonDef::Plain, "Вперед (стек кадров)"},
    {"mnuKadrBack", ButtonDef::Plain, "Назад (стек кадров)"},
    {"mnuMagist_Frag0", ButtonDef::Plain, "Общая схема"},
    {nullptr, ButtonDef::Plain, nullptr},
    {"mnuZdLight_RusAll", ButtonDef::Check, "Высвечивание СНГ и Балтии"},
    {"mnuZdLight_RusBlank", ButtonDef::Check, "Подсветка России"},
    {"mnuZdLight_RusOnly", ButtonDef::Check, "Только Россия"},
    {"mnuZdLight_Peregon", ButtonDef::Plain, "Выделение типов перегонов и станций"},
    {"mnuZdLight_Erase", ButtonDef::Plain, "Погасить выделение (типов перегонов и станций)"},
    {nullptr, ButtonDef::Plain, nullptr},
    {"mnuZdFind_Stn", ButtonDef::Plain, "Поиск станций"},
    {"mnuZdFind_Dor", ButtonDef::Plain, "Поиск дорог"},
    {nullptr, ButtonDef::Plain, nullptr},
    {"mnuHelp_About", ButtonDef::Plain, "Инструкция (нажать пункт \"Содержание\")"},
};

// The marking buttons and the two each of them releases.
struct Release { const char* key; const char* other1; const char* other2; };
const Release kMarkingButtons[] = {
    {"mnuZdLight_RusAll", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank"},
    {"mnuZdLight_RusBlank", "mnuZdLight_RusAll", "mnuZdLight_RusOnly"},
    {"mnuZdLight_RusOnly", "mnuZdLight_RusAll", "mnuZdLight_RusBlank"},
};

} // namespace

FrmZdMain::FrmZdMain(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), m_programDir(programDir), m_frag(std::make_unique<Fragment>())
{
    setObjectName(QStringLiteral("frmZdMain"));
    setWindowTitle(kAppTitle);
    setWindowIcon(toolbarIcon(QStringLiteral("mnuMagist_Frag0")));
    m_pic = new PictureBox(this);
    m_pic->setObjectName(QStringLiteral("picZdMain"));
    m_pic->setMouseTracking(true);
    m_pic->setFocusPolicy(Qt::StrongFocus);
    m_pic->installEventFilter(this);
    setCentralWidget(m_pic);
    m_shpFindPic = new ZoneOutline(*m_pic);
    m_lblFindMsg = new QLabel(QStringLiteral("lblFindMsg"), m_pic);
    m_lblFindMsg->setObjectName(QStringLiteral("lblFindMsg"));
    m_lblFindMsg->hide();
    buildMenus();
    buildToolbar();
    addRouteCommand();
    addNameSearch();
    m_pointer = std::make_unique<MapPointer>(*this, *m_frag, m_mapMode, *m_tlbZd);
    m_desk = new Desk(*this);
    m_opener = new NetworkOpener(*this);
    new StyleMenu(*this);
    m_help.HelpInit(this, m_programDir);
    m_gate = new RenderGate(*this);
    m_resume = new QTimer(this);
    m_resume->setSingleShot(true);
    connect(m_resume, &QTimer::timeout, this, &FrmZdMain::resumeFrame);
    m_st.processEvents = [this] { answerEvents(); };
    m_st.keepDrawing = [this] { return keepDrawing(); };
    addExportItems();
}

// The map goes with the window's children, after this body: the desk hears none of its
// last events, which would reach a window no longer whole.
FrmZdMain::~FrmZdMain()
{
    m_desk->frameRowsChanging();
    m_pic->removeEventFilter(m_desk);
}

// ---------------------------------------------------------------- menus and toolbar

void FrmZdMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [&](QMenu* m, const char* name, const QString& caption, void (FrmZdMain::*handler)() = nullptr) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (handler) connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto bar_ = [&](QMenu* m, const char* name) { m->addSeparator()->setObjectName(QLatin1String(name)); };

    QMenu* files = menu("mnuFiles", QStringLiteral("Файлы"));
    item(files, "mnuFiles_Access", QStringLiteral("БД Access"))->setEnabled(false);
    item(files, "mnuFiles__DBF", QStringLiteral("БД_DBF"))->setEnabled(false);
    bar_(files, "Bar1");
    item(files, "mnuFiles_End", QStringLiteral("Выход"), &FrmZdMain::mnuFiles_End_Click);

    QMenu* kadr = menu("mnuMagist", QStringLiteral("Кадр"));
    item(kadr, "mnuMagist_Frag", QStringLiteral("Фрагмент"), &FrmZdMain::mnuMagist_Frag_Click);
    item(kadr, "mnuMagist_Sdvig", QStringLiteral("Сдвиг кадра"), &FrmZdMain::mnuMagist_Sdvig_Click);
    bar_(kadr, "bar5");
    item(kadr, "mnuMagist_Far", QStringLiteral("Дальше"), &FrmZdMain::mnuMagist_Far_Click);
    item(kadr, "mnuMagist_Near", QStringLiteral("Ближе"), &FrmZdMain::mnuMagist_Near_Click);
    bar_(kadr, "bar6");
    item(kadr, "mnuKadrFore", QStringLiteral("Вперед"), &FrmZdMain::mnuKadrFore_Click)->setEnabled(false);
    item(kadr, "mnuKadrBack", QStringLiteral("Назад"), &FrmZdMain::mnuKadrBack_Click)->setEnabled(false);
    bar_(kadr, "Bar2");
    item(kadr, "mnuMagist_Frag0", QStringLiteral("Общая схема"), &FrmZdMain::mnuMagist_Frag0_Click);

    QMenu* light = menu("mnuZdLight", QStringLiteral("Выделение"));
    QMenu* rus = light->addMenu(QStringLiteral("России"));
    rus->setObjectName(QStringLiteral("mnuZdLight_Rus"));
    rus->menuAction()->setObjectName(QStringLiteral("mnuZdLight_Rus"));
    item(rus, "mnuZdLight_RusAll", QStringLiteral("Все страны"), &FrmZdMain::mnuZdLight_RusAll_Click);
    item(rus, "mnuZdLight_RusBlank", QStringLiteral("Обозначить СНГ"), &FrmZdMain::mnuZdLight_RusBlank_Click);
    item(rus, "mnuZdLight_RusOnly", QStringLiteral("Только Россия"), &FrmZdMain::mnuZdLight_RusOnly_Click);
    bar_(light, "Bar4");
    item(light, "mnuZdLight_Peregon", QStringLiteral("Перегонов и станций"), &FrmZdMain::mnuZdLight_Peregon_Click);
    item(light, "mnuZdLight_Erase", QStringLiteral("Убрать подсветку"), &FrmZdMain::mnuZdLight_Erase_Click)->setEnabled(false);
    bar_(light, "Bar3");
    item(light, "mnuZdGen", QStringLiteral("Генерализация станций"), &FrmZdMain::mnuZdGen_Click);
    for (const char* name : {"mnuZdLight_RusAll", "mnuZdLight_RusBlank", "mnuZdLight_RusOnly", "mnuZdGen"})
        menuItem(QLatin1String(name))->setCheckable(true);

    QMenu* find = menu("mnuZdFind", QStringLiteral("Поиск "));
    item(find, "mnuZdFind_Stn", QStringLiteral("Поиск станций"), &FrmZdMain::mnuZdFind_Stn_Click);
    item(find, "mnuZdFind_Dor", QStringLiteral("Поиск дорог"), &FrmZdMain::mnuZdFind_Dor_Click);

    QMenu* instr = menu("mnuInstr", QStringLiteral("Инструменты"));
    item(instr, "mnuInstr_Convert", QStringLiteral("DBF - Access"));
    instr->menuAction()->setVisible(false);

    QMenu* help = menu("mnuHelp", QStringLiteral("Справка"));
    item(help, "mnuHelp_About", QStringLiteral("О программе"), &FrmZdMain::mnuHelp_About_Click);
    item(help, "mnuHelp_Instr", QStringLiteral("Инструкция"), &FrmZdMain::mnuHelp_Instr_Click);
}

void FrmZdMain::buildToolbar()
{
    m_tlbZd = addToolBar(QStringLiteral("tlbZd"));
    m_tlbZd->setObjectName(QStringLiteral("tlbZd"));
    m_tlbZd->setIconSize(QSize(16, 16));
    m_tlbZd->setMovable(false);
    m_tlbZd->setContextMenuPolicy(Qt::PreventContextMenu);
    m_tlbZd->toggleViewAction()->setVisible(false);
    m_toolGroup = new QActionGroup(m_tlbZd);
    m_toolGroup->setExclusive(true);
    for (const ButtonDef& b : kButtons) {
        if (!b.key) { m_tlbZd->addSeparator(); continue; }
        const QString key = QString::fromUtf8(b.key);
        QAction* a = m_tlbZd->addAction(toolbarIcon(key), QString::fromUtf8(b.tip));
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(b.tip));
        if (b.style != ButtonDef::Plain) a->setCheckable(true);
        if (b.style == ButtonDef::Group) m_toolGroup->addAction(a);
        if (QWidget* w = m_tlbZd->widgetForAction(a)) w->setObjectName(key);
        connect(a, &QAction::triggered, this, [this, key] { tlbZd_ButtonClick(key); });
    }
    // The whole scheme is what the map shows first.
    setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), false);
    setButtonEnabled(QStringLiteral("mnuKadrFore"), false);
    setButtonEnabled(QStringLiteral("mnuKadrBack"), false);
}

// "Сервис" → "Маршрут…" (Ctrl+R) and its toolbar button.
void FrmZdMain::addRouteCommand()
{
    const QString key = QStringLiteral("mnuService_Route");
    QAction* item = extraMenu(QStringLiteral("mnuService")).addAction(QStringLiteral("&Маршрут…"));
    item->setObjectName(key);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(item, &QAction::triggered, this, &FrmZdMain::mnuService_Route_Click);
    auto* button = new QAction(toolbarIcon(key), QStringLiteral("Маршрут между станциями"), this);
    button->setObjectName(key);
    connect(button, &QAction::triggered, this, &FrmZdMain::mnuService_Route_Click);
    addToolbarAction(button);
}

// What the name search adds: the network's name index, the quick-search field of the
// toolbar and "Сервис" → "Подписи латиницей".
void FrmZdMain::addNameSearch()
{
    m_names = new search::IndexLoader(this);
    m_quickSearch = new QuickSearch(*this);
    addToolbarWidget(m_quickSearch);
    addLatinLabelsItem(*this, extraMenu(QStringLiteral("mnuService")));
}

std::shared_ptr<const search::NameIndex> FrmZdMain::nameIndex() const { return m_names->index(); }

void FrmZdMain::whenNameIndexReady(QObject* context, std::function<void()> ready)
{
    m_names->whenReady(context, std::move(ready));
}

QMenu& FrmZdMain::extraMenu(const QString& name)
{
    static const std::pair<const char*, const char*> order[] = {
        {"mnuView", "Ви&д"}, {"mnuBookmarks", "&Закладки"}, {"mnuService", "Се&рвис"}};
    if (auto* existing = menuBar()->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly)) return *existing;
    QString caption;
    QAction* before = menuItem(QStringLiteral("mnuHelp"));
    for (auto it = std::rbegin(order); it != std::rend(order); ++it) {
        if (name == QLatin1String(it->first)) { caption = QString::fromUtf8(it->second); break; }
        if (QAction* later = menuItem(QLatin1String(it->first))) before = later;
    }
    auto* m = new QMenu(caption, menuBar());
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    menuBar()->insertMenu(before, m);
    return *m;
}

void FrmZdMain::addFileItem(QAction* item)
{
    auto* files = menuBar()->findChild<QMenu*>(QStringLiteral("mnuFiles"), Qt::FindDirectChildrenOnly);
    files->insertAction(menuItem(QStringLiteral("mnuFiles_End")), item);
}

void FrmZdMain::addToolbarAction(QAction* action)
{
    if (!m_extraTools) m_extraTools = m_tlbZd->addSeparator();
    m_tlbZd->addAction(action);
    if (QWidget* w = m_tlbZd->widgetForAction(action)) w->setObjectName(action->objectName());
}

void FrmZdMain::addToolbarWidget(QWidget* widget)
{
    if (!m_extraTools) m_extraTools = m_tlbZd->addSeparator();
    m_tlbZd->addWidget(widget);
}

QAction* FrmZdMain::menuItem(const QString& name) const
{
    return menuBar()->findChild<QAction*>(name);
}

QAction* FrmZdMain::button(const QString& key) const
{
    for (QAction* a : m_tlbZd->actions())
        if (a->objectName() == key) return a;
    return nullptr;
}

void FrmZdMain::setItemEnabled(const QString& name, bool on)
{
    if (QAction* a = menuItem(name)) a->setEnabled(on);
}

void FrmZdMain::setButtonEnabled(const QString& key, bool on)
{
    if (QAction* a = button(key)) a->setEnabled(on);
}

void FrmZdMain::setMenusEnabled(bool on)
{
    for (const char* name : {"mnuMagist", "mnuZdFind", "mnuZdLight"}) setItemEnabled(QLatin1String(name), on);
}

void FrmZdMain::tlbZd_ButtonClick(const QString& key)
{
    using Handler = void (FrmZdMain::*)();
    static const std::pair<const char*, Handler> dispatch[] = {
        {"mnuMagist_Frag", &FrmZdMain::mnuMagist_Frag_Click},
        {"mnuMagist_Sdvig", &FrmZdMain::mnuMagist_Sdvig_Click},
        {"mnuMagist_Far", &FrmZdMain::mnuMagist_Far_Click},
        {"mnuMagist_Near", &FrmZdMain::mnuMagist_Near_Click},
        {"mnuKadrFore", &FrmZdMain::mnuKadrFore_Click},
        {"mnuKadrBack", &FrmZdMain::mnuKadrBack_Click},
        {"mnuMagist_Frag0", &FrmZdMain::mnuMagist_Frag0_Click},
        {"mnuZdLight_RusAll", &FrmZdMain::mnuZdLight_RusAll_Click},
        {"mnuZdLight_RusBlank", &FrmZdMain::mnuZdLight_RusBlank_Click},
        {"mnuZdLight_RusOnly", &FrmZdMain::mnuZdLight_RusOnly_Click},
        {"mnuZdLight_Peregon", &FrmZdMain::mnuZdLight_Peregon_Click},
        {"mnuZdLight_Erase", &FrmZdMain::mnuZdLight_Erase_Click},
        {"mnuZdFind_Stn", &FrmZdMain::mnuZdFind_Stn_Click},
        {"mnuZdFind_Dor", &FrmZdMain::mnuZdFind_Dor_Click},
        {"mnuHelp_About", &FrmZdMain::mnuHelp_About_Click},
    };
    for (const auto& [name, handler] : dispatch) {
        if (key != QLatin1String(name)) continue;
        for (const Release& r : kMarkingButtons) {
            if (key != QLatin1String(r.key)) continue;
            button(QLatin1String(r.other1))->setChecked(false);
            button(QLatin1String(r.other2))->setChecked(false);
            processPendingEvents();
        }
        (this->*handler)();
        return;
    }
}

// ---------------------------------------------------------------- start-up and end

void FrmZdMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_startDone) QTimer::singleShot(0, this, &FrmZdMain::Form_Activate);
}

void FrmZdMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void FrmZdMain::Form_Activate()
{
    if (m_startDone || m_starting || m_ended) return;
    m_starting = true;
    StartUp();
    m_starting = false;
    m_startDone = true;
}

void FrmZdMain::StartUp()
{
    layOutOverScreen();
    m_desk->restoreWindow();
    SetKbdLayout(0);
    show();
    m_dbPath = m_startFile.isEmpty() ? m_programDir + QStringLiteral("/ZdShort.mdb") : m_startFile;
    if (!fileExists(m_dbPath)) {
        msgBox(QStringLiteral("Отсутствует файл базы данных ") + QDir::toNativeSeparators(m_dbPath), MsgIcon::Critical);
        m_dbPath = chooseNetworkFile(this, QStringLiteral("Выберите файл базы данных сети"));
        if (m_dbPath.isEmpty()) {
            endProgram(1);
            return;
        }
    }
    if (!openDatabase()) return;
    m_st.scheme = Frame{0, -1000, 84000, 36000};
    m_st.kadr = m_st.scheme;
    m_st.scaleHigh = 1.1f;
    m_st.scaleLow = 0.25f;
    m_st.palette = Palette{};
    m_st.rusMode = 0;
    menuItem(QStringLiteral("mnuZdLight_RusAll"))->setChecked(true);
    button(QStringLiteral("mnuZdLight_RusAll"))->setChecked(true);
    m_genOn = true;
    menuItem(QStringLiteral("mnuZdGen"))->setChecked(true);
    m_polyDraw = std::make_unique<Polygon>();
    m_st.polyDraw = m_polyDraw.get();
    m_st.mainPic = m_pic;
    m_st.mainPeregons = m_dtaPeregon.rowSet();
    announceNetwork();
    RenderKadr(*m_pic);
    if (m_ended) return;
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), false);
    setItemEnabled(QStringLiteral("mnuMagist_Sdvig"), false);
    setButtonEnabled(QStringLiteral("mnuMagist_Sdvig"), false);
    processPendingEvents();
    // After the first picture, in the background. Without it only the name searches are
    // missing, so a failure ends nothing.
    startNameIndex();
}

// The window covers the screen's available area, its frame included.
void FrmZdMain::layOutOverScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    const QRect outer = frameGeometry(), inner = geometry();
    const int dw = outer.width() - inner.width(), dh = outer.height() - inner.height();
    move(avail.topLeft());
    resize(avail.width() - dw, avail.height() - dh);
}

// Cancelling the load at start-up ends the program; a file that cannot be used too.
bool FrmZdMain::openDatabase()
{
    NetworkOpener::Loaded loaded = m_opener->load(m_dbPath);
    if (loaded.cancelled()) {
        endProgram(0);
        return false;
    }
    if (loaded.error) {
        reportFailure(*loaded.error);
        return false;
    }
    return bindNetwork(loaded.db);
}

// The one place where a network becomes the open one: the data sources, the path and the
// title. What belongs to a network beyond them hears of it through announceNetwork().
bool FrmZdMain::bindNetwork(std::shared_ptr<Database> db)
{
    m_chosenStation.reset();
    m_desk->frameRowsChanging();
    m_dtaStn.setDatabase(db);
    const std::pair<DataSource*, const char*> sources[] = {
        {&m_dtaPeregon, "Peregon"}, {&m_dtaDoroga, "Doroga"}, {&m_dtaContry, "Contry"}};
    for (const auto& [ds, table] : sources) {
        ds->setDatabase(db);
        if (!openOrFail(*ds, QLatin1String(table))) return false;
    }
    // The classic start-up keeps the classic title; any other file is named in it.
    const bool classic = m_startFile.isEmpty() && m_dbPath == m_programDir + QStringLiteral("/ZdShort.mdb");
    setWindowTitle(classic ? kAppTitle : QFileInfo(m_dbPath).fileName() + QStringLiteral(" — ") + kAppTitle);
    m_opener->addRecent(m_dbPath);
    return true;
}

void FrmZdMain::announceNetwork()
{
    m_desk->networkOpened();
    emit networkOpened();
}

bool FrmZdMain::openNetwork(const QString& path)
{
    if (!m_startDone || m_ended || m_rendering || m_opener->loading()) return false;
    NetworkOpener::Loaded loaded = m_opener->load(path);
    if (loaded.cancelled() || m_ended) return false;
    if (loaded.error) {
        msgBox(loaded.error->message(), MsgIcon::Critical);
        return false;
    }
    closeToolWindows();
    m_dbPath = path;
    m_startFile = path;
    if (!bindNetwork(loaded.db)) return false;
    m_hist = FrameHistory();
    announceNetwork();
    WholeScheme();
    setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), false);
    // The name index of the network that was open goes with it; the new one is built as at
    // start-up, after the first picture.
    delete m_names;
    m_names = new search::IndexLoader(this);
    startNameIndex();
    return true;
}

// The tool windows read the network that was open: they close, their highlights with them.
void FrmZdMain::closeToolWindows()
{
    for (QPointer<QWidget>& w : m_tools) {
        if (w) unload(w);
        w = nullptr;
    }
    m_lightOn = {};
    m_pointer->setPick(nullptr);
    m_shpFindPic->hide();
    enableEraseItem(false);
    enableEraseButton(false);
}

void FrmZdMain::fatal(const QString& text)
{
    msgBox(text, MsgIcon::Critical);
    endProgram(1);
}

void FrmZdMain::endProgram(int code)
{
    if (m_ended) return;
    m_ended = true;
    if (m_end) { m_end(code); return; }
    hide();
    QCoreApplication::exit(code);
}

void FrmZdMain::mnuFiles_End_Click()
{
    if (m_startDone && !m_ended) m_desk->saveWindow();
    endProgram(0);
}

void FrmZdMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    mnuFiles_End_Click();
}

void FrmZdMain::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// While a frame is drawn the window answers everything; the gate holds what would start a
// command. At any other time only the picture's own events are handled.
void FrmZdMain::answerEvents()
{
    if (!m_gate->active()) return processPendingEvents();
    m_answered.start();
    QCoreApplication::processEvents();
}

// Asked between rows of a frame: the window answers its events every 20 ms, and the frame
// goes on until input is held or the program ends.
bool FrmZdMain::keepDrawing()
{
    constexpr int kAnswerEveryMs = 20;
    if (m_gate->active() && m_answered.elapsed() >= kAnswerEveryMs) m_st.processEvents();
    return !m_ended && !m_gate->superseded();
}

// ---------------------------------------------------------------- the renderer

void FrmZdMain::RenderKadr(PictureBox& pic)
{
    if (m_ended) return;
    // A frame stopped by held input is replaced by this one, or completed by it when it draws
    // the same frame: then its history entry comes with it.
    const std::optional<Interrupted> stopped = std::exchange(m_interrupted, std::nullopt);
    const bool record = !m_histNav || (stopped && stopped->record && stopped->kadr == m_st.kadr);
    // A frame drawn inside another (the empty frame's fall-back) shares the outer one's gate.
    const bool outer = !m_gate->active();
    if (outer) m_gate->open();
    drawFrame(pic, record);
    if (!outer) return;
    m_gate->close();
    // Queued behind the held input that the gate has just posted back.
    if (m_interrupted) QMetaObject::invokeMethod(this, &FrmZdMain::resumeFrame, Qt::QueuedConnection);
}

void FrmZdMain::drawFrame(PictureBox& pic, bool record)
{
    m_rendering = true;
    setMenusEnabled(false);
    m_shpFindPic->hide();
    const bool zoomed = m_kadrZoomed != 0;
    setItemEnabled(QStringLiteral("mnuMagist_Sdvig"), zoomed);
    setButtonEnabled(QStringLiteral("mnuMagist_Sdvig"), zoomed);
    pic.setCursor(Qt::WaitCursor);
    m_desk->frameRowsChanging();
    m_desk->renderStarted();
    m_answered.start();
    Expected<FrameDrawn> drawn = renderFrame(m_st, pic, m_dtaPeregon, m_dtaStn, m_genOn);
    m_desk->renderEnded();
    pic.unsetCursor();
    m_rendering = false;
    if (!drawn) {
        reportFailure(drawn.error());
        return;
    }
    if (*drawn == FrameDrawn::Superseded || m_gate->superseded()) {
        frameInterrupted(record);
        return;
    }
    if (*drawn != FrameDrawn::Drawn) {
        emptyFrame();
        return;
    }
    finishFrame(record);
}

// The menus and "Общая схема" as a frame, finished or stopped, leaves them.
void FrmZdMain::enableAfterFrame()
{
    setMenusEnabled(true);
    if (m_kadrZoomed > 0) {
        setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
        setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), true);
    }
}

void FrmZdMain::finishFrame(bool record)
{
    redrawHighlights();
    enableAfterFrame();
    for (MapTool* t : tools()) t->frameRendered();
    recordFrame(record);
    m_desk->frameShown();
    if (m_resizePending) QTimer::singleShot(0, this, &FrmZdMain::redrawFrame);
    // While the user looks at the frame, the station search window's list is read: on a
    // large network it opens at once instead of in a second or more.
    QTimer::singleShot(0, this, &FrmZdMain::readListAhead);
}

// The name index's rows are read ahead first; the list follows once they are in.
void FrmZdMain::readListAhead()
{
    if (!findWindow() && !m_rendering && !m_ended && !m_names->reading()) FrmZdFind::readListAhead(*this);
}

void FrmZdMain::startNameIndex()
{
    m_names->start(database());
    m_names->whenReady(this, [this] { readListAhead(); });
}

// The menus are as a finished frame leaves them, for the held input to find; the picture and
// the history wait for the frame that comes next, or for this one drawn again.
void FrmZdMain::frameInterrupted(bool record)
{
    enableAfterFrame();
    m_interrupted = Interrupted{m_st.kadr, record};
}

void FrmZdMain::resumeFrame()
{
    constexpr int kRetryMs = 50;
    if (!m_interrupted || m_ended) return;
    if (canRedraw()) redrawFrame();
    else m_resume->start(kRetryMs);
}

// What redrawFrame() itself would refuse, and any gesture or load under way.
bool FrmZdMain::canRedraw() const
{
    return m_startDone && !m_ended && !m_rendering && !m_opener->loading() && m_kursInfo.object() <= 0
        && !m_frag->sdvigDragging() && !m_pointer->gestureUnderWay();
}

void FrmZdMain::redrawHighlights()
{
    for (MapTool* t : tools()) t->redrawHighlight();
}

void FrmZdMain::showFrame(const Frame& f, std::int16_t kadrZoomed)
{
    m_st.kadr = f;
    m_kadrZoomed = kadrZoomed;
    RenderKadr(*m_pic);
}

void FrmZdMain::recordFrame(bool record)
{
    if (record) {
        m_hist.append(m_st.kadr);
        setItemEnabled(QStringLiteral("mnuKadrFore"), false);
    }
    setItemEnabled(QStringLiteral("mnuKadrBack"), m_hist.canBack());
    setItemEnabled(QStringLiteral("mnuKadrFore"), m_hist.canFore());
    setButtonEnabled(QStringLiteral("mnuKadrFore"), menuItem(QStringLiteral("mnuKadrFore"))->isEnabled());
    setButtonEnabled(QStringLiteral("mnuKadrBack"), menuItem(QStringLiteral("mnuKadrBack"))->isEnabled());
}

// An empty frame falls back to the whole scheme once; an empty whole scheme means the
// database holds nothing to show, which is said instead of trying again.
void FrmZdMain::emptyFrame()
{
    if (m_emptyDepth > 0) {
        // With only Russia shown the database may well hold a network, just not Russia's.
        msgBox(m_st.rusMode == 1 ? kEmptyRussia : kEmptyNetwork, MsgIcon::Exclamation);
        m_pic->clearPicture();
        setMenusEnabled(true);
        return;
    }
    msgBox(kEmptyFrame);
    ++m_emptyDepth;
    WholeScheme();
    --m_emptyDepth;
    setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), false);
}

void FrmZdMain::WholeScheme()
{
    m_st.kadr = m_st.scheme;
    m_kadrZoomed = 0;
    RenderKadr(*m_pic);
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), false);
}

// The same frame again, without a new history entry: after a change of the map's size
// (stretched to the new size) or a cancelled drag.
void FrmZdMain::redrawFrame()
{
    // While the object under the pointer is marked or the picture is dragged, drawing goes
    // to the screen layer only; the redraw waits for the release.
    if (m_kursInfo.object() > 0 || m_frag->sdvigDragging()) return;
    m_resizePending = false;
    if (!m_startDone || m_ended || m_rendering) return;
    const bool nav = m_histNav;
    m_histNav = true;
    RenderKadr(*m_pic);
    m_histNav = nav;
}

bool FrmZdMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pic) {
        if (event->type() == QEvent::Resize && m_startDone && !m_resizePending) {
            m_resizePending = true;
            if (!m_rendering) QTimer::singleShot(0, this, &FrmZdMain::redrawFrame);
        } else if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            zoomByWheel(wheel->position(), wheel->angleDelta().y());
            return true;
        } else if (m_pointer && m_pointer->handle(event)) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- frame commands

void FrmZdMain::ZoomKadr(std::int16_t near)
{
    const std::optional<Frame> f = zoomFrame(m_st.kadr, near != 0);
    if (!f) return;   // the frame would shrink to nothing or leave the coordinate range
    m_kadrZoomed = 1;
    m_st.kadr = *f;
    RenderKadr(*m_pic);
}

// One notch is one "Ближе" or "Дальше" step about the map point under the pointer.
void FrmZdMain::zoomByWheel(QPointF at, int angleDelta)
{
    if (!m_desk->canNavigate()) return;
    m_wheelRest += angleDelta;
    const int notches = m_wheelRest / kWheelStep;
    m_wheelRest -= notches * kWheelStep;
    if (notches != 0) m_desk->wheel(at, notches);
}

void FrmZdMain::mnuMagist_Frag_Click()
{
    m_mapMode = 1;
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
    setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), true);
}

void FrmZdMain::mnuMagist_Sdvig_Click()
{
    m_mapMode = 2;
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
}

void FrmZdMain::mnuMagist_Far_Click()
{
    ZoomKadr(0);
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
    setButtonEnabled(QStringLiteral("mnuMagist_Sdvig"), true);
}

void FrmZdMain::mnuMagist_Near_Click()
{
    ZoomKadr(1);
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
}

void FrmZdMain::mnuKadrBack_Click()
{
    if (!m_hist.canBack()) return;
    m_histNav = true;
    m_hist.setPos(m_hist.pos() - 1);
    m_st.kadr = m_hist.at(m_hist.pos());
    RenderKadr(*m_pic);
    m_histNav = false;
    setItemEnabled(QStringLiteral("mnuKadrFore"), m_hist.count() >= 2 && m_hist.pos() < m_hist.count());
}

void FrmZdMain::mnuKadrFore_Click()
{
    if (m_hist.pos() >= m_hist.count()) return;
    m_histNav = true;
    m_hist.setPos(m_hist.pos() + 1);
    m_st.kadr = m_hist.at(m_hist.pos());
    RenderKadr(*m_pic);
    m_histNav = false;
}

void FrmZdMain::mnuMagist_Frag0_Click()
{
    WholeScheme();
    setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), false);
}

void FrmZdMain::mnuZdGen_Click()
{
    m_genOn = !m_genOn;
    menuItem(QStringLiteral("mnuZdGen"))->setChecked(m_genOn);
    if (m_kadrZoomed == 0) RenderKadr(*m_pic);
}

void FrmZdMain::setRusMode(std::int16_t mode)
{
    static const char* const items[] = {"mnuZdLight_RusAll", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank"};
    for (int m = 0; m < 3; ++m) menuItem(QLatin1String(items[m]))->setChecked(m == m_st.rusMode);
    if (m_st.rusMode == mode) return;
    for (int m = 0; m < 3; ++m) menuItem(QLatin1String(items[m]))->setChecked(m == mode);
    m_st.rusMode = mode;
    RenderKadr(*m_pic);
    for (MapTool* t : tools()) t->markingChanged();
    m_desk->markingChanged();
}

void FrmZdMain::mnuZdLight_Erase_Click()
{
    for (int slot = kToolSlots - 1; slot >= 0; --slot) {
        auto* tool = dynamic_cast<MapTool*>(m_tools[slot].data());
        if (!tool || !tool->switchHighlightOff()) continue;
        unload(m_tools[slot]);
        m_tools[slot] = nullptr;
    }
    setItemEnabled(QStringLiteral("mnuZdLight_Erase"), false);
}

void FrmZdMain::enableEraseItem(bool on) { setItemEnabled(QStringLiteral("mnuZdLight_Erase"), on); }
void FrmZdMain::enableEraseButton(bool on) { setButtonEnabled(QStringLiteral("mnuZdLight_Erase"), on); }

// A tool window may be the one whose handler is running: it goes once that has returned.
void FrmZdMain::unload(QWidget* window)
{
    window->hide();
    window->deleteLater();
}

// ---------------------------------------------------------------- tool windows

std::vector<MapTool*> FrmZdMain::tools() const
{
    std::vector<MapTool*> live;
    for (const QPointer<QWidget>& w : m_tools)
        if (auto* t = dynamic_cast<MapTool*>(w.data())) live.push_back(t);
    return live;
}

template <class W>
W& FrmZdMain::loadTool(ToolSlot slot)
{
    if (!m_tools[slot]) {
        m_tools[slot] = new W(*this);
        m_desk->toolWindowLoaded(*m_tools[slot]);
    }
    return static_cast<W&>(*m_tools[slot]);
}

FrmZdFind* FrmZdMain::findWindow() const { return qobject_cast<FrmZdFind*>(m_tools[FindTool].data()); }
FrmZdDor* FrmZdMain::dorWindow() const { return qobject_cast<FrmZdDor*>(m_tools[DorTool].data()); }
FrmLight* FrmZdMain::lightWindow() const { return qobject_cast<FrmLight*>(m_tools[LightTool].data()); }
FrmZdFind& FrmZdMain::loadFindWindow() { return loadTool<FrmZdFind>(FindTool); }
FrmZdDor& FrmZdMain::loadDorWindow() { return loadTool<FrmZdDor>(DorTool); }
FrmLight& FrmZdMain::loadLightWindow() { return loadTool<FrmLight>(LightTool); }
FrmRoute* FrmZdMain::routeWindow() const { return qobject_cast<FrmRoute*>(m_tools[RouteTool].data()); }
FrmRoute& FrmZdMain::loadRouteWindow() { return loadTool<FrmRoute>(RouteTool); }
FrmStats& FrmZdMain::loadStatsWindow() { return loadTool<FrmStats>(StatsTool); }
LegendDock& FrmZdMain::loadLegendPanel() { return loadTool<LegendDock>(LegendTool); }

void FrmZdMain::addExportItems()
{
    m_export = new ExportCommands(*this, this);
    for (QAction* a : m_export->fileItems()) addFileItem(a);
    QMenu& service = extraMenu(QStringLiteral("mnuService"));
    QAction* stats = service.addAction(QStringLiteral("&Статистика…"), this, [this] { loadStatsWindow().LoadStats(); });
    stats->setObjectName(QStringLiteral("mnuService_Stats"));
    QAction* legend = service.addAction(QStringLiteral("&Условные обозначения"), this, [this] {
        LegendDock& dock = loadLegendPanel();
        dock.show();
        dock.raise();
    });
    legend->setObjectName(QStringLiteral("mnuService_Legend"));
}

void FrmZdMain::showObjectAt(RowSet& sections, PictureBox& surface, float x, float y)
{
    std::vector<const QWidget*> windows;
    for (const QPointer<QWidget>& w : m_tools) windows.push_back(w.data());
    // The pointer is on the map, but the map point may come from anywhere: keep it on the surface.
    const QPointF px = surface.toPixel(x, y);
    auto inside = [](qreal v, int extent) { return std::isfinite(v) ? int(std::clamp<qreal>(v, 0, extent)) : 0; };
    const QPoint onSurface(inside(px.x(), surface.width()), inside(px.y(), surface.height()));
    const QPoint pointer = surface.mapToGlobal(onSurface);
    CursorScene scene{m_st, m_genOn, m_dtaStn, m_dtaDoroga, *m_pic, windows, pointer};
    if (auto shown = m_kursInfo.show(scene, sections, surface, x, y); !shown) reportFailure(shown.error());
}

void FrmZdMain::endObjectAt(PictureBox& surface)
{
    m_kursInfo.end(surface);
    if (m_resizePending) QTimer::singleShot(0, this, &FrmZdMain::redrawFrame);
}

void FrmZdMain::setPickMode(PointerMode* mode) { m_pointer->setPick(mode); }

void FrmZdMain::mnuZdFind_Stn_Click() { loadFindWindow().LoadFind(); }
void FrmZdMain::mnuZdFind_Dor_Click() { loadDorWindow().LoadFindDor(); }
void FrmZdMain::mnuService_Route_Click() { loadRouteWindow().LoadRoute(); }

void FrmZdMain::mnuZdLight_Peregon_Click()
{
    FrmLight& w = loadLightWindow();
    w.show();
    w.raise();
}


} // namespace zd
