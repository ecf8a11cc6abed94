#pragma once

#include "platform/ReadError.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// What a read is for, e.g. "entity 2: face count". It only refers to its parts and joins them when a
// read fails, so a read that succeeds builds no text. Pass it straight to a read, or keep it no
// longer than the texts and place it was made from.
class ReadWhat {
public:
  ReadWhat(const char* text) : field_(text) {}
  ReadWhat(const std::string& text) : field_(text) {}
  ReadWhat(std::string_view text) : field_(text) {}
  ReadWhat(const ReadPlace& place, std::string_view field) : place_(&place), field_(field) {}
  ReadWhat(std::string_view context, std::string_view field) : context_(context), field_(field) {}

  // The same field with `suffix` after it, e.g. " length".
  ReadWhat followedBy(std::string_view suffix) const;
  std::string text() const;

private:
  const ReadPlace* place_ = nullptr;
  std::string_view context_;
  std::string_view field_;
  std::string_view suffix_;
};

class MappedFile;

// Reads little-endian records from bytes already in memory. It knows the file's name and its own
// offset, so every failure is a ReadError that says where it happened and what was being read.
class BinaryCursor {
public:
  BinaryCursor(std::span<const std::uint8_t> bytes, std::string fileName);
  // Over the bytes of `file`, which must outlive the cursor; see releasePassed.
  BinaryCursor(const MappedFile& file, std::string fileName);
  BinaryCursor(const MappedFile&& file, std::string fileName) = delete;

  const std::string& fileName() const { return fileName_; }
  std::size_t offset() const { return offset_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - offset_; }
  bool atEnd() const { return offset_ == bytes_.size(); }

  // The fixed-size reads are inline: a reader of millions of corners spends its time in them.
  std::int32_t readInt32(const ReadWhat& what) { return decode<std::int32_t>(take(4, what)); }
  std::uint32_t readUInt32(const ReadWhat& what) { return decode<std::uint32_t>(take(4, what)); }
  std::uint16_t readUInt16(const ReadWhat& what) { return decode<std::uint16_t>(take(2, what)); }
  double readDouble(const ReadWhat& what) { return decode<double>(take(8, what)); }
  std::uint8_t readByte(const ReadWhat& what) { return *take(1, what); }
  // One byte; 1 is true and any other value false.
  bool readBool(const ReadWhat& what) { return readByte(what) == 1; }
  // 256 bytes; the characters before the first NUL (all 256 when there is none).
  std::string readText256(const ReadWhat& what);
  // int32 n = character count + 1, then n bytes ending with a NUL.
  std::string readLString(const ReadWhat& what);
  std::span<const std::uint8_t> readBytes(std::size_t count, const ReadWhat& what);
  void skip(std::size_t count, const ReadWhat& what);
  void seek(std::size_t offset, const ReadWhat& what);
  // Fails here, taking nothing, unless `count` more bytes follow: a fixed-size record is checked
  // whole, so a cut record is reported at its start.
  void require(std::size_t count, const ReadWhat& what) const {
    if (count > remaining()) [[unlikely]]
      failShort(count, what);
  }

  // A count from a file is a claim: it is accepted only when `count` records of at least
  // `minRecordSize` bytes can still follow, so it may safely size an allocation. A refused count
  // fails at its own offset.
  std::size_t readCount(std::size_t minRecordSize, const ReadWhat& what);
  std::size_t checkCount(std::int64_t count, std::size_t minRecordSize, const ReadWhat& what) const;
  // The same check for a count read earlier at `countOffset`.
  std::size_t checkCountAt(std::size_t countOffset, std::int64_t count, std::size_t minRecordSize,
                           const ReadWhat& what) const;

  // Called by a reader at a point it never reads back from, e.g. after each face: over a mapped file,
  // the pages before the offset leave memory every few megabytes. Reading them again stays correct.
  void releasePassed() {
    if (mapping_ && offset_ >= released_ + kReleaseStep) releaseMapped();
  }

  [[noreturn]] void fail(const std::string& reason) const;
  [[noreturn]] void failAt(std::size_t offset, const std::string& reason) const;

private:
  const std::uint8_t* take(std::size_t count, const ReadWhat& what) {
    require(count, what);
    const std::uint8_t* p = bytes_.data() + offset_;
    offset_ += count;
    return p;
  }
  template <typename T> static T decode(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
      auto* b = reinterpret_cast<std::uint8_t*>(&value);
      std::reverse(b, b + sizeof value);
    }
    return value;
  }
  [[noreturn]] void failShort(std::size_t count, const ReadWhat& what) const;
  void releaseMapped();

  // Large enough that releasing costs nothing next to reading, small next to a big file.
  static constexpr std::size_t kReleaseStep = std::size_t{8} << 20;

  std::span<const std::uint8_t> bytes_;
  std::string fileName_;
  std::size_t offset_ = 0;
  const MappedFile* mapping_ = nullptr;
  std::size_t released_ = 0;
};

} // namespace vorlan
