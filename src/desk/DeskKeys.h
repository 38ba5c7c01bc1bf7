#pragma once
// Mnemonics and shortcuts of the main window's menus, and the keys of the tool windows:
// Esc closes one, and its buttons get mnemonics of their own.
class QWidget;

namespace zd {

class FrmZdMain;

// The keys of the map (+, −, arrows, Home, Alt+Left, Alt+Right, F1) are shown beside their
// menu items but handled by the map itself, which refuses a frame without rows quietly.
void addMenuKeys(FrmZdMain& main);

// Esc closes the window (as its close box does); when it is shown, every button, option and
// check box whose caption has no mnemonic gets the first letter not yet taken in the window.
void addToolWindowKeys(QWidget& window);

} // namespace zd
