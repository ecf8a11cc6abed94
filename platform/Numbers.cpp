#include "platform/Numbers.h"

#include <charconv>
#include <cmath>

namespace vorlan {

int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

int Trunc(double value) { return static_cast<int>(std::trunc(value)); }

int clampChannel(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

std::string formatGeneral(double value, int significant) {
  // std::to_chars never consults the C locale, unlike printf.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significant);
  return std::string(buffer, result.ptr);
}

} // namespace vorlan
