#pragma once

#include "platform/BinaryCursor.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Byte length of the BITMAPINFOHEADER that every info block starts with; the info block that
// encodeDib writes is exactly this long (no colour table, no masks).
constexpr std::size_t BitmapInfoHeaderSize = 40;

// The picture codecs refuse to decode more than this many bytes of 24-bit pixels, as Qt's own image
// readers do by default: a header claiming more is taken as damage rather than allocated.
constexpr std::uint64_t MaxDecodedPictureBytes = std::uint64_t{256} << 20;

// The codecs decode into 24-bit rows (Format_RGB888), the layout the readers and writers share, or
// into the 32-bit 0xffRRGGBB rows (Format_RGB32) that a painter copies to the screen as they are:
// a picture window decodes into those, so that a large picture is neither converted nor held twice.
inline constexpr QImage::Format kShownPictureFormat = QImage::Format_RGB32;

// Decodes a device-independent bitmap: `infoSize` bytes of info (BITMAPINFOHEADER or a larger
// V4/V5 header, then the BI_BITFIELDS masks or the colour table) followed by `bitsSize` bytes of
// pixel rows, read from the cursor, which ends right after them. Handles 1, 4, 8, 16, 24 and 32
// bits per pixel, BI_RGB, BI_BITFIELDS, BI_RLE8 and BI_RLE4, bottom-up and top-down rows.
// Pixels that an RLE stream skips take colour table entry 0; those it codes past a row's end are
// dropped.
// `what` names the picture in error messages, e.g. "picture 2". `layout` is Format_RGB888 or
// Format_RGB32.
QImage readDib(BinaryCursor& cursor, std::size_t infoSize, std::size_t bitsSize, const std::string& what,
               QImage::Format layout = QImage::Format_RGB888);

// A .bmp file: the 14-byte BITMAPFILEHEADER, then a DIB whose pixels start at bfOffBits.
QImage decodeBmp(std::span<const std::uint8_t> bytes, const std::string& fileName,
                 QImage::Format layout = QImage::Format_RGB888);
QImage loadBmpFile(const std::string& fileName, QImage::Format layout = QImage::Format_RGB888);

// Info block and pixel rows of `image` (of any format) as a bottom-up BI_RGB DIB of 24 or 32 bits per
// pixel.
std::vector<std::uint8_t> encodeDib(const QImage& image, int bitsPerPixel);
// A 24-bit bottom-up BI_RGB .bmp file.
std::vector<std::uint8_t> encodeBmp(const QImage& image);

} // namespace vorlan
