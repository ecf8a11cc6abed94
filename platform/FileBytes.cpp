#include "platform/FileBytes.h"

#include "platform/ReadError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes) {
  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw ReadError(fileName, 0, "cannot open for writing: " + file.errorString().toStdString());
  const auto size = static_cast<qint64>(bytes.size());
  if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush())
    throw ReadError(fileName, 0, "write error: " + file.errorString().toStdString());
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
