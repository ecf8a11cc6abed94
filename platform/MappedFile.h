#pragma once

#include <QFile>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// The bytes of a whole design file, opened read-only: mapped into memory where the system can map it,
// so that a large file is neither copied nor held twice, else read like readFileBytes. The bytes stay
// valid while the object lives. Failures raise ReadError.
class MappedFile {
public:
  explicit MappedFile(const std::string& fileName);
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const std::uint8_t> bytes() const { return bytes_; }
  // The reader is done with the bytes before `offset`: where the file is mapped, the whole pages
  // before it leave memory, so that a big file is not held whole while the model read from it grows.
  // Bytes read again later come back from the file; a file that was read keeps its bytes.
  void releaseBefore(std::size_t offset) const;

private:
  QFile file_;
  std::vector<std::uint8_t> read_;
  std::span<const std::uint8_t> bytes_;
  bool mapped_ = false;
  mutable std::size_t released_ = 0;
};

} // namespace vorlan
