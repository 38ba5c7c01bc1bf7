#pragma once
// The selected element of an array of option buttons.
#include <cstdint>
#include <span>

class QAbstractButton;

namespace zd {

// Index of the first checked button from the lowest index up; 0 when none is (or the
// array is empty). Missing (null) elements count as unchecked.
std::int16_t OptIndex(std::span<QAbstractButton* const> buttons);

} // namespace zd
