#include "Monkey.h"

#include "dorfind/FrmZdDor.h"
#include "identify/FrmKursInf.h"
#include "light/FrmLight.h"
#include "light/UpDown.h"
#include "mainwin/FrmZdMain.h"
#include "platform/HelpViewer.h"
#include "render/PictureBox.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FrmZdFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <atomic>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <thread>
#include <unistd.h>

#if ZD_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

using namespace zd;

namespace zdmonkey {

// ---------------------------------------------------------------- the trail of actions
//
// The last actions are kept in fixed buffers, so that a crash handler and the watchdog
// can print them without allocating.

namespace {

constexpr int kTrail = 20;
constexpr int kLineLen = 200;
char g_trail[kTrail][kLineLen];
std::atomic<long> g_trailNext{0};
std::uint64_t g_seed = 0;
std::atomic<long> g_action{-1};
std::atomic<long long> g_actionStartMs{0};
std::atomic<bool> g_running{false};

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void trailPush(const std::string& line)
{
    const long n = g_trailNext.load();
    char* slot = g_trail[n % kTrail];
    std::snprintf(slot, kLineLen, "%s", line.c_str());
    g_trailNext.store(n + 1);
}

std::string trailText()
{
    std::string out;
    const long n = g_trailNext.load();
    for (long i = std::max(0L, n - kTrail); i < n; ++i) {
        out += "    ";
        out += g_trail[i % kTrail];
        out += '\n';
    }
    return out;
}

void writeAll(const char* s) { [[maybe_unused]] ssize_t r = ::write(2, s, std::strlen(s)); }

void writeReplayHeader(const char* what)
{
    char head[256];
    std::snprintf(head, sizeof head, "\n*** monkey: %s at action %ld, seed %" PRIu64
                  " (replay: ZD_MONKEY_SEED=%" PRIu64 ")\n*** the last actions:\n",
                  what, g_action.load(), g_seed, g_seed);
    writeAll(head);
    const long n = g_trailNext.load();
    for (long i = std::max(0L, n - kTrail); i < n; ++i) {
        writeAll("    ");
        writeAll(g_trail[i % kTrail]);
        writeAll("\n");
    }
}

void onCrash(int sig)
{
    writeReplayHeader(sig == SIGSEGV ? "SIGSEGV" : sig == SIGABRT ? "SIGABRT" : sig == SIGFPE ? "SIGFPE" : "signal");
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

#if ZD_SANITIZED
void onSanitizerDeath() { writeReplayHeader("sanitizer report"); }
#endif

void installCrashReport()
{
    static bool done = false;
    if (done) return;
    done = true;
#if ZD_SANITIZED
    __sanitizer_set_death_callback(onSanitizerDeath);
#endif
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(sig, onCrash);
}

// An action that does not come back within the limit is a hang: report and end.
void watchdog()
{
    constexpr long long kLimitMs = 60000;
    while (g_running.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const long long start = g_actionStartMs.load();
        if (start > 0 && nowMs() - start > kLimitMs) {
            writeReplayHeader("hang (an action ran for over 60 s)");
            std::_Exit(3);
        }
    }
}

const char* const kMenuItems[] = {
    "mnuMagist_Frag", "mnuMagist_Sdvig", "mnuMagist_Far", "mnuMagist_Near", "mnuKadrFore", "mnuKadrBack",
    "mnuMagist_Frag0", "mnuZdLight_RusAll", "mnuZdLight_RusBlank", "mnuZdLight_RusOnly", "mnuZdLight_Peregon",
    "mnuZdLight_Erase", "mnuZdGen", "mnuZdFind_Stn", "mnuZdFind_Dor", "mnuHelp_About", "mnuHelp_Instr",
    "mnuFiles_Access", "mnuFiles__DBF", "mnuInstr_Convert",
};
// Menu items that draw the map again weigh less than the others: the run stays short.
const int kMenuWeights[] = {8, 8, 4, 5, 4, 5, 3, 2, 2, 2, 4, 3, 2, 3, 3, 1, 1, 1, 1, 1};

const char* const kButtonKeys[] = {
    "mnuMagist_Frag", "mnuMagist_Sdvig", "mnuMagist_Near", "mnuMagist_Far", "mnuKadrFore", "mnuKadrBack",
    "mnuMagist_Frag0", "mnuZdLight_RusAll", "mnuZdLight_RusBlank", "mnuZdLight_RusOnly", "mnuZdLight_Peregon",
    "mnuZdLight_Erase", "mnuZdFind_Stn", "mnuZdFind_Dor", "mnuHelp_About",
};
const int kButtonWeights[] = {8, 8, 5, 4, 4, 5, 3, 2, 2, 2, 4, 3, 3, 3, 1};

// The top-level menu that holds a menu item.
const char* menuOf(const QString& item)
{
    if (item.startsWith(u"mnuMagist") || item.startsWith(u"mnuKadr")) return "mnuMagist";
    if (item.startsWith(u"mnuZdLight") || item == u"mnuZdGen") return "mnuZdLight";
    if (item.startsWith(u"mnuZdFind")) return "mnuZdFind";
    if (item.startsWith(u"mnuFiles")) return "mnuFiles";
    if (item.startsWith(u"mnuInstr")) return "mnuInstr";
    return "mnuHelp";
}

template <class... A>
std::string fmt(const char* f, A... a)
{
    char buf[kLineLen];
    std::snprintf(buf, sizeof buf, f, a...);
    return buf;
}

std::string str(const QString& s) { return s.toStdString(); }

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), b, buttons, mods);
    QApplication::sendEvent(target, &e);
}

// A click as the user makes it: press and release at one point; a double click adds the
// double-click event and a second release.
void clickAt(QWidget* target, QPoint at, bool twice = false)
{
    sendMouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    if (!twice) return;
    sendMouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

const char* buttonName(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? "L" : b == Qt::RightButton ? "R" : "M";
}

bool usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled(); }

// Typing as the keyboard does it, one key press and release per character; Cyrillic keys
// carry their text with no key code of their own.
void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        int key = Qt::Key_unknown;
        if (u >= 'a' && u <= 'z') key = u - 'a' + Qt::Key_A;
        else if (u >= 32 && u < 127) key = u;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

// Qt's own complaints are counted; those of the offscreen platform are dropped.
std::map<std::string, int>* g_qtMessages = nullptr;
void onQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (text.startsWith(u"This plugin does not support")) return;
    if (g_qtMessages) ++(*g_qtMessages)[(type == QtWarningMsg ? "warning: " : "message: ") + text.toStdString()];
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

} // namespace

// ---------------------------------------------------------------- random numbers, options

std::uint64_t Rng::next()
{
    // splitmix64
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Options optionsFromEnvironment(std::uint64_t defaultSeed, int defaultActions)
{
    Options o;
    o.seed = defaultSeed;
    o.actions = defaultActions;
    bool ok = false;
    const QByteArray seed = qgetenv("ZD_MONKEY_SEED");
    if (!seed.isEmpty()) {
        const qulonglong v = seed.trimmed().toULongLong(&ok, 0);
        if (ok) o.seed = v;
    }
    const QByteArray count = qgetenv("ZD_MONKEY_ACTIONS");
    if (!count.isEmpty()) {
        const int v = count.trimmed().toInt(&ok);
        if (ok && v >= 0) o.actions = v;
    }
    o.verbose = !qgetenv("ZD_MONKEY_VERBOSE").isEmpty();
    return o;
}

// ---------------------------------------------------------------- set-up

Monkey::Monkey(const Options& options) : m_opt(options), m_rng(options.seed)
{
    m_kinds = {
        {"menu", 14, &Monkey::actMenu},
        {"button", 14, &Monkey::actButton},
        {"map.press", 7, &Monkey::actMapPress},
        {"map.move", 9, &Monkey::actMapMove},
        {"map.release", 7, &Monkey::actMapRelease},
        {"map.click", 6, &Monkey::actMapClick},
        {"map.doubleclick", 4, &Monkey::actMapDoubleClick},
        {"map.drag", 7, &Monkey::actMapDrag},
        {"map.hold", 7, &Monkey::actMapHold},
        {"map.key", 5, &Monkey::actMapKey},
        {"map.wheel", 2, &Monkey::actWheel},
        {"window.resize", 1, &Monkey::actResize},
        {"help.close", 1, &Monkey::actHelpClose},
        {"flow.fragment", 5, &Monkey::actFragmentFlow},
        {"flow.shift", 4, &Monkey::actShiftFlow},
        {"find", 11, &Monkey::actFind},
        {"dor", 8, &Monkey::actDor},
        {"light", 11, &Monkey::actLight},
    };
    for (const Kind& k : m_kinds) m_totalWeight += k.weight;
}

Monkey::~Monkey()
{
    setMsgHandler({});
    m_w.reset();
}

bool Monkey::setUp()
{
    if (!m_dir.isValid()) return fail("no temporary folder"), false;
    const QString demo = QStringLiteral(ZD_BUILD_DIR "/ZdShort.mdb");
    const QString beside = QStringLiteral(ZD_SOURCE_DIR "/data/beside/");
    if (!QFile::copy(demo, m_dir.filePath("ZdShort.mdb")))
        return fail("the demo database " + str(demo) + " is missing (build the zddemo target)"), false;
    for (const char* name : {"ZDHELP.HLP", "handgrab.cur"})
        if (!QFile::copy(beside + QLatin1String(name), m_dir.filePath(QLatin1String(name))))
            return fail(std::string("cannot copy ") + name), false;
    setMsgHandler([this](const MsgRequest& r) {
        ++m_boxes[r.text];
        if (r.icon == MsgIcon::Critical) m_fatalBoxes.push_back(r);
    });
    return startProgram();
}

bool Monkey::startProgram()
{
    m_w.reset();
    settle();
    m_held = Qt::NoButton;
    m_pictureDirty = true;
    m_endCode = -1;
    m_w = std::make_unique<FrmZdMain>(m_dir.path());
    m_w->setEndHandler([this](int code) { m_endCode = code; });
    m_w->show();
    for (int i = 0; i < 20 && !m_w->startDone() && !m_w->ended(); ++i) QApplication::processEvents();
    m_w->Form_Activate();
    settle();
    if (!m_w->startDone() || m_w->ended()) return fail("the program did not start on the demo database"), false;
    m_last = m_w->picZdMain().rect().center();
    return true;
}

// What the event loop does between two user actions: timers, posted events, deletions.
void Monkey::settle()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void Monkey::fail(const std::string& what)
{
    if (!m_failure.empty()) return;
    std::ostringstream s;
    s << "monkey: " << what << "\n  at action " << m_done << " (" << m_current << "), seed " << m_opt.seed
      << "; replay with ZD_MONKEY_SEED=" << m_opt.seed << " ZD_MONKEY_ACTIONS=" << (m_done + 1)
      << "\n  the last actions:\n"
      << trailText();
    m_failure = s.str();
}

void Monkey::note(const std::string& text)
{
    m_current += m_current.empty() ? text : " " + text;
}

// ---------------------------------------------------------------- the run

bool Monkey::run()
{
    g_seed = m_opt.seed;
    installCrashReport();
    g_qtMessages = &m_qtMessages;
    const QtMessageHandler previous = qInstallMessageHandler(onQtMessage);
    if (!setUp()) return false;
    g_running = true;
    std::thread dog(watchdog);
    QElapsedTimer clock;
    for (m_done = 0; m_done < m_opt.actions && m_failure.empty(); ++m_done) {
        // While a button is held on the map the pointer belongs to the map: only the map's
        // own actions (moves, the other buttons, the release, the wheel, keys) can follow.
        const Kind* kind = nullptr;
        do {
            int pick = m_rng.below(m_totalWeight);
            kind = &m_kinds.front();
            for (const Kind& k : m_kinds) {
                if (pick < k.weight) { kind = &k; break; }
                pick -= k.weight;
            }
        } while (m_held != Qt::NoButton && std::strncmp(kind->name, "map.", 4) != 0);
        // Now and then the program is ended on purpose and started again.
        if (m_held == Qt::NoButton && m_rng.below(4000) == 0) kind = nullptr;
        m_current = kind ? kind->name : "quit";
        m_quitting = false;
        g_action = m_done;
        g_actionStartMs = nowMs();
        clock.start();
        const std::size_t fatalBefore = m_fatalBoxes.size();
        if (kind) (this->*(kind->act))();
        else actQuit();
        settle();
        trailPush(fmt("#%d %s", m_done, m_current.c_str()));
        if (m_opt.verbose) std::fprintf(stderr, "#%d %s\n", m_done, m_current.c_str());
        const double secs = clock.nsecsElapsed() / 1e9;
        g_actionStartMs = 0;
        const std::string kindName = kind ? kind->name : "quit";
        ++m_counts[kindName];
        m_seconds[kindName] += secs;

        if (m_fatalBoxes.size() > fatalBefore) {
            fail("the program reported a fatal error: " + str(m_fatalBoxes.back().text));
            break;
        }
        if (m_w->ended()) {
            if (!m_quitting || m_endCode != 0) {
                fail(fmt("the program ended with code %d", m_endCode));
                break;
            }
            ++m_restarts;
            if (!startProgram()) break;
            continue;
        }
        if (const std::string broken = check(); !broken.empty()) fail(broken);
        else if (kind && (!std::strcmp(kind->name, "find") || !std::strcmp(kind->name, "dor") || !std::strcmp(kind->name, "light")))
            m_pictureDirty = true;
        if (m_failure.empty() && m_done % 12 == 11) {
            if (const std::string broken = checkPicture(); !broken.empty()) fail(broken);
        }
    }
    g_running = false;
    dog.join();
    qInstallMessageHandler(previous);
    g_qtMessages = nullptr;
    g_action = -1;
    return m_failure.empty();
}

std::string Monkey::summary() const
{
    std::ostringstream s;
    double total = 0;
    for (const auto& [k, v] : m_seconds) total += v;
    s << "monkey: seed " << m_opt.seed << ", " << m_done << " actions in " << fmt("%.1f", total) << " s ("
      << fmt("%.0f", total > 0 ? m_done / total : 0.0) << " actions/s), " << m_restarts << " restarts, longest history "
      << m_maxHistory << "\n";
    for (const auto& [k, n] : m_counts)
        s << fmt("  %-16s %6d actions %7.2f s\n", k.c_str(), n, m_seconds.at(k));
    if (!m_qtMessages.empty()) s << "  Qt messages:\n";
    for (const auto& [text, n] : m_qtMessages) s << fmt("  %6d  ", n) << text << "\n";
    s << "  message boxes:\n";
    for (const auto& [text, n] : m_boxes) s << fmt("  %6d  ", n) << str(QString(text).replace(u'\r', u' ').replace(u'\n', u' ')) << "\n";
    return s.str();
}

// ---------------------------------------------------------------- invariants

std::string Monkey::check()
{
    FrmZdMain& w = *m_w;
    const FrameHistory& h = w.history();
    m_maxHistory = std::max(m_maxHistory, h.count());
    if (h.pos() < 1 || h.pos() > h.count()) return fmt("HistPos %d outside 1..HistCount %d", h.pos(), h.count());
    const bool back = h.count() >= 2 && h.pos() >= 2, fore = h.pos() != h.count();
    struct Cmd { const char* name; bool expected; };
    for (const Cmd& c : {Cmd{"mnuKadrBack", back}, Cmd{"mnuKadrFore", fore}}) {
        const QString name = QLatin1String(c.name);
        if (w.menuItem(name)->isEnabled() != c.expected)
            return fmt("menu item %s is %s with HistPos %d, HistCount %d", c.name,
                       c.expected ? "disabled" : "enabled", h.pos(), h.count());
        if (w.button(name)->isEnabled() != c.expected)
            return fmt("toolbar button %s is %s with HistPos %d, HistCount %d", c.name,
                       c.expected ? "disabled" : "enabled", h.pos(), h.count());
    }
    if (w.mapMode() < 0 || w.mapMode() > 2) return fmt("MapMode %d", w.mapMode());
    for (const char* menu : {"mnuMagist", "mnuZdLight", "mnuZdFind"})
        if (!w.menuItem(QLatin1String(menu))->isEnabled()) return fmt("menu %s disabled with no render running", menu);

    auto badFrame = [](const Frame& f) {
        const std::int64_t wd = std::int64_t(f.x2) - f.x1, ht = std::int64_t(f.y2) - f.y1;
        constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
        return wd <= 0 || ht <= 0 || wd > hi || ht > hi || f.x1 == lo || f.y1 == lo || f.x2 == hi || f.y2 == hi;
    };
    const Frame& k = w.state().kadr;
    if (badFrame(k)) return fmt("frame (%d, %d, %d, %d) empty or outside the 32-bit range", k.x1, k.y1, k.x2, k.y2);
    for (int c = 1; c <= h.count(); c += (h.count() > 64 && c < h.count() - 32 ? 7 : 1)) {
        const Frame& f = h.at(c);
        if (badFrame(f)) return fmt("history frame %d (%d, %d, %d, %d) empty or outside the 32-bit range", c, f.x1, f.y1, f.x2, f.y2);
    }

    static const char* const rus[] = {"mnuZdLight_RusAll", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank"};
    const int mode = w.state().rusMode;
    if (mode < 0 || mode > 2) return fmt("RusMode %d", mode);
    for (int m = 0; m < 3; ++m)
        if (w.menuItem(QLatin1String(rus[m]))->isChecked() != (m == mode))
            return fmt("check mark of %s does not match RusMode %d", rus[m], mode);
    if (w.menuItem(QStringLiteral("mnuZdGen"))->isChecked() != w.genOn()) return "check mark of mnuZdGen does not match GenOn";

    if (m_held == Qt::NoButton) {
        if (w.kursInfObj() != 0) return fmt("KursInfObj %d with no button held", w.kursInfObj());
        if (!w.picZdMain().autoRedraw()) return "the map draws on its screen layer only with no button held";
        if (const FrmKursInf* p = w.kursInfo().popup(); p && p->isVisible()) return "the popup is shown with no button held";
        // With no drag going on, the map's coordinate system is the frame it shows.
        const PictureBox& pic = w.picZdMain();
        const double dl = pic.scaleLeft() - k.x1, dt = pic.scaleTop() - k.y1;
        const double dw = pic.scaleWidth() - (double(k.x2) - k.x1), dh = pic.scaleHeight() - (double(k.y2) - k.y1);
        if (std::abs(dl) > 0.5 || std::abs(dt) > 0.5 || std::abs(dw) > 0.5 || std::abs(dh) > 0.5)
            return fmt("the map's scale (%.1f, %.1f, %.1f x %.1f) is not the frame (%d, %d, %d, %d)", pic.scaleLeft(),
                       pic.scaleTop(), pic.scaleWidth(), pic.scaleHeight(), k.x1, k.y1, k.x2, k.y2);
    }
    return {};
}

// The persistent picture is the drawing of the frame it claims to show: drawn again (as a
// change of the map's size does, without a history entry) it stays the same. Only checked
// when nothing but the renderer has drawn on it since the last such redraw: the tool windows
// (highlights, station marks), and a generalisation toggled in a zoomed frame (shown with
// the next render), leave the picture different on purpose.
std::string Monkey::checkPicture()
{
    FrmZdMain& w = *m_w;
    if (w.lightOn(Highlight::Railway) || w.lightOn(Highlight::Sections) || w.lightOn(Highlight::Stations)) m_pictureDirty = true;
    if (m_held != Qt::NoButton || w.mapMode() != 0) return {};
    PictureBox& pic = w.picZdMain();
    const QImage before = pic.image();
    const Frame frame = w.state().kadr;
    const int count = w.history().count(), pos = w.history().pos();
    QResizeEvent e(pic.size(), pic.size());
    QApplication::sendEvent(&pic, &e);
    settle();
    if (w.ended()) return "the program ended on a redraw";
    if (w.state().kadr != frame || w.history().count() != count || w.history().pos() != pos)
        return "a redraw of the same size changed the frame or the history";
    const bool dirty = m_pictureDirty;
    m_pictureDirty = false;
    if (!dirty && pic.image() != before) return "the map shows a picture that is not the drawing of its frame";
    return {};
}

// ---------------------------------------------------------------- main window actions

void Monkey::actMenu()
{
    const int n = int(std::size(kMenuItems));
    int total = 0;
    for (int i = 0; i < n; ++i) total += kMenuWeights[i];
    int pick = m_rng.below(total), i = 0;
    while (pick >= kMenuWeights[i]) pick -= kMenuWeights[i++];
    const QString name = QLatin1String(kMenuItems[i]);
    QAction* item = m_w->menuItem(name);
    QAction* menu = m_w->menuItem(QLatin1String(menuOf(name)));
    note(str(name));
    // Only what the user can reach: an enabled item of a visible, enabled menu.
    if (!item || !menu || !menu->isEnabled() || !menu->isVisible() || !item->isEnabled()) {
        note("(unreachable)");
        return;
    }
    if ((name == u"mnuZdGen" && m_w->kadrZoomed() != 0) || name == u"mnuZdLight_Erase") m_pictureDirty = true;
    item->trigger();
}

void Monkey::actButton()
{
    const int n = int(std::size(kButtonKeys));
    int total = 0;
    for (int i = 0; i < n; ++i) total += kButtonWeights[i];
    int pick = m_rng.below(total), i = 0;
    while (pick >= kButtonWeights[i]) pick -= kButtonWeights[i++];
    const QString key = QLatin1String(kButtonKeys[i]);
    note(str(key));
    QAction* a = m_w->button(key);
    // Switched off, the highlights are drawn over in the ordinary colours, not drawn anew.
    if (key == u"mnuZdLight_Erase") m_pictureDirty = true;
    if (!a || !a->isEnabled()) {
        note("(disabled)");
        return;
    }
    // Mostly a click on the button itself, now and then the action.
    auto* toolbar = m_w->findChild<QToolBar*>(QStringLiteral("tlbZd"));
    auto* b = toolbar ? qobject_cast<QToolButton*>(toolbar->widgetForAction(a)) : nullptr;
    if (b && m_rng.chance(80)) {
        note("click");
        clickAt(b, b->rect().center());
    } else {
        a->trigger();
    }
}

QPoint Monkey::mapPoint()
{
    PictureBox& pic = m_w->picZdMain();
    const int r = m_rng.below(100);
    if (r < 30) {
        // On a station of the frame (press-and-hold finds something there).
        RowSet& rs = m_w->dtaStn().rows();
        const int n = rs.recordCount(), cx = rs.column(u"StnX"), cy = rs.column(u"StnY");
        if (n > 0 && cx >= 0 && cy >= 0) {
            const int row = m_rng.below(n);
            const QPointF p = pic.toPixel(rs.numberAt(row, cx), rs.numberAt(row, cy));
            if (std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) < 1e6 && std::abs(p.y()) < 1e6)
                return p.toPoint() + QPoint(m_rng.between(-2, 2), m_rng.between(-2, 2));
        }
    }
    if (r < 40) return m_last + QPoint(m_rng.between(-6, 6), m_rng.between(-6, 6));   // near the last position
    if (r < 45) return QPoint(m_rng.between(-30, pic.width() + 30), m_rng.between(-30, pic.height() + 30));
    return QPoint(m_rng.below(std::max(1, pic.width())), m_rng.below(std::max(1, pic.height())));
}

void Monkey::mouse(int type, QPoint at, Qt::MouseButton b)
{
    PictureBox& pic = m_w->picZdMain();
    const auto t = static_cast<QEvent::Type>(type);
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) m_held |= b;
    if (t == QEvent::MouseButtonRelease) m_held &= ~Qt::MouseButtons(b);
    const Qt::KeyboardModifiers mods = m_rng.chance(5) ? Qt::ShiftModifier : Qt::NoModifier;
    sendMouse(&pic, t, at, t == QEvent::MouseMove ? Qt::NoButton : b, m_held, mods);
    m_last = at;
}


void Monkey::actMapPress()
{
    std::vector<Qt::MouseButton> free;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::RightButton, Qt::MiddleButton})
        if (!(m_held & b)) free.push_back(b);
    if (free.empty()) return actMapRelease();
    const Qt::MouseButton b = free[m_rng.below(int(free.size()))];
    const QPoint p = mapPoint();
    note(fmt("press %s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m_w->mapMode()));
    mouse(QEvent::MouseButtonPress, p, b);
}

void Monkey::actMapMove()
{
    const int n = m_rng.between(1, 6);
    QPoint p = m_rng.chance(30) ? mapPoint() : m_last;
    const QPoint step(m_rng.between(-25, 25), m_rng.between(-25, 25));
    note(fmt("move x%d from (%d,%d) by (%d,%d) mode %d held %d", n, p.x(), p.y(), step.x(), step.y(), m_w->mapMode(),
             int(m_held)));
    for (int i = 0; i < n; ++i) {
        p += step;
        mouse(QEvent::MouseMove, p, Qt::NoButton);
    }
}

void Monkey::actMapRelease()
{
    std::vector<Qt::MouseButton> down;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (m_held & b) down.push_back(b);
    if (down.empty()) return actMapClick();
    const Qt::MouseButton b = down[m_rng.below(int(down.size()))];
    const QPoint p = m_rng.chance(70) ? m_last : mapPoint();
    note(fmt("release %s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m_w->mapMode()));
    mouse(QEvent::MouseButtonRelease, p, b);
}

void Monkey::actMapClick()
{
    const Qt::MouseButton b = m_rng.chance(70) ? Qt::LeftButton : Qt::RightButton;
    if (m_held & b) return actMapRelease();
    const QPoint p = mapPoint();
    note(fmt("click %s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m_w->mapMode()));
    mouse(QEvent::MouseButtonPress, p, b);
    mouse(QEvent::MouseButtonRelease, p, b);
}

void Monkey::actMapDoubleClick()
{
    const Qt::MouseButton b = m_rng.chance(85) ? Qt::LeftButton : Qt::RightButton;
    if (m_held & b) return actMapRelease();
    const QPoint p = m_rng.chance(50) ? m_last : mapPoint();
    note(fmt("doubleclick %s (%d,%d) mode %d", buttonName(b), p.x(), p.y(), m_w->mapMode()));
    mouse(QEvent::MouseButtonPress, p, b);
    mouse(QEvent::MouseButtonRelease, p, b);
    mouse(QEvent::MouseButtonDblClick, p, b);
    mouse(QEvent::MouseButtonRelease, p, b);
}

void Monkey::actMapDrag()
{
    const Qt::MouseButton b = m_rng.chance(80) ? Qt::LeftButton : Qt::RightButton;
    if (m_held & b) return actMapRelease();
    const QPoint from = m_rng.chance(40) ? m_last : mapPoint();
    const QPoint to = mapPoint();
    const int steps = m_rng.between(1, 8);
    note(fmt("drag %s (%d,%d)->(%d,%d) in %d mode %d", buttonName(b), from.x(), from.y(), to.x(), to.y(), steps,
             m_w->mapMode()));
    mouse(QEvent::MouseButtonPress, from, b);
    for (int i = 1; i <= steps; ++i) mouse(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton);
    if (m_rng.chance(90)) mouse(QEvent::MouseButtonRelease, to, b);
    else note("(still held)");
}

// The object under the pointer: the press shows it, small moves keep it, the release ends it.
void Monkey::actMapHold()
{
    if (m_held & Qt::LeftButton) return actMapRelease();
    const QPoint p = mapPoint();
    note(fmt("hold (%d,%d) mode %d", p.x(), p.y(), m_w->mapMode()));
    mouse(QEvent::MouseButtonPress, p, Qt::LeftButton);
    note(fmt("obj %d", m_w->kursInfObj()));
    for (int i = m_rng.below(4); i > 0; --i) mouse(QEvent::MouseMove, p + QPoint(m_rng.between(-3, 3), m_rng.between(-3, 3)), Qt::NoButton);
    mouse(QEvent::MouseButtonRelease, m_last, Qt::LeftButton);
}

void Monkey::actMapKey()
{
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Return,
                                   Qt::Key_Space, Qt::Key_A, Qt::Key_Up, Qt::Key_F1, Qt::Key_Delete};
    const Qt::Key k = keys[m_rng.below(int(std::size(keys)))];
    const Qt::KeyboardModifiers mods = m_rng.chance(10) ? Qt::ControlModifier : Qt::NoModifier;
    note(fmt("key %s mode %d", str(QKeySequence(k).toString()).c_str(), m_w->mapMode()));
    QTest::keyClick(&m_w->picZdMain(), k, mods);
}

void Monkey::actWheel()
{
    static const int deltas[] = {120, -120, 60, -60, 240, -240, 15};
    const int d = deltas[m_rng.below(int(std::size(deltas)))];
    PictureBox& pic = m_w->picZdMain();
    const QPoint p = mapPoint();
    note(fmt("wheel %d (%d,%d) mode %d", d, p.x(), p.y(), m_w->mapMode()));
    QWheelEvent e(QPointF(p), QPointF(pic.mapToGlobal(p)), QPoint(), QPoint(0, d), m_held, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&pic, &e);
}

void Monkey::actResize()
{
    const QSize s(m_rng.between(320, 1280), m_rng.between(240, 960));
    note(fmt("resize %dx%d", s.width(), s.height()));
    m_w->resize(s);
}

void Monkey::actQuit()
{
    m_quitting = true;
    if (m_rng.chance(50)) {
        note("mnuFiles_End");
        m_w->menuItem(QStringLiteral("mnuFiles_End"))->trigger();
    } else {
        note("close the main window");
        m_w->close();
    }
}

void Monkey::actHelpClose()
{
    HelpViewer* v = m_w->help().viewer();
    note(v && v->isVisible() ? "close the viewer" : "(no viewer)");
    if (v && v->isVisible()) v->close();
}

// The fragment tool as a user works it: "Фрагмент", a frame drawn (now and then a tiny one),
// sometimes moved, then applied with Enter or a double click, or dropped with Esc.
void Monkey::actFragmentFlow()
{
    if (m_held != Qt::NoButton) return actMapRelease();
    const QString key = QStringLiteral("mnuMagist_Frag");
    if (m_rng.chance(50)) m_w->button(key)->trigger();
    else m_w->menuItem(key)->trigger();
    PictureBox& pic = m_w->picZdMain();
    const QPoint a(m_rng.below(std::max(1, pic.width())), m_rng.below(std::max(1, pic.height())));
    const int size = m_rng.chance(30) ? m_rng.between(1, 12) : m_rng.between(10, 400);
    const QPoint b = a + QPoint(m_rng.chance(50) ? size : -size, m_rng.chance(50) ? size : -size);
    note(fmt("frame (%d,%d)->(%d,%d)", a.x(), a.y(), b.x(), b.y()));
    mouse(QEvent::MouseButtonPress, a, Qt::LeftButton);
    for (int i = 1; i <= 3; ++i) mouse(QEvent::MouseMove, a + (b - a) * i / 3, Qt::NoButton);
    mouse(QEvent::MouseButtonRelease, b, Qt::LeftButton);
    const QPoint mid = (a + b) / 2;
    if (m_rng.chance(25)) {
        const QPoint to = mid + QPoint(m_rng.between(-200, 200), m_rng.between(-200, 200));
        note(fmt("moved to (%d,%d)", to.x(), to.y()));
        mouse(QEvent::MouseButtonPress, mid, Qt::LeftButton);
        mouse(QEvent::MouseMove, (mid + to) / 2, Qt::NoButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    }
    const int how = m_rng.below(10);
    if (how < 5) {
        note("Enter");
        QTest::keyClick(&pic, Qt::Key_Return);
    } else if (how < 9) {
        note("doubleclick");
        mouse(QEvent::MouseButtonPress, mid, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, mid, Qt::LeftButton);
        mouse(QEvent::MouseButtonDblClick, mid, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, mid, Qt::LeftButton);
    } else {
        note("Esc");
        QTest::keyClick(&pic, Qt::Key_Escape);
    }
}

// The shift tool: "Сдвиг кадра", a drag (now and then far past the window's edges, as a
// grabbed pointer reports it), released or cancelled with Esc.
void Monkey::actShiftFlow()
{
    if (m_held != Qt::NoButton) return actMapRelease();
    const QString key = QStringLiteral("mnuMagist_Sdvig");
    QAction* a = m_rng.chance(50) ? m_w->button(key) : m_w->menuItem(key);
    if (!a->isEnabled()) {
        note("(Сдвиг кадра disabled)");
        return;
    }
    a->trigger();
    PictureBox& pic = m_w->picZdMain();
    const QPoint from(m_rng.below(std::max(1, pic.width())), m_rng.below(std::max(1, pic.height())));
    const int reach = m_rng.chance(20) ? 3000 : 300;
    const QPoint to = from + QPoint(m_rng.between(-reach, reach), m_rng.between(-reach, reach));
    const Qt::MouseButton b = m_rng.chance(85) ? Qt::LeftButton : Qt::RightButton;
    note(fmt("drag %s (%d,%d)->(%d,%d)", buttonName(b), from.x(), from.y(), to.x(), to.y()));
    mouse(QEvent::MouseButtonPress, from, b);
    for (int i = 1; i <= 4; ++i) mouse(QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton);
    if (m_rng.chance(10)) {
        note("Esc");
        QTest::keyClick(&pic, Qt::Key_Escape);
    }
    mouse(QEvent::MouseButtonRelease, to, b);
}

// ---------------------------------------------------------------- tool windows

QWidget* Monkey::visibleTool(const char* name) const
{
    QWidget* w = nullptr;
    if (!std::strcmp(name, "frmZdFind")) w = m_w->findWindow();
    else if (!std::strcmp(name, "frmZdDor")) w = m_w->dorWindow();
    else w = m_w->lightWindow();
    return w && w->isVisible() ? w : nullptr;
}

// What the user types into a search box: the start of a real name, a mistyped one or junk.
QString Monkey::typedText()
{
    static const QString junk = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЕЁМСabcXYZ0123456789 -.,'\"%_*?()[]\\/;");
    const int r = m_rng.below(100);
    QString s;
    if (r < 55 && m_w->findWindow()) {
        RowSet& rs = m_w->findWindow()->rsFindStn();
        const int n = rs.recordCount(), col = rs.column(u"NazStn");
        if (n > 0 && col >= 0) {
            const QString name = rs.textAt(m_rng.below(n), col);
            s = name.left(m_rng.between(1, std::max<int>(1, name.size())));
            if (m_rng.chance(30)) s = s.toLower();
            if (m_rng.chance(10)) s += junk[m_rng.below(junk.size())];
            return s;
        }
    }
    for (int i = m_rng.between(1, 6); i > 0; --i) s += junk[m_rng.below(junk.size())];
    return s;
}

void Monkey::actFind()
{
    auto* win = static_cast<FrmZdFind*>(visibleTool("frmZdFind"));
    if (!win) {
        note("open (mnuZdFind_Stn)");
        if (QAction* a = m_w->menuItem(QStringLiteral("mnuZdFind_Stn")); a->isEnabled()) a->trigger();
        return;
    }
    DbCombo& combo = win->dbcFind_Stn();
    QLineEdit& text = combo.textBox();
    QListView& list = combo.list();
    const int r = m_rng.below(100);
    if (r < 18) {
        const QString t = typedText();
        note("type \"" + str(t) + "\"");
        if (m_rng.chance(40)) {
            text.selectAll();
            QTest::keyClick(&text, Qt::Key_Delete);
        }
        typeText(&text, t);
    } else if (r < 24) {
        const int n = m_rng.between(1, 4);
        note(fmt("backspace x%d", n));
        for (int i = 0; i < n; ++i) QTest::keyClick(&text, Qt::Key_Backspace);
    } else if (r < 30) {
        static const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp};
        const Qt::Key k = keys[m_rng.below(4)];
        note("key " + str(QKeySequence(k).toString()));
        QTest::keyClick(&text, k);
    } else if (r < 48) {
        const int n = list.model()->rowCount();
        if (n == 0) { note("(empty list)"); return; }
        const bool twice = m_rng.chance(60);
        const int row = m_rng.chance(50) && combo.selectedRow() >= 0 ? combo.selectedRow() : m_rng.below(n);
        note(fmt("%s entry %d", twice ? "doubleclick" : "click", row));
        const QModelIndex i = list.model()->index(row, 0);
        list.scrollTo(i);
        const QRect rect = list.visualRect(i);
        if (!rect.isValid()) { note("(not shown)"); return; }
        clickAt(list.viewport(), rect.center(), twice);
    } else if (r < 54) {
        note("enter in the text box");
        QTest::keyClick(&text, Qt::Key_Return);
    } else if (r < 57) {
        note("doubleclick the text box");
        clickAt(&text, text.rect().center(), true);
    } else if (r < 66) {
        const auto opts = win->findChildren<QRadioButton*>(QStringLiteral("optFind_Area"));
        if (opts.isEmpty()) return;
        QRadioButton* b = opts[m_rng.below(int(opts.size()))];
        note(fmt("area %d", b->property("index").toInt()));
        if (usable(b)) b->click();
    } else if (r < 71) {
        note("chkFindRus");
        if (auto* c = win->findChild<QCheckBox*>(QStringLiteral("chkFindRus")); usable(c)) c->click();
    } else if (r < 79) {
        note("cmdFind_Frag");
        if (auto* b = win->findChild<QPushButton*>(QStringLiteral("cmdFind_Frag")); usable(b)) b->click();
    } else if (r < 85) {
        note("cmdFind_All");
        if (auto* b = win->findChild<QPushButton*>(QStringLiteral("cmdFind_All")); usable(b)) b->click();
        else note("(disabled)");
    } else if (r < 93) {
        PictureBox& pic = win->picFind();
        const QPoint p(m_rng.below(std::max(1, pic.width())), m_rng.below(std::max(1, pic.height())));
        note(fmt("hold on the preview (%d,%d)", p.x(), p.y()));
        sendMouse(&pic, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        note(fmt("obj %d", m_w->kursInfObj()));
        sendMouse(&pic, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    } else if (r < 95) {
        note("F1");
        QTest::keyClick(win, Qt::Key_F1);
    } else {
        note("close");
        win->close();
    }
}

void Monkey::actDor()
{
    auto* win = static_cast<FrmZdDor*>(visibleTool("frmZdDor"));
    if (!win) {
        note("open (mnuZdFind_Dor)");
        if (QAction* a = m_w->menuItem(QStringLiteral("mnuZdFind_Dor")); a->isEnabled()) a->trigger();
        return;
    }
    auto* combo = win->findChild<QComboBox*>(QStringLiteral("dbcListDor"));
    const int r = m_rng.below(100);
    if (r < 30 && combo) {
        const int n = combo->count();
        if (n == 0) { note("(empty list)"); return; }
        const int i = m_rng.below(n);
        note(fmt("choose railway %d", i));
        // As the list's popup does it: the entry becomes current, then is reported activated.
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    } else if (r < 40 && combo) {
        const Qt::Key k = m_rng.chance(50) ? Qt::Key_Down : Qt::Key_Up;
        note("key " + str(QKeySequence(k).toString()));
        QTest::keyClick(combo, k);
    } else if (r < 48 && combo && combo->lineEdit()) {
        QString t = combo->count() > 0 ? combo->itemText(m_rng.below(combo->count())) : QString();
        if (m_rng.chance(40)) t = t.left(m_rng.between(0, int(t.size())));
        if (m_rng.chance(20)) t = typedText();
        note("type \"" + str(t) + "\" and Enter");
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
        typeText(combo->lineEdit(), t);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    } else if (r < 55) {
        note("chkFindRus");
        if (auto* c = win->findChild<QCheckBox*>(QStringLiteral("chkFindRus")); usable(c)) c->click();
    } else if (r < 93) {
        static const char* const buttons[] = {"cmdDorVib_Gab", "cmdDorVib_All", "cmdDorVib_Light", "cmdDorVib_Off"};
        const char* name = buttons[m_rng.below(4)];
        note(name);
        if (auto* b = win->findChild<QPushButton*>(QLatin1String(name)); usable(b)) b->click();
        else note("(disabled)");
    } else if (r < 95) {
        note("F1");
        QTest::keyClick(win, Qt::Key_F1);
    } else {
        note("close");
        win->close();
    }
}

void Monkey::actLight()
{
    QWidget* win = visibleTool("frmLight");
    if (!win) {
        note("open (mnuZdLight_Peregon)");
        if (QAction* a = m_w->menuItem(QStringLiteral("mnuZdLight_Peregon")); a->isEnabled()) a->trigger();
        return;
    }
    auto clickNamed = [&](const QString& name) {
        note(str(name));
        auto* b = win->findChild<QAbstractButton*>(name);
        if (usable(b)) b->click();
        else note("(not available)");
    };
    auto* edit = win->findChild<QLineEdit*>(QStringLiteral("txtLen"));
    const int r = m_rng.below(100);
    if (r < 10) {
        auto* tabs = win->findChild<QTabWidget*>(QStringLiteral("tabLight"));
        const int i = m_rng.below(2);
        note(fmt("tab %d", i));
        if (tabs) {
            QTabBar* bar = tabs->tabBar();
            clickAt(bar, bar->tabRect(i).center());
        }
    } else if (r < 22) {
        clickNamed(QStringLiteral("optTipLight(%1)").arg(m_rng.below(3)));
    } else if (r < 27) {
        clickNamed(QStringLiteral("optEL(%1)").arg(m_rng.below(2)));
    } else if (r < 32) {
        clickNamed(QStringLiteral("optRL(%1)").arg(m_rng.below(3)));
    } else if (r < 37) {
        clickNamed(QStringLiteral("optLen(%1)").arg(m_rng.below(2)));
    } else if (r < 44) {
        clickNamed(QStringLiteral("chkStn(%1)").arg(m_rng.below(3)));
    } else if (r < 48) {
        clickNamed(QStringLiteral("chkLightRus"));
    } else if (r < 58 && edit) {
        static const QString chars = QStringLiteral("0123456789012345678901234567890..,,-+eE aя%'");
        QString t;
        for (int i = m_rng.between(1, 6); i > 0; --i) t += chars[m_rng.below(chars.size())];
        note("txtLen type \"" + str(t) + "\"");
        if (!usable(edit)) { note("(not available)"); return; }
        if (m_rng.chance(30)) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        typeText(edit, t);
    } else if (r < 62 && edit) {
        note("txtLen backspace");
        if (usable(edit)) QTest::keyClick(edit, Qt::Key_Backspace);
    } else if (r < 70) {
        auto* upd = win->findChild<UpDown*>(QStringLiteral("updRL_Dig"));
        const bool up = m_rng.chance(50);
        note(up ? "up" : "down");
        if (!usable(upd)) { note("(not available)"); return; }
        if (m_rng.chance(60)) {
            QToolButton& b = up ? upd->upButton() : upd->downButton();
            if (usable(&b)) b.click();
        } else {
            QTest::keyClick(upd, up ? Qt::Key_Up : Qt::Key_Down);
        }
    } else if (r < 86) {
        clickNamed(QStringLiteral("cmdLight_Enter"));
    } else if (r < 90) {
        clickNamed(QStringLiteral("cmdLight_Hide"));
    } else if (r < 94) {
        clickNamed(QStringLiteral("cmdLight_End"));
    } else if (r < 96) {
        note("F1");
        QTest::keyClick(win, Qt::Key_F1);
    } else {
        note("close");
        win->close();
    }
}

} // namespace zdmonkey
