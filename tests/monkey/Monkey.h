#pragma once
// The monkey: random user actions on the whole program (main window, map, toolbar, menus
// and the three tool windows) with a fixed, printed seed, and the program's invariants
// checked after every action. A failure names the seed, the action and the actions before
// it, so that the same run can be replayed with ZD_MONKEY_SEED.
#include "platform/MsgBox.h"

#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace zd {
class FrmZdMain;
}

namespace zdmonkey {

// A small generator of our own, so that a seed gives the same actions with every
// standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t next();
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }   // both included
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

struct Options {
    std::uint64_t seed = 0;
    int actions = 0;
    bool verbose = false;   // every action printed as it runs
};

// Seed and count from ZD_MONKEY_SEED and ZD_MONKEY_ACTIONS, else the defaults.
Options optionsFromEnvironment(std::uint64_t defaultSeed, int defaultActions);

class Monkey {
public:
    // run() copies the demo database, the help file and the pointer file into a folder of
    // its own and starts the main window there.
    explicit Monkey(const Options& options);
    ~Monkey();

    // Runs the actions; false with failure() set on the first broken invariant.
    bool run();
    const std::string& failure() const { return m_failure; }
    std::string summary() const;
    int actionsDone() const { return m_done; }

private:
    struct Kind {
        const char* name;
        int weight;
        void (Monkey::*act)();
    };

    bool setUp();
    bool startProgram();
    void settle();
    std::string check();
    std::string checkPicture();
    void fail(const std::string& what);
    void note(const std::string& text);

    // main window
    void actMenu();
    void actButton();
    void actMapPress();
    void actMapMove();
    void actMapRelease();
    void actMapClick();
    void actMapDoubleClick();
    void actMapDrag();
    void actMapHold();
    void actMapKey();
    void actWheel();
    void actResize();
    void actQuit();
    void actFragmentFlow();
    void actShiftFlow();
    void actHelpClose();
    // tool windows
    void actFind();
    void actDor();
    void actLight();

    QPoint mapPoint();        // a pixel of the map, now and then on a station or just outside
    void mouse(int type, QPoint at, Qt::MouseButton b);
    QWidget* visibleTool(const char* name) const;
    QString typedText();

    Options m_opt;
    Rng m_rng;
    QTemporaryDir m_dir;
    std::unique_ptr<zd::FrmZdMain> m_w;
    std::vector<Kind> m_kinds;
    int m_totalWeight = 0;
    Qt::MouseButtons m_held;
    QPoint m_last;            // last pointer position on the map (pixels)
    bool m_pictureDirty = true;   // something besides the renderer drew on the map
    bool m_quitting = false;  // the current action ends the program on purpose
    int m_endCode = -1;
    int m_done = 0, m_restarts = 0;
    std::string m_current;
    std::string m_failure;
    std::map<std::string, int> m_counts;
    std::map<std::string, double> m_seconds;
    std::map<QString, int> m_boxes;
    std::map<std::string, int> m_qtMessages;
    std::vector<zd::MsgRequest> m_fatalBoxes;
    int m_maxHistory = 0;
};

} // namespace zdmonkey
