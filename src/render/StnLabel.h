#pragma once
// A station's name as the map shows it, wherever the program shows or writes a name of the
// map: the name itself, or its Latin spelling when the labels are Latin.
#include "render/MapState.h"

#include <QString>

namespace zd {

QString shownStnName(const MapState& st, const QString& nazStn);

} // namespace zd
