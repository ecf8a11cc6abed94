#include "scene3d/RecordReading.h"

#include <cassert>

namespace vorlan {

namespace {
// Only reached after takeRecord checked the length, so this message never reaches a user.
const std::string kCheckedRecord = "checked record";
} // namespace

std::string ReadPlace::text() const {
  if (!parent_) return std::string(root_);
  return parent_->text() + ": " + label_ + " " + std::to_string(index_);
}

std::string ReadPlace::text(std::string_view field) const {
  return text() + ": " + std::string(field);
}

TColorRGB RecordReader::readRGB() {
  TColorRGB c;
  c.R = readByte();
  c.G = readByte();
  c.B = readByte();
  return c;
}

TColorRGBA RecordReader::readRGBA() {
  TColorRGBA c;
  c.R = readByte();
  c.G = readByte();
  c.B = readByte();
  c.A = readByte();
  return c;
}

std::string RecordReader::readText256() {
  const auto* p = reinterpret_cast<const char*>(advance(256));
  return std::string(p, strnlen(p, 256));
}

void RecordReader::skip(std::size_t count) {
  advance(count);
}

const std::uint8_t* RecordReader::advance(std::size_t count) {
  assert(static_cast<std::size_t>(end_ - p_) >= count && "record layout longer than the bytes taken");
  const std::uint8_t* p = p_;
  p_ += count;
  return p;
}

RecordReader takeRecord(BinaryCursor& F, std::size_t size, const ReadPlace& where, std::string_view field) {
  if (F.remaining() < size)
    F.fail("read beyond end of file: " + where.text(field) + " needs " + std::to_string(size) + " bytes, " +
           std::to_string(F.remaining()) + " left");
  return RecordReader(F.readBytes(size, kCheckedRecord));
}

void checkCount(BinaryCursor& F, std::size_t countOffset, std::int64_t count, std::size_t minRecordSize,
                const ReadPlace& where, std::string_view field) {
  if (count < 0) F.failAt(countOffset, where.text(field) + " is negative (" + std::to_string(count) + ")");
  // Written as a division so that a huge count cannot overflow the product.
  if (minRecordSize > 0 && static_cast<std::uint64_t>(count) > F.remaining() / minRecordSize)
    F.failAt(countOffset, where.text(field) + " of " + std::to_string(count) + " records of at least " +
                              std::to_string(minRecordSize) + " bytes does not fit in the " +
                              std::to_string(F.remaining()) + " bytes left");
}

std::size_t takeCount(BinaryCursor& F, std::size_t minRecordSize, const ReadPlace& where,
                      std::string_view field) {
  const std::size_t start = F.offset();
  const std::int32_t count = takeRecord(F, 4, where, field).readInt32();
  checkCount(F, start, count, minRecordSize, where, field);
  return static_cast<std::size_t>(count);
}

} // namespace vorlan
