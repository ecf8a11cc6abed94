#include "graphic_viewer/Sequence2DItems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vorlan {
namespace {

std::unique_ptr<T2DSequenceItem> Line(double x1, double y1, double x2, double y2) {
  return std::make_unique<T2DSequenceLine>(x1, y1, x2, y2);
}

std::unique_ptr<T2DSequenceItem> Arc(double cx, double cy, double r, double x1, double y1, double x2,
                                     double y2) {
  return std::make_unique<T2DSequenceArc>(cx, cy, r, x1, y1, x2, y2);
}

template <class... Pieces> T2DOpenedSequence Chain(Pieces... pieces) {
  T2DOpenedSequence sequence;
  (sequence.Add(std::move(pieces)), ...);
  return sequence;
}

// The joint is one point, and the half circle bulges to the right, counter-clockwise from the bottom.
TEST(Sequence, ALineThenAnArcShareTheirJoint) {
  const auto points = Chain(Line(0, 0, 10, 0), Arc(10, 5, 5, 10, 0, 10, 10)).GetPoints();
  ASSERT_GT(points.size(), 3u);
  EXPECT_EQ(std::pair(points[1].X, points[1].Y), std::pair(10.0, 0.0));
  EXPECT_GT(points[2].X, 10);
  EXPECT_NEAR(points.back().X, 10, 1e-9);
  EXPECT_NEAR(points.back().Y, 10, 1e-9);
}

// Every point lies on the circle, they advance counter-clockwise, and no chord strays more than a
// quarter unit from the arc up to radii where the 3600-point cap takes over.
TEST(Sequence, ArcsAreCutIntoChordsCloseToTheCircle) {
  for (double radius : {0.5, 5.0, 100.0, 5000.0, 1e6}) {
    SCOPED_TRACE(radius);
    const T2DSequenceArc arc(0, 0, radius, radius, 0, 0, radius);
    const auto points = arc.GetPoints();
    ASSERT_GE(points.size(), 2u);
    EXPECT_LE(points.size(), 3600u);
    double previous = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(std::hypot(points[i].X, points[i].Y), radius, radius * 1e-9);
      const double angle = std::atan2(points[i].Y, points[i].X);
      EXPECT_GT(angle, previous);
      if (i > 0 && radius <= 1e5) {
        const double half = (angle - previous) / 2;
        EXPECT_LE(radius * (1 - std::cos(half)), 0.25 + 1e-9);
      }
      previous = angle;
    }
  }
}

TEST(Sequence, DegenerateAndNonFiniteArcsNeitherHangNorFlood) {
  EXPECT_TRUE(T2DSequenceArc(0, 0, 5, 5, 0, 5.0005, 0.0005).GetPoints().empty());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_LE(T2DSequenceArc(0, 0, nan, 5, 0, 0, 5).GetPoints().size(), 3600u);
  EXPECT_LE(T2DSequenceArc(nan, 0, 5, 5, 0, 0, 5).GetPoints().size(), 3600u);
  EXPECT_LE(T2DSequenceArc(0, 0, std::numeric_limits<double>::infinity(), 5, 0, 0, 5).GetPoints().size(),
            3600u);
}

TEST(Sequence, AClosedLoopOfFourLinesGivesFourPoints) {
  T2DClosedSequence closed;
  closed.Add(Chain(Line(0, 0, 10, 0), Line(10, 0, 10, 10), Line(10, 10, 0, 10), Line(0, 10, 0, 0)));
  closed.Add(Chain(Line(20, 0, 30, 0), Line(30, 0, 20, 10), Line(20, 10, 20, 0)));
  EXPECT_TRUE(closed.Chain());
  EXPECT_EQ(closed.GetPoints().size(), 7u);
  EXPECT_EQ(closed.AllPieces().size(), 7u);

  T2DClosedSequence shuffled;
  shuffled.Add(Chain(Line(10, 10, 10, 0), Line(0, 0, 10, 0), Line(0, 10, 0, 0), Line(10, 10, 0, 10)));
  ASSERT_TRUE(shuffled.Chain()) << "a loop listed out of order, pieces backwards";
  const auto points = shuffled.GetPoints();
  ASSERT_EQ(points.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_NEAR(std::hypot(points[i].X - points[(i + 1) % 4].X, points[i].Y - points[(i + 1) % 4].Y), 10,
                1e-9);

  T2DClosedSequence open;
  open.Add(Chain(Line(0, 0, 10, 0), Line(10, 0, 10, 10)));
  EXPECT_FALSE(open.Chain()) << "a chain that does not come back to its start is no loop";
}

// Pieces listed out of order, some backwards, chain when their ends are within 1.0 on each axis.
TEST(Sequence, ChainingOrdersAndTurnsPiecesWithinTheTolerance) {
  for (const auto& [name, gap, chains] :
       {std::tuple{"touching", 0.0, true}, {"0.99 apart", 0.99, true}, {"1.0 apart", 1.0, false}}) {
    SCOPED_TRACE(name);
    auto sequence = Chain(Line(20 + gap, 0, 30, 0), Line(10, 0, 0, 0), Line(20, 0, 10 + gap, 0));
    ASSERT_EQ(sequence.Chain(), chains);
    if (!chains) continue;
    const auto points = sequence.GetPoints();
    ASSERT_EQ(points.size(), 4u);
    const double xs[] = {30, 20 + gap, 10 + gap, 0};
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_NEAR(points[i].X, xs[i], 1e-9) << i;
  }
  T2DOpenedSequence empty;
  EXPECT_FALSE(empty.Chain());
  auto loop = Chain(Line(0, 0, 10, 0), Line(10, 0, 0, 0));
  EXPECT_FALSE(loop.Chain()) << "every piece joined at both ends: no beginning";
}

} // namespace
} // namespace vorlan
