#include "platform/MappedFile.h"

#include "platform/FileBytes.h"
#include "platform/ReadError.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

namespace vorlan {

// Files that cannot be mapped (empty ones, pipes, some network folders) are read instead.
MappedFile::MappedFile(const std::string& fileName) : file_(QString::fromStdString(fileName)) {
  if (!file_.open(QIODevice::ReadOnly))
    throw ReadError(fileName, 0, "cannot open for reading: " + file_.errorString().toStdString());
  const qint64 size = file_.size();
  if (uchar* mapped = size > 0 && !file_.isSequential() ? file_.map(0, size) : nullptr) {
    // Readers walk a file from start to end once: the system may read ahead and drop behind.
    ::madvise(mapped, static_cast<std::size_t>(size), MADV_SEQUENTIAL);
    bytes_ = {mapped, static_cast<std::size_t>(size)};
    mapped_ = true;
    return;
  }
  file_.close();
  read_ = readFileBytes(fileName);
  bytes_ = read_;
}

// The mapping is read-only and backed by the file, so dropping its pages loses nothing: touching them
// again maps them again from the file (or the page cache).
void MappedFile::releaseBefore(std::size_t offset) const {
  if (!mapped_) return;
  static const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t end = std::min(offset, bytes_.size()) / pageSize * pageSize;
  if (end <= released_) return;
  ::madvise(const_cast<std::uint8_t*>(bytes_.data()) + released_, end - released_, MADV_DONTNEED);
  released_ = end;
}

} // namespace vorlan
