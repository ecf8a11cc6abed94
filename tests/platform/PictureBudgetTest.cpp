#include "platform/PictureBudget.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/ReadError.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

QImage grey(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB888);
  picture.fill(QColor(90, 90, 90));
  return picture;
}

// Each picture passes its own cap, but a document of many adds up: the codecs charge one shared
// budget, and the picture that would exceed it fails with a clear message.
TEST(PictureBudget, PicturesOfOneDocumentShareOneBudget) {
  const std::vector<std::uint8_t> jpeg = encodeJpeg(grey(100, 50));
  const std::vector<std::uint8_t> bmp = encodeBmp(grey(100, 50));
  PictureBudget budget(3 * 100 * 50 * 3);
  {
    const PictureBudgetScope scope(budget);
    decodeJpeg(jpeg, "a.x3d");
    decodeBmp(bmp, "a.x3d");
    decodeJpegForResample(jpeg, "a.x3d", 7, 256);
    try {
      decodeBmp(bmp, "a.x3d");
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_NE(std::string(e.what()).find("the pictures of this document need more than"), std::string::npos)
          << e.what();
    }
    try {
      decodeJpeg(jpeg, "a.x3d", 7);
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.offset(), 7u);
    }
  }
  // Outside the scope the next document starts afresh.
  EXPECT_EQ(decodeJpeg(jpeg, "b.x3d").size(), QSize(100, 50));
}

} // namespace
} // namespace vorlan
