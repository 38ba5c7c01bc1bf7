#pragma once
// zdbench --route: how long the route graph of a network takes to read and to build, what
// it holds in memory, and how long a route across the whole network takes.
#include <QString>

namespace zd::bench {

// Prints a table of medians and spreads and one JSON line; returns the exit code.
int runRouteBench(const QString& dbPath, int runs);

} // namespace zd::bench
