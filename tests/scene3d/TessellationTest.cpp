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

} // namespace
} // namespace vorlan
