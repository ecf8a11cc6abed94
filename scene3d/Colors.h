#pragma once

#include "platform/Numbers.h"

#include <cstdint>

namespace vorlan {

// Mesh colours are stored as separate bytes, red first, rather than as a TColor value.
struct TColorRGB {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;

  friend bool operator==(const TColorRGB&, const TColorRGB&) = default;
};

struct TColorRGBA {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  std::uint8_t A = 0;

  friend bool operator==(const TColorRGBA&, const TColorRGBA&) = default;
};

// The red, green and blue bytes of a colour value.
TColorRGB SplitColor(TColor color);
// The colour rebuilt from its red, green and blue bytes; whatever the high byte held is dropped.
TColor PureColor(TColor color);
TColor ColorOf(TColorRGB rgb);

} // namespace vorlan
