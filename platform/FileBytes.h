#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Design files are always opened read-only and read whole, so that a write-protected file opens
// like any other and the readers parse bytes instead of a stream. Failures raise ReadError.
std::vector<std::uint8_t> readFileBytes(const std::string& fileName);

// Writes a whole file (pictures, DXF); failures raise ReadError naming the file, offset 0.
void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes);

bool fileExists(const std::string& fileName);

// The file name's extension from its last "." (dot included), ASCII letters upper-cased;
// empty when the name part has no dot.
std::string upperExtension(const std::string& fileName);

} // namespace vorlan
