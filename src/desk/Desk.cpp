#include "desk/Desk.h"

#include "desk/BookmarksMenu.h"
#include "desk/DeskKeys.h"
#include "desk/MapStatus.h"
#include "desk/Navigation.h"
#include "desk/OverviewPanel.h"
#include "desk/RenderBusy.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace zd {

namespace {
const QString kNothingThere = QStringLiteral("Там нет элементов схемы: кадр не изменён");
const QString kZoomLimit = QStringLiteral("Предел масштаба: кадр не изменён");
} // namespace

Desk::Desk(FrmZdMain& main) : QObject(&main), m_main(main), m_pic(&main.picZdMain())
{
    m_status = new MapStatus(main);
    m_busy = new RenderBusy(*main.statusBar());
    m_overview = new OverviewPanel(main, *this);
    main.addDockWidget(Qt::RightDockWidgetArea, m_overview);
    m_overview->hide();
    m_bookmarks = std::make_unique<BookmarksMenu>(main, *this);

    QMenu& view = main.extraMenu(QStringLiteral("mnuView"));
    view.setTitle(QStringLiteral("Ви&д"));
    // An item of the menu's own, found by name like every menu item; the dock's own toggle
    // (its close button) keeps it checked as the panel is shown.
    QAction* overview = view.addAction(QStringLiteral("&Обзор"));
    overview->setObjectName(QStringLiteral("mnuView_Overview"));
    overview->setCheckable(true);
    connect(overview, &QAction::triggered, m_overview, &QWidget::setVisible);
    connect(m_overview->toggleViewAction(), &QAction::toggled, overview, &QAction::setChecked);
    QAction* bar = view.addAction(QStringLiteral("&Строка состояния"));
    bar->setObjectName(QStringLiteral("mnuView_StatusBar"));
    bar->setCheckable(true);
    bar->setChecked(true);
    connect(bar, &QAction::toggled, main.statusBar(), &QWidget::setVisible);
    view.addSeparator();
    QAction* redraw = view.addAction(QStringLiteral("&Перерисовать"), &main, &FrmZdMain::redrawFrame);
    redraw->setObjectName(QStringLiteral("mnuView_Redraw"));
    redraw->setShortcut(QKeySequence(Qt::Key_F5));

    addMenuKeys(main);
    m_pic->installEventFilter(this);
    for (QMenu* m : main.menuBar()->findChildren<QMenu*>())
        connect(m, &QMenu::triggered, this, &Desk::refreshSoon);
    connect(main.findChild<QToolBar*>(QStringLiteral("tlbZd")), &QToolBar::actionTriggered, this, &Desk::refreshSoon);
}

Desk::~Desk() = default;

void Desk::useSettings(std::unique_ptr<QSettings> settings)
{
    m_settings = std::move(settings);
    if (m_main.startDone()) m_bookmarks->networkOpened();
}

void Desk::frameRowsChanging() { m_status->stopEstimate(); }
void Desk::renderStarted() { m_busy->started(); }
void Desk::renderEnded() { m_busy->ended(); }

void Desk::networkOpened()
{
    m_status->networkOpened();
    m_overview->map().invalidate();
    m_bookmarks->networkOpened();
}

void Desk::frameShown()
{
    m_status->frameShown();
    m_overview->map().update();
}

void Desk::markingChanged() { m_overview->map().invalidate(); }

void Desk::toolWindowLoaded(QWidget& window) { addToolWindowKeys(window); }

// The window's own rectangle (without the frame a window manager adds), used again only
// where it lies wholly on a screen as it is now; else the window stays laid over the screen.
void Desk::restoreWindow()
{
    if (!m_settings) return;
    const QRect rect = m_settings->value(QStringLiteral("window/rect")).toRect();
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (rect.isValid() && screen && screen->availableGeometry().contains(rect)) m_main.setGeometry(rect);
    if (m_settings->value(QStringLiteral("window/maximized")).toBool()) m_main.setWindowState(Qt::WindowMaximized);
    const QByteArray state = m_settings->value(QStringLiteral("window/state")).toByteArray();
    if (!state.isEmpty()) m_main.restoreState(state);
}

void Desk::saveWindow()
{
    if (!m_settings) return;
    m_settings->setValue(QStringLiteral("window/rect"), m_main.normalGeometry());
    m_settings->setValue(QStringLiteral("window/maximized"), m_main.isMaximized());
    m_settings->setValue(QStringLiteral("window/state"), m_main.saveState());
    m_settings->sync();
}

bool Desk::canNavigate() const
{
    return m_main.startDone() && !m_main.ended() && !m_main.rendering() && !m_main.pointer().gestureUnderWay()
        && m_main.menuItem(QStringLiteral("mnuMagist"))->isEnabled();
}

bool Desk::go(const Frame& f)
{
    auto db = m_main.database();
    if (!db) return false;
    const MapState& st = m_main.state();
    const PictureBox& pic = m_main.picZdMain();
    const bool generalised = m_main.genOn() && kadrScaleFor(pic.widthTwips(), pic.heightTwips(), f) < kGenScale;
    Expected<bool> has = frameHasRows(*db, f, st.rusMode, generalised);
    if (!has) {
        m_main.reportFailure(has.error());
        return false;
    }
    if (!*has) {
        m_status->say(kNothingThere);
        return false;
    }
    m_main.showFrame(f, 1);
    return true;
}

void Desk::wheel(QPointF pixel, int notches)
{
    const PictureBox& pic = m_main.picZdMain();
    const QPointF fraction(pixel.x() / pic.width(), pixel.y() / pic.height());
    for (; notches != 0 && canNavigate(); notches += notches > 0 ? -1 : 1) {
        const std::optional<Frame> f = zoomAbout(m_main.state().kadr, notches > 0, fraction);
        if (!f) {
            m_status->say(kZoomLimit);
            return;
        }
        if (!go(*f)) return;
    }
}

void Desk::zoomKey(bool near)
{
    if (!canNavigate()) return;
    const std::optional<Frame> f = zoomFrame(m_main.state().kadr, near);
    if (!f) m_status->say(kZoomLimit);
    else go(*f);
}

void Desk::pan(int dx, int dy)
{
    if (!canNavigate()) return;
    if (const std::optional<Frame> f = panFrame(m_main.state().kadr, dx, dy)) go(*f);
}

// A command of a menu whose item is enabled; nothing while the frame may not change.
static void runItem(FrmZdMain& main, const char* name)
{
    QAction* a = main.menuItem(QLatin1String(name));
    if (a && a->isEnabled()) a->trigger();
}

bool Desk::mapKey(int key, Qt::KeyboardModifiers mods)
{
    mods &= ~Qt::KeypadModifier;
    if (mods == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        if (canNavigate()) runItem(m_main, key == Qt::Key_Left ? "mnuKadrBack" : "mnuKadrFore");
        return true;
    }
    if (mods & ~Qt::ShiftModifier) return false;
    switch (key) {
    case Qt::Key_Plus: case Qt::Key_Equal: zoomKey(true); return true;
    case Qt::Key_Minus: case Qt::Key_Underscore: zoomKey(false); return true;
    case Qt::Key_Left: pan(-1, 0); return true;
    case Qt::Key_Right: pan(1, 0); return true;
    case Qt::Key_Up: pan(0, -1); return true;
    case Qt::Key_Down: pan(0, 1); return true;
    case Qt::Key_Home:
        if (canNavigate()) runItem(m_main, "mnuMagist_Frag0");
        return true;
    case Qt::Key_F1: m_main.mnuHelp_Instr_Click(); return true;
    default: return false;
    }
}

// The map's events reach the main window's own filter after this one: the status bar is
// brought up to date once they have been handled.
bool Desk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pic) return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        refreshSoon();
        return m_main.startDone() && mapKey(k->key(), k->modifiers());
    }
    case QEvent::MouseMove:
        m_status->pointerAt(m_pic->toUser(static_cast<QMouseEvent*>(event)->position()));
        break;
    case QEvent::Leave: m_status->pointerAt(std::nullopt); break;
    case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        refreshSoon();
        break;
    default: break;
    }
    return false;
}

void Desk::refreshSoon()
{
    if (m_refreshDue) return;
    m_refreshDue = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshDue = false;
        m_status->refresh();
    });
}

} // namespace zd
