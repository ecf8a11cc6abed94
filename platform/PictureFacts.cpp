#include "platform/PictureFacts.h"

#include "platform/ReadError.h"

#include <array>

namespace vorlan {

namespace {

std::string DibCompressionName(std::uint32_t code) {
  static const std::array<const char*, 7> names{"BI_RGB",  "BI_RLE8", "BI_RLE4",          "BI_BITFIELDS",
                                                "BI_JPEG", "BI_PNG",  "BI_ALPHABITFIELDS"};
  return code < names.size() ? names[code] : "unknown (" + std::to_string(code) + ")";
}

// Start-of-frame markers C0..CF, without C4 (Huffman tables), C8 (reserved) and CC (arithmetic
// conditioning), and the coding process each names.
const char* FrameProcess(std::uint8_t marker) {
  switch (marker) {
  case 0xC0:
    return "baseline";
  case 0xC1:
    return "extended sequential";
  case 0xC2:
    return "progressive";
  case 0xC3:
    return "lossless";
  default:
    return marker >= 0xC5 && marker <= 0xCF && marker != 0xC8 && marker != 0xCC ? "hierarchical or arithmetic"
                                                                                : nullptr;
  }
}

std::uint16_t readBigEndian16(BinaryCursor& cursor, const ReadWhat& what) {
  const std::span<const std::uint8_t> bytes = cursor.readBytes(2, what);
  return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

} // namespace

PictureFacts readDibFacts(BinaryCursor& cursor, std::size_t infoSize, const std::string& what) {
  const std::size_t start = cursor.offset();
  const ReadWhat header(what, "bitmap info header");
  if (infoSize < 40)
    cursor.failAt(start, what + ": info block of " + std::to_string(infoSize) + " bytes is too short");
  cursor.require(infoSize, header);
  cursor.skip(4, header); // biSize
  PictureFacts facts;
  facts.Width = cursor.readInt32(header);
  facts.Height = cursor.readInt32(header);
  cursor.skip(2, header); // biPlanes
  facts.BitsPerPixel = cursor.readUInt16(header);
  facts.Compression = DibCompressionName(cursor.readUInt32(header));
  cursor.seek(start + infoSize, header);
  return facts;
}

PictureFacts bmpFacts(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  BinaryCursor cursor(bytes, fileName);
  const ReadWhat fileHeader("bitmap file header");
  const std::span<const std::uint8_t> magic = cursor.readBytes(2, fileHeader);
  if (magic[0] != 'B' || magic[1] != 'M')
    cursor.failAt(0, "not a bitmap: the file does not start with \"BM\"");
  cursor.skip(12, fileHeader);
  return readDibFacts(cursor, cursor.remaining(), "bitmap");
}

// Markers are walked segment by segment: every segment before the frame carries its own length.
PictureFacts jpegFacts(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  BinaryCursor cursor(bytes, fileName);
  if (readBigEndian16(cursor, "start of image") != 0xFFD8)
    cursor.failAt(0, "not a JPEG stream: no start-of-image marker");
  for (;;) {
    const std::size_t at = cursor.offset();
    const std::uint16_t marker = readBigEndian16(cursor, "JPEG marker");
    if ((marker >> 8) != 0xFF) cursor.failAt(at, "JPEG marker expected");
    if (marker == 0xFFD9 || marker == 0xFFDA) cursor.failAt(at, "no frame header before the scan");
    const std::uint16_t length = readBigEndian16(cursor, "JPEG segment length");
    if (length < 2) cursor.failAt(at + 2, "JPEG segment length below 2");
    if (const char* process = FrameProcess(static_cast<std::uint8_t>(marker & 0xFF))) {
      PictureFacts facts;
      const int precision = cursor.readByte("frame precision");
      facts.Height = readBigEndian16(cursor, "frame height");
      facts.Width = readBigEndian16(cursor, "frame width");
      facts.Components = cursor.readByte("frame components");
      facts.BitsPerPixel = precision * facts.Components;
      facts.Compression = process;
      return facts;
    }
    cursor.skip(length - 2u, "JPEG segment");
  }
}

} // namespace vorlan
