#include "platform/FileBytes.h"

#include "platform/ReadError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

std::vector<std::uint8_t> readFileBytes(const std::string& fileName) {
  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::ReadOnly))
    throw ReadError(fileName, 0, "cannot open for reading: " + file.errorString().toStdString());
  // Read to the end rather than trusting size(): some files do not know theirs in advance.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)));
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(std::max<std::size_t>(bytes.size() * 2, 4096));
    const qint64 got =
        file.read(reinterpret_cast<char*>(bytes.data() + filled), static_cast<qint64>(bytes.size() - filled));
    if (got < 0) throw ReadError(fileName, filled, "read error: " + file.errorString().toStdString());
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

namespace {

// The system's reason in English whatever the user's locale, like the program's other messages.
std::string systemReason(int error) {
  const char* text = strerrordesc_np(error);
  return text != nullptr ? text : "error " + std::to_string(error);
}

// Closes the descriptor whatever leaves the scope.
struct Descriptor {
  explicit Descriptor(int fd) : fd(fd) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd;
};

} // namespace

std::vector<std::uint8_t> readRegularFileBytes(const std::string& fileName, std::uint64_t maxBytes) {
  // Non-blocking, so that opening a FIFO does not wait for a writer before the type check below.
  const Descriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.fd < 0) throw ReadError(fileName, 0, "cannot open for reading: " + systemReason(errno));
  struct stat info {};
  if (::fstat(file.fd, &info) != 0)
    throw ReadError(fileName, 0, "cannot read its size: " + systemReason(errno));
  if (!S_ISREG(info.st_mode)) throw ReadError(fileName, 0, "not a regular file");
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > maxBytes)
    throw ReadError(fileName, 0,
                    std::to_string(size) + " bytes is more than the " + std::to_string(maxBytes) +
                        " allowed");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(file.fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ReadError(fileName, filled, "read error: " + systemReason(errno));
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes) {
  QSaveFile file(QString::fromStdString(fileName));
  const auto fail = [&](const char* doing) {
    // errno still holds the failing call's reason; Qt's own text is translated, or "Unknown error"
    // for some failures.
    const int error = errno;
    const std::string reason = error != 0 ? systemReason(error) : file.errorString().toStdString();
    file.cancelWriting();
    throw ReadError(fileName, 0, std::string(doing) + ": " + reason);
  };
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) fail("cannot open for writing");
  const auto size = static_cast<qint64>(bytes.size());
  errno = 0;
  if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) fail("write error");
  errno = 0;
  if (!file.commit()) fail("write error");
}

bool fileExists(const std::string& fileName) {
  const QFileInfo info(QString::fromStdString(fileName));
  return info.exists() && info.isFile();
}

std::string upperExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return {};
  std::string ext = fileName.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return ext;
}

} // namespace vorlan
