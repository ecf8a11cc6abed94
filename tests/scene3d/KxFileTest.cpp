#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "platform/Jpeg.h"
#include "scene3d/KX_FILE.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vorlan {
namespace {

// Noise compresses badly: its JPEG data needs several full chunks.
QImage noisyPicture() {
  QImage picture(160, 128, QImage::Format_RGB888);
  std::mt19937 noise(7);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, noise() & 0xFFFFFF);
  return picture;
}

// An unused word, then `data` in chunks of at most `chunkSize` bytes, then the empty chunk.
BinaryWriter chunked(const std::vector<std::uint8_t>& data, std::size_t chunkSize) {
  BinaryWriter w;
  w.writeInt32(12345);
  for (std::size_t at = 0; at < data.size(); at += chunkSize) {
    const std::size_t n = std::min(chunkSize, data.size() - at);
    w.writeInt32(static_cast<std::int32_t>(n));
    w.writeBytes(std::span(data).subspan(at, n));
  }
  w.writeInt32(0);
  return w;
}

// An unused word and chunk sizes, each size but the last followed by its bytes and the last by
// `lastBytes` bytes.
std::vector<std::uint8_t> withChunks(const std::vector<std::int32_t>& sizes, std::size_t lastBytes) {
  BinaryWriter w;
  w.writeInt32(0);
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    w.writeInt32(sizes[k]);
    w.writeZeros(k + 1 < sizes.size() ? static_cast<std::size_t>(sizes[k]) : lastBytes);
  }
  return w.bytes();
}

TEST(KxFile, DamagedChunkedJpegIsAReadErrorNamingItsOffset) {
  const std::vector<std::uint8_t> jpeg = encodeJpeg(noisyPicture());
  std::vector<std::uint8_t> cutShort = chunked(jpeg, 2048).bytes();
  cutShort.resize(cutShort.size() - 4);
  std::vector<std::uint8_t> headOnly = chunked(std::vector(jpeg.begin(), jpeg.begin() + 300), 2048).bytes();
  // clang-format off
  struct Case { const char* name; std::vector<std::uint8_t> bytes; std::size_t offset; const char* says; };
  for (const auto& [name, bytes, offset, says] : {
           Case{"first chunk empty: no data for the decoder", withChunks({0}, 0), 8, "JPEG data"},
           {"chunk over 2048 bytes", withChunks({2049}, 2049), 4, "chunk 1 size 2049 is outside 0..2048"},
           {"huge chunk", withChunks({INT32_MAX}, 0), 4, "chunk 1 size 2147483647"},
           {"negative chunk", withChunks({100, -1}, 0), 108, "chunk 2 size -1 is outside"},
           {"chunk longer than the bytes left", withChunks({2048}, 100), 8, "chunk 1 needs 2048 bytes, 100 left"},
           {"no empty chunk at the end", cutShort, cutShort.size(), "size"}, {"JPEG data cut short", headOnly, 8, "JPEG data"},
       }) {
    // clang-format on
    SCOPED_TRACE(name);
    BinaryCursor F(bytes, "scene.x3d");
    try {
      ReadChunkedJpeg(F, "preview");
      ADD_FAILURE() << "no ReadError";
    } catch (const ReadError& e) {
      EXPECT_EQ(std::pair(e.fileName(), e.offset()),
                std::pair(std::string("scene.x3d"), std::uint64_t(offset)));
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace vorlan
