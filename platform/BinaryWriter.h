#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Appends little-endian records; the counterpart of BinaryCursor for SaveToFile and test fixtures.
class BinaryWriter {
public:
  void writeInt32(std::int32_t value);
  void writeUInt32(std::uint32_t value);
  void writeUInt16(std::uint16_t value);
  void writeDouble(double value);
  void writeByte(std::uint8_t value);
  void writeBool(bool value);
  // At most 255 characters, then NUL bytes up to 256.
  void writeText256(const std::string& text);
  void writeLString(const std::string& text);
  void writeBytes(std::span<const std::uint8_t> bytes);
  void writeZeros(std::size_t count);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

private:
  std::vector<std::uint8_t> bytes_;
};

} // namespace vorlan
