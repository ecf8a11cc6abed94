#include "scene3d/Tessellation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace vorlan {
namespace {

using Ring = std::vector<Vector3D>;

// A regular polygon of n corners turned by `turn` radians and tilted out of the XY plane.
Ring regular(std::size_t n, double turn, double tilt) {
  Ring ring;
  for (std::size_t i = 0; i < n; ++i) {
    const double a = turn + 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
    const double x = 50 * std::cos(a), y = 30 * std::sin(a);
    ring.push_back({x, y * std::cos(tilt), y * std::sin(tilt) + 7});
  }
  return ring;
}

Vector3D vertexOf(const std::vector<Ring>& rings, const Tessellation& t, std::size_t number) {
  for (const Ring& ring : rings) {
    if (number < ring.size()) return ring[number];
    number -= ring.size();
  }
  Vector3D p;
  const TessBlend& blend = t.Blends.at(number);
  for (std::size_t i = 0; i < 4; ++i)
    if (blend.Weights[i] != 0) p = p + blend.Weights[i] * vertexOf(rings, t, blend.From[i]);
  return p;
}

// The triangles of the output in the XY plane, each as three corners.
std::vector<std::array<Vector3D, 3>> trianglesOf(const std::vector<Ring>& rings, const Tessellation& t) {
  std::vector<std::array<Vector3D, 3>> triangles;
  for (const TessPrimitive& p : t.Primitives) {
    const auto at = [&](std::size_t i) { return vertexOf(rings, t, p.Vertices[i]); };
    for (std::size_t i = 2; i < p.Vertices.size(); ++i) {
      if (p.Mode == GL_TRIANGLES && i % 3 != 2) continue;
      if (p.Mode == GL_TRIANGLES) triangles.push_back({at(i - 2), at(i - 1), at(i)});
      if (p.Mode == GL_TRIANGLE_FAN) triangles.push_back({at(0), at(i - 1), at(i)});
      if (p.Mode == GL_TRIANGLE_STRIP) triangles.push_back({at(i - 2), at(i - 1), at(i)});
    }
  }
  return triangles;
}

double area(const std::array<Vector3D, 3>& t) {
  return std::fabs(length(cross(t[1] - t[0], t[2] - t[0]))) / 2;
}

TEST(Tessellation, FanPathGivesExactlyWhatTheTessellatorGives) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi);
  int fans = 0;
  std::vector<Ring> rings;
  for (std::size_t n : {3, 4, 5, 17, 99, 100})
    for (int k = 0; k < 20; ++k)
      rings.push_back(regular(n, angle(random), angle(random)));
  // Star-shaped from corner 0 but concave, concave the other way, collinear, reversed.
  rings.push_back({{0, 0, 0}, {10, 0, 0}, {4, 4, 0}, {10, 10, 0}, {0, 10, 0}});
  rings.push_back({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 3, 0}, {0, 10, 0}});
  rings.push_back({{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
  rings.push_back({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}});
  for (const Ring& ring : rings) {
    SCOPED_TRACE(testing::Message() << ring.size() << " corners from (" << ring[0].x << ", " << ring[0].y
                                    << ")");
    const Tessellation t = TessellateOdd(std::vector<Ring>{ring});
    if (!TakesFanPath(ring)) continue;
    ++fans;
    std::vector<std::size_t> inOrder(ring.size());
    for (std::size_t i = 0; i < inOrder.size(); ++i)
      inOrder[i] = i;
    ASSERT_EQ(t.Primitives.size(), 1u);
    EXPECT_EQ(t.Primitives[0].Mode, ring.size() == 3 ? GL_TRIANGLES : GL_TRIANGLE_FAN);
    EXPECT_EQ(t.Primitives[0].Vertices, inOrder);
  }
  EXPECT_EQ(fans, 6 * 20 + 2)
      << "every convex ring, the star-shaped one and the reversed square take the fan";
}

TEST(Tessellation, RingsTheFanCannotTakeGoThroughTheSweep) {
  struct Case {
    const char* name;
    std::vector<Ring> rings;
    double area;
  };
  const Ring square = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  const Ring hole = {{3, 3, 0}, {7, 3, 0}, {7, 7, 0}, {3, 7, 0}};
  for (const Case& c :
       {Case{"concave: fan from corner 0 would cover the notch",
             {{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 3, 0}, {0, 10, 0}}},
             65},
        Case{"square with a square hole", {square, hole}, 84}, Case{"hole listed first", {hole, square}, 84},
        Case{"bow-tie crossing itself", {{{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}}, 50},
        Case{"101 corners, over the fan's limit",
             {regular(101, 0, 0)},
             101 / 2.0 * std::sin(2 * std::numbers::pi / 101) * 50 * 30}}) {
    SCOPED_TRACE(c.name);
    if (c.rings.size() == 1) {
      EXPECT_FALSE(TakesFanPath(c.rings[0]));
    }
    const Tessellation t = TessellateOdd(c.rings);
    double total = 0;
    for (const auto& triangle : trianglesOf(c.rings, t)) {
      total += area(triangle);
      const Vector3D centre = (1.0 / 3) * (triangle[0] + triangle[1] + triangle[2]);
      const bool inHole = centre.x > 3 && centre.x < 7 && centre.y > 3 && centre.y < 7;
      EXPECT_FALSE(c.rings.size() == 2 && inHole) << "a triangle fills the hole";
    }
    EXPECT_NEAR(total, c.area, 1e-9);
  }
}

TEST(Tessellation, CrossingEdgesBlendTheirVertices) {
  const std::vector<Ring> rings = {{{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}};
  const Tessellation t = TessellateOdd(rings);
  ASSERT_EQ(t.Blends.size(), 1u);
  const Vector3D crossing = vertexOf(rings, t, 4);
  EXPECT_NEAR(crossing.x, 5, 1e-9);
  EXPECT_NEAR(crossing.y, 5, 1e-9);
  double weights = 0;
  for (double w : t.Blends[0].Weights)
    weights += w;
  EXPECT_NEAR(weights, 1, 1e-6);
}

} // namespace
} // namespace vorlan
