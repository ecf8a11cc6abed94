#include "FeedbackCapture.h"
#include "GroundTestHost.h"

#include "gl/KX_OpenGL_GROUND.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vorlan {
namespace {

using test::GroundScene;

class GroundList : public GroundScene {};

// One vertex as feedback mode returns it, moved back to world x and y.
struct FedVertex {
  double x, y;
  int r, g, b, a;
};

// The vertices `draw` sends down the pipeline, with colours. The view looks down at -half..half, so
// window coordinates map back to world x and y.
std::vector<FedVertex> feedbackOf(const std::function<void()>& draw, double half) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const auto channel = [](GLfloat v) { return static_cast<int>(std::lround(v * 255)); };
  std::vector<FedVertex> vertices;
  for (const test::FeedbackItem& item : test::feedbackOf(draw))
    if (item.Token != GL_PASS_THROUGH_TOKEN)
      for (const test::FeedbackVertex& v : item.Vertices)
        vertices.push_back({(v.P[0] / viewport[2] * 2 - 1) * half, (v.P[1] / viewport[3] * 2 - 1) * half,
                            channel(v.C[0]), channel(v.C[1]), channel(v.C[2]), channel(v.C[3])});
  return vertices;
}

// The most opaque vertex within `radius` of world (x, y), or -1 when none lies there.
int maxAlphaNear(const std::vector<FedVertex>& vertices, double x, double y, double radius = 1) {
  int alpha = -1;
  for (const FedVertex& v : vertices)
    if (std::abs(v.x - x) < radius && std::abs(v.y - y) < radius) alpha = std::max(alpha, v.a);
  return alpha;
}

double extent(const std::vector<FedVertex>& vertices) {
  double far = 0;
  for (const FedVertex& v : vertices)
    far = std::max({far, std::abs(v.x), std::abs(v.y)});
  return far;
}

TEST_F(GroundList, SettersRebuildAndRedrawOnlyAfterInitialisation) {
  struct Case {
    std::string setter;
    std::function<void(TGL_GROUND&)> set;
    bool rebuilds;
    bool redraws;
  };
  const std::vector<Case> cases{
      {"Style", [](TGL_GROUND& g) { g.SetStyle(CGroundStyle::GridLines); }, true, true},
      {"Color", [](TGL_GROUND& g) { g.SetColor(0x123456); }, true, true},
      {"Active", [](TGL_GROUND& g) { g.SetActive(true); }, false, true},
      {"GroundWidth", [](TGL_GROUND& g) { g.SetGroundWidth(5000); }, false, false},
      {"GroundUnit", [](TGL_GROUND& g) { g.SetGroundUnit(100); }, false, false},
  };
  for (const bool initialised : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.setter + (initialised ? " after" : " before") + " initialisation");
      host_.initialised = initialised;
      host_.redraws = 0;
      TGL_GROUND ground(host_);
      c.set(ground);
      EXPECT_EQ(ground.ListBuilt(), initialised && c.rebuilds);
      EXPECT_EQ(host_.redraws, initialised && c.redraws ? 1 : 0);
    }
  }
}

TEST_F(GroundList, RebuildAndDestructionWorkInTheOwnersContextAndReleaseIt) {
  context_.releaseContext();
  GLuint list = 0;
  {
    TGL_GROUND ground(host_);
    ground.SetStyle(CGroundStyle::PerlinFillSquare);
    list = ground.GroundList();
    EXPECT_EQ(std::tuple(host_.madeCurrent, host_.released, QOpenGLContext::currentContext()),
              std::tuple(1, 1, nullptr));
    ASSERT_TRUE(context_.makeContextCurrent());
    EXPECT_TRUE(glIsList(list));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    context_.releaseContext();
  }
  EXPECT_EQ(std::pair(host_.madeCurrent, host_.released), std::pair(2, 2));
  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_FALSE(glIsList(list)) << "the destructor deletes the list";
}

TEST_F(GroundList, GridFadesFromTheCentreTakesTheColourAndResizesAtTheNextRebuild) {
  lookDownAt(20000);
  TGL_GROUND ground(host_);
  ground.SetActive(true);
  ground.SetColor(0x336699);
  ground.SetStyle(CGroundStyle::GridLines);
  const auto vertices = feedbackOf([&] { ground.Draw(); }, 20000);
  ASSERT_FALSE(vertices.empty());
  EXPECT_NEAR(extent(vertices), 10000, 1) << "the grid spans GroundWidth";

  struct Case {
    double x, y;
    int alpha;
  };
  for (const auto [x, y, alpha] :
       {Case{0, 0, 160}, {-10000, 10000, 0}, {10000, 10000, 0}, {0, 10000, 80}, {-10000, 0, 80}}) {
    SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
    EXPECT_EQ(maxAlphaNear(vertices, x, y), alpha);
  }
  std::set<std::vector<int>> colours;
  for (const FedVertex& v : vertices)
    colours.insert({v.r, v.g, v.b});
  EXPECT_EQ(colours, (std::set<std::vector<int>>{{0x99, 0x66, 0x33}}));

  ground.SetGroundWidth(4000);
  ground.SetGroundUnit(500);
  EXPECT_NEAR(extent(feedbackOf([&] { ground.Draw(); }, 20000)), 10000, 1) << "not before a rebuild";
  ground.SetColor(ground.Color());
  EXPECT_NEAR(extent(feedbackOf([&] { ground.Draw(); }, 20000)), 2000, 1);
}

TEST_F(GroundList, OddSizesNeitherWrapTheAlphaNorDivideByZero) {
  lookDownAt(20000);
  struct Case {
    int width, unit, alpha;
  };
  // 20.6 cells round to 21 rows, the last past the rim; a zero unit has no cells.
  for (const auto [width, unit, alpha] : {Case{20000, 1000, 160}, {20600, 1000, 155}, {20000, 0, -1}}) {
    SCOPED_TRACE(std::to_string(width) + " / " + std::to_string(unit));
    TGL_GROUND ground(host_);
    ground.SetActive(true);
    ground.SetGroundWidth(width);
    ground.SetGroundUnit(unit);
    ground.SetStyle(CGroundStyle::GridLines);
    EXPECT_EQ(maxAlphaNear(feedbackOf([&] { ground.Draw(); }, 20000), 0, 0, 1e9), alpha);
  }
}

TEST_F(GroundList, FillSquareIsGreyWhateverTheColourAndOnlyWhenActive) {
  lookDownAt(1000);
  for (const TColor colour : {TColor{0x0000FF}, TColor{0xFF0000}}) {
    SCOPED_TRACE(colour);
    clear();
    TGL_GROUND ground(host_);
    ground.SetColor(colour);
    ground.SetStyle(CGroundStyle::FillSquare);
    ground.Draw();
    EXPECT_EQ(pixel(32, 32), 0x000000u) << "inactive";
    EXPECT_TRUE(glIsList(ground.GroundList())) << "built while inactive";
    ground.SetActive(true);
    ground.Draw();
    EXPECT_EQ(pixel(32, 32), 0xA0A0A0u);
  }
}

TEST_F(GroundList, PerlinSquareIsGreyNoiseFadingToTheRim) {
  lookDownAt(1000000);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  TGL_GROUND ground(host_);
  ground.SetActive(true);
  ground.SetStyle(CGroundStyle::PerlinFillSquare);
  ground.Draw();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "the list unbinds its texture";
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  std::set<std::uint32_t> greys;
  for (int x = 24; x < 40; ++x) {
    const std::uint32_t p = pixel(x, 32);
    EXPECT_EQ(p, (p & 0xFF) * 0x010101) << "grey";
    greys.insert(p);
  }
  EXPECT_GT(greys.size(), 3u) << "noise, not a flat fill";
  EXPECT_EQ(pixel(0, 0), 0x000000u) << "transparent outside the inscribed circle";
}

} // namespace
} // namespace vorlan
