#include "platform/Dib.h"

#include "platform/BinaryWriter.h"
#include "platform/FileBytes.h"
#include "platform/MappedFile.h"
#include "platform/PictureBudget.h"

#include <bit>
#include <cassert>
#include <stdexcept>

namespace vorlan {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr std::size_t BitmapFileHeaderSize = 14;
constexpr std::uint16_t BitmapFileType = 0x4D42; // "BM"

// Offsets of the BITMAPINFOHEADER fields that a failure can point at.
constexpr std::size_t WidthField = 4;
constexpr std::size_t HeightField = 8;
constexpr std::size_t BitCountField = 14;
constexpr std::size_t CompressionField = 16;
constexpr std::size_t ColorsUsedField = 32;
constexpr std::size_t MasksField = 40;

struct DibHeader {
  std::size_t start = 0; // file offset of the info block
  std::size_t infoSize = 0;
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;

  int rows() const { return height < 0 ? -height : height; }
  bool isRle() const { return compression == BI_RLE8 || compression == BI_RLE4; }
  // Row r of the pixel block is picture row pictureRow(r).
  int pictureRow(std::int64_t fileRow) const {
    return static_cast<int>(height > 0 ? rows() - 1 - fileRow : fileRow);
  }
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// One colour channel of a 16- or 32-bit pixel, as a contiguous bit mask.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;

  // Narrow channels are widened by repeating their bits, so the full value maps to 255.
  std::uint8_t of(std::uint32_t pixel) const {
    if (width == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<std::uint8_t>(value >> (width - 8));
    std::uint32_t widened = 0;
    int filled = 0;
    for (; filled < 8; filled += width)
      widened = (widened << width) | value;
    return static_cast<std::uint8_t>(widened >> (filled - 8));
  }
};

Channel channelOf(std::uint32_t mask) {
  return {mask, std::countr_zero(mask), std::popcount(mask)};
}

bool isContiguous(std::uint32_t mask) {
  return mask == 0 || std::popcount(mask) == 32 - std::countl_zero(mask) - std::countr_zero(mask);
}

struct PixelFormat {
  std::vector<Rgb> colourTable;
  Channel red, green, blue;
};

// The pixel rows of a DIB with the file offset they start at, for error messages.
struct PixelBlock {
  const BinaryCursor& cursor;
  std::span<const std::uint8_t> bytes;
  std::size_t start;
  const std::string& what;

  [[noreturn]] void failAt(std::size_t index, const std::string& reason) const {
    cursor.failAt(start + index, what + ": " + reason);
  }
};

DibHeader readHeader(BinaryCursor& cursor, std::size_t infoSize, const std::string& what) {
  DibHeader h;
  h.start = cursor.offset();
  h.infoSize = infoSize;
  if (infoSize < BitmapInfoHeaderSize)
    cursor.fail(what + ": info block of " + std::to_string(infoSize) + " bytes is shorter than the " +
                std::to_string(BitmapInfoHeaderSize) + "-byte BITMAPINFOHEADER");
  if (infoSize > cursor.remaining())
    cursor.fail(what + ": info block of " + std::to_string(infoSize) + " bytes, " +
                std::to_string(cursor.remaining()) + " left");
  h.headerSize = cursor.readUInt32({what, "biSize"});
  h.width = cursor.readInt32({what, "biWidth"});
  h.height = cursor.readInt32({what, "biHeight"});
  cursor.skip(2, {what, "biPlanes"});
  h.bitCount = cursor.readUInt16({what, "biBitCount"});
  h.compression = cursor.readUInt32({what, "biCompression"});
  cursor.skip(12, {what, "biSizeImage and resolution"});
  h.colorsUsed = cursor.readUInt32({what, "biClrUsed"});
  cursor.skip(4, {what, "biClrImportant"});
  return h;
}

void checkHeader(const BinaryCursor& cursor, const DibHeader& h, const std::string& what) {
  const auto failAt = [&](std::size_t field, const std::string& reason) {
    cursor.failAt(h.start + field, what + ": " + reason);
  };
  if (h.headerSize < BitmapInfoHeaderSize || h.headerSize > h.infoSize)
    failAt(0, "header size " + std::to_string(h.headerSize) + " does not fit an info block of " +
                  std::to_string(h.infoSize) + " bytes");
  if (h.width <= 0) failAt(WidthField, "width " + std::to_string(h.width) + " is not positive");
  if (h.height == 0 || h.height == INT32_MIN)
    failAt(HeightField, "height " + std::to_string(h.height) + " is not a row count");
  const std::uint16_t b = h.bitCount;
  if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32)
    failAt(BitCountField, std::to_string(b) + " bits per pixel is not a DIB format");
  const bool supported = h.compression == BI_RGB || (h.compression == BI_RLE8 && b == 8) ||
                         (h.compression == BI_RLE4 && b == 4) ||
                         (h.compression == BI_BITFIELDS && (b == 16 || b == 32));
  if (!supported)
    failAt(CompressionField, "compression " + std::to_string(h.compression) + " with " + std::to_string(b) +
                                 " bits per pixel is not supported");
  if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.rows()) * 3 > MaxDecodedPictureBytes)
    failAt(WidthField, std::to_string(h.width) + " x " + std::to_string(h.rows()) + " pixels is too large");
}

std::vector<Rgb> readColourTable(BinaryCursor& cursor, const DibHeader& h, const std::string& what) {
  const std::size_t claimed = h.colorsUsed != 0 ? h.colorsUsed : std::size_t{1} << h.bitCount;
  const std::size_t room = h.infoSize - h.headerSize;
  if (claimed > room / 4)
    cursor.failAt(h.start + ColorsUsedField, what + ": colour table of " + std::to_string(claimed) +
                                                 " entries does not fit the " + std::to_string(room) +
                                                 " bytes after the header");
  cursor.seek(h.start + h.headerSize, {what, "colour table"});
  std::vector<Rgb> table(claimed);
  for (Rgb& entry : table) {
    entry.b = cursor.readByte({what, "colour table blue"});
    entry.g = cursor.readByte({what, "colour table green"});
    entry.r = cursor.readByte({what, "colour table red"});
    cursor.skip(1, {what, "colour table reserved byte"});
  }
  return table;
}

// BI_BITFIELDS masks follow a 40-byte header and sit at the same place inside V4/V5 headers.
void readMasks(BinaryCursor& cursor, const DibHeader& h, PixelFormat& format, const std::string& what) {
  if (h.infoSize < MasksField + 12)
    cursor.failAt(h.start + CompressionField,
                  what + ": BI_BITFIELDS needs 12 bytes of masks after the header, the info block has " +
                      std::to_string(h.infoSize) + " bytes");
  cursor.seek(h.start + MasksField, {what, "colour masks"});
  for (Channel* channel : {&format.red, &format.green, &format.blue}) {
    const std::size_t at = cursor.offset();
    const std::uint32_t mask = cursor.readUInt32({what, "colour mask"});
    if (!isContiguous(mask))
      cursor.failAt(at, what + ": colour mask " + std::to_string(mask) + " is not one run of bits");
    *channel = channelOf(mask);
  }
}

PixelFormat readPixelFormat(BinaryCursor& cursor, const DibHeader& h, const std::string& what) {
  PixelFormat format;
  if (h.bitCount <= 8) {
    format.colourTable = readColourTable(cursor, h, what);
  } else if (h.compression == BI_BITFIELDS) {
    readMasks(cursor, h, format, what);
  } else if (h.bitCount == 16) {
    format = {{}, channelOf(0x7C00), channelOf(0x03E0), channelOf(0x001F)};
  } else {
    format = {{}, channelOf(0xFF0000), channelOf(0x00FF00), channelOf(0x0000FF)};
  }
  return format;
}

bool isShownLayout(const QImage& image) {
  return image.format() == QImage::Format_RGB32;
}

void storeColour(std::uint8_t* row, int x, Rgb colour, bool shownLayout) {
  if (shownLayout) {
    reinterpret_cast<QRgb*>(row)[x] = qRgb(colour.r, colour.g, colour.b);
    return;
  }
  std::uint8_t* p = row + 3 * x;
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
}

void putPixel(QImage& image, int x, int y, Rgb colour) {
  storeColour(image.scanLine(y), x, colour, isShownLayout(image));
}

const Rgb& tableColour(const PixelBlock& block, const PixelFormat& format, unsigned index, std::size_t at) {
  if (index >= format.colourTable.size())
    block.failAt(at, "colour index " + std::to_string(index) + " outside the " +
                         std::to_string(format.colourTable.size()) + "-entry colour table");
  return format.colourTable[index];
}

// The usual 24-bit row: blue, green, red to red, green, blue, without a call per pixel.
void swapBlueAndRed(const std::uint8_t* row, std::uint8_t* out, int width) {
  for (int x = 0; x < width; ++x, row += 3, out += 3) {
    out[0] = row[2];
    out[1] = row[1];
    out[2] = row[0];
  }
}

void bgrToRgb32(const std::uint8_t* row, QRgb* out, int width) {
  for (int x = 0; x < width; ++x, row += 3)
    out[x] = 0xFF000000u | std::uint32_t{row[2]} << 16 | std::uint32_t{row[1]} << 8 | row[0];
}

void decodeRow(const PixelBlock& block, std::size_t rowStart, const DibHeader& h, const PixelFormat& format,
               QImage& image, int y) {
  const std::uint8_t* row = block.bytes.data() + rowStart;
  const int bits = h.bitCount;
  std::uint8_t* out = image.scanLine(y);
  const bool shownLayout = isShownLayout(image);
  if (bits == 24 && shownLayout) return bgrToRgb32(row, reinterpret_cast<QRgb*>(out), h.width);
  if (bits == 24) return swapBlueAndRed(row, out, h.width);
  for (int x = 0; x < h.width; ++x) {
    Rgb colour;
    if (bits <= 8) {
      const std::size_t bitOffset = static_cast<std::size_t>(x) * bits;
      const unsigned shift = 8 - bits - bitOffset % 8;
      const unsigned index = (row[bitOffset / 8] >> shift) & ((1u << bits) - 1);
      colour = tableColour(block, format, index, rowStart + bitOffset / 8);
    } else {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
      std::uint32_t pixel = p[0] | (p[1] << 8);
      if (bits == 32) pixel |= (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
      colour = {format.red.of(pixel), format.green.of(pixel), format.blue.of(pixel)};
    }
    storeColour(out, x, colour, shownLayout);
  }
}

QImage allocateImage(const BinaryCursor& cursor, const DibHeader& h, const std::string& what,
                     QImage::Format layout) {
  chargeDecodedPicture(static_cast<std::uint64_t>(h.width), static_cast<std::uint64_t>(h.rows()),
                       cursor.fileName(), h.start + WidthField);
  QImage image(h.width, h.rows(), layout);
  if (image.isNull())
    cursor.failAt(h.start + WidthField, what + ": no memory for " + std::to_string(h.width) + " x " +
                                            std::to_string(h.rows()) + " pixels");
  return image;
}

QImage decodeRows(const PixelBlock& block, const DibHeader& h, const PixelFormat& format,
                  QImage::Format layout) {
  const std::uint64_t stride = (static_cast<std::uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
  if (block.bytes.size() / stride < static_cast<std::uint64_t>(h.rows()))
    block.cursor.failAt(h.start + WidthField,
                        block.what + ": " + std::to_string(h.width) + " x " + std::to_string(h.rows()) +
                            " pixels of " + std::to_string(h.bitCount) + " bits need " +
                            std::to_string(stride * h.rows()) + " bytes, the pixel block holds " +
                            std::to_string(block.bytes.size()));
  QImage image = allocateImage(block.cursor, h, block.what, layout);
  for (int r = 0; r < h.rows(); ++r)
    decodeRow(block, r * stride, h, format, image, h.pictureRow(r));
  return image;
}

// Runs of RLE4/RLE8 pixels: pairs (count, value) and escapes (0, code) for end of line (0),
// end of bitmap (1), delta (2, dx, dy) and absolute runs (3..255 pixels, padded to an even length).
// Without a picture it only checks the data, so that a few bytes claiming a huge picture fail before
// the picture is allocated.
class RleDecoder {
public:
  RleDecoder(const PixelBlock& block, const DibHeader& h, const PixelFormat& format, QImage* image)
      : block_(block), h_(h), format_(format), image_(image) {}

  void run() {
    while (pos_ < block_.bytes.size()) {
      const std::size_t at = pos_;
      const unsigned count = next("run length");
      const unsigned value = next("run value");
      if (count > 0) {
        for (unsigned i = 0; i < count; ++i)
          put(nibbleOrByte(value, i), at);
      } else if (value == 0) {
        x_ = 0;
        ++y_;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        x_ += next("delta right");
        y_ += next("delta up");
      } else {
        absoluteRun(value);
      }
    }
  }

private:
  bool isRle4() const { return h_.compression == BI_RLE4; }

  unsigned nibbleOrByte(unsigned value, unsigned i) const {
    if (!isRle4()) return value;
    return i % 2 == 0 ? value >> 4 : value & 0x0F;
  }

  unsigned next(const char* what) {
    if (pos_ >= block_.bytes.size()) block_.failAt(pos_, std::string("RLE data ends before the ") + what);
    return block_.bytes[pos_++];
  }

  void absoluteRun(unsigned count) {
    const std::size_t length = isRle4() ? (count + 1) / 2 : count;
    const std::size_t padded = length + length % 2;
    if (padded > block_.bytes.size() - pos_)
      block_.failAt(pos_ - 2, "absolute run of " + std::to_string(count) + " pixels needs " +
                                  std::to_string(padded) + " bytes, " +
                                  std::to_string(block_.bytes.size() - pos_) + " left");
    const std::size_t first = pos_;
    for (unsigned i = 0; i < count; ++i) {
      const std::size_t at = first + (isRle4() ? i / 2 : i);
      put(nibbleOrByte(block_.bytes[at], i), at);
    }
    pos_ = first + padded;
  }

  // Some encoders code a row's padding as pixels too: whatever runs past the row's end is dropped,
  // as other decoders do. A row past the last one is damage.
  void put(unsigned index, std::size_t at) {
    if (y_ >= h_.rows())
      block_.failAt(at, "RLE pixels above the last of " + std::to_string(h_.rows()) + " rows");
    if (x_ < h_.width) {
      const Rgb& colour = tableColour(block_, format_, index, at);
      if (image_ != nullptr) putPixel(*image_, static_cast<int>(x_), h_.pictureRow(y_), colour);
    }
    ++x_;
  }

  const PixelBlock& block_;
  const DibHeader& h_;
  const PixelFormat& format_;
  QImage* image_;
  std::size_t pos_ = 0;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

QImage decodeRle(const PixelBlock& block, const DibHeader& h, const PixelFormat& format,
                 QImage::Format layout) {
  RleDecoder(block, h, format, nullptr).run();
  QImage image = allocateImage(block.cursor, h, block.what, layout);
  const Rgb background = format.colourTable.front();
  image.fill(QColor(background.r, background.g, background.b));
  RleDecoder(block, h, format, &image).run();
  return image;
}

void writeInfoHeader(BinaryWriter& w, const QImage& image, int bitsPerPixel, std::uint32_t bitsSize) {
  w.writeUInt32(BitmapInfoHeaderSize);
  w.writeInt32(image.width());
  w.writeInt32(image.height()); // positive: bottom-up rows
  w.writeUInt16(1);             // planes
  w.writeUInt16(static_cast<std::uint16_t>(bitsPerPixel));
  w.writeUInt32(BI_RGB);
  w.writeUInt32(bitsSize);
  w.writeZeros(16); // resolution, colours used and important
}

std::size_t dibStride(int width, int bytesPerPixel) {
  return (static_cast<std::size_t>(width) * bytesPerPixel + 3) / 4 * 4;
}

// One picture row as BI_RGB pixels: blue, green, red, and a zero byte at 32 bits per pixel.
void encodeRow(const QImage& image, int y, int bytesPerPixel, std::uint8_t* out) {
  const std::uint8_t* p = image.constScanLine(y);
  const int width = image.width();
  if (image.format() == QImage::Format_RGB32) {
    const QRgb* pixels = reinterpret_cast<const QRgb*>(p);
    for (int x = 0; x < width; ++x, out += bytesPerPixel) {
      out[0] = static_cast<std::uint8_t>(qBlue(pixels[x]));
      out[1] = static_cast<std::uint8_t>(qGreen(pixels[x]));
      out[2] = static_cast<std::uint8_t>(qRed(pixels[x]));
    }
    return;
  }
  for (int x = 0; x < width; ++x, p += 3, out += bytesPerPixel) {
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
  }
}

// The rows are filled in place in the writer's zeroed bytes, so padding and the fourth byte of a
// 32-bit pixel stay zero.
void appendDib(BinaryWriter& w, const QImage& image, int bitsPerPixel) {
  if (image.isNull()) throw std::invalid_argument("encodeDib: empty picture");
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw std::invalid_argument("encodeDib: " + std::to_string(bitsPerPixel) + " bits per pixel");
  const bool direct = image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32;
  const QImage rows = direct ? image : image.convertToFormat(QImage::Format_RGB888);
  const int bytesPerPixel = bitsPerPixel / 8;
  const std::size_t stride = dibStride(rows.width(), bytesPerPixel);
  writeInfoHeader(w, rows, bitsPerPixel, static_cast<std::uint32_t>(stride * rows.height()));
  const std::size_t start = w.size();
  w.writeZeros(stride * rows.height());
  for (int y = 0; y < rows.height(); ++y)
    encodeRow(rows, y, bytesPerPixel, w.bytes().data() + start + (rows.height() - 1 - y) * stride);
}

} // namespace

QImage readDib(BinaryCursor& cursor, std::size_t infoSize, std::size_t bitsSize, const std::string& what,
               QImage::Format layout) {
  assert(layout == QImage::Format_RGB888 || layout == QImage::Format_RGB32);
  const DibHeader h = readHeader(cursor, infoSize, what);
  checkHeader(cursor, h, what);
  const PixelFormat format = readPixelFormat(cursor, h, what);
  cursor.seek(h.start + infoSize, {what, "pixels"});
  const std::size_t bitsStart = cursor.offset();
  const PixelBlock block{cursor, cursor.readBytes(bitsSize, {what, "pixels"}), bitsStart, what};
  return h.isRle() ? decodeRle(block, h, format, layout) : decodeRows(block, h, format, layout);
}

QImage decodeBmp(std::span<const std::uint8_t> bytes, const std::string& fileName, QImage::Format layout) {
  BinaryCursor cursor(bytes, fileName);
  if (cursor.readUInt16("bitmap file header: bfType") != BitmapFileType)
    cursor.failAt(0, "not a bitmap file: it does not start with \"BM\"");
  cursor.skip(8, "bitmap file header: bfSize and reserved words");
  const std::size_t offBitsField = cursor.offset();
  const std::uint32_t offBits = cursor.readUInt32("bitmap file header: bfOffBits");
  if (offBits < BitmapFileHeaderSize || offBits > bytes.size())
    cursor.failAt(offBitsField, "pixel offset " + std::to_string(offBits) + " lies outside the " +
                                    std::to_string(bytes.size()) + "-byte file");
  return readDib(cursor, offBits - BitmapFileHeaderSize, bytes.size() - offBits, "bitmap", layout);
}

QImage loadBmpFile(const std::string& fileName, QImage::Format layout) {
  const MappedFile file(fileName);
  return decodeBmp(file.bytes(), fileName, layout);
}

std::vector<std::uint8_t> encodeDib(const QImage& image, int bitsPerPixel) {
  BinaryWriter w;
  appendDib(w, image, bitsPerPixel);
  return std::move(w.bytes());
}

std::vector<std::uint8_t> encodeBmp(const QImage& image) {
  const std::size_t dibSize = BitmapInfoHeaderSize + dibStride(image.width(), 3) * image.height();
  BinaryWriter w;
  w.writeUInt16(BitmapFileType);
  w.writeUInt32(static_cast<std::uint32_t>(BitmapFileHeaderSize + dibSize));
  w.writeZeros(4); // reserved
  w.writeUInt32(BitmapFileHeaderSize + BitmapInfoHeaderSize);
  appendDib(w, image, 24);
  return std::move(w.bytes());
}

} // namespace vorlan
