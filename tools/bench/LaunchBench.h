#pragma once
// zdbench --launch: the program started as a user starts it, on a network given on its
// command line (zdschema --startup-report FILE), a number of times: the time to its first
// painted frame, the load, the largest gap between two repaints of its windows during the
// load; then, in this process, the main window on the same network: the first (cold)
// render apart from the same frame drawn again (warm), and the opening of the station
// search window.
#include <QStringList>

namespace zd::bench {

// Runs with the arguments of zdbench (--db FILE [--runs N] [--program PATH]); returns the
// exit code.
int runLaunchBench(const QStringList& args);

} // namespace zd::bench
