#include "GroundTestHost.h"

#include "gl/KX_OpenGL_BACKGROUND.h"
#include "gl/KX_OpenGL_TEXTURE.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace vorlan {
namespace {

using test::rgbOf;

// The largest difference of one channel between two 0xRRGGBB pixels.
int channelDistance(std::uint32_t a, std::uint32_t b) {
  int distance = 0;
  for (int shift : {0, 8, 16})
    distance = std::max(
        distance, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return distance;
}

// The radial alpha of the sun and the sky stops a little short of opaque at the centre.
constexpr int radialCentre = 16;

QImage filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A 128-pixel view with the blend function the view sets at its initialisation.
class BackgroundDraw : public test::GroundScene {
protected:
  BackgroundDraw() : GroundScene(QSize(size, size)) {}

  void SetUp() override {
    GroundScene::SetUp();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    lookAlongX();
  }

  // The default sun lies off to the right of this view.
  static void placeSun(TGL_BACKGROUND& background, double x, double y, double z) {
    background.SetSunX(x);
    background.SetSunY(y);
    background.SetSunZ(z);
  }

  static constexpr int size = 128;
};

TEST_F(BackgroundDraw, StyleFillsFromTheFirstColourAtTheTopToTheSecondAtTheBottom) {
  struct Case {
    CBackGroundStyle style;
    TColor first, second;
    std::uint32_t top, bottom;
  };
  for (const auto [style, first, second, top, bottom] :
       {Case{CBackGroundStyle::GradualColors, 0x804000, 0xFFFFFF, 0x004080, 0xFFFFFF},
        {CBackGroundStyle::GradualColors, 0xFFFFFF, 0x804000, 0xFFFFFF, 0x004080},
        {CBackGroundStyle::GradualColors, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FF00},
        {CBackGroundStyle::UniformColor, 0x0000FF, 0x00FF00, 0x000000, 0x000000}}) {
    SCOPED_TRACE(std::to_string(static_cast<int>(style)) + " " + std::to_string(first));
    clear();
    TGL_BACKGROUND background(host_);
    background.SetFirstColor(first);
    background.SetSecondColor(second);
    background.SetStyle(style);
    background.Draw();
    for (int x : {0, size / 2, size - 1}) {
      EXPECT_LE(channelDistance(pixel(x, size - 1), top), 2) << x;
      EXPECT_LE(channelDistance(pixel(x, 0), bottom), 2) << x;
    }
  }
}

TEST_F(BackgroundDraw, BackImageShowsThePictureUprightAndKeepsItForANarrowOne) {
  QImage quarters = filled(4, 4, Qt::white);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      quarters.setPixelColor(x, y, Qt::red);
      quarters.setPixelColor(x + 2, y, Qt::green);
      quarters.setPixelColor(x, y + 2, Qt::blue);
    }
  }
  TGL_BACKGROUND background(host_);
  // Set before the style: the picture waits for the style that shows it.
  background.SetBackGroundImage(quarters);
  EXPECT_EQ(background.ImageTexture(), nullptr);
  background.SetStyle(CBackGroundStyle::BackImage);

  struct Probe {
    int x, y;
    std::uint32_t rgb;
  };
  const int last = size - 1;
  auto expectPicture = [&](std::initializer_list<Probe> probes) {
    clear();
    background.Draw();
    for (const auto [x, y, rgb] : probes)
      EXPECT_EQ(pixel(x, y), rgb) << x << ", " << y;
  };
  // Texel centres; towards the edges the repeating texture blends in the opposite side.
  expectPicture({{32, 96, 0xFF0000}, {96, 96, 0x00FF00}, {32, 32, 0x0000FF}, {96, 32, 0xFFFFFF}});

  background.SetBackGroundImage(filled(1, 4, Qt::black));
  expectPicture({{32, 96, 0xFF0000}, {96, 32, 0xFFFFFF}});
  // One colour reaches the corners too: the picture at the far plane covers the whole window.
  background.SetBackGroundImage(filled(2, 2, Qt::yellow));
  expectPicture({{0, last, 0xFFFF00}, {last, last, 0xFFFF00}, {0, 0, 0xFFFF00}, {last, 0, 0xFFFF00}});
}

TEST_F(BackgroundDraw, SunDiscShowsOnlyWhenTheSunIsInFrontWithinTheFarPlane) {
  struct Case {
    std::string where;
    double x;
    bool shown;
  };
  for (const auto& [where, x, shown] : {Case{"ahead", 50000, true},
                                        {"behind the eye", -50000, false},
                                        {"past the far plane", 300000, false}}) {
    SCOPED_TRACE(where);
    clear();
    TGL_BACKGROUND background(host_);
    background.SetStyle(CBackGroundStyle::UniformColor);
    placeSun(background, x, 0, 0);
    background.Draw();
    EXPECT_LE(channelDistance(pixel(size / 2, size / 2), shown ? 0xFFFFFF : 0x000000), radialCentre);
    EXPECT_EQ(pixel(size / 2 + 20, size / 2), 0x000000u) << "the disc is a quarter of the width across";
  }
}

TEST_F(BackgroundDraw, SkyShowsTheSkyMapOverheadAndKeepsItForANarrowOne) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 0, 0, 0, 1, 1, 0, 0);
  TGL_BACKGROUND background(host_);
  background.SetStyle(CBackGroundStyle::UniformColor);
  auto centreAfterRebuild = [&](const QImage& skyMap, bool showSky) {
    host_.skyMap = skyMap;
    background.SetShowSky(showSky);
    background.Rebuild();
    clear();
    background.Draw();
    return pixel(size / 2, size / 2);
  };
  EXPECT_LE(channelDistance(centreAfterRebuild(filled(64, 64, Qt::red), true), 0xFF0000), radialCentre);
  EXPECT_EQ(centreAfterRebuild(filled(64, 64, Qt::red), false), 0x000000u);
  EXPECT_LE(channelDistance(centreAfterRebuild(filled(1, 64, Qt::blue), true), 0xFF0000), radialCentre);
  EXPECT_LE(channelDistance(centreAfterRebuild(filled(64, 64, Qt::blue), true), 0x0000FF), radialCentre);
}

TEST_F(BackgroundDraw, TexturesLiveFromTheFirstRebuildAfterInitialisationToDestruction) {
  host_.initialised = false;
  auto background = std::make_unique<TGL_BACKGROUND>(host_);
  host_.skyMap = filled(4, 4, Qt::red);
  background->SetBackGroundImage(filled(4, 4, Qt::red));
  background->SetStyle(CBackGroundStyle::BackImage);
  background->Rebuild();
  EXPECT_EQ(background->SunTexture(), nullptr);
  EXPECT_EQ(background->ImageTexture(), nullptr);
  background->Draw();
  EXPECT_EQ(pixel(size / 2, size / 2), 0x000000u) << "nothing is drawn before the first rebuild";

  host_.initialised = true;
  background->Rebuild();
  background->Draw();
  EXPECT_EQ(pixel(size / 2, size / 2), 0xFF0000u);
  std::vector<GLuint> names;
  for (const TGL_TEXTURE* texture :
       {background->SunTexture(), background->SkyTexture(), background->ImageTexture()}) {
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(glIsTexture(texture->TextureName()));
    names.push_back(texture->TextureName());
  }
  EXPECT_EQ(background->SunTexture()->Width(), 256);

  context_.releaseContext();
  background.reset();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_TRUE(context_.makeContextCurrent());
  for (GLuint name : names)
    EXPECT_FALSE(glIsTexture(name)) << name;
}

} // namespace
} // namespace vorlan
