#pragma once
// zdbench --quick: the quick-search field's answer in the real main window, a keystroke at
// a time: the key event, the look-up, the popup's model of 20 places and the popup shown
// and painted; and the whole scheme drawn with Cyrillic and with Latin labels.
#include <QStringList>

namespace zd::bench {

// Runs the quick-search benchmark with the arguments of zdbench (--db FILE [--runs N]);
// returns the exit code.
int runQuickBench(const QStringList& args);

} // namespace zd::bench
