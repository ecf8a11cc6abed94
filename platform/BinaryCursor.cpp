#include "platform/BinaryCursor.h"

#include "platform/MappedFile.h"

#include <cstring>

namespace vorlan {

std::string ReadPlace::text() const {
  if (!parent_) return std::string(root_);
  return parent_->text() + ": " + label_ + " " + std::to_string(index_);
}

std::string ReadPlace::text(std::string_view field) const {
  return text() + ": " + std::string(field);
}

ReadWhat ReadWhat::followedBy(std::string_view suffix) const {
  ReadWhat longer = *this;
  longer.suffix_ = suffix;
  return longer;
}

std::string ReadWhat::text() const {
  std::string joined = place_ ? place_->text() : std::string(context_);
  if (!joined.empty()) joined += ": ";
  joined += field_;
  joined += suffix_;
  return joined;
}

BinaryCursor::BinaryCursor(std::span<const std::uint8_t> bytes, std::string fileName)
    : bytes_(bytes), fileName_(std::move(fileName)) {}

BinaryCursor::BinaryCursor(const MappedFile& file, std::string fileName)
    : bytes_(file.bytes()), fileName_(std::move(fileName)), mapping_(&file) {}

void BinaryCursor::releaseMapped() {
  mapping_->releaseBefore(offset_);
  released_ = offset_;
}

void BinaryCursor::failShort(std::size_t count, const ReadWhat& what) const {
  fail("read beyond end of file: " + what.text() + " needs " + std::to_string(count) + " bytes, " +
       std::to_string(remaining()) + " left");
}

std::string BinaryCursor::readText256(const ReadWhat& what) {
  const auto* p = reinterpret_cast<const char*>(take(256, what));
  return std::string(p, strnlen(p, 256));
}

std::string BinaryCursor::readLString(const ReadWhat& what) {
  const std::size_t start = offset_;
  const std::int32_t n = readInt32(what.followedBy(" length"));
  if (n < 1)
    failAt(start, what.text() + ": length " + std::to_string(n) + " leaves no room for the terminating NUL");
  const auto* p = reinterpret_cast<const char*>(take(static_cast<std::size_t>(n), what));
  return std::string(p, strnlen(p, static_cast<std::size_t>(n)));
}

std::span<const std::uint8_t> BinaryCursor::readBytes(std::size_t count, const ReadWhat& what) {
  return {take(count, what), count};
}

void BinaryCursor::skip(std::size_t count, const ReadWhat& what) {
  take(count, what);
}

void BinaryCursor::seek(std::size_t offset, const ReadWhat& what) {
  if (offset > bytes_.size())
    fail("seek beyond end of file: " + what.text() + " at " + std::to_string(offset) + " of " +
         std::to_string(bytes_.size()) + " bytes");
  offset_ = offset;
}

std::size_t BinaryCursor::readCount(std::size_t minRecordSize, const ReadWhat& what) {
  const std::size_t start = offset_;
  const std::int32_t count = readInt32(what);
  return checkCountAt(start, count, minRecordSize, what);
}

std::size_t BinaryCursor::checkCount(std::int64_t count, std::size_t minRecordSize,
                                     const ReadWhat& what) const {
  return checkCountAt(offset_, count, minRecordSize, what);
}

std::size_t BinaryCursor::checkCountAt(std::size_t countOffset, std::int64_t count, std::size_t minRecordSize,
                                       const ReadWhat& what) const {
  if (count < 0) failAt(countOffset, what.text() + " is negative (" + std::to_string(count) + ")");
  // Written as a division so that a huge count cannot overflow the product.
  if (minRecordSize > 0 && static_cast<std::uint64_t>(count) > remaining() / minRecordSize)
    failAt(countOffset, what.text() + " of " + std::to_string(count) + " records of at least " +
                            std::to_string(minRecordSize) + " bytes does not fit in the " +
                            std::to_string(remaining()) + " bytes left");
  return static_cast<std::size_t>(count);
}

void BinaryCursor::fail(const std::string& reason) const {
  failAt(offset_, reason);
}

void BinaryCursor::failAt(std::size_t offset, const std::string& reason) const {
  throw ReadError(fileName_, offset, reason);
}

} // namespace vorlan
