#include "GroundTestHost.h"

#include "gl/KX_OpenGL_BACKGROUND.h"
#include "gl/KX_OpenGL_TEXTURE.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace vorlan {
namespace {

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

// A 256-pixel view looking along +x (+y to the left), with the flare's streaks pinned.
class Background : public test::GroundScene {
protected:
  Background() : GroundScene(QSize(size, size)), background_(host_) {}

  void SetUp() override {
    GroundScene::SetUp();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    lookAlongX();
    background_.SetRandomSource([] { return 0.5; });
  }

  void placeSun(double x, double y, double z) {
    background_.SetSunX(x);
    background_.SetSunY(y);
    background_.SetSunZ(z);
  }

  std::uint32_t drawnAt(int x, int y) {
    clear();
    background_.Draw();
    return pixel(x, y);
  }

  static constexpr int size = 256, mid = size / 2, last = size - 1;
  TGL_BACKGROUND background_;
};

TEST_F(Background, GradientRunsFromTheFirstColourAtTheTopToTheSecondAtTheBottom) {
  placeSun(-50000, 0, 0);
  for (const auto& [style, first, second, top, bottom] :
       {std::tuple{CBackGroundStyle::GradualColors, 0x804000, 0xFFFFFF, 0x004080u, 0xFFFFFFu},
        {CBackGroundStyle::GradualColors, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FF00},
        {CBackGroundStyle::UniformColor, 0x0000FF, 0x00FF00, 0x000000, 0x000000}}) {
    SCOPED_TRACE(std::to_string(static_cast<int>(style)) + " " + std::to_string(first));
    background_.SetFirstColor(first);
    background_.SetSecondColor(second);
    background_.SetStyle(style);
    for (int x : {0, mid, last}) {
      EXPECT_LE(channelDistance(drawnAt(x, last), top), 2) << x;
      EXPECT_LE(channelDistance(pixel(x, 0), bottom), 2) << x;
    }
  }
}

TEST_F(Background, PictureIsUprightCoversTheWindowAndANarrowOneIsKept) {
  QImage quarters(4, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      quarters.setPixel(x, y, y < 2 ? (x < 2 ? 0xFF0000 : 0x00FF00) : (x < 2 ? 0x0000FF : 0xFFFFFF));
  placeSun(-50000, 0, 0);
  // Set before the style: the picture waits for the style that shows it.
  background_.SetBackGroundImage(quarters);
  EXPECT_EQ(background_.ImageTexture(), nullptr);
  background_.SetStyle(CBackGroundStyle::BackImage);
  // Texel centres; towards the edges the repeating texture blends in the opposite side.
  const int q = size / 4, q3 = 3 * size / 4;
  const auto drawn = [&](std::initializer_list<std::pair<int, int>> at) {
    clear();
    background_.Draw();
    std::vector<std::uint32_t> rgb;
    for (const auto& [x, y] : at)
      rgb.push_back(pixel(x, y));
    return rgb;
  };
  using Rgb = std::vector<std::uint32_t>;
  EXPECT_EQ(drawn({{q, q3}, {q3, q3}, {q, q}, {q3, q}}), (Rgb{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
  background_.SetBackGroundImage(filled(1, 4, Qt::black));
  EXPECT_EQ(drawn({{q, q3}, {q3, q}}), (Rgb{0xFF0000, 0xFFFFFF}));
  background_.SetBackGroundImage(filled(2, 2, Qt::yellow));
  EXPECT_EQ(drawn({{0, last}, {last, last}, {0, 0}, {last, 0}}), Rgb(4, 0xFFFF00))
      << "the picture at the far plane reaches the corners";
}

TEST_F(Background, SunDiscShowsOnlyWhenTheSunIsInFrontWithinTheFarPlane) {
  background_.SetStyle(CBackGroundStyle::UniformColor);
  for (const auto& [where, x, shown] : {std::tuple{"ahead", 50000, true},
                                        {"behind the eye", -50000, false},
                                        {"past the far plane", 300000, false}}) {
    SCOPED_TRACE(where);
    placeSun(x, 0, 0);
    EXPECT_LE(channelDistance(drawnAt(mid, mid), shown ? 0xFFFFFF : 0x000000), radialCentre);
    EXPECT_EQ(pixel(mid + size / 6, mid), 0x000000u) << "the disc is a quarter of the width across";
  }
}

TEST_F(Background, SkyShowsTheSkyMapOverheadAndKeepsItForANarrowOne) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 0, 0, 0, 1, 1, 0, 0);
  background_.SetStyle(CBackGroundStyle::UniformColor);
  for (const auto& [skyMap, showSky, centre] : {std::tuple{filled(64, 64, Qt::red), true, 0xFF0000u},
                                                {filled(64, 64, Qt::red), false, 0x000000},
                                                {filled(1, 64, Qt::blue), true, 0xFF0000},
                                                {filled(64, 64, Qt::blue), true, 0x0000FF}}) {
    SCOPED_TRACE(std::to_string(skyMap.width()) + (showSky ? " shown" : " hidden"));
    host_.skyMap = skyMap;
    background_.SetShowSky(showSky);
    background_.Rebuild();
    EXPECT_LE(channelDistance(drawnAt(mid, mid), centre), showSky ? radialCentre : 0);
  }
}

TEST_F(Background, TexturesLiveFromTheFirstRebuildAfterInitialisationToDestruction) {
  host_.initialised = false;
  auto background = std::make_unique<TGL_BACKGROUND>(host_);
  host_.skyMap = filled(4, 4, Qt::red);
  background->SetBackGroundImage(filled(4, 4, Qt::red));
  background->SetStyle(CBackGroundStyle::BackImage);
  background->Rebuild();
  EXPECT_FALSE(background->SunTexture() || background->ImageTexture());
  background->Draw();
  EXPECT_EQ(pixel(mid, mid), 0x000000u) << "nothing is drawn before the first rebuild";

  host_.initialised = true;
  background->Rebuild();
  background->Draw();
  EXPECT_EQ(pixel(mid, mid), 0xFF0000u);
  std::vector<GLuint> names;
  for (const TGL_TEXTURE* texture :
       {background->SunTexture(), background->SkyTexture(), background->ImageTexture()}) {
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(glIsTexture(texture->TextureName()));
    names.push_back(texture->TextureName());
  }
  context_.releaseContext();
  background.reset();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_TRUE(context_.makeContextCurrent());
  for (GLuint name : names)
    EXPECT_FALSE(glIsTexture(name)) << name;
}

TEST_F(Background, FlareShowsOnlyForASunInViewThatNothingCoversAndLeavesThePassState) {
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  // Straight ahead the sun is at the centre; +y is to the left. The margin past the edge is W/4.
  for (const auto& [where, x, y, z, farPlane, covered, shown] :
       {std::tuple{"ahead", 50000, 0, 0, 200000, false, true},
        {"ahead behind the model", 50000, 0, 0, 200000, true, false},
        {"past the far plane", 50000, 0, 0, 40000, false, false},
        {"behind the eye", -50000, 0, 0, 200000, false, false},
        {"off the right edge within the margin", 50000, -34641, 0, 200000, false, true},
        {"off the right edge past the margin", 50000, -60000, 0, 200000, false, false},
        {"off the top edge within the margin", 50000, 0, 34641, 200000, false, true}}) {
    SCOPED_TRACE(where);
    lookAlongX(farPlane);
    placeSun(x, y, z);
    clear();
    if (covered) {
      glBegin(GL_QUADS); // a square of the model just in front of the sun, facing the eye
      for (const auto& [dy, dz] : {std::pair{1, -1}, {-1, -1}, {-1, 1}, {1, 1}})
        glVertex3d(40000, 2000 * dy, 2000 * dz);
      glEnd();
    }
    const QImage before = context_.grab();
    background_.DrawLensFlare();
    EXPECT_EQ(context_.grab() != before, shown);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING));
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(std::pair(glIsEnabled(GL_BLEND), destination),
              std::pair(GLboolean(GL_FALSE), GL_ONE_MINUS_SRC_ALPHA))
        << "the pass's own state comes back";
  }
}

} // namespace
} // namespace vorlan
