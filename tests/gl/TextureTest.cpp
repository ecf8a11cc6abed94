#include "gl/KX_OpenGL_TEXTURE.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlan {
namespace {

TRGBA pixelAt(const TGL_IMAGE& image, int x, int y) {
  const std::uint8_t* p = image.PixelAddress(x, y);
  return {p[0], p[1], p[2], p[3]};
}

TEST(TGL_TEXTURE, SizesRoundUpToPowersOfTwoWhereImagesKeepThem) {
  for (const auto& [in, stored] : {std::pair{0, 1}, {3, 4}, {256, 256}, {257, 512}, {-3, 1}}) {
    SCOPED_TRACE(in);
    TGL_IMAGE image;
    image.SetWidth(in + 300);
    image.SetHeight(in + 3);
    EXPECT_EQ(image.Count(), (in + 300) * (in + 3));
    TGL_TEXTURE texture;
    texture.Fill(in, in, 1, 2, 3, 4);
    EXPECT_EQ(std::pair(texture.Width(), texture.Height()), std::pair(stored, stored));
    ASSERT_EQ(texture.Count(), stored * stored);
    EXPECT_EQ(pixelAt(texture, stored - 1, stored - 1), (TRGBA{1, 2, 3, 4})) << "Fill reaches every pixel";
  }
}

TEST(TGL_IMAGE, NewWidthReLaysEachRow) {
  for (const int newWidth : {2, 5}) {
    SCOPED_TRACE(newWidth);
    TGL_IMAGE image;
    image.SetWidth(3);
    image.SetHeight(2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        image.SetPixel(x, y, {static_cast<std::uint8_t>(10 * y + x), 0, 0, 255});
    image.SetWidth(newWidth);
    ASSERT_EQ(image.Count(), 2 * newWidth);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < newWidth; ++x) {
        const TRGBA expected = x < 3 ? TRGBA{static_cast<std::uint8_t>(10 * y + x), 0, 0, 255} : TRGBA{};
        EXPECT_EQ(pixelAt(image, x, y), expected) << x << ", " << y;
      }
  }
}

QImage threeRows() {
  QImage bitmap(2, 3, QImage::Format_RGB32);
  for (int i = 0; QRgb rgb : {0xFF0000, 0x00FF00, 0x010203, 0x040506, 0x0000FF, 0x090909})
    bitmap.setPixel(i % 2, i / 2, rgb), ++i;
  return bitmap;
}

TEST(TGL_IMAGE, LoadFromBitmapPutsTheTopRowLastAndAlphaIsTheGreyOfTheMask) {
  TGL_IMAGE image;
  image.LoadFromBitmap(threeRows());
  ASSERT_EQ(std::pair(image.Width(), image.Height()), std::pair(2, 3));
  EXPECT_EQ(std::tuple(pixelAt(image, 1, 2), pixelAt(image, 0, 1), pixelAt(image, 0, 0)),
            std::tuple(TRGBA{0, 255, 0, 255}, TRGBA{1, 2, 3, 255}, TRGBA{0, 0, 255, 255}));
  QImage mask(2, 3, QImage::Format_RGB32);
  mask.fill(qRgb(0, 0, 0));
  mask.setPixel(0, 0, qRgb(30, 60, 91));
  mask.setPixel(1, 2, qRgb(255, 255, 254));
  image.SetAlphaFromBitmap(mask);
  EXPECT_EQ(std::tuple(pixelAt(image, 0, 2), pixelAt(image, 1, 0), pixelAt(image, 0, 1).A),
            std::tuple(TRGBA{255, 0, 0, 60}, TRGBA{9, 9, 9, 254}, 0))
      << "(30 + 60 + 91) div 3, colour kept";

  TGL_TEXTURE texture;
  texture.LoadFromBitmap(threeRows());
  ASSERT_EQ(std::pair(texture.Width(), texture.Height()), std::pair(2, 4)) << "stretched to powers of two";
  EXPECT_EQ(std::pair(pixelAt(texture, 0, 3), pixelAt(texture, 0, 0)),
            std::pair(TRGBA{255, 0, 0, 255}, TRGBA{0, 0, 255, 255}));
  QImage wide(300, 200, QImage::Format_RGB32);
  wide.fill(qRgb(10, 20, 30));
  texture.LoadFromBitmap(wide);
  EXPECT_EQ(std::pair(texture.Width(), texture.Height()), std::pair(512, 256));
  EXPECT_EQ(pixelAt(texture, 511, 255), (TRGBA{10, 20, 30, 255}));
}

TEST(TGL_TEXTURE, RadialAlphaIsZeroOutsideTheInscribedCircleAndRampsToTheCentre) {
  for (const auto& [width, height, outsideX, outsideY] : {std::tuple{256, 256, 10, 10}, {128, 64, 100, 32}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    TGL_TEXTURE texture;
    texture.Fill(width, height, 255, 255, 255, 255);
    texture.MakeRadialAlpha();
    const int cx = width / 2, cy = height / 2, r = std::min(cx, cy);
    EXPECT_EQ(pixelAt(texture, outsideX, outsideY).A, 0) << "beyond the inscribed circle";
    EXPECT_GE(pixelAt(texture, cx, cy).A, 240) << "centre";
    EXPECT_NEAR(pixelAt(texture, cx + r / 2, cy).A, 128, 6) << "half way out";
    int previous = 256;
    for (int x = cx; x < cx + r; ++x) {
      const int alpha = pixelAt(texture, x, cy).A;
      EXPECT_LE(alpha, previous) << "alpha falls outwards, at x = " << x;
      previous = alpha;
    }
  }
}

TEST(TGL_TEXTURE, MakePerlinDrawsOpaqueGreyNoiseBottomUpClampingDeepNoiseToBlack) {
  TGL_TEXTURE texture;
  texture.MakePerlin(100, 20, 0.01, 0.7, 6, 0);
  ASSERT_EQ(std::pair(texture.Width(), texture.Height()), std::pair(128, 32));
  for (const auto& [x, y] : {std::pair{0, 0}, {10, 20}, {127, 31}}) {
    const double v = PerlinNoise(x * 0.01, y * 0.01, 0.7, 6, 1);
    const auto g = static_cast<std::uint8_t>(Round((v + 1) * 127));
    EXPECT_EQ(pixelAt(texture, x, 31 - y), (TRGBA{g, g, g, 255})) << x << ", " << y;
  }
  // Persistence 1 over 7 octaves reaches far below -1; such pixels are black, never wrapped to grey.
  texture.MakePerlin(64, 64, 0.37, 1.0, 6, 0);
  int deepPixels = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      if (PerlinNoise(x * 0.37, y * 0.37, 1.0, 6, 1) > -1.01) continue;
      ++deepPixels;
      EXPECT_EQ(pixelAt(texture, x, 63 - y).R, 0) << x << ", " << y;
    }
  EXPECT_GT(deepPixels, 10) << "the case must reach below -1 to test anything";
}

} // namespace
} // namespace vorlan
