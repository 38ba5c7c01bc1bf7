#include "mainwin/FrmZdMain.h"

#include "dorfind/FrmZdDor.h"
#include "fragment/FragControls.h"
#include "fragment/Fragment.h"
#include "light/FrmLight.h"
#include "mainwin/ToolbarIcons.h"
#include "platform/FileLookup.h"
#include "platform/Keyboard.h"
#include "platform/MsgBox.h"
#include "platform/WindPos.h"
#include "render/PictureBox.h"
#include "render/RenderFrame.h"
#include "stnfind/FrmZdFind.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
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

// The outline of the station-search zone on the map.
class ZoneShape : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
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
    m_shpFindPic = new ZoneShape(m_pic);
    m_shpFindPic->setObjectName(QStringLiteral("shpFindPic"));
    m_shpFindPic->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_shpFindPic->hide();
    m_lblFindMsg = new QLabel(QStringLiteral("lblFindMsg"), m_pic);
    m_lblFindMsg->setObjectName(QStringLiteral("lblFindMsg"));
    m_lblFindMsg->hide();
    buildMenus();
    buildToolbar();
    m_help.HelpInit(this, m_programDir);
    m_st.processEvents = [this] { processPendingEvents(); };
}

FrmZdMain::~FrmZdMain() = default;

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
    SetKbdLayout(0);
    show();
    m_dbPath = m_programDir + QStringLiteral("/ZdShort.mdb");
    if (!fileExists(m_dbPath)) {
        msgBox(QStringLiteral("Отсутствует файл базы данных ") + QDir::toNativeSeparators(m_dbPath), MsgIcon::Critical);
        endProgram(1);
        return;
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
    m_st.mainPeregons = &m_dtaPeregon.rows();
    RenderKadr(*m_pic);
    if (m_ended) return;
    setItemEnabled(QStringLiteral("mnuMagist_Frag0"), false);
    setItemEnabled(QStringLiteral("mnuMagist_Sdvig"), false);
    setButtonEnabled(QStringLiteral("mnuMagist_Sdvig"), false);
    processPendingEvents();
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

bool FrmZdMain::openDatabase()
{
    auto db = Database::open(m_dbPath);
    if (!db) {
        fatal(db.error().message());
        return false;
    }
    m_dtaStn.setDatabase(*db);
    const std::pair<DataSource*, const char*> sources[] = {
        {&m_dtaPeregon, "Peregon"}, {&m_dtaDoroga, "Doroga"}, {&m_dtaContry, "Contry"}};
    for (const auto& [ds, table] : sources) {
        ds->setDatabase(*db);
        ds->setRecordSource(QLatin1String(table));
        if (auto e = ds->refresh()) {
            fatal(e->message());
            return false;
        }
    }
    return true;
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

void FrmZdMain::mnuFiles_End_Click() { endProgram(0); }

void FrmZdMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    mnuFiles_End_Click();
}

void FrmZdMain::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---------------------------------------------------------------- the renderer

void FrmZdMain::RenderKadr(PictureBox& pic)
{
    if (m_ended) return;
    m_rendering = true;
    setMenusEnabled(false);
    m_shpFindPic->hide();
    const bool zoomed = m_kadrZoomed != 0;
    setItemEnabled(QStringLiteral("mnuMagist_Sdvig"), zoomed);
    setButtonEnabled(QStringLiteral("mnuMagist_Sdvig"), zoomed);
    pic.setCursor(Qt::WaitCursor);
    const FrameOutcome out = renderFrame(m_st, pic, m_dtaPeregon, m_dtaStn, m_genOn);
    pic.unsetCursor();
    m_rendering = false;
    if (out.error) {
        fatal(out.error->message());
        return;
    }
    if (out.kind != FrameOutcome::Drawn) {
        emptyFrame();
        return;
    }
    redrawHighlights();
    setMenusEnabled(true);
    if (m_find) m_find->clearNoStn();
    if (m_kadrZoomed > 0) {
        setItemEnabled(QStringLiteral("mnuMagist_Frag0"), true);
        setButtonEnabled(QStringLiteral("mnuMagist_Frag0"), true);
    }
    if (m_find) m_find->RamView();
    recordFrame();
    if (m_resizePending) QTimer::singleShot(0, this, &FrmZdMain::redrawUnrecorded);
}

void FrmZdMain::redrawHighlights()
{
    if (m_lightDorOn && m_dor) m_dor->DorLight(true);
    if (m_lightPerOn && m_light) m_light->PeregonLight(true);
    if (m_lightStnOn && m_light) m_light->StnLight(true);
}

void FrmZdMain::recordFrame()
{
    if (!m_histNav) {
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

// A change of the map's size shows the same frame again, stretched to the new size,
// without a new history entry.
void FrmZdMain::redrawUnrecorded()
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
            if (!m_rendering) QTimer::singleShot(0, this, &FrmZdMain::redrawUnrecorded);
        } else if (event->type() == QEvent::Wheel) {
            zoomByWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
            return true;
        } else if (mapEvent(event)) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- pointer and keys on the map

// A second button pressed while one is held, and its release, are ignored: the press that
// began the gesture (a shift drag, a rubber frame, the object under the pointer) ends with
// its own release, and no second tool starts over it.
bool FrmZdMain::ignoredPress(const QMouseEvent& e)
{
    m_ignoredButtons &= e.buttons();   // released where the map did not see it
    if (!(e.buttons() & ~Qt::MouseButtons(e.button()))) return false;
    m_ignoredButtons |= e.button();
    return true;
}

bool FrmZdMain::ignoredRelease(const QMouseEvent& e)
{
    if (!(m_ignoredButtons & e.button())) return false;
    m_ignoredButtons &= ~Qt::MouseButtons(e.button());
    return true;
}

// Hands the map's pointer and key events to the handlers, positions in map units.
bool FrmZdMain::mapEvent(QEvent* event)
{
    if (!m_startDone || m_ended) return false;
    auto at = [this](QEvent* e) { return m_pic->toUser(static_cast<QMouseEvent*>(e)->position()); };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (ignoredPress(*static_cast<QMouseEvent*>(event))) return true;
        const QPointF p = at(event);
        picZdMain_MouseDown(static_cast<QMouseEvent*>(event)->button(), static_cast<float>(p.x()), static_cast<float>(p.y()));
        return true;
    }
    case QEvent::MouseMove: {
        const QPointF p = at(event);
        picZdMain_MouseMove(static_cast<float>(p.x()), static_cast<float>(p.y()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (ignoredRelease(*static_cast<QMouseEvent*>(event))) return true;
        const QPointF p = at(event);
        picZdMain_MouseUp(static_cast<float>(p.x()), static_cast<float>(p.y()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (ignoredPress(*static_cast<QMouseEvent*>(event))) return true;
        picZdMain_DblClick();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
        picZdMain_KeyPress(key == Qt::Key_Escape ? 27 : 13);
        return true;
    }
    default:
        return false;
    }
}

void FrmZdMain::picZdMain_MouseDown(Qt::MouseButton button, float x, float y)
{
    if (m_rendering) return;
    if (button == Qt::RightButton) {
        if (this->button(QStringLiteral("mnuMagist_Frag"))->isChecked()) m_mapMode = 1;
        if (this->button(QStringLiteral("mnuMagist_Sdvig"))->isChecked()) m_mapMode = 2;
    }
    switch (m_mapMode) {
    case 1:
        m_frag->FragDown(*m_pic, x, y);
        m_tlbZd->update();
        break;
    case 2:
        m_frag->SdvigPrepare(*m_pic, m_programDir + QStringLiteral("/handgrab.cur"));
        m_frag->SdvigStep(1, x, y);
        break;
    default:
        showObjectAt(m_dtaPeregon.rows(), *m_pic, x, y);
        break;
    }
}

void FrmZdMain::picZdMain_MouseMove(float x, float y)
{
    if (m_mapMode == 1) m_frag->FragMove(x, y);
    else if (m_mapMode == 2) m_frag->SdvigStep(2, x, y);
}

void FrmZdMain::picZdMain_MouseUp(float x, float y)
{
    if (m_kursInfo.object() > 0) {
        endObjectAt(*m_pic);
        return;
    }
    if (m_mapMode == 1) m_frag->FragUp();
    else if (m_mapMode == 2) finishShift(x, y);
}

// The picture's scale origin has moved with the drag: that is the new frame. A drag that
// would carry an edge of the frame out of the 32-bit range is refused (rounding would clamp
// that edge and change the frame's size): the frame stays and is drawn again.
void FrmZdMain::finishShift(float x, float y)
{
    m_pic->unsetCursor();
    m_frag->SdvigStep(0, x, y);
    const PictureBox& p = *m_pic;
    const double edges[] = {p.scaleLeft(), p.scaleTop(), p.scaleLeft() + p.scaleWidth(), p.scaleTop() + p.scaleHeight()};
    constexpr double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    if (std::all_of(std::begin(edges), std::end(edges), [](double v) { return v >= lo && v <= hi; }))
        m_st.kadr = Frame{toLong(edges[0]), toLong(edges[1]), toLong(edges[2]), toLong(edges[3])};
    RenderKadr(*m_pic);
    m_mapMode = 0;
}

void FrmZdMain::picZdMain_DblClick()
{
    if (m_mapMode == 1) applyFragment();
}

void FrmZdMain::picZdMain_KeyPress(int key)
{
    if (key == 13 && m_mapMode == 1) {
        applyFragment();
    } else if (key == 27 && m_mapMode == 1) {
        m_mapMode = 0;
        m_frag->FragEnd(QStringLiteral("ESC"));
    } else if (key == 27 && m_mapMode == 2 && m_frag->sdvigDragging()) {
        m_pic->unsetCursor();
        m_frag->SdvigStep(-1, 0, 0);
        redrawUnrecorded();
    }
}

// The rubber frame comes back through the picture's scale, its lower edge as the top.
// Without a complete frame there is nothing to apply. A frame smaller than the smallest
// zoom (inside a small frame a hundredth of it rounds to no map unit at all) is dropped as
// Esc drops it: the map keeps its frame and its scale.
void FrmZdMain::applyFragment()
{
    if (!m_frag->frameComplete()) return;
    m_frag->FragEnd(QString());
    const PictureBox& p = *m_pic;
    const Frame f{toLong(p.scaleLeft()), toLong(p.scaleTop() - p.scaleHeight()),
                  toLong(p.scaleLeft() + p.scaleWidth()), toLong(p.scaleTop())};
    m_mapMode = 0;
    if (!frameLargeEnough(f)) {
        const Frame& k = m_st.kadr;
        m_pic->setScale(k.x1, k.y1, k.x2, k.y2);
        return;
    }
    m_st.kadr = f;
    m_kadrZoomed = 1;
    RenderKadr(*m_pic);
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

void FrmZdMain::zoomByWheel(int angleDelta)
{
    // Not while the object under the pointer is marked: see redrawUnrecorded.
    if (!m_startDone || m_rendering || m_mapMode != 0 || m_kursInfo.object() > 0
        || !menuItem(QStringLiteral("mnuMagist"))->isEnabled())
        return;
    m_wheelRest += angleDelta;
    while (m_wheelRest >= kWheelStep) { m_wheelRest -= kWheelStep; mnuMagist_Near_Click(); }
    while (m_wheelRest <= -kWheelStep) { m_wheelRest += kWheelStep; mnuMagist_Far_Click(); }
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
    if (m_find && m_find->isVisible()) m_find->ListStn();
    if (m_dor && m_dor->isVisible()) m_dor->LoadFindDor();
}

void FrmZdMain::mnuZdLight_Erase_Click()
{
    if (m_light && (m_lightPerOn || m_lightStnOn)) {
        if (m_lightPerOn) m_light->PeregonLight(false);
        if (m_lightStnOn) m_light->StnLight(false);
        unload(m_light);
        m_light = nullptr;
    }
    if (m_dor && m_lightDorOn) {
        m_dor->DorLight(false);
        unload(m_dor);
        m_dor = nullptr;
    }
    setItemEnabled(QStringLiteral("mnuZdLight_Erase"), false);
}

// A tool window may be the one whose handler is running: it goes once that has returned.
void FrmZdMain::unload(QWidget* window)
{
    window->hide();
    window->deleteLater();
}

// ---------------------------------------------------------------- tool windows

FrmZdFind* FrmZdMain::findWindow() const { return m_find; }
FrmZdDor* FrmZdMain::dorWindow() const { return m_dor; }
FrmLight* FrmZdMain::lightWindow() const { return m_light; }

FrmZdFind& FrmZdMain::loadFindWindow()
{
    if (!m_find) {
        m_find = new FrmZdFind(*this);
        connect(m_find, &FrmZdFind::helpRequested, this, [this](int topic) { m_help.HelpTopic(topic); });
    }
    return *m_find;
}

FrmZdDor& FrmZdMain::loadDorWindow()
{
    if (!m_dor) {
        m_dor = new FrmZdDor(*this);
        connect(m_dor, &FrmZdDor::helpRequested, this, [this](int topic) { m_help.HelpTopic(topic); });
    }
    return *m_dor;
}

FrmLight& FrmZdMain::loadLightWindow()
{
    if (!m_light) {
        m_light = new FrmLight(*this);
        connect(m_light, &FrmLight::helpRequested, this, [this](int topic) { m_help.HelpTopic(topic); });
    }
    return *m_light;
}

void FrmZdMain::showObjectAt(RowSet& sections, PictureBox& surface, float x, float y)
{
    CursorScene scene{m_st, m_genOn, m_dtaStn, m_dtaDoroga, *m_pic, {m_find, m_dor, m_light}};
    if (auto e = m_kursInfo.show(scene, sections, surface, x, y)) fatal(e->message());
}

void FrmZdMain::endObjectAt(PictureBox& surface)
{
    m_kursInfo.end(surface);
    if (m_resizePending) QTimer::singleShot(0, this, &FrmZdMain::redrawUnrecorded);
}

void FrmZdMain::mnuZdFind_Stn_Click() { loadFindWindow().LoadFind(); }
void FrmZdMain::mnuZdFind_Dor_Click() { loadDorWindow().LoadFindDor(); }

void FrmZdMain::mnuZdLight_Peregon_Click()
{
    FrmLight& w = loadLightWindow();
    w.show();
    w.raise();
}


} // namespace zd
