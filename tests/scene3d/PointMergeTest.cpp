#include "SceneFixtures.h"

#include "scene3d/KX_OBJECTS.h"
#include "scene3d/PointGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vorlan {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

// The plain rule that the grid must reproduce: scan every listed point, the last match wins.
std::int32_t lastMatchByScan(const std::vector<Vector3D>& points, const Vector3D& c) {
  std::int32_t found = -1;
  for (std::size_t i = 0; i < points.size(); ++i)
    if (SameValue(points[i].x, c.x) && SameValue(points[i].y, c.y) && SameValue(points[i].z, c.z))
      found = static_cast<std::int32_t>(i);
  return found;
}

// Corner indices by the plain rule, with the list growing as AddPoint grows it.
std::vector<std::int32_t> indicesByScan(const std::vector<Vector3D>& corners) {
  std::vector<Vector3D> listed;
  std::vector<std::int32_t> indices;
  for (const Vector3D& c : corners) {
    std::int32_t index = lastMatchByScan(listed, c);
    if (index < 0) {
      listed.push_back(c);
      index = static_cast<std::int32_t>(listed.size() - 1);
    }
    indices.push_back(index);
  }
  return indices;
}

void expectSameAsScan(const std::vector<Vector3D>& corners) {
  TEntity entity;
  const std::vector<std::int32_t> expected = indicesByScan(corners);
  const TFace& face = test::addPolygon(entity, corners);
  ASSERT_EQ(expected.size(), face.Refs.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    ASSERT_EQ(expected[i], face.Refs[i].Index)
        << "corner " << i << " at (" << corners[i].x << ", " << corners[i].y << ", " << corners[i].z << ")";
  EXPECT_EQ(entity.Points.size(),
            static_cast<std::size_t>(*std::max_element(expected.begin(), expected.end()) + 1));
}

// Points listed straight into the list (not through AddPoint) can match each other; the grid has to see
// them and prefer the later one wherever its cell lies. A merged corner does not move its point.
TEST(AddPoint, MergesWithinTheToleranceAndTheHighestMatchingIndexWins) {
  // clang-format off
  struct Case { const char* name; std::vector<Vector3D> listed; Vector3D corner; std::int32_t index; };
  for (const auto& [name, listed, corner, index] :
       {Case{"within in x and z", {{0, 0, 0}}, {0.009, 0, 0.0099}, 0},
        {"0.01 apart", {{0, 0, 0}}, {0.01, 0, 0}, 1},
        {"within in y", {{0, 0, 0}}, {0, -0.0099, 0}, 0},
        {"z too far", {{0, 0, 0}}, {0.005, 0.005, 0.02}, 1},
        {"same cell", {{0, 0, 0}, {0.005, 0, 0}, {0.5, 0, 0}}, {0.004, 0, 0}, 1},
        {"later point in the neighbouring cell", {{0.1005, 0, 0}, {0.0995, 0, 0}}, {0.1001, 0, 0}, 1},
        {"later point in the corner's own cell", {{0.0995, 0, 0}, {0.1005, 0, 0}}, {0.1001, 0, 0}, 1},
        {"diagonal neighbour", {{0.1, 0.1, 0.1}, {0.0999, 0.0999, 0.0999}}, {0.1, 0.1, 0.1}, 1}}) {
    // clang-format on
    SCOPED_TRACE(name);
    TEntity entity;
    for (const Vector3D& p : listed)
      entity.Points.emplace_back(p.x, p.y, p.z, 1.0);
    TFace& face = test::addPolygon(entity, {corner});
    EXPECT_EQ(face.Refs[0].Index, index);
    EXPECT_EQ(entity.Points.size(), std::max(listed.size(), std::size_t(index) + 1));
    EXPECT_EQ(entity.Points[0].Position(), listed[0]);
  }
}

TEST(AddPoint, SharesPointsBetweenFacesAndContoursAndForgetsPointsThatLeftTheList) {
  TEntity entity;
  test::addPolygon(entity, test::rectangle(1, 1));
  TFace& second = test::addContourFace(entity, {test::shifted(test::rectangle(1, 1), {1, 0, 0})});
  EXPECT_EQ(entity.Points.size(), 6u);
  EXPECT_EQ(std::pair(second.Refs[0].Index, second.Refs[3].Index), std::pair(1, 2)) << "first face's points";
  EXPECT_EQ(second.Contours[0].Refs, (std::vector<std::size_t>{0, 1, 2, 3}));
  entity.Points.clear();
  EXPECT_EQ(test::addPolygon(entity, {{1, 0, 0}}).Refs[0].Index, 0);
  EXPECT_EQ(entity.Points.size(), 1u);
}

TEST(AddPoint, AgreesWithTheScanOnRandomClouds) {
  // clang-format off
  // step: 0: continuous coordinates; else multiples of step, so ties and boundaries are common
  struct Case { unsigned seed; double extent; double step; std::size_t count; };
  for (auto [seed, extent, step, count] :
       {Case{1, 0.3, 0, 3000}, Case{2, 0.3, 0.005, 3000}, Case{3, 0.05, 0, 2000}, Case{4, 2.0, 0.01, 3000},
        Case{5, 1000, 0, 2000}, Case{6, 0.4, 0.1, 500}}) {
    // clang-format on
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-extent, extent);
    auto draw = [&] { return step > 0 ? std::round(coordinate(random) / step) * step : coordinate(random); };
    std::vector<Vector3D> corners;
    for (std::size_t i = 0; i < count; ++i)
      corners.push_back({draw(), draw(), draw()});
    expectSameAsScan(corners);
  }
}

// Cell boundaries, the clamp edge of the cell index, and coordinates no cell holds (non-finite, huge):
// each corner matches only as the scan says. Every corner comes twice, so each meets its own copy.
TEST(AddPoint, AgreesWithTheScanAtCellBoundariesAndOnNonFiniteOrHugeCoordinates) {
  std::vector<Vector3D> corners;
  const double offsets[] = {-0.01, -0.0099999, -1e-12, 0, 1e-12, 0.0099999, 0.01, 0.0100001};
  for (int cell = -2; cell <= 2; ++cell) {
    const double edge = cell * PointGrid::kCellSize;
    for (double dx : offsets)
      for (double dy : {0.0, offsets[1], offsets[5]})
        corners.push_back({edge + dx, edge + dy, -edge - dx});
    corners.push_back({std::nextafter(edge, -kInf), edge, edge});
    corners.push_back({std::nextafter(edge, kInf), edge, edge});
  }
  const double past = PointGrid::kCellLimit * PointGrid::kCellSize + 0.005;
  for (double a : {kNaN, kInf, -kInf, kMax, -kMax, 1e300, -1e300, 1e15, 1000000000000000.125, past - 0.005,
                   past, -past, 4.9e-324, -0.0})
    for (double b : {a, 0.0, kNaN}) {
      corners.push_back({a, b, 0});
      corners.push_back({0, a, b});
    }
  std::vector<Vector3D> twice = corners;
  twice.insert(twice.end(), corners.begin(), corners.end());
  expectSameAsScan(twice);
  std::reverse(twice.begin(), twice.end());
  expectSameAsScan(twice);
}

} // namespace
} // namespace vorlan
