#pragma once
// Window placement: the measures of a window's frame, and the always-on-top band.
#include <cstdint>

class QWidget;

namespace zd {

// Twips (1/1440 inch), rounded half to even and clamped to 16 bits.
// Kind 1: caption and menu bar without the borders, (outer height − client height) −
// (outer width − client width); kind 2: one border, (outer width − client width) / 2;
// kind 3: the client height. Any other kind gives 0.
std::int16_t FormMetric(const QWidget& window, std::int16_t kind);

// Puts a top-level window into the always-on-top band (on = true) or takes it out,
// keeping its position, size and visibility.
void SetTopmost(QWidget& window, bool on = false);

} // namespace zd
