#include "platform/PictureFacts.h"

#include "platform/Jpeg.h"
#include "platform/ReadError.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// A JPEG stream from its markers: SOI, an APP0 segment of `app0` bytes, then one frame header.
std::vector<std::uint8_t> JpegWithFrame(std::uint8_t frameMarker, std::uint8_t precision,
                                        std::uint16_t height, std::uint16_t width, std::uint8_t components,
                                        std::size_t app0) {
  std::vector<std::uint8_t> bytes{0xFF, 0xD8, 0xFF, 0xE0};
  bytes.push_back(static_cast<std::uint8_t>((app0 + 2) >> 8));
  bytes.push_back(static_cast<std::uint8_t>(app0 + 2));
  bytes.insert(bytes.end(), app0, 0);
  const std::uint16_t length = static_cast<std::uint16_t>(8 + 3 * components);
  for (std::uint8_t b : {std::uint8_t{0xFF}, frameMarker, std::uint8_t(length >> 8), std::uint8_t(length),
                         precision, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8),
                         std::uint8_t(width), components})
    bytes.push_back(b);
  bytes.insert(bytes.end(), 3u * components, 1);
  return bytes;
}

TEST(JpegFacts, TheFrameHeaderGivesSizeComponentsAndProcessAndABrokenStreamFails) {
  // marker, precision, components, height, width, process, bits per pixel
  for (const auto& [marker, precision, components, height, width, process, bits] :
       {std::tuple{0xC0, 8, 3, 300, 4000, "baseline", 24},
        {0xC2, 8, 1, 1, 2, "progressive", 8},
        {0xC1, 12, 3, 65535, 7, "extended sequential", 36}}) {
    SCOPED_TRACE(process);
    const PictureFacts f =
        jpegFacts(JpegWithFrame(marker, precision, height, width, components, 300), "x.jpg");
    EXPECT_EQ(std::tuple(f.Width, f.Height, f.Components, f.BitsPerPixel, f.Compression),
              std::tuple(width, height, components, bits, std::string(process)));
  }
  // The Huffman table marker C4 sits among the frame markers and is skipped as a segment.
  std::vector<std::uint8_t> withTable = JpegWithFrame(0xC4, 0, 0, 0, 0, 4);
  const std::vector<std::uint8_t> frame = JpegWithFrame(0xC0, 8, 5, 6, 3, 0);
  withTable.insert(withTable.end(), frame.begin() + 6, frame.end());
  EXPECT_EQ(jpegFacts(withTable, "x.jpg").Width, 6);
  // A stream cut before its frame ends, or with broken segments, fails.
  const std::vector<std::uint8_t> good = JpegWithFrame(0xC0, 8, 5, 6, 3, 10);
  for (std::size_t length = 0; length < 6 + 10 + 10; ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(jpegFacts(std::span(good).first(length), "x.jpg"), ReadError);
  }
  for (const std::vector<std::uint8_t>& bad : {std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02},
                                               std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01}})
    EXPECT_THROW(jpegFacts(bad, "x.jpg"), ReadError);
}

} // namespace
} // namespace vorlan
