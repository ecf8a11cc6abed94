#pragma once

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/Colors.h"
#include "scene3d/Geometry3D.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace vorlan {

// Where a reader is, as a chain of names on the stack ("entity 2", "face 3", "corner 7"). It becomes
// text only when a read fails, so that reading millions of corners builds no strings.
class ReadPlace {
public:
  explicit ReadPlace(std::string_view root) : root_(root) {}

  // The place of item `index` (counted from 0) inside this one; it refers to this place, so it
  // must not outlive it.
  ReadPlace at(const char* label, std::size_t index) const { return ReadPlace(this, label, index); }

  std::string text() const;
  std::string text(std::string_view field) const;

private:
  ReadPlace(const ReadPlace* parent, const char* label, std::size_t index)
      : parent_(parent), label_(label), index_(index) {}

  const ReadPlace* parent_ = nullptr;
  std::string_view root_;
  const char* label_ = nullptr;
  std::size_t index_ = 0;
};

// The bytes of one fixed-size record, already known to be there: fields decode in file order
// without further checks.
class RecordReader {
public:
  explicit RecordReader(std::span<const std::uint8_t> bytes) : p_(bytes.data()), end_(p_ + bytes.size()) {}

  std::int32_t readInt32() { return take<std::int32_t>(); }
  double readDouble() { return take<double>(); }
  std::uint8_t readByte() { return take<std::uint8_t>(); }
  // One byte; only 1 is true.
  bool readBool() { return readByte() == 1; }
  TColorRGB readRGB();
  TColorRGBA readRGBA();
  // 256 bytes; the characters before the first NUL.
  std::string readText256();
  void skip(std::size_t count);

private:
  template <typename T> T take() {
    T value;
    std::memcpy(&value, advance(sizeof value), sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
      auto* b = reinterpret_cast<std::uint8_t*>(&value);
      for (std::size_t i = 0; i < sizeof value / 2; ++i)
        std::swap(b[i], b[sizeof value - 1 - i]);
    }
    return value;
  }
  const std::uint8_t* advance(std::size_t count);

  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

// Takes the `size` bytes of one record named `field` at `where`, or fails there without taking any.
RecordReader takeRecord(BinaryCursor& F, std::size_t size, const ReadPlace& where, std::string_view field);

// Fails at `countOffset` when `count`, read from there, is negative or more records of at least
// `minRecordSize` bytes than the bytes left can hold.
void checkCount(BinaryCursor& F, std::size_t countOffset, std::int64_t count, std::size_t minRecordSize,
                const ReadPlace& where, std::string_view field);

// Reads an int32 count of records of at least `minRecordSize` bytes. A negative count, or one that the
// bytes left cannot hold, fails at the count's offset, so no count sizes anything before its bytes
// are known to exist.
std::size_t takeCount(BinaryCursor& F, std::size_t minRecordSize, const ReadPlace& where,
                      std::string_view field);

// A point or direction as three doubles X, Y, Z, as every 3D record stores one.
inline Vector3D readVector(RecordReader& r) {
  Vector3D v;
  v.x = r.readDouble();
  v.y = r.readDouble();
  v.z = r.readDouble();
  return v;
}

inline void writeVector(BinaryWriter& F, const Vector3D& v) {
  F.writeDouble(v.x);
  F.writeDouble(v.y);
  F.writeDouble(v.z);
}

} // namespace vorlan
