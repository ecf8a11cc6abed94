#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

// Round to the nearest integer, halves to even (Round(2.5) = 2, Round(3.5) = 4).
int Round(double value);
// Toward zero.
int Trunc(double value);
// Restricts a colour channel to 0..255.
int clampChannel(int value);

// A colour value 0x00BBGGRR, red in the low byte.
using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// Fixed number texts always take "." as the decimal separator, whatever the user's locale.
// `significant` digits in the shortest of fixed or exponent form, like printf's %g.
std::string formatGeneral(double value, int significant);

} // namespace vorlan
