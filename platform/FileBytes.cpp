#include "platform/FileBytes.h"

#include "platform/ReadError.h"

#include <QFile>
#include <QFileInfo>

namespace vorlan {

std::vector<std::uint8_t> readFileBytes(const std::string& fileName) {
  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::ReadOnly))
    throw ReadError(fileName, 0, "cannot open for reading: " + file.errorString().toStdString());
  const qint64 size = file.size();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  const qint64 got = file.read(reinterpret_cast<char*>(bytes.data()), size);
  if (got != size)
    throw ReadError(fileName, got < 0 ? 0 : static_cast<std::uint64_t>(got),
                    "read error: " + file.errorString().toStdString());
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
