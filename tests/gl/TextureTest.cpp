#include "gl/KX_OpenGL_TEXTURE.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlan {
namespace {

TRGBA pixelAt(const TGL_IMAGE& image, int x, int y) {
  const std::uint8_t* p = image.PixelAddress(x, y);
  return {p[0], p[1], p[2], p[3]};
}

TEST(TGL_Array, PutPastTheEndGrowsAndSetCountKeepsThePrefix) {
  TGL_Array array;
  EXPECT_EQ(array.Count(), 0);
  EXPECT_EQ(array.ElementSize(), 1);
  const std::uint8_t seven = 7;
  array.Put(3, &seven);
  ASSERT_EQ(array.Count(), 4);
  EXPECT_EQ(array.Data()[3], 7);
  EXPECT_EQ(array.Data()[0], 0);
  array.SetCount(10);
  EXPECT_EQ(array.Data()[3], 7);
  array.SetCount(2);
  array.SetCount(4);
  EXPECT_EQ(array.Data()[3], 0) << "elements cut off do not come back";
}

TEST(TGL_TEXTURE, SizesRoundUpToPowersOfTwoWhereImagesKeepThem) {
  struct Case {
    int in, stored;
  };
  for (const auto [in, stored] : {Case{0, 1}, {1, 1}, {3, 4}, {255, 256}, {256, 256}, {257, 512}, {-3, 1}}) {
    SCOPED_TRACE(in);
    TGL_IMAGE image;
    image.SetWidth(in + 300);
    image.SetHeight(in + 3);
    EXPECT_EQ(image.Count(), (in + 300) * (in + 3));
    TGL_TEXTURE texture;
    texture.SetWidth(in);
    texture.SetHeight(in);
    EXPECT_EQ(texture.Width(), stored);
    EXPECT_EQ(texture.Height(), stored);
    EXPECT_EQ(texture.Count(), stored * stored);
  }
}

TEST(TGL_IMAGE, NewWidthReLaysEachRow) {
  for (const int newWidth : {2, 3, 5}) {
    SCOPED_TRACE(newWidth);
    TGL_IMAGE image;
    image.SetWidth(3);
    image.SetHeight(2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        image.SetPixel(x, y, {static_cast<std::uint8_t>(10 * y + x), 0, 0, 255});
    image.SetWidth(newWidth);
    ASSERT_EQ(image.Count(), 2 * newWidth);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < newWidth; ++x) {
        SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
        const TRGBA expected = x < 3 ? TRGBA{static_cast<std::uint8_t>(10 * y + x), 0, 0, 255} : TRGBA{};
        EXPECT_EQ(pixelAt(image, x, y), expected);
      }
    }
  }
}

TEST(TGL_IMAGE, ColorToRGBASplitsTheColourValue) {
  struct Case {
    TColor colour;
    std::uint8_t alpha;
    TRGBA expected;
  };
  const Case cases[] = {{0x0000FF, 255, {255, 0, 0, 255}},
                        {0x804000, 7, {0, 64, 128, 7}},
                        {0xFFFFFF, 0, {255, 255, 255, 0}},
                        {0x7F123456, 1, {0x56, 0x34, 0x12, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour);
    EXPECT_EQ(TGL_IMAGE::ColorToRGBA(c.colour, c.alpha), c.expected);
  }
}

QImage threeRows() {
  QImage bitmap(2, 3, QImage::Format_RGB32);
  bitmap.setPixel(0, 0, qRgb(255, 0, 0));
  bitmap.setPixel(1, 0, qRgb(0, 255, 0));
  bitmap.setPixel(0, 1, qRgb(1, 2, 3));
  bitmap.setPixel(1, 1, qRgb(4, 5, 6));
  bitmap.setPixel(0, 2, qRgb(0, 0, 255));
  bitmap.setPixel(1, 2, qRgb(9, 9, 9));
  return bitmap;
}

TEST(TGL_IMAGE, LoadFromBitmapPutsTheTopRowLast) {
  TGL_IMAGE image;
  image.LoadFromBitmap(threeRows());
  ASSERT_EQ(image.Width(), 2);
  ASSERT_EQ(image.Height(), 3);
  struct Case {
    int x, y;
    TRGBA expected;
  };
  for (const auto [x, y, expected] : {Case{0, 2, {255, 0, 0, 255}},
                                      {1, 2, {0, 255, 0, 255}},
                                      {0, 1, {1, 2, 3, 255}},
                                      {0, 0, {0, 0, 255, 255}},
                                      {1, 0, {9, 9, 9, 255}}}) {
    SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
    EXPECT_EQ(pixelAt(image, x, y), expected);
  }
}

TEST(TGL_TEXTURE, LoadFromBitmapStretchesToPowersOfTwo) {
  TGL_TEXTURE texture;
  texture.LoadFromBitmap(threeRows());
  ASSERT_EQ(texture.Width(), 2);
  ASSERT_EQ(texture.Height(), 4);
  EXPECT_EQ(pixelAt(texture, 0, 3), (TRGBA{255, 0, 0, 255})) << "top row of the picture";
  EXPECT_EQ(pixelAt(texture, 0, 0), (TRGBA{0, 0, 255, 255})) << "bottom row of the picture";

  QImage wide(300, 200, QImage::Format_RGB32);
  wide.fill(qRgb(10, 20, 30));
  texture.LoadFromBitmap(wide);
  EXPECT_EQ(texture.Width(), 512);
  EXPECT_EQ(texture.Height(), 256);
  EXPECT_EQ(pixelAt(texture, 511, 255), (TRGBA{10, 20, 30, 255}));
}

TEST(TGL_IMAGE, AlphaFromBitmapIsTheGreyOfTheMatchingPixel) {
  TGL_IMAGE image;
  image.LoadFromBitmap(threeRows());
  QImage mask(2, 3, QImage::Format_RGB32);
  mask.fill(qRgb(0, 0, 0));
  mask.setPixel(0, 0, qRgb(30, 60, 91));
  mask.setPixel(1, 2, qRgb(255, 255, 254));
  image.SetAlphaFromBitmap(mask);
  EXPECT_EQ(pixelAt(image, 0, 2), (TRGBA{255, 0, 0, 60})) << "(30 + 60 + 91) div 3, colour kept";
  EXPECT_EQ(pixelAt(image, 1, 0), (TRGBA{9, 9, 9, 254}));
  EXPECT_EQ(pixelAt(image, 0, 1).A, 0);
}

TEST(TGL_TEXTURE, FillSetsEveryPixel) {
  TGL_TEXTURE texture;
  texture.Fill(3, 2, 1, 2, 3, 4);
  ASSERT_EQ(texture.Count(), 4 * 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(pixelAt(texture, x, y), (TRGBA{1, 2, 3, 4}));
}

TEST(TGL_TEXTURE, RadialAlphaIsZeroOutsideTheInscribedCircleAndRampsToTheCentre) {
  struct Case {
    int width, height, outsideX, outsideY;
  };
  for (const auto [width, height, outsideX, outsideY] : {Case{256, 256, 10, 10}, {128, 64, 100, 32}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    TGL_TEXTURE texture;
    texture.Fill(width, height, 255, 255, 255, 255);
    texture.MakeRadialAlpha();
    const int cx = width / 2;
    const int cy = height / 2;
    const int r = std::min(cx, cy);
    for (const auto& [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}})
      EXPECT_EQ(pixelAt(texture, x, y).A, 0) << "corner " << x << ", " << y;
    EXPECT_EQ(pixelAt(texture, outsideX, outsideY).A, 0) << "beyond the inscribed circle";
    EXPECT_GE(pixelAt(texture, cx, cy).A, 240) << "centre";
    EXPECT_NEAR(pixelAt(texture, cx + r / 2, cy).A, 128, 6) << "half way out";
    EXPECT_EQ(pixelAt(texture, cx, cy).R, 255) << "the colour stays";
    int previous = 256;
    for (int x = cx; x < cx + r; ++x) {
      const int alpha = pixelAt(texture, x, cy).A;
      EXPECT_LE(alpha, previous) << "alpha falls outwards, at x = " << x;
      previous = alpha;
    }
  }
  TGL_TEXTURE onePixel;
  onePixel.Fill(1, 1, 255, 255, 255, 255);
  onePixel.MakeRadialAlpha();
  EXPECT_EQ(pixelAt(onePixel, 0, 0).A, 0) << "a single pixel is transparent";
}

// Regression pins: values from the first run, checked against an independent evaluation of the
// hash and found in range. They must never change, on any machine.
TEST(Noise, IntegerNoiseIsPinned) {
  struct Case {
    int x, y, variant;
    double value;
  };
  const Case cases[] = {{0, 0, 1, -0.2817909838631749},       {1, 0, 1, -0.2263730512931943},
                        {0, 1, 1, 0.20434398483484983},       {-3, 7, 1, -0.10486400965601206},
                        {1000, -1000, 1, -0.567241501994431}, {2147483647, 1, 1, 0.6664788378402591},
                        {1, 0, 2, 0.2960992334410548},        {-3, 7, 2, 0.7270358363166451}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y) + " variant " + std::to_string(c.variant));
    EXPECT_DOUBLE_EQ(IntegerNoise(c.x, c.y, c.variant), c.value);
  }
}

TEST(Noise, PerlinNoiseIsPinned) {
  struct Case {
    double x, y, persistence;
    int octaves, variant;
    double value;
  };
  const Case cases[] = {{0.37, 1.91, 0.7, 6, 1, 0.03500821891459801},
                        {0.37, 1.91, 0.7, 6, 2, -0.10913416858369594},
                        {1.27, 0.5, 0.7, 6, 1, -0.42266188375371666},
                        {0, 0, 0.7, 0, 1, 0.007429826073348522}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
    EXPECT_NEAR(PerlinNoise(c.x, c.y, c.persistence, c.octaves, c.variant), c.value, 1e-12);
  }
}

TEST(Noise, IntegerNoiseStaysWithinMinusOneToOne) {
  for (int y = -50; y <= 50; ++y) {
    for (int x = -50; x <= 50; ++x) {
      const double n = IntegerNoise(x * 7919, y * 104729, 1);
      ASSERT_GT(n, -1.0) << x << ", " << y;
      ASSERT_LE(n, 1.0) << x << ", " << y;
    }
  }
}

TEST(TGL_TEXTURE, MakePerlinDrawsOpaqueGreyNoiseWithRowsBottomUp) {
  TGL_TEXTURE texture;
  texture.MakePerlin(100, 20, 0.01, 0.7, 6, 0);
  ASSERT_EQ(texture.Width(), 128);
  ASSERT_EQ(texture.Height(), 32);
  for (const auto& [x, y] : {std::pair{0, 0}, {10, 20}, {127, 31}, {64, 5}}) {
    SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
    const double v = PerlinNoise(x * 0.01, y * 0.01, 0.7, 6, 1);
    const auto g = static_cast<std::uint8_t>(Round((v + 1) * 127));
    EXPECT_EQ(pixelAt(texture, x, 31 - y), (TRGBA{g, g, g, 255}));
  }
  EXPECT_EQ(pixelAt(texture, 10, 11).R, 130) << "pinned from the first run";
}

TEST(TGL_TEXTURE, MakePerlinClampsDeepNoiseToBlack) {
  // Persistence 1 over 7 octaves reaches far below -1; such pixels are black, never wrapped to grey.
  TGL_TEXTURE texture;
  texture.MakePerlin(64, 64, 0.37, 1.0, 6, 0);
  int deepPixels = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      if (PerlinNoise(x * 0.37, y * 0.37, 1.0, 6, 1) > -1.01) continue;
      ++deepPixels;
      EXPECT_EQ(pixelAt(texture, x, 63 - y).R, 0) << x << ", " << y;
    }
  }
  EXPECT_GT(deepPixels, 10) << "the case must reach below -1 to test anything";
}

TEST(TGL_TEXTURE, MakePerlinInAnotherModeOnlySizes) {
  TGL_TEXTURE texture;
  texture.Fill(4, 4, 1, 2, 3, 4);
  texture.MakePerlin(4, 4, 0.01, 0.7, 6, 1);
  EXPECT_EQ(pixelAt(texture, 2, 2), (TRGBA{1, 2, 3, 4}));
  texture.MakePerlin(8, 2, 0.01, 0.7, 6, 1);
  EXPECT_EQ(texture.Width(), 8);
  EXPECT_EQ(texture.Height(), 2);
}

} // namespace
} // namespace vorlan
