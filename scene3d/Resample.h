#pragma once

#include "platform/Numbers.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace vorlan {

// Pictures become square textures of this side, whatever their size.
inline constexpr int kResampledSize = 256;

// The colour of every pixel of a kResampledSize-square copy of `picture`, rows bottom-up as OpenGL
// takes them. Target pixel (i, j), counted from 1, samples source pixel
// (Round(i * w / 256) - 1, Round(j * h / 256) - 1), clamped to the picture, and lands in row 256 - j,
// column i - 1. An empty picture gives black.
std::vector<TColor> ResampleColors(const QImage& picture);

// The same copy as R, G, B bytes, ready for glTexImage2D.
std::vector<std::uint8_t> ResampleRGB(const QImage& picture);

} // namespace vorlan
