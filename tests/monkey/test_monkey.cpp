// Random user actions on the whole program over the demo network (main window, map,
// toolbar, menus and the three tool windows), the window's invariants checked after each.
// The run fails on a broken invariant, an unexpected message box, a Qt warning or an end of
// the program it did not ask for. The seed is printed; ZD_MONKEY_SEED and ZD_MONKEY_ACTIONS
// replay or lengthen a run, ZD_MONKEY_VERBOSE prints every action.
#include "MapWindow.h"
#include "WindowInvariants.h"
#include "dorfind/FrmZdDor.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"
#include "platform/HelpViewer.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cinttypes>
#include <csignal>
#include <cstring>
#include <map>
#include <unistd.h>

#if ZD_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

using namespace zd;

namespace {

constexpr std::uint64_t kDefaultSeed = 20240611;
constexpr int kDefaultActions = ZD_SANITIZED ? 5000 : 20000;

// ---------------------------------------------------------------- the trail of actions
// The last actions are kept in fixed buffers, so that a crash handler can print them
// without allocating.

constexpr int kTrail = 20, kLineLen = 200;
char g_trail[kTrail][kLineLen];
long g_trailNext = 0, g_action = -1;
std::uint64_t g_seed = 0;

template <class Out>
void eachTrailLine(Out out)
{
    for (long i = std::max(0L, g_trailNext - kTrail); i < g_trailNext; ++i) out(g_trail[i % kTrail]);
}

void writeAll(const char* s) { [[maybe_unused]] ssize_t r = ::write(2, s, std::strlen(s)); }

void writeCrashReport(const char* what)
{
    char head[200];
    std::snprintf(head, sizeof head, "\n*** monkey: %s at action %ld, seed %" PRIu64 " (replay: ZD_MONKEY_SEED=%" PRIu64
                  " ZD_MONKEY_ACTIONS=%ld)\n*** the last actions:\n", what, g_action, g_seed, g_seed, g_action + 1);
    writeAll(head);
    eachTrailLine([](const char* line) { writeAll("    "); writeAll(line); writeAll("\n"); });
}

void onCrash(int sig)
{
    char what[32];
    std::snprintf(what, sizeof what, "signal %d", sig);
    writeCrashReport(what);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void installCrashReport()
{
#if ZD_SANITIZED
    __sanitizer_set_death_callback([] { writeCrashReport("a sanitizer report"); });
#endif
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(sig, onCrash);
}

// Qt's warnings fail the run; the offscreen platform's "does not support" lines are its own.
std::vector<std::string>* g_unexpected = nullptr;
void onQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(u"This plugin does not support")) return;
    if (g_unexpected) g_unexpected->push_back("Qt warning: " + text.toStdString());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

// ---------------------------------------------------------------- the generator and options

// splitmix64: the same actions for a seed with every standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }   // both included
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

template <class T>
T envNumber(const char* name, T fallback)
{
    bool ok = false;
    const qulonglong v = qgetenv(name).trimmed().toULongLong(&ok, 0);
    return ok ? static_cast<T>(v) : fallback;
}

template <class... A>
std::string fmt(const char* f, A... a)
{
    return QString::asprintf(f, a...).toStdString();
}

std::string str(const QString& s) { return s.toStdString(); }
const char* buttonName(Qt::MouseButton b) { return b == Qt::LeftButton ? "L" : b == Qt::RightButton ? "R" : "M"; }
bool usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled(); }

// ---------------------------------------------------------------- the run's state

struct Monkey {
    std::uint64_t seed = envNumber("ZD_MONKEY_SEED", kDefaultSeed);
    int actions = envNumber("ZD_MONKEY_ACTIONS", kDefaultActions);
    bool verbose = !qgetenv("ZD_MONKEY_VERBOSE").isEmpty();
    Rng rng{seed};
    QTemporaryDir dir;
    std::unique_ptr<FrmZdMain> w;
    Qt::MouseButtons held;
    QPoint last;                 // last pointer position on the map (pixels)
    bool pictureDirty = true;    // something besides the renderer drew on the map
    bool quitting = false;       // the current action ends the program on purpose
    int endCode = -1, done = 0, restarts = 0, maxHistory = 0;
    std::string current, failure;
    std::map<std::string, int> counts;
    std::map<QString, int> boxes;
    std::vector<std::string> unexpected;   // message boxes and Qt warnings

    bool run();
    bool setUp();
    bool startProgram();
    void afterAction();
    std::string checkPicture();
    void fail(const std::string& what);
    std::string summary() const;

    void note(const std::string& text) { current += " " + text; }
    PictureBox& pic() { return w->picZdMain(); }
    QPoint anywhere() { return QPoint(rng.below(std::max(1, pic().width())), rng.below(std::max(1, pic().height()))); }
    QPoint mapPoint();
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton b);
    QWidget* tool(const char* name);
    QString typedText();
};

// What the event loop does between two user actions: timers, posted events, deletions.
void settle()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void Monkey::fail(const std::string& what)
{
    if (!failure.empty()) return;
    failure = fmt("monkey: %s\n  at action %d (%s), seed %" PRIu64 "; replay with ZD_MONKEY_SEED=%" PRIu64
                  " ZD_MONKEY_ACTIONS=%d\n  the last actions:\n", what.c_str(), done, current.c_str(), seed, seed, done + 1);
    eachTrailLine([this](const char* line) { failure += std::string("    ") + line + "\n"; });
}

bool Monkey::setUp()
{
    const QString demo = QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb"), beside = QStringLiteral(ZD_SOURCE_DIR "/data/beside/");
    if (!QFile::copy(demo, dir.filePath("ZdShort.mdb")))
        return fail("the demo database " + str(demo) + " is missing (build the zddemo target)"), false;
    for (const char* name : {"ZDHELP.HLP", "handgrab.cur"})
        if (!QFile::copy(beside + QLatin1String(name), dir.filePath(QLatin1String(name))))
            return fail(std::string("cannot copy ") + name), false;
    setMsgHandler([this](const MsgRequest& r) {
        ++boxes[r.text];
        if (!zdtest::expectedMessage(r)) unexpected.push_back("message box: " + str(r.text));
    });
    return startProgram();
}

bool Monkey::startProgram()
{
    w.reset();
    settle();
    held = Qt::NoButton;
    pictureDirty = true;
    endCode = -1;
    w = std::make_unique<FrmZdMain>(dir.path());
    w->setEndHandler([this](int code) { endCode = code; });
    w->show();
    for (int i = 0; i < 20 && !w->startDone() && !w->ended(); ++i) QApplication::processEvents();
    w->Form_Activate();
    settle();
    if (!w->startDone() || w->ended()) return fail("the program did not start on the demo database"), false;
    last = pic().rect().center();
    return true;
}

// A pixel of the map: often on a station of the frame, near the last position, or just outside.
QPoint Monkey::mapPoint()
{
    const int r = rng.below(100);
    RowSet& rs = w->dtaStn().rows();
    const int n = rs.recordCount(), cx = rs.column(u"StnX"), cy = rs.column(u"StnY");
    if (r < 30 && n > 0 && cx >= 0 && cy >= 0) {
        const int row = rng.below(n);
        const QPointF p = pic().toPixel(rs.numberAt(row, cx), rs.numberAt(row, cy));
        if (std::abs(p.x()) < 1e6 && std::abs(p.y()) < 1e6) return p.toPoint() + QPoint(rng.between(-2, 2), rng.between(-2, 2));
    }
    if (r < 40) return last + QPoint(rng.between(-6, 6), rng.between(-6, 6));
    if (r < 45) return QPoint(rng.between(-30, pic().width() + 30), rng.between(-30, pic().height() + 30));
    return anywhere();
}

// A mouse event on the map with the buttons held so far, now and then with Shift.
void Monkey::mouse(QEvent::Type type, QPoint at, Qt::MouseButton b)
{
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held |= b;
    if (type == QEvent::MouseButtonRelease) held &= ~Qt::MouseButtons(b);
    const Qt::KeyboardModifiers mods = rng.chance(5) ? Qt::ShiftModifier : Qt::NoModifier;
    QMouseEvent e(type, QPointF(at), QPointF(pic().mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : b, held, mods);
    QApplication::sendEvent(&pic(), &e);
    last = at;
}

// The tool window an action works in; when it is not shown the action opens it instead.
QWidget* Monkey::tool(const char* name)
{
    static const std::map<std::string, const char*> items = {
        {"find", "mnuZdFind_Stn"}, {"dor", "mnuZdFind_Dor"}, {"light", "mnuZdLight_Peregon"}};
    QWidget* win = !std::strcmp(name, "find") ? static_cast<QWidget*>(w->findWindow())
                 : !std::strcmp(name, "dor") ? static_cast<QWidget*>(w->dorWindow()) : w->lightWindow();
    pictureDirty = true;   // highlights and station marks leave the picture different on purpose
    if (win && win->isVisible()) return win;
    note(std::string("open (") + items.at(name) + ")");
    if (QAction* a = w->menuItem(QLatin1String(items.at(name))); a->isEnabled()) a->trigger();
    return nullptr;
}

// What the user types into a search box: the start of a real name, a mistyped one or junk.
QString Monkey::typedText()
{
    static const QString junk = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЕЁМСabcXYZ0123456789 -.,'\"%_*?()[]\\/;");
    QString s;
    RowSet* rs = w->findWindow() ? &w->findWindow()->rsFindStn() : nullptr;
    if (rng.chance(55) && rs && rs->recordCount() > 0 && rs->column(u"NazStn") >= 0) {
        const QString name = rs->textAt(rng.below(rs->recordCount()), rs->column(u"NazStn"));
        s = name.left(rng.between(1, std::max<int>(1, name.size())));
        if (rng.chance(30)) s = s.toLower();
        if (rng.chance(10)) s += junk[rng.below(junk.size())];
        return s;
    }
    for (int i = rng.between(1, 6); i > 0; --i) s += junk[rng.below(junk.size())];
    return s;
}

// ---------------------------------------------------------------- the main window's actions

// A menu item, when the user can reach it: enabled, in visible and enabled menus.
void menu(Monkey& m, const char* name)
{
    QAction* item = m.w->menuItem(QLatin1String(name));
    for (QObject* o = item->parent(); o; o = o->parent())
        if (auto* up = qobject_cast<QMenu*>(o); up && (!up->menuAction()->isEnabled() || !up->menuAction()->isVisible()))
            return m.note("(unreachable)");
    if (!item->isEnabled()) return m.note("(disabled)");
    if ((!std::strcmp(name, "mnuZdGen") && m.w->kadrZoomed() != 0) || !std::strcmp(name, "mnuZdLight_Erase")) m.pictureDirty = true;
    item->trigger();
}

// A toolbar button: mostly a click on the button itself, now and then its action.
void button(Monkey& m, const char* key)
{
    QAction* a = m.w->button(QLatin1String(key));
    // Switched off, the highlights are drawn over in the ordinary colours, not drawn anew.
    if (!std::strcmp(key, "mnuZdLight_Erase")) m.pictureDirty = true;
    if (!a->isEnabled()) return m.note("(disabled)");
    auto* b = qobject_cast<QToolButton*>(m.w->findChild<QToolBar*>(QStringLiteral("tlbZd"))->widgetForAction(a));
    if (b && m.rng.chance(80)) zdtest::clickAt(b, b->rect().center());
    else a->trigger();
}

void mapRelease(Monkey& m, const char* = nullptr);

void mapClick(Monkey& m, const char*)
{
    const Qt::MouseButton b = m.rng.chance(70) ? Qt::LeftButton : Qt::RightButton;
    if (m.held & b) return mapRelease(m);
    const QPoint p = m.mapPoint();
    m.note(fmt("%s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m.w->mapMode()));
    m.mouse(QEvent::MouseButtonPress, p, b);
    m.mouse(QEvent::MouseButtonRelease, p, b);
}

void mapRelease(Monkey& m, const char*)
{
    std::vector<Qt::MouseButton> down;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (m.held & b) down.push_back(b);
    if (down.empty()) return mapClick(m, nullptr);
    const Qt::MouseButton b = down[m.rng.below(int(down.size()))];
    const QPoint p = m.rng.chance(70) ? m.last : m.mapPoint();
    m.note(fmt("%s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m.w->mapMode()));
    m.mouse(QEvent::MouseButtonRelease, p, b);
}

void mapPress(Monkey& m, const char*)
{
    std::vector<Qt::MouseButton> free;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::RightButton, Qt::MiddleButton})
        if (!(m.held & b)) free.push_back(b);
    if (free.empty()) return mapRelease(m);
    const Qt::MouseButton b = free[m.rng.below(int(free.size()))];
    const QPoint p = m.mapPoint();
    m.note(fmt("%s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m.w->mapMode()));
    m.mouse(QEvent::MouseButtonPress, p, b);
}

void mapMove(Monkey& m, const char*)
{
    const int n = m.rng.between(1, 6);
    QPoint p = m.rng.chance(30) ? m.mapPoint() : m.last;
    const QPoint step(m.rng.between(-25, 25), m.rng.between(-25, 25));
    m.note(fmt("x%d from (%d,%d) by (%d,%d) mode %d held %d", n, p.x(), p.y(), step.x(), step.y(), m.w->mapMode(), int(m.held)));
    for (int i = 0; i < n; ++i) m.mouse(QEvent::MouseMove, p += step, Qt::NoButton);
}

void mapDoubleClick(Monkey& m, const char*)
{
    const Qt::MouseButton b = m.rng.chance(85) ? Qt::LeftButton : Qt::RightButton;
    if (m.held & b) return mapRelease(m);
    const QPoint p = m.rng.chance(50) ? m.last : m.mapPoint();
    m.note(fmt("%s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m.w->mapMode()));
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        m.mouse(t, p, b);
}

// A press, moves in steps and (mostly) the release; "from" and "to" in pixels.
void drag(Monkey& m, Qt::MouseButton b, QPoint from, QPoint to, int steps, bool release = true)
{
    m.mouse(QEvent::MouseButtonPress, from, b);
    for (int i = 1; i <= steps; ++i) m.mouse(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton);
    if (release) m.mouse(QEvent::MouseButtonRelease, to, b);
}

void mapDrag(Monkey& m, const char*)
{
    const Qt::MouseButton b = m.rng.chance(80) ? Qt::LeftButton : Qt::RightButton;
    if (m.held & b) return mapRelease(m);
    const QPoint from = m.rng.chance(40) ? m.last : m.mapPoint(), to = m.mapPoint();
    const int steps = m.rng.between(1, 8);
    const bool release = m.rng.chance(90);
    m.note(fmt("%s (%d,%d)->(%d,%d) in %d mode %d%s", buttonName(b), from.x(), from.y(), to.x(), to.y(), steps,
               m.w->mapMode(), release ? "" : " (still held)"));
    drag(m, b, from, to, steps, release);
}

// The object under the pointer: the press shows it, small moves keep it, the release ends it.
void mapHold(Monkey& m, const char*)
{
    if (m.held & Qt::LeftButton) return mapRelease(m);
    const QPoint p = m.mapPoint();
    m.mouse(QEvent::MouseButtonPress, p, Qt::LeftButton);
    m.note(fmt("(%d,%d) mode %d obj %d", p.x(), p.y(), m.w->mapMode(), m.w->kursInfObj()));
    for (int i = m.rng.below(4); i > 0; --i) m.mouse(QEvent::MouseMove, p + QPoint(m.rng.between(-3, 3), m.rng.between(-3, 3)), Qt::NoButton);
    m.mouse(QEvent::MouseButtonRelease, m.last, Qt::LeftButton);
}

void mapKey(Monkey& m, const char*)
{
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Return,
                                   Qt::Key_Space, Qt::Key_A, Qt::Key_Up, Qt::Key_F1, Qt::Key_Delete};
    const Qt::Key k = keys[m.rng.below(int(std::size(keys)))];
    m.note(fmt("%s mode %d", str(QKeySequence(k).toString()).c_str(), m.w->mapMode()));
    QTest::keyClick(&m.pic(), k, m.rng.chance(10) ? Qt::ControlModifier : Qt::NoModifier);
}

void mapWheel(Monkey& m, const char*)
{
    static const int deltas[] = {120, -120, 60, -60, 240, -240, 15};
    const int d = deltas[m.rng.below(int(std::size(deltas)))];
    const QPoint p = m.mapPoint();
    m.note(fmt("%d (%d,%d) mode %d", d, p.x(), p.y(), m.w->mapMode()));
    QWheelEvent e(QPointF(p), QPointF(m.pic().mapToGlobal(p)), QPoint(), QPoint(0, d), m.held, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&m.pic(), &e);
}

void resize(Monkey& m, const char*)
{
    const QSize s(m.rng.between(320, 1280), m.rng.between(240, 960));
    m.note(fmt("%dx%d", s.width(), s.height()));
    m.w->resize(s);
}

void closeHelp(Monkey& m, const char*)
{
    HelpViewer* v = m.w->help().viewer();
    if (v && v->isVisible()) v->close();
    else m.note("(no viewer)");
}

void quit(Monkey& m, const char*)
{
    m.quitting = true;
    if (m.rng.chance(50)) m.w->menuItem(QStringLiteral("mnuFiles_End"))->trigger();
    else m.w->close();
}

// The fragment tool as a user works it: "Фрагмент", a frame drawn (now and then a tiny one),
// sometimes moved, then applied with Enter or a double click, or dropped with Esc.
void fragmentFlow(Monkey& m, const char*)
{
    const QString key = QStringLiteral("mnuMagist_Frag");
    (m.rng.chance(50) ? m.w->button(key) : m.w->menuItem(key))->trigger();
    const QPoint a = m.anywhere();
    const int size = m.rng.chance(30) ? m.rng.between(1, 12) : m.rng.between(10, 400);
    const QPoint b = a + QPoint(m.rng.chance(50) ? size : -size, m.rng.chance(50) ? size : -size), mid = (a + b) / 2;
    m.note(fmt("frame (%d,%d)->(%d,%d)", a.x(), a.y(), b.x(), b.y()));
    drag(m, Qt::LeftButton, a, b, 3);
    if (m.rng.chance(25)) {
        const QPoint to = mid + QPoint(m.rng.between(-200, 200), m.rng.between(-200, 200));
        m.note(fmt("moved to (%d,%d)", to.x(), to.y()));
        drag(m, Qt::LeftButton, mid, to, 2);
    }
    const int how = m.rng.below(10);
    m.note(how < 5 ? "Enter" : how < 9 ? "doubleclick" : "Esc");
    if (how < 5 || how == 9) QTest::keyClick(&m.pic(), how < 5 ? Qt::Key_Return : Qt::Key_Escape);
    else for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        m.mouse(t, mid, Qt::LeftButton);
}

// The shift tool: "Сдвиг кадра", a drag (now and then far past the window's edges, as a
// grabbed pointer reports it), released or cancelled with Esc.
void shiftFlow(Monkey& m, const char*)
{
    const QString key = QStringLiteral("mnuMagist_Sdvig");
    QAction* a = m.rng.chance(50) ? m.w->button(key) : m.w->menuItem(key);
    if (!a->isEnabled()) return m.note("(disabled)");
    a->trigger();
    const QPoint from = m.anywhere();
    const int reach = m.rng.chance(20) ? 3000 : 300;
    const QPoint to = from + QPoint(m.rng.between(-reach, reach), m.rng.between(-reach, reach));
    const Qt::MouseButton b = m.rng.chance(85) ? Qt::LeftButton : Qt::RightButton;
    const bool esc = m.rng.chance(10);
    m.note(fmt("drag %s (%d,%d)->(%d,%d)%s", buttonName(b), from.x(), from.y(), to.x(), to.y(), esc ? " Esc" : ""));
    drag(m, b, from, to, 4, false);
    if (esc) QTest::keyClick(&m.pic(), Qt::Key_Escape);
    m.mouse(QEvent::MouseButtonRelease, to, b);
}

// ---------------------------------------------------------------- the tool windows' actions

// "WINDOW:NAME": one of the window's buttons named NAME or NAME(i), when it can be clicked.
void press(Monkey& m, const char* target)
{
    const QString s = QLatin1String(target), name = s.section(u':', 1);
    QWidget* win = m.tool(s.section(u':', 0, 0).toLatin1().constData());
    if (!win) return;
    QList<QAbstractButton*> found;
    for (QAbstractButton* b : win->findChildren<QAbstractButton*>())
        if (b->objectName() == name || b->objectName().startsWith(name + u'(')) found << b;
    QAbstractButton* b = found.isEmpty() ? nullptr : found[m.rng.below(int(found.size()))];
    if (!usable(b)) return m.note("(not available)");
    m.note(str(b->objectName()) + (b->property("index").isValid() ? fmt(" %d", b->property("index").toInt()) : ""));
    b->click();
}

void keyF1(Monkey& m, const char* window)
{
    if (QWidget* win = m.tool(window)) QTest::keyClick(win, Qt::Key_F1);
}

void closeTool(Monkey& m, const char* window)
{
    if (QWidget* win = m.tool(window)) win->close();
}

DbCombo* findCombo(Monkey& m)
{
    auto* win = static_cast<FrmZdFind*>(m.tool("find"));
    return win ? &win->dbcFind_Stn() : nullptr;
}

void findType(Monkey& m, const char*)
{
    DbCombo* c = findCombo(m);
    if (!c) return;
    const QString t = m.typedText();
    m.note("\"" + str(t) + "\"");
    if (m.rng.chance(40)) {
        c->textBox().selectAll();
        QTest::keyClick(&c->textBox(), Qt::Key_Delete);
    }
    zdtest::typeText(&c->textBox(), t);
}

void findKey(Monkey& m, const char*)
{
    static const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Return,
                                   Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace};
    const Qt::Key k = keys[m.rng.below(int(std::size(keys)))];
    if (DbCombo* c = findCombo(m)) {
        m.note(str(QKeySequence(k).toString()));
        QTest::keyClick(&c->textBox(), k);
    }
}

void findEntry(Monkey& m, const char*)
{
    DbCombo* c = findCombo(m);
    if (!c) return;
    QListView& list = c->list();
    const int n = list.model()->rowCount();
    if (n == 0) return m.note("(empty list)");
    const bool twice = m.rng.chance(60);
    const int row = m.rng.chance(50) && c->selectedRow() >= 0 ? c->selectedRow() : m.rng.below(n);
    m.note(fmt("%s %d", twice ? "doubleclick" : "click", row));
    list.scrollTo(list.model()->index(row, 0));
    const QRect rect = list.visualRect(list.model()->index(row, 0));
    if (!rect.isValid()) return m.note("(not shown)");
    if (twice) zdtest::doubleClickAt(list.viewport(), rect.center());
    else zdtest::clickAt(list.viewport(), rect.center());
}

void findTextDoubleClick(Monkey& m, const char*)
{
    if (DbCombo* c = findCombo(m)) zdtest::doubleClickAt(&c->textBox(), c->textBox().rect().center());
}

void findPreview(Monkey& m, const char*)
{
    auto* win = static_cast<FrmZdFind*>(m.tool("find"));
    if (!win) return;
    PictureBox& pic = win->picFind();
    const QPoint p(m.rng.below(std::max(1, pic.width())), m.rng.below(std::max(1, pic.height())));
    zdtest::sendMouse(&pic, QEvent::MouseButtonPress, p);
    m.note(fmt("(%d,%d) obj %d", p.x(), p.y(), m.w->kursInfObj()));
    zdtest::sendMouse(&pic, QEvent::MouseButtonRelease, p);
}

QComboBox* dorCombo(Monkey& m)
{
    QWidget* win = m.tool("dor");
    return win ? win->findChild<QComboBox*>(QStringLiteral("dbcListDor")) : nullptr;
}

void dorChoose(Monkey& m, const char*)
{
    QComboBox* combo = dorCombo(m);
    if (!combo || combo->count() == 0) return;
    const int i = m.rng.below(combo->count());
    m.note(fmt("railway %d", i));
    // As the list's popup does it: the entry becomes current, then is reported activated.
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

void dorKey(Monkey& m, const char*)
{
    if (QComboBox* combo = dorCombo(m)) QTest::keyClick(combo, m.rng.chance(50) ? Qt::Key_Down : Qt::Key_Up);
}

void dorType(Monkey& m, const char*)
{
    QComboBox* combo = dorCombo(m);
    if (!combo || !combo->lineEdit()) return;
    QString t = combo->count() > 0 ? combo->itemText(m.rng.below(combo->count())) : QString();
    if (m.rng.chance(40)) t = t.left(m.rng.between(0, int(t.size())));
    if (m.rng.chance(20)) t = m.typedText();
    m.note("\"" + str(t) + "\" and Enter");
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    zdtest::typeText(combo->lineEdit(), t);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

void lightTab(Monkey& m, const char*)
{
    QWidget* win = m.tool("light");
    if (auto* tabs = win ? win->findChild<QTabWidget*>(QStringLiteral("tabLight")) : nullptr) {
        const int i = m.rng.below(2);
        m.note(fmt("%d", i));
        zdtest::clickAt(tabs->tabBar(), tabs->tabBar()->tabRect(i).center());
    }
}

void lightLength(Monkey& m, const char*)
{
    QWidget* win = m.tool("light");
    auto* edit = win ? win->findChild<QLineEdit*>(QStringLiteral("txtLen")) : nullptr;
    if (!usable(edit)) return m.note("(not available)");
    static const QString chars = QStringLiteral("0123456789012345678901234567890..,,-+eE aя%'\b\b\b");
    QString t;
    for (int i = m.rng.between(1, 6); i > 0; --i) t += chars[m.rng.below(chars.size())];
    m.note("\"" + str(QString(t).replace(u'\b', u'<')) + "\"");
    if (m.rng.chance(30)) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    for (const QChar c : t) {
        if (c == u'\b') QTest::keyClick(edit, Qt::Key_Backspace);
        else zdtest::typeText(edit, c);
    }
}

void lightUpDown(Monkey& m, const char*)
{
    QWidget* win = m.tool("light");
    auto* upd = win ? win->findChild<UpDown*>(QStringLiteral("updRL_Dig")) : nullptr;
    if (!usable(upd)) return m.note("(not available)");
    const bool up = m.rng.chance(50);
    m.note(up ? "up" : "down");
    QToolButton& b = up ? upd->upButton() : upd->downButton();
    if (m.rng.chance(60) && usable(&b)) b.click();
    else QTest::keyClick(upd, up ? Qt::Key_Up : Qt::Key_Down);
}

// ---------------------------------------------------------------- the table of actions

struct Action {
    const char* name;
    int weight;
    void (*act)(Monkey&, const char*);
    const char* arg;
};

// Items that draw the map again weigh less than the others: the run stays short. While a
// button is held on the map only the "map." actions can follow.
const Action kActions[] = {
    {"menu", 8, menu, "mnuMagist_Frag"}, {"menu", 8, menu, "mnuMagist_Sdvig"}, {"menu", 4, menu, "mnuMagist_Far"},
    {"menu", 5, menu, "mnuMagist_Near"}, {"menu", 4, menu, "mnuKadrFore"}, {"menu", 5, menu, "mnuKadrBack"},
    {"menu", 3, menu, "mnuMagist_Frag0"}, {"menu", 2, menu, "mnuZdLight_RusAll"}, {"menu", 2, menu, "mnuZdLight_RusBlank"},
    {"menu", 2, menu, "mnuZdLight_RusOnly"}, {"menu", 4, menu, "mnuZdLight_Peregon"}, {"menu", 3, menu, "mnuZdLight_Erase"},
    {"menu", 2, menu, "mnuZdGen"}, {"menu", 3, menu, "mnuZdFind_Stn"}, {"menu", 3, menu, "mnuZdFind_Dor"},
    {"menu", 1, menu, "mnuHelp_About"}, {"menu", 1, menu, "mnuHelp_Instr"}, {"menu", 1, menu, "mnuFiles_Access"},
    {"menu", 1, menu, "mnuFiles__DBF"}, {"menu", 1, menu, "mnuInstr_Convert"},
    {"button", 8, button, "mnuMagist_Frag"}, {"button", 8, button, "mnuMagist_Sdvig"}, {"button", 5, button, "mnuMagist_Near"},
    {"button", 4, button, "mnuMagist_Far"}, {"button", 4, button, "mnuKadrFore"}, {"button", 5, button, "mnuKadrBack"},
    {"button", 3, button, "mnuMagist_Frag0"}, {"button", 2, button, "mnuZdLight_RusAll"},
    {"button", 2, button, "mnuZdLight_RusBlank"}, {"button", 2, button, "mnuZdLight_RusOnly"},
    {"button", 4, button, "mnuZdLight_Peregon"}, {"button", 3, button, "mnuZdLight_Erase"},
    {"button", 3, button, "mnuZdFind_Stn"}, {"button", 3, button, "mnuZdFind_Dor"}, {"button", 1, button, "mnuHelp_About"},
    {"map.press", 28, mapPress, nullptr}, {"map.move", 36, mapMove, nullptr}, {"map.release", 28, mapRelease, nullptr},
    {"map.click", 24, mapClick, nullptr}, {"map.doubleclick", 16, mapDoubleClick, nullptr},
    {"map.drag", 28, mapDrag, nullptr}, {"map.hold", 28, mapHold, nullptr}, {"map.key", 20, mapKey, nullptr},
    {"map.wheel", 8, mapWheel, nullptr}, {"window.resize", 4, resize, nullptr}, {"help.close", 4, closeHelp, nullptr},
    {"quit", 1, quit, nullptr}, {"flow.fragment", 20, fragmentFlow, nullptr}, {"flow.shift", 16, shiftFlow, nullptr},
    {"find.type", 8, findType, nullptr}, {"find.key", 6, findKey, nullptr}, {"find.entry", 8, findEntry, nullptr},
    {"find.textbox", 1, findTextDoubleClick, nullptr}, {"find.area", 4, press, "find:optFind_Area"},
    {"find.rus", 2, press, "find:chkFindRus"}, {"find.frag", 4, press, "find:cmdFind_Frag"},
    {"find.all", 3, press, "find:cmdFind_All"}, {"find.preview", 4, findPreview, nullptr}, {"find.f1", 1, keyF1, "find"},
    {"find.close", 2, closeTool, "find"},
    {"dor.choose", 10, dorChoose, nullptr}, {"dor.key", 3, dorKey, nullptr}, {"dor.type", 3, dorType, nullptr},
    {"dor.rus", 2, press, "dor:chkFindRus"}, {"dor.gab", 3, press, "dor:cmdDorVib_Gab"}, {"dor.all", 3, press, "dor:cmdDorVib_All"},
    {"dor.light", 3, press, "dor:cmdDorVib_Light"}, {"dor.off", 3, press, "dor:cmdDorVib_Off"}, {"dor.f1", 1, keyF1, "dor"},
    {"dor.close", 2, closeTool, "dor"},
    {"light.tab", 4, lightTab, nullptr}, {"light.kind", 5, press, "light:optTipLight"}, {"light.el", 2, press, "light:optEL"},
    {"light.rl", 2, press, "light:optRL"}, {"light.len", 2, press, "light:optLen"}, {"light.stn", 3, press, "light:chkStn"},
    {"light.rus", 2, press, "light:chkLightRus"}, {"light.length", 6, lightLength, nullptr},
    {"light.updown", 4, lightUpDown, nullptr}, {"light.enter", 7, press, "light:cmdLight_Enter"},
    {"light.hide", 2, press, "light:cmdLight_Hide"}, {"light.end", 2, press, "light:cmdLight_End"},
    {"light.f1", 1, keyF1, "light"}, {"light.close", 2, closeTool, "light"},
};

const Action& pick(Monkey& m)
{
    static const int total = [] { int t = 0; for (const Action& a : kActions) t += a.weight; return t; }();
    for (;;) {
        int r = m.rng.below(total);
        const Action* a = kActions;
        while (r >= a->weight) r -= (a++)->weight;
        if (m.held == Qt::NoButton || !std::strncmp(a->name, "map.", 4)) return *a;
    }
}

// ---------------------------------------------------------------- the run and its checks

bool Monkey::run()
{
    g_seed = seed;
    installCrashReport();
    g_unexpected = &unexpected;
    const QtMessageHandler previous = qInstallMessageHandler(onQtMessage);
    if (setUp()) {
        for (done = 0; done < actions && failure.empty(); ++done) {
            const Action& a = pick(*this);
            current = a.arg ? std::string(a.name) + " " + a.arg : a.name;
            quitting = false;
            g_action = done;
            a.act(*this, a.arg);
            settle();
            std::snprintf(g_trail[g_trailNext++ % kTrail], kLineLen, "#%d %s", done, current.c_str());
            if (verbose) std::fprintf(stderr, "#%d %s\n", done, current.c_str());
            ++counts[a.name];
            afterAction();
        }
    }
    qInstallMessageHandler(previous);
    g_unexpected = nullptr;
    setMsgHandler({});
    w.reset();
    return failure.empty();
}

void Monkey::afterAction()
{
    if (!unexpected.empty()) return fail(unexpected.front());
    if (w->ended()) {
        if (!quitting || endCode != 0) return fail(fmt("the program ended with code %d", endCode));
        ++restarts;
        startProgram();
        return;
    }
    maxHistory = std::max(maxHistory, w->history().count());
    if (const std::string broken = zdtest::brokenInvariant(*w, held != Qt::NoButton); !broken.empty()) return fail(broken);
    if (done % 12 == 11)
        if (const std::string broken = checkPicture(); !broken.empty()) fail(broken);
}

// The persistent picture is the drawing of the frame it claims to show: drawn again (as a
// change of the map's size does, without a history entry) it stays the same. Only checked
// when nothing but the renderer has drawn on it since the last such redraw: the tool windows
// (highlights, station marks), and a generalisation toggled in a zoomed frame (shown with
// the next render), leave the picture different on purpose.
std::string Monkey::checkPicture()
{
    if (w->lightOn(Highlight::Railway) || w->lightOn(Highlight::Sections) || w->lightOn(Highlight::Stations)) pictureDirty = true;
    if (held != Qt::NoButton || w->mapMode() != 0) return {};
    const QImage before = pic().image();
    const Frame frame = w->state().kadr;
    const int count = w->history().count(), pos = w->history().pos();
    QResizeEvent e(pic().size(), pic().size());
    QApplication::sendEvent(&pic(), &e);
    settle();
    if (w->ended()) return "the program ended on a redraw";
    if (w->state().kadr != frame || w->history().count() != count || w->history().pos() != pos)
        return "a redraw of the same size changed the frame or the history";
    const bool dirty = pictureDirty;
    pictureDirty = false;
    if (!dirty && pic().image() != before) return "the map shows a picture that is not the drawing of its frame";
    return {};
}

std::string Monkey::summary() const
{
    std::string s = fmt("monkey: seed %" PRIu64 ", %d actions, %d restarts, longest history %d\n", seed, done, restarts, maxHistory);
    for (const auto& [name, n] : counts) s += fmt("  %-16s %6d\n", name.c_str(), n);
    s += "  message boxes:\n";
    for (const auto& [text, n] : boxes) s += fmt("  %6d  ", n) + str(QString(text).replace(u'\r', u' ').replace(u'\n', u' ')) + "\n";
    return s;
}

TEST(Monkey, RandomUserActionsKeepTheProgramConsistent)
{
    Monkey monkey;
    std::fprintf(stderr, "monkey: seed %" PRIu64 ", %d actions (ZD_MONKEY_SEED, ZD_MONKEY_ACTIONS)\n", monkey.seed, monkey.actions);
    const bool ok = monkey.run();
    std::fprintf(stderr, "%s", monkey.summary().c_str());
    ASSERT_TRUE(ok) << monkey.failure;
    EXPECT_EQ(monkey.done, monkey.actions);
}

} // namespace
