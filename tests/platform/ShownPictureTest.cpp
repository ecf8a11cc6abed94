#include "platform/Dib.h"
#include "platform/Jpeg.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace vorlan {
namespace {

// Twisting rings in every channel, so that a swapped channel or a shifted row shows and no 8 x 8 block
// of the JPEG is flat. The odd width leaves padding at the end of each .bmp row; the height is no
// multiple of the 16 rows a 2 x 2 subsampled JPEG decodes at a time.
QImage rings() {
  QImage image(517, 333, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const double r = std::hypot(x - 250.0, y - 160.0), turn = std::atan2(y - 160.0, x - 250.0) + r / 40;
      image.setPixel(x, y,
                     qRgb(int(127.5 + 127.5 * std::sin(3 * turn)), int(r) % 256, (x * 7 + y * 3) % 256));
    }
  return image;
}

// Byte for byte, so that the fourth byte of a 0xffRRGGBB word counts too.
bool sameBytes(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) return false;
  for (int y = 0; y < a.height(); ++y)
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), a.width() * a.depth() / 8) != 0) return false;
  return true;
}

// The pictures a window shows decode straight into its layout, to the pixels Qt's own readers and the
// 24-bit decode give.
TEST(ShownPicture, MatchesQtsReadersAndTheRowDecode) {
  test::ScratchDir dir;
  const QImage colour = rings();
  const std::string bmp = dir.path("rings.bmp"), jpg = dir.path("rings.jpg"), grey = dir.path("grey.jpg");
  test::writeBytes(bmp, encodeBmp(colour));
  test::writeBytes(jpg, encodeJpeg(colour));
  ASSERT_TRUE(colour.convertToFormat(QImage::Format_Grayscale8).save(QString::fromStdString(grey)));
  using Load = QImage (*)(const std::string&, QImage::Format);
  for (const auto& [file, load] :
       {std::pair<std::string, Load>{bmp, loadBmpFile}, {jpg, loadJpegFile}, {grey, loadJpegFile}}) {
    SCOPED_TRACE(file);
    const QImage shown = load(file, kShownPictureFormat);
    const QImage byQt = QImage(QString::fromStdString(file)).convertToFormat(kShownPictureFormat);
    EXPECT_TRUE(sameBytes(shown, byQt));
    EXPECT_TRUE(sameBytes(shown, load(file, QImage::Format_RGB888).convertToFormat(kShownPictureFormat)));
  }
  EXPECT_TRUE(sameBytes(loadBmpFile(bmp, kShownPictureFormat), colour));
}

} // namespace
} // namespace vorlan
