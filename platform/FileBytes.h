#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Design files are always opened read-only and read whole, so that a write-protected file opens
// like any other and the readers parse bytes instead of a stream. Failures raise ReadError.
std::vector<std::uint8_t> readFileBytes(const std::string& fileName);

// A file that another file names (a texture): only a regular file is read, never a device, a FIFO or a
// socket, and only when the size it reports before the read is at most `maxBytes`; no more than that
// size is read, so a file that grows or streams cannot make the reader run on.
std::vector<std::uint8_t> readRegularFileBytes(const std::string& fileName, std::uint64_t maxBytes);

// Writes a whole file (pictures, DXF) through a temporary file in the same folder that replaces the
// target only once complete: a failed save leaves an existing file as it was and no partial file
// behind. Failures raise ReadError naming the file, offset 0, with the system's reason.
void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes);

bool fileExists(const std::string& fileName);

// The file name's extension from its last "." (dot included), ASCII letters upper-cased;
// empty when the name part has no dot.
std::string upperExtension(const std::string& fileName);

} // namespace vorlan
