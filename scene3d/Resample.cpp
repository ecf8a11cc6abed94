#include "scene3d/Resample.h"

#include <algorithm>
#include <array>

namespace vorlan {

namespace {

using SourceIndices = std::array<int, kResampledSize>;

// Entry k is the source column (or row) of target k + 1. The multiplication by a power-of-two
// fraction is exact, so halves really are halves when Round sends them to the even side.
SourceIndices sourceIndices(int extent) {
  SourceIndices indices{};
  const double step = extent / static_cast<double>(kResampledSize);
  for (int k = 0; k < kResampledSize; ++k)
    indices[static_cast<std::size_t>(k)] = std::clamp(Round((k + 1) * step) - 1, 0, extent - 1);
  return indices;
}

} // namespace

std::vector<TColor> ResampleColors(const QImage& picture) {
  std::vector<TColor> colors(static_cast<std::size_t>(kResampledSize) * kResampledSize, 0);
  if (picture.isNull()) return colors;
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  const SourceIndices columns = sourceIndices(rgb.width());
  const SourceIndices rows = sourceIndices(rgb.height());
  auto out = colors.begin();
  // Row 0 of the result is target row j = 256, so the picture's bottom row goes first.
  for (int j = kResampledSize; j >= 1; --j) {
    const std::uint8_t* line = rgb.constScanLine(rows[static_cast<std::size_t>(j - 1)]);
    for (const int x : columns) {
      const std::uint8_t* p = line + 3 * x;
      *out++ = RGB(p[0], p[1], p[2]);
    }
  }
  return colors;
}

std::vector<std::uint8_t> ResampleRGB(const QImage& picture) {
  const std::vector<TColor> colors = ResampleColors(picture);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(colors.size() * 3);
  for (const TColor c : colors) {
    bytes.push_back(static_cast<std::uint8_t>(GetRValue(c)));
    bytes.push_back(static_cast<std::uint8_t>(GetGValue(c)));
    bytes.push_back(static_cast<std::uint8_t>(GetBValue(c)));
  }
  return bytes;
}

} // namespace vorlan
