#pragma once
// The keyboard layout of the session.

#include <cstdint>

namespace zd {

// Non-zero: the English (US) layout; zero: the Russian one. On X11 this switches the
// XKB group to the first configured layout of that language; elsewhere, or when no
// such layout is configured, nothing happens.
void SetKbdLayout(std::int16_t english);

} // namespace zd
