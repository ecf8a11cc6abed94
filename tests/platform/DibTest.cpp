#include "platform/Dib.h"
#include "platform/BinaryWriter.h"
#include "platform/PictureFacts.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace vorlan {
namespace {

using Pixels = std::vector<std::vector<std::uint32_t>>; // 0xRRGGBB, top row first
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr std::uint32_t K = 0x000000, W = 0xFFFFFF, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;

struct Header {
  std::int32_t width = 1, height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = BI_RGB, colorsUsed = 0, headerSize = 40;
};

// An info block: the BITMAPINFOHEADER fields in file order, BI_BITFIELDS masks at offset 40 (after
// a 40-byte header, inside a V4/V5 one), then the colour table as 0x00RRGGBB words, which are
// RGBQUADs (blue, green, red, reserved) once written little-endian.
Bytes info(const Header& h, const std::vector<std::uint32_t>& masks = {},
           const std::vector<std::uint32_t>& table = {}) {
  BinaryWriter w;
  w.writeUInt32(h.headerSize);  // biSize
  w.writeInt32(h.width);        // biWidth
  w.writeInt32(h.height);       // biHeight: positive for bottom-up rows
  w.writeUInt16(1);             // biPlanes
  w.writeUInt16(h.bitCount);    // biBitCount
  w.writeUInt32(h.compression); // biCompression
  w.writeZeros(12);             // biSizeImage, biXPelsPerMeter, biYPelsPerMeter
  w.writeUInt32(h.colorsUsed);  // biClrUsed
  w.writeUInt32(0);             // biClrImportant
  for (std::uint32_t mask : masks)
    w.writeUInt32(mask);
  if (w.size() < h.headerSize) w.writeZeros(h.headerSize - w.size());
  for (std::uint32_t entry : table)
    w.writeUInt32(entry);
  return w.bytes();
}

// A copy of `bytes` with the 32-bit word at `offset` replaced.
Bytes patched(Bytes bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The DIB sits between a 16-byte prefix and a trailer, as in a bitmap-pair file, so offsets in
// errors are file offsets and reading past the block would show.
constexpr std::size_t Prefix = 16;

// `claimedBits`: the pixel size the file claims, when it is not the size of `bits`.
QImage decode(const Bytes& infoBlock, const Bytes& bits, std::size_t claimedBits = 0,
              QImage::Format layout = QImage::Format_RGB888) {
  const Bytes file = Bytes(Prefix, 0xAA) + infoBlock + bits + Bytes(4, 0xBB);
  BinaryCursor cursor(file, "pair.cam");
  cursor.seek(Prefix, "picture 1");
  QImage image =
      readDib(cursor, infoBlock.size(), claimedBits ? claimedBits : bits.size(), "picture 1", layout);
  EXPECT_EQ(cursor.offset(), Prefix + infoBlock.size() + bits.size());
  return image;
}

Pixels pixelsOf(const QImage& image) {
  Pixels rows(image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      rows[y].push_back(test::rgbAt(image, x, y));
  return rows;
}

// A 6 x 2 RLE4 picture: {{W, R, G, B, R, G}, {R, G, R, B, G, R}}.
Bytes rle4Info() {
  return info({.width = 6, .height = 2, .bitCount = 4, .compression = BI_RLE4, .colorsUsed = 4}, {},
              {W, R, G, B});
}

Bytes rle4Bits() {
  return {3, 0x12,                      // bottom row: 1 2 1
          0, 3,    0x32, 0x10,          // absolute: 3 2 1 in two bytes
          0, 0,                         // end of line
          0, 2,    1,    0,             // delta: right 1
          0, 5,    0x12, 0x31, 0x20, 0, // absolute: 1 2 3 1 2, three bytes padded to four
          0, 1};                        // end of bitmap
}

TEST(Dib, DecodesEveryFormat) {
  // clang-format off
  struct FormatCase { const char* name; Bytes info, bits; Pixels expected; };
  const FormatCase cases[] = {
      {"1 bit, two-colour table, rows padded to 4 bytes", info({.width = 3, .height = 2, .bitCount = 1}, {}, {R, B}),
       {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, // bottom row: 1 0 1, top row: 0 1 0
       {{R, B, R}, {B, R, B}}},
      {"4 bits, three colours used", info({.width = 3, .height = 2, .bitCount = 4, .colorsUsed = 3}, {}, {K, W, G}),
       {0x12, 0x00, 0, 0, 0x21, 0x10, 0, 0}, // bottom: 1 2 0, top: 2 1 1
       {{G, W, W}, {W, G, K}}},
      {"8 bits with a palette",
       info({.width = 3, .height = 2, .bitCount = 8, .colorsUsed = 4}, {}, {0x102030, 0x405060, 0x708090, 0xA0B0C0}),
       {3, 2, 1, 0, 0, 0, 3, 0}, // bottom, top
       {{0x102030, 0x102030, 0xA0B0C0}, {0xA0B0C0, 0x708090, 0x405060}}},
      {"16 bits BI_RGB is 5-5-5 and ignores the top bit", info({.width = 4, .height = 1, .bitCount = 16}),
       {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x42, 0x1F, 0x80}, {{R, G, 0x848484, B}}}, // 7C00 03E0 4210 801F
      {"16 bits BI_BITFIELDS 5-6-5",
       info({.width = 4, .height = 1, .bitCount = 16, .compression = BI_BITFIELDS}, {0xF800, 0x07E0, 0x001F}),
       {0x00, 0xF8, 0xE0, 0x07, 0x00, 0x04, 0x1F, 0x00}, {{R, G, 0x008200, B}}}, // F800 07E0 0400 001F
      {"24 bits, width 3 leaves 3 padding bytes per row", info({.width = 3, .height = 2, .bitCount = 24}),
       {0xFF, 0,    0,    0,    0xFF, 0,    0,    0,    0xFF, 0xEE, 0xEE, 0xEE,  // bottom: B G R
        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE}, // top
       {{0x030201, 0x060504, 0x090807}, {B, G, R}}},
      {"24 bits top-down gives the same picture", info({.width = 3, .height = -2, .bitCount = 24}),
       {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE,  // top
        0xFF, 0,    0,    0,    0xFF, 0,    0,    0,    0xFF, 0xEE, 0xEE, 0xEE}, // bottom
       {{0x030201, 0x060504, 0x090807}, {B, G, R}}},
      {"32 bits BI_RGB is blue, green, red, unused", info({.width = 2, .height = 1, .bitCount = 32}),
       {0x30, 0x20, 0x10, 0xFF, 0x01, 0x02, 0x03, 0x00}, {{0x102030, 0x030201}}},
      {"32 bits BI_BITFIELDS with red in the low byte",
       info({.width = 2, .height = 1, .bitCount = 32, .compression = BI_BITFIELDS}, {0x000000FF, 0x0000FF00, 0x00FF0000}),
       {0x10, 0x20, 0x30, 0x00, 0xFF, 0x00, 0x00, 0x00}, {{0x102030, R}}},
      {"V5 header holds the BI_BITFIELDS masks",
       info({.width = 1, .height = 1, .bitCount = 16, .compression = BI_BITFIELDS, .headerSize = 124}, {0xF800, 0x07E0, 0x001F}),
       {0x00, 0xF8, 0, 0}, {{R}}},
      {"V4 header is followed by the colour table",
       info({.width = 2, .height = 1, .bitCount = 8, .colorsUsed = 2, .headerSize = 108}, {}, {G, B}), {1, 0, 0, 0}, {{B, G}}},
      {"RLE8: runs, padded absolute run, end of line, deltas, end of bitmap",
       info({.width = 5, .height = 3, .bitCount = 8, .compression = BI_RLE8, .colorsUsed = 4}, {}, {W, R, G, B}),
       {2, 1,             // bottom row: 2 x red
        0, 3, 2, 3, 1, 0, // absolute: green blue red, padded to even
        0, 0,             // end of line
        0, 2, 1, 0,       // delta: right 1
        2, 2,             // 2 x green
        0, 2, 0, 1,       // delta: up 1
        1, 3,             // 1 x blue
        0, 1},            // end of bitmap; skipped pixels take entry 0
       {{W, W, W, B, W}, {W, G, G, W, W}, {R, R, G, B, R}}},
      {"RLE4: alternating nibbles, absolute runs, delta, end of bitmap", rle4Info(), rle4Bits(),
       {{W, R, G, B, R, G}, {R, G, R, B, G, R}}},
      // ImageMagick codes every row up to its 4-byte boundary: 8 pixels for a row of 5.
      {"RLE8 with the row padding coded as pixels: they are dropped",
       info({.width = 5, .height = 2, .bitCount = 8, .compression = BI_RLE8, .colorsUsed = 4}, {}, {W, R, G, B}),
       {4, 1, 1, 2, 3, 0,       // bottom row: 4 x red, green, then 3 padding pixels
        0, 0,                   // end of line
        1, 3, 2, 0, 2, 2, 3, 1, // top row: blue, 2 x white, 2 x green, then 3 padding pixels
        0, 0, 0, 1},            // end of line, end of bitmap
       {{B, W, W, G, G}, {R, R, R, R, G}}},
      {"RLE4 with the row padding coded as pixels, in a run and an absolute run",
       info({.width = 3, .height = 2, .bitCount = 4, .compression = BI_RLE4, .colorsUsed = 4}, {}, {W, R, G, B}),
       {8, 0x12,                   // bottom row: 1 2 1, then 5 padding pixels
        0, 0,                      // end of line
        0, 5, 0x31, 0x23, 0x10, 0, // absolute: 3 1 2, then 2 padding pixels; 3 bytes padded to 4
        0, 1},                     // end of bitmap
       {{B, R, G}, {R, G, R}}},
      {"RLE8 delta past the row end: the pixels there are dropped",
       info({.width = 2, .bitCount = 8, .compression = BI_RLE8, .colorsUsed = 2}, {}, {R, G}),
       {0, 2, 200, 0, 1, 1, 0, 1}, {{R, R}}}, // delta right 200, one green pixel, end of bitmap
  };
  // clang-format on
  for (const FormatCase& c : cases)
    for (const QImage::Format layout : {QImage::Format_RGB888, kShownPictureFormat}) {
      SCOPED_TRACE(std::string(c.name) + (layout == kShownPictureFormat ? ", shown layout" : ""));
      const QImage image = decode(c.info, c.bits, 0, layout);
      EXPECT_EQ(image.format(), layout);
      EXPECT_EQ(pixelsOf(image), c.expected);
    }
}

// A one-row RLE8 picture with a two-entry colour table: its pixel data starts at offset 48.
Bytes rle8Info(int width) {
  return info({.width = width, .bitCount = 8, .compression = BI_RLE8, .colorsUsed = 2}, {}, {R, G});
}

TEST(Dib, DamagedBlocksFailAtTheOffendingField) {
  const Bytes header = info({});
  // clang-format off
  // offset: from the start of the info block
  struct ErrorCase { const char* name; Bytes info, bits; std::size_t offset; const char* text; std::size_t claimedBits = 0; };
  const ErrorCase cases[] = {
      {"short info", Bytes(header.begin(), header.begin() + 12), {}, 0, "shorter than the 40-byte"},
      {"header size beyond the info block", patched(header, 0, 124), {0, 0, 0, 0}, 0, "header size 124"},
      {"zero width", info({.width = 0}), {}, 4, "width 0 is not positive"},
      {"zero height", info({.height = 0}), {}, 8, "height 0"},
      {"most negative height", info({.height = INT_MIN}), {}, 8, "height -2147483648"},
      {"unknown bit count", info({.bitCount = 7}), {}, 14, "7 bits per pixel"},
      {"RLE8 on 24 bits", info({.compression = BI_RLE8}), {}, 16, "compression 1 with 24 bits"},
      {"huge claim", info({.width = 100000, .height = 100000}), Bytes(20), 4, "100000 x 100000 pixels"},
      {"one row short", info({.width = 3, .height = 2}), Bytes(23), 4, "need 24 bytes"},
      {"huge colour table", info({.bitCount = 8, .colorsUsed = 0x40000000}), {}, 32, "table of 1073741824"},
      {"implicit table missing", info({.bitCount = 8}, {}, {R, G}), {}, 32, "colour table of 256 entries"},
      {"colour table running into the pixels", info({.bitCount = 8, .colorsUsed = 3}, {}, {R, G}), {0, 0, 0, 0}, 32, "table of 3 entries does not fit the 8 bytes"},
      {"8-bit index", info({.width = 2, .bitCount = 8, .colorsUsed = 2}, {}, {R, G}), {0, 5, 0, 0}, 48 + 1, "index 5 outside the 2-entry"},
      {"split mask", info({.bitCount = 16, .compression = BI_BITFIELDS}, {0xF800, 0x0F0F, 0x001F}), {0, 0, 0, 0}, 44, "mask 3855 is not one run"},
      {"no masks", info({.bitCount = 32, .compression = BI_BITFIELDS}), {0, 0, 0, 0}, 16, "needs 12 bytes of masks"},
      {"RLE8 pixels above the top row", rle8Info(2), {0, 0, 1, 1, 0, 1}, 48 + 2, "above the last of 1 rows"},
      {"RLE8 delta above the top row, then pixels", rle8Info(2), {0, 2, 0, 1, 1, 1}, 52, "above the last"},
      {"RLE8 absolute run cut short", rle8Info(8), {0, 5, 1, 1}, 48, "run of 5 pixels needs 6 bytes, 2 left"},
      {"RLE8 odd absolute run without its pad", rle8Info(8), {0, 3, 1, 1, 0}, 48, "needs 4 bytes, 3 left"},
      {"RLE8 data ending inside a pair", rle8Info(2), {1}, 48 + 1, "RLE data ends before the run value"},
      {"RLE4 index", info({.width = 2, .bitCount = 4, .compression = BI_RLE4, .colorsUsed = 2}, {}, {R, G}), {2, 0x15, 0, 1}, 48, "colour index 5 outside"},
      {"pixel block longer than the bytes left", info({}), {0, 0, 0}, 40, "pixels needs 8 bytes, 7 left", 8},
  };
  // clang-format on
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      decode(c.info, c.bits, c.claimedBits);
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.offset(), Prefix + c.offset) << e.what();
      const std::string what = e.what();
      EXPECT_TRUE(what.find(c.text) != what.npos && what.find("pair.cam: ") != what.npos &&
                  what.find("picture 1") != what.npos)
          << what;
    }
  }
}

// The facts are the header fields as stored, without the checks a decode makes, and the cursor stops
// after the info block whatever its size.
TEST(Dib, FactsAreTheHeaderFieldsAsStored) {
  // clang-format off
  for (const auto& [height, bits, compression, size, name] :
       {std::tuple{-20, 8, BI_RLE8, 40u, "BI_RLE8"}, {20, 4, BI_RLE4, 40u, "BI_RLE4"},
        {5, 16, BI_BITFIELDS, 108u, "BI_BITFIELDS"}, {5, 24, 9u, 40u, "unknown (9)"}}) {
    // clang-format on
    SCOPED_TRACE(name);
    const Bytes bytes = info({13, height, std::uint16_t(bits), compression, 0, size}) + Bytes{0x77};
    BinaryCursor cursor(bytes, "p.bmp");
    const PictureFacts f = readDibFacts(cursor, size, "picture");
    EXPECT_EQ(std::tuple(f.Width, f.Height, f.BitsPerPixel, f.Compression, cursor.offset()),
              std::tuple(13, height, bits, std::string(name), std::size_t{size}));
  }
  const Bytes header = info({});
  for (std::size_t claimed : {12, 41}) {
    BinaryCursor cursor(header, "p.bmp");
    EXPECT_THROW(readDibFacts(cursor, claimed, "picture"), ReadError) << claimed;
  }
}

QImage patternPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(40 * x + 7, 50 * y + 3, (x * 31 + y * 17) % 256));
  return image;
}

TEST(Dib, EncodedPicturesDecodeToTheSamePicture) {
  for (int bitsPerPixel : {24, 32})
    for (int width = 1; width <= 5; ++width) {
      SCOPED_TRACE(std::to_string(bitsPerPixel) + " bits, width " + std::to_string(width));
      const QImage picture = patternPicture(width, 3);
      const Bytes dib = encodeDib(picture, bitsPerPixel);
      for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_ARGB32})
        EXPECT_EQ(encodeDib(picture.convertToFormat(format), bitsPerPixel), dib) << format;
      const Bytes infoBlock(dib.begin(), dib.begin() + BitmapInfoHeaderSize);
      const Bytes bits(dib.begin() + BitmapInfoHeaderSize, dib.end());
      EXPECT_EQ(pixelsOf(decode(infoBlock, bits)), pixelsOf(picture));
      if (bitsPerPixel != 24) continue;
      const Bytes bmp = encodeBmp(picture);
      EXPECT_EQ(pixelsOf(decodeBmp(bmp, "w.bmp")), pixelsOf(picture));
      for (std::size_t length = 0; length < bmp.size(); ++length) {
        EXPECT_THROW(decodeBmp(std::span(bmp).first(length), "cut.bmp"), ReadError) << "cut at " << length;
        EXPECT_THROW(decodeBmp(std::span(bmp).first(length), "cut.bmp", kShownPictureFormat), ReadError);
      }
    }
}

TEST(Dib, DamagedBmpFileHeaderFailsAtItsField) {
  // field, value written there, offset of the error, text
  // clang-format off
  for (const auto& [field, value, offset, text] :
       {std::tuple{0, 0x4D43, 0u, "it does not start with \"BM\""}, {10, 1000, 10u, "pixel offset 1000 lies outside the"},
        {10, 13, 10u, "pixel offset 13"}, {10, 30, 14u, "info block of 16 bytes is shorter"}}) {
    // clang-format on
    SCOPED_TRACE(text);
    try {
      decodeBmp(patched(encodeBmp(patternPicture(2, 2)), field, value), "view.bmp");
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.offset(), offset) << e.what();
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace vorlan
