#pragma once
// Breaking a text into lines no wider than a given width, measured in the units of the
// picture the text will be printed on (twips for the popup's text box).
#include <QString>
#include <cstdint>
#include <functional>
#include <variant>

namespace zd {

class Canvas;

// Where a line may be broken at its last blank: a whole number limits the characters of the
// word carried to the next line, a real number limits that word's width; no value means
// every overflowing line is broken at its last character that fits.
using CarryLimit = std::variant<std::monostate, std::int32_t, double>;

using TextMeasure = std::function<double(const QString&)>;

// Lines of the result are joined by "\n". Blanks at each break are removed; a text that fits
// is returned unchanged. A maximum width below one character gives one character per line.
QString WrapText(const TextMeasure& measure, const QString& text, float maxWidth,
                 const CarryLimit& carry = {});

// The same, measured in the picture's current font and scale. With clear True (-1) the
// picture is first emptied and its print position put back to the top.
QString WrapText(Canvas& target, const QString& text, float maxWidth,
                 const CarryLimit& carry = {}, std::int16_t clear = 0);

} // namespace zd
