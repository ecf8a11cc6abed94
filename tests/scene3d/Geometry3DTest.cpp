#include "scene3d/Geometry3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vorlan {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void expectNear(const Vector3D& expected, const Vector3D& actual, double tolerance = 1e-12) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
}

TEST(Geometry3D, ToleranceComparisonIsStrict) {
  for (auto [a, b, same] : {std::tuple{0.0, 0.0099, true},
                            {0.0, 0.01, false},
                            {5.0, 4.995, true},
                            {-0.0, 0.0, true},
                            {kNaN, kNaN, false},
                            {kInf, kInf, false}}) {
    SCOPED_TRACE(std::to_string(a) + " vs " + std::to_string(b));
    EXPECT_EQ(SameValue(a, b), same);
    EXPECT_EQ(SameValue(b, a), same);
  }
}

TEST(Geometry3D, SameSignsTreatsNearZeroComponentsAsZero) {
  struct Case {
    Vector3D a, b;
    bool same;
  };
  for (auto [a, b, same] : {Case{{1, 2, 3}, {4, 5, 6}, true}, Case{{1, 0, 0}, {-1, 0, 0}, false},
                            Case{{1, 0.009, 0}, {1, -5, 0}, true}, Case{{1, 0.01, 0}, {1, -5, 0}, false},
                            Case{{-0.005, 1, 1}, {0.005, 1, 1}, true}, Case{{0, 0, 0}, {-3, 7, -1}, true}}) {
    SCOPED_TRACE(std::to_string(a.y) + " vs " + std::to_string(b.y));
    EXPECT_EQ(SameSigns(a, b), same);
  }
}

TEST(Geometry3D, DistancesBelowAThousandthAreZero) {
  EXPECT_EQ(Distance3({0, 0, 0}, {0.0009, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(Distance3({0, 0, 0}, {0.001, 0, 0}), 0.001);
  EXPECT_DOUBLE_EQ(Distance3({1, 2, 3}, {4, 6, 3}), 5.0);
}

// A line without direction (squared length 0.0025 passes SameValue with 0) gives the far-away marker.
TEST(Geometry3D, FootOnLineDropsThePerpendicular) {
  const Vector3D far{999999.0, 999999.0, 999999.0};
  for (auto [p, a, b, foot] :
       {std::tuple<Vector3D, Vector3D, Vector3D, Vector3D>{{3, 4, 0}, {0, 0, 0}, {10, 0, 0}, {3, 0, 0}},
        {{-2, 1, 7}, {0, 0, 0}, {10, 0, 0}, {-2, 0, 0}},
        {{1, 1, 1}, {0, 0, 0}, {2, 2, 2}, {1, 1, 1}},
        {{1, 1, 1}, {0, 0, 0}, {0.05, 0, 0}, far},
        {{1, 1, 1}, {2, 2, 2}, {2, 2, 2}, far}})
    expectNear(foot, FootOnLine(p, a, b));
}

TEST(Geometry3D, AngleDegSnapsParallelAndOppositeAndIgnoresZeroVectors) {
  struct Case {
    Vector3D a, b;
    double degrees;
  };
  for (auto [a, b, degrees] :
       {Case{{0, 0, 1}, {0, 0, 1}, 0}, Case{{0, 0, 1}, {0, 0, -1}, 180}, Case{{0, 0, 0}, {1, 2, 3}, 0},
        Case{{1, 0, 0}, {1, 1, 0}, 45}, Case{{3, 0, 0}, {3, 1e-6, 0}, 0}}) {
    SCOPED_TRACE(std::to_string(degrees));
    EXPECT_NEAR(AngleDeg(a, b), degrees, 1e-9);
  }
}

} // namespace
} // namespace vorlan
