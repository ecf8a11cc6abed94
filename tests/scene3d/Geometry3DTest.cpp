#include "scene3d/Geometry3D.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlan {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Geometry3D, ToleranceComparisonsAreStrict) {
  // clang-format off
  for (auto [a, b, same] : {std::tuple{0.0, 0.0099, true}, {0.0, 0.01, false}, {5.0, 4.995, true},
                            {-0.0, 0.0, true}, {kNaN, kNaN, false}, {kInf, kInf, false}}) {
    // clang-format on
    SCOPED_TRACE(std::to_string(a) + " vs " + std::to_string(b));
    EXPECT_EQ(std::pair(SameValue(a, b), SameValue(b, a)), std::pair(same, same));
  }
  // clang-format off
  struct Case { Vector3D a, b; bool same; };
  for (auto [a, b, same] : {Case{{1, 2, 3}, {4, 5, 6}, true}, {{1, 0, 0}, {-1, 0, 0}, false},
                            {{1, 0.009, 0}, {1, -5, 0}, true}, {{1, 0.01, 0}, {1, -5, 0}, false},
                            {{-0.005, 1, 1}, {0.005, 1, 1}, true}, {{0, 0, 0}, {-3, 7, -1}, true}}) {
    // clang-format on
    SCOPED_TRACE(std::to_string(a.y) + " vs " + std::to_string(b.y));
    EXPECT_EQ(SameSigns(a, b), same) << "near-zero components count as zero";
  }
  EXPECT_EQ(Distance3({0, 0, 0}, {0.0009, 0, 0}), 0.0) << "below a thousandth";
  EXPECT_DOUBLE_EQ(Distance3({0, 0, 0}, {0.001, 0, 0}), 0.001);
  EXPECT_DOUBLE_EQ(Distance3({1, 2, 3}, {4, 6, 3}), 5.0);
}

// A line without direction (squared length 0.0025 passes SameValue with 0) gives the far-away marker.
TEST(Geometry3D, FootOnLineDropsThePerpendicular) {
  const Vector3D far{999999.0, 999999.0, 999999.0};
  // clang-format off
  struct Case { Vector3D p, a, b, foot; };
  for (auto [p, a, b, foot] : {Case{{3, 4, 0}, {0, 0, 0}, {10, 0, 0}, {3, 0, 0}},
                               {{-2, 1, 7}, {0, 0, 0}, {10, 0, 0}, {-2, 0, 0}}, {{1, 1, 1}, {0, 0, 0}, {2, 2, 2}, {1, 1, 1}},
                               {{1, 1, 1}, {0, 0, 0}, {0.05, 0, 0}, far}, {{1, 1, 1}, {2, 2, 2}, {2, 2, 2}, far}}) {
    // clang-format on
    const Vector3D f = FootOnLine(p, a, b);
    EXPECT_NEAR(f.x, foot.x, 1e-12);
    EXPECT_NEAR(f.y, foot.y, 1e-12);
    EXPECT_NEAR(f.z, foot.z, 1e-12);
  }
}

TEST(Geometry3D, AngleDegSnapsParallelAndOppositeAndIgnoresZeroVectors) {
  // clang-format off
  struct Case { Vector3D a, b; double degrees; };
  for (auto [a, b, degrees] : {Case{{0, 0, 1}, {0, 0, 1}, 0}, {{0, 0, 1}, {0, 0, -1}, 180}, {{0, 0, 0}, {1, 2, 3}, 0},
                               {{1, 0, 0}, {1, 1, 0}, 45}, {{3, 0, 0}, {3, 1e-6, 0}, 0}})
    // clang-format on
    EXPECT_NEAR(AngleDeg(a, b), degrees, 1e-9) << degrees;
}

} // namespace
} // namespace vorlan
