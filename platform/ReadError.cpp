#include "platform/ReadError.h"

namespace vorlan {

namespace {
std::string describe(const std::string& fileName, std::uint64_t offset, const std::string& reason) {
  return fileName + ": offset " + std::to_string(offset) + ": " + reason;
}
} // namespace

ReadError::ReadError(std::string fileName, std::uint64_t offset, const std::string& reason)
    : std::runtime_error(describe(fileName, offset, reason)), fileName_(std::move(fileName)),
      offset_(offset), reason_(reason) {}

} // namespace vorlan
