#pragma once
// What holds of the main window between two user actions whatever the network and whatever
// was done before, for the runs that drive the whole program (the monkey, the hostile
// networks).
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include <string>

namespace zdtest {

// The first rule the window breaks, or empty. buttonHeld: a mouse button is down on the map
// (the object under the pointer is shown, a drag is under way). historyButtons: "Назад" and
// "Вперед" are enabled as the history says, which every completed render settles; on a
// network whose whole scheme draws nothing the fall-back of an empty frame completes none.
std::string brokenInvariant(zd::FrmZdMain& w, bool buttonHeld, bool historyButtons = true);

// The messages the program shows about what it cannot draw or use; never a critical one.
bool expectedMessage(const zd::MsgRequest& r);

} // namespace zdtest
