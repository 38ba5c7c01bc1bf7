#pragma once
// Shared numeric conventions of the program: 16-bit flags with True = -1,
// conversions that round half to even, and colours in the 0x00BBGGRR layout.
#include <cmath>
#include <cstdint>
#include <limits>

namespace zd {

using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// Round half to even, as every float-to-whole conversion of the program does.
inline double roundEven(double v) { return std::nearbyint(v); }   // default FE_TONEAREST

// Rounds to a 32-bit whole number, clamped to the 32-bit range (NaN gives 0).
inline std::int32_t toLong(double v)
{
    if (std::isnan(v)) return 0;
    const double r = roundEven(v);
    if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

inline std::int16_t toInt16(double v)
{
    if (std::isnan(v)) return 0;
    const double r = roundEven(v);
    if (r >= 32767.0) return 32767;
    if (r <= -32768.0) return -32768;
    return static_cast<std::int16_t>(r);
}

// Colours: red in the low byte, then green, then blue.
using Color = std::uint32_t;

// Channel values above 255 count as 255 and below 0 as 0.
inline constexpr Color rgb(int r, int g, int b)
{
    auto c = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    return static_cast<Color>(c(r) | (c(g) << 8) | (c(b) << 16));
}

struct Rgb { std::uint8_t red, green, blue; };

inline constexpr Rgb splitRgb(Color c)
{
    return {static_cast<std::uint8_t>(c & 255), static_cast<std::uint8_t>((c / 256) & 255),
            static_cast<std::uint8_t>((c / 65536) & 255)};
}

// Pale variant of a colour: c + (256 - c) * 0.6 per channel, 0.6 a 32-bit float.
inline Color lighten(Color c)
{
    const Rgb p = splitRgb(c);
    auto ch = [](int v) { return toInt16(v + (256 - v) * static_cast<double>(0.6f)); };
    return rgb(ch(p.red), ch(p.green), ch(p.blue));
}

} // namespace zd
