#include "scene3d/KX_FILE.h"

#include "platform/Jpeg.h"

#include <limits>
#include <vector>

namespace vorlan {

namespace {

// A size read from the file, accepted only inside 0..limit; fails at the size's own offset.
std::size_t readSize(BinaryCursor& F, std::int32_t limit, const std::string& what) {
  const std::size_t at = F.offset();
  const std::int32_t size = F.readInt32(what);
  if (size < 0 || size > limit)
    F.failAt(at, what + " " + std::to_string(size) + " is outside 0.." + std::to_string(limit));
  return static_cast<std::size_t>(size);
}

} // namespace

std::vector<std::uint8_t> ReadJpegChunks(BinaryCursor& F, const std::string& what, std::size_t& dataOffset) {
  F.readInt32(what + ": unused word");
  dataOffset = F.offset() + 4;
  std::vector<std::uint8_t> jpeg;
  for (int k = 1;; ++k) {
    const std::string chunk = what + ": chunk " + std::to_string(k);
    const std::size_t n = readSize(F, kMaxJpegChunk, chunk + " size");
    if (n == 0) break;
    const std::span<const std::uint8_t> bytes = F.readBytes(n, chunk);
    jpeg.insert(jpeg.end(), bytes.begin(), bytes.end());
  }
  return jpeg;
}

QImage ReadChunkedJpeg(BinaryCursor& F, const std::string& what) {
  std::size_t dataOffset = 0;
  const std::vector<std::uint8_t> jpeg = ReadJpegChunks(F, what, dataOffset);
  return decodeJpeg(jpeg, F.fileName(), dataOffset);
}

QImage ReadJpegBlock(BinaryCursor& F, const std::string& what, int resampledSide) {
  const std::size_t size = readSize(F, std::numeric_limits<std::int32_t>::max(), what + ": JPEG size");
  const std::size_t dataOffset = F.offset();
  const std::span<const std::uint8_t> data = F.readBytes(size, what + ": JPEG data");
  if (resampledSide > 0) return decodeJpegForResample(data, F.fileName(), dataOffset, resampledSide);
  return decodeJpeg(data, F.fileName(), dataOffset);
}

void WriteJpegBlock(BinaryWriter& F, const QImage& Bitmap) {
  const std::vector<std::uint8_t> jpeg = encodeJpeg(Bitmap);
  F.writeInt32(static_cast<std::int32_t>(jpeg.size()));
  F.writeBytes(jpeg);
}

TColor ReadColor3(BinaryCursor& F, const std::string& what) {
  const std::span<const std::uint8_t> rgb = F.readBytes(3, what);
  return RGB(rgb[0], rgb[1], rgb[2]);
}

void WriteColor3(BinaryWriter& F, TColor Color) {
  F.writeByte(static_cast<std::uint8_t>(GetRValue(Color)));
  F.writeByte(static_cast<std::uint8_t>(GetGValue(Color)));
  F.writeByte(static_cast<std::uint8_t>(GetBValue(Color)));
}

} // namespace vorlan
