#pragma once

#include "platform/BinaryCursor.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vorlan {

// What a picture's header says about it, without decoding its pixels.
struct PictureFacts {
  std::int32_t Width = 0;
  std::int32_t Height = 0; // as stored: a DIB stores top-down rows as a negative height
  int BitsPerPixel = 0;    // DIB bits per pixel; for JPEG, bits per sample times components
  int Components = 0;      // JPEG colour components; 0 for a DIB
  std::string Compression; // "BI_RGB", "BI_RLE8", ...; for JPEG "baseline", "progressive", ...
};

// The BITMAPINFOHEADER at the cursor, `infoSize` bytes long; the cursor ends after the info block.
PictureFacts readDibFacts(BinaryCursor& cursor, std::size_t infoSize, const std::string& what);
// A .bmp file: BITMAPFILEHEADER, then the info header.
PictureFacts bmpFacts(std::span<const std::uint8_t> bytes, const std::string& fileName);
// The first start-of-frame marker of a JPEG stream.
PictureFacts jpegFacts(std::span<const std::uint8_t> bytes, const std::string& fileName);

} // namespace vorlan
