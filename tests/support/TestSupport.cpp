#include "TestSupport.h"

#include "platform/FileBytes.h"

namespace vorlan::test {

std::string ScratchDir::path(const std::string& name) const {
  return dir_.filePath(QString::fromStdString(name)).toStdString();
}

void writeBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  writeFileBytes(fileName, bytes);
}

std::uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

} // namespace vorlan::test
