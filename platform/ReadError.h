#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vorlan {

// The one error every reader raises: it names the file, the byte offset and what was being read,
// e.g. "scene.cam: offset 1204: face 3: point record needs 63 bytes, 17 left".
class ReadError : public std::runtime_error {
public:
  ReadError(std::string fileName, std::uint64_t offset, const std::string& reason);

  const std::string& fileName() const { return fileName_; }
  std::uint64_t offset() const { return offset_; }
  const std::string& reason() const { return reason_; }

private:
  std::string fileName_;
  std::uint64_t offset_;
  std::string reason_;
};

} // namespace vorlan
