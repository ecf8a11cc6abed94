#include "platform/MappedFile.h"

#include "platform/FileBytes.h"
#include "platform/ReadError.h"

#include <sys/mman.h>

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
    return;
  }
  file_.close();
  read_ = readFileBytes(fileName);
  bytes_ = read_;
}

} // namespace vorlan
