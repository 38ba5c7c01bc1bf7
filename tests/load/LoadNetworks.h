#pragma once
// Networks for the loading tests: the sample one, a second one told apart by its names,
// and a generated one large enough that its load takes a while.
#include <QString>

namespace zdtest {

// The sample network with a third railway, so that a second file can be told apart.
QString secondNetworkSql();
// n stations in a row on railway 1, each joined to the next.
QString chainNetworkSql(int n);

} // namespace zdtest
