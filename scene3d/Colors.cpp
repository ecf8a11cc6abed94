#include "scene3d/Colors.h"

namespace vorlan {

TColorRGB SplitColor(TColor color) {
  return {static_cast<std::uint8_t>(GetRValue(color)), static_cast<std::uint8_t>(GetGValue(color)),
          static_cast<std::uint8_t>(GetBValue(color))};
}

TColor PureColor(TColor color) {
  return ColorOf(SplitColor(color));
}

TColor ColorOf(TColorRGB rgb) {
  return RGB(rgb.R, rgb.G, rgb.B);
}

} // namespace vorlan
