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

// The vertices of the lines and polygons `draw` sends down the pipeline. The view looks down at
// -half..half, so window coordinates map back to world x and y.
std::vector<FedVertex> feedbackOf(const std::function<void()>& draw, double half) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const auto channel = [](GLfloat v) { return static_cast<int>(std::lround(v * 255)); };
  std::vector<FedVertex> vertices;
  for (const test::FeedbackItem& item : test::feedbackOf(draw)) {
    EXPECT_TRUE(item.Token == GL_POLYGON_TOKEN || item.Token == GL_LINE_TOKEN) << item.Token;
    for (const test::FeedbackVertex& v : item.Vertices)
      vertices.push_back({(v.P[0] / viewport[2] * 2 - 1) * half, (v.P[1] / viewport[3] * 2 - 1) * half,
                          channel(v.C[0]), channel(v.C[1]), channel(v.C[2]), channel(v.C[3])});
  }
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

TEST_F(GroundList, GridFadesFromTheCentreTakesTheColourAndResizesAtTheNextRebuildWithoutWrappingTheAlpha) {
  lookDownAt(20000);
  TGL_GROUND ground(host_);
  ground.SetActive(true);
  ground.SetColor(0x336699);
  ground.SetStyle(CGroundStyle::GridLines);
  const auto vertices = feedbackOf([&] { ground.Draw(); }, 20000);
  ASSERT_FALSE(vertices.empty());
  EXPECT_NEAR(extent(vertices), 10000, 1) << "the grid spans GroundWidth";

  for (const auto& [x, y, alpha] :
       {std::tuple{0, 0, 160}, {-10000, 10000, 0}, {10000, 10000, 0}, {0, 10000, 80}, {-10000, 0, 80}}) {
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
  // 20.6 cells round to 21 rows, the last past the rim, whose alpha must not wrap; a zero unit has no cells.
  for (const auto& [width, unit, alpha] : {std::tuple{20600, 1000, 155}, {20000, 0, -1}}) {
    ground.SetGroundWidth(width);
    ground.SetGroundUnit(unit);
    ground.SetColor(ground.Color());
    EXPECT_EQ(maxAlphaNear(feedbackOf([&] { ground.Draw(); }, 20000), 0, 0, 1e9), alpha)
        << width << "/" << unit;
  }
}

TEST_F(GroundList, FillSquareIsGreyWhateverTheColourAndOnlyWhenActive) {
  lookDownAt(1000);
  GLuint list = 0;
  for (const TColor colour : {TColor{0x0000FF}, TColor{0xFF0000}}) {
    SCOPED_TRACE(colour);
    EXPECT_FALSE(list && glIsList(list)) << "the destructor deletes the list";
    clear();
    TGL_GROUND ground(host_);
    ground.SetColor(colour);
    ground.SetStyle(CGroundStyle::FillSquare);
    ground.Draw();
    EXPECT_EQ(pixel(32, 32), 0x000000u) << "inactive";
    EXPECT_TRUE(glIsList(list = ground.GroundList())) << "built while inactive";
    ground.SetActive(true);
    ground.Draw();
    EXPECT_EQ(pixel(32, 32), 0xA0A0A0u);
  }
}

} // namespace
} // namespace vorlan
