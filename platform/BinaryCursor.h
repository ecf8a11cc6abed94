#pragma once

#include "platform/ReadError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Reads little-endian records from bytes already in memory. It knows the file's name and its own
// offset, so every failure is a ReadError that says where it happened and what was being read.
// The `what` arguments name the record and field, e.g. "entity 2: face count".
class BinaryCursor {
public:
  BinaryCursor(std::span<const std::uint8_t> bytes, std::string fileName);

  const std::string& fileName() const { return fileName_; }
  std::size_t offset() const { return offset_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - offset_; }
  bool atEnd() const { return offset_ == bytes_.size(); }

  std::int32_t readInt32(const std::string& what);
  std::uint32_t readUInt32(const std::string& what);
  std::uint16_t readUInt16(const std::string& what);
  double readDouble(const std::string& what);
  std::uint8_t readByte(const std::string& what);
  // One byte; 1 is true and any other value false.
  bool readBool(const std::string& what);
  // 256 bytes; the characters before the first NUL (all 256 when there is none).
  std::string readText256(const std::string& what);
  // int32 n = character count + 1, then n bytes ending with a NUL.
  std::string readLString(const std::string& what);
  std::span<const std::uint8_t> readBytes(std::size_t count, const std::string& what);
  void skip(std::size_t count, const std::string& what);
  void seek(std::size_t offset, const std::string& what);

  // A count from a file is a claim: it is accepted only when `count` records of at least
  // `minRecordSize` bytes can still follow, so it may safely size an allocation.
  std::size_t readCount(std::size_t minRecordSize, const std::string& what);
  std::size_t checkCount(std::int64_t count, std::size_t minRecordSize, const std::string& what) const;

  [[noreturn]] void fail(const std::string& reason) const;
  [[noreturn]] void failAt(std::size_t offset, const std::string& reason) const;

private:
  const std::uint8_t* take(std::size_t count, const std::string& what);

  std::span<const std::uint8_t> bytes_;
  std::string fileName_;
  std::size_t offset_ = 0;
};

} // namespace vorlan
