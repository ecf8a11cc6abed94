#include "platform/Jpeg.h"
#include "platform/Dib.h"
#include "platform/ReadError.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace vorlan {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t Ochre = 0xC8B428;

// Four flat quadrants: red, green / blue, ochre.
QImage quadrants() {
  QImage image(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const std::uint32_t colour = y < 24 ? (x < 32 ? 0xFF0000 : 0x00FF00) : (x < 32 ? 0x0000FF : Ochre);
      image.setPixel(x, y, 0xFF000000 | colour);
    }
  return image;
}

int channelDistance(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift : {0, 8, 16})
    largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return largest;
}

std::string messageOf(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  try {
    decodeJpeg(bytes, "photo.x3d", offset);
  } catch (const ReadError& e) {
    return e.what();
  }
  return "no error";
}

// clang-format off
struct FlatJpeg { const char* name; J_COLOR_SPACE input, stored; bool adobeMarker; Bytes sample; std::uint32_t expected; };
// clang-format on

// A 16 x 16 picture of one sample, stored in the given colour space.
Bytes writeFlatJpeg(const FlatJpeg& c) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = info.image_height = 16;
  info.input_components = static_cast<int>(c.sample.size());
  info.in_color_space = c.input;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, c.stored);
  info.write_Adobe_marker = c.adobeMarker;
  jpeg_start_compress(&info, TRUE);
  Bytes row;
  for (int x = 0; x < 16; ++x)
    row.insert(row.end(), c.sample.begin(), c.sample.end());
  while (info.next_scanline < info.image_height) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

TEST(Jpeg, GreyAndInkPicturesBecomeRgb) {
  // clang-format off
  const FlatJpeg cases[] = {
      {"grey", JCS_GRAYSCALE, JCS_GRAYSCALE, false, {100}, 0x646464},
      {"Adobe CMYK stores inverted inks: red", JCS_CMYK, JCS_CMYK, true, {255, 0, 0, 255}, 0xFF0000},
      {"CMYK without Adobe marker is not inverted: green", JCS_CMYK, JCS_CMYK, false, {255, 0, 255, 0}, 0x00FF00},
      {"YCCK: half black", JCS_CMYK, JCS_YCCK, true, {255, 255, 255, 127}, 0x7F7F7F},
  };
  // clang-format on
  for (const FlatJpeg& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = writeFlatJpeg(c);
    const QImage decoded = decodeJpeg(bytes, "flat.jpg");
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    EXPECT_LE(channelDistance(test::rgbAt(decoded, 8, 8), c.expected), 3)
        << std::hex << test::rgbAt(decoded, 8, 8);
    EXPECT_EQ(decodeJpeg(bytes, "flat.jpg", 0, kShownPictureFormat),
              decoded.convertToFormat(kShownPictureFormat));
  }
}

TEST(Jpeg, DamageIsAnErrorNamingFileOffsetAndLibjpegMessageNotAGreyPicture) {
  const Bytes whole = encodeJpeg(quadrants());
  Bytes noise(500, 0x12);
  Bytes trailed = whole;
  trailed.insert(trailed.end(), 100, 0x5A);
  EXPECT_EQ(decodeJpeg(trailed, "scene.x2d", 800).size(), QSize(64, 48)) << "bytes after the end are ignored";
  using Cut = std::tuple<const char*, std::span<const std::uint8_t>, const char*>;
  for (const auto& [name, bytes, text] :
       {Cut{"empty", {}, "Empty input file"},
        {"not a JPEG", noise, "photo.x3d: offset 123: JPEG data: Not a JPEG file"},
        {"half the scan", std::span(whole).first(whole.size() / 2), "Premature end of JPEG file"},
        {"without the end-of-image marker", std::span(whole).first(whole.size() - 2), "Premature end"}}) {
    SCOPED_TRACE(name);
    const std::string message = messageOf(bytes, 123);
    EXPECT_NE(message.find(text), std::string::npos) << message;
  }
  for (std::size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(decodeJpeg(std::span(whole).first(length), "cut.jpg"), ReadError);
    EXPECT_THROW(decodeJpeg(std::span(whole).first(length), "cut.jpg", 0, kShownPictureFormat), ReadError);
  }
}

} // namespace
} // namespace vorlan
