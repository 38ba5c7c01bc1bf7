#pragma once
// zdbench --overview: how long the "Обзор" panel takes to draw the whole scheme small, and
// to follow a new frame of the map, against a whole render of the map.
#include <QStringList>

namespace zd::bench {

// Runs the benchmark with the arguments of zdbench (--db FILE [--runs N] [--width W
// --height H]); returns the exit code.
int runOverviewBench(const QStringList& args);

} // namespace zd::bench
