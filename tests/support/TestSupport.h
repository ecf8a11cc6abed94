#pragma once

#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan::test {

// A folder of its own for each test that writes files; removed with the object.
class ScratchDir {
public:
  std::string path(const std::string& name) const;

private:
  QTemporaryDir dir_;
};

void writeBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

// The pixel as 0xRRGGBB, whatever the image's format.
std::uint32_t rgbAt(const QImage& image, int x, int y);

} // namespace vorlan::test
