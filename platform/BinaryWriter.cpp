#include "platform/BinaryWriter.h"

#include <algorithm>
#include <cstring>

namespace vorlan {

namespace {
template <typename T> void append(std::vector<std::uint8_t>& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(T));
    out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
}
} // namespace

void BinaryWriter::writeInt32(std::int32_t value) { append(bytes_, value); }
void BinaryWriter::writeUInt32(std::uint32_t value) { append(bytes_, value); }
void BinaryWriter::writeUInt16(std::uint16_t value) { append(bytes_, value); }
void BinaryWriter::writeDouble(double value) { append(bytes_, value); }
void BinaryWriter::writeByte(std::uint8_t value) { bytes_.push_back(value); }
void BinaryWriter::writeBool(bool value) { bytes_.push_back(value ? 1 : 0); }

void BinaryWriter::writeText256(const std::string& text) {
  const std::size_t n = std::min<std::size_t>(text.size(), 255);
  bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
  writeZeros(256 - n);
}

void BinaryWriter::writeLString(const std::string& text) {
  writeInt32(static_cast<std::int32_t>(text.size() + 1));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  writeByte(0);
}

void BinaryWriter::writeBytes(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void BinaryWriter::writeZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

} // namespace vorlan
