#pragma once
// Images of the toolbar buttons: the desktop theme's icon where one fits, otherwise a
// 16×16 picture drawn by the program.
#include <QIcon>

namespace zd {

QIcon toolbarIcon(const QString& key);

} // namespace zd
