#pragma once
// zdbench --search: how long the name matcher takes to read and build the index of a
// network, and to answer each of a fixed list of typed texts.
#include <QStringList>

namespace zd::bench {

// Runs the search benchmark with the arguments of zdbench (--db FILE [--runs N]);
// returns the exit code.
int runSearchBench(const QStringList& args);

} // namespace zd::bench
