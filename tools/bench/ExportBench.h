#pragma once
// zdbench --export: how long an export of the whole scheme takes (a PDF page with legend
// and scale bar, a PNG of 4000 × 2250 against the render of the same frame at the
// screen's size) and the statistics of the whole network.
#include <QStringList>

namespace zd::bench {

// Runs the export benchmark with the arguments of zdbench (--db FILE [--runs N]
// [--width 1600 --height 900]); returns the exit code.
int runExportBench(const QStringList& args);

} // namespace zd::bench
