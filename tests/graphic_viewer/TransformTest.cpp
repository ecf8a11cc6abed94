#include "graphic_viewer/GvTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vorlan {
namespace {

TEST(Transform, TheWindowFitsTheControlCentredOnTheOtherAxis) {
  // clang-format off
  struct Case { const char* name; double xmax, ymax; int width, height; double scale; int offsetX, offsetY; };
  const Case cases[] = {
      {"square window, wide control", 1000, 1000, 659, 442, 441.0 / 1000, 108, 442},
      {"wide window, tall control", 1000, 100, 659, 442, 658.0 / 1000, 0, 442 - 188},
      {"exact fit", 100, 100, 101, 101, 1, 0, 101},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GvTransform t;
    t.Xmax = c.xmax, t.Ymax = c.ymax;
    t.Setup(c.width, c.height);
    EXPECT_DOUBLE_EQ(t.Scale, c.scale);
    EXPECT_EQ(t.OffsetX, c.offsetX);
    EXPECT_EQ(t.OffsetY, c.offsetY);
    // The window's corners land inside the control.
    const QPoint low = t.WorldToScreen(0, 0), high = t.WorldToScreen(c.xmax, c.ymax);
    EXPECT_GE(high.y(), 0);
    EXPECT_LE(high.x(), c.width - 1);
    EXPECT_LE(low.y(), c.height);
  }
  GvTransform flat;
  flat.Scale = 3, flat.OffsetX = 7, flat.Ymax = 0;
  flat.Setup(500, 500);
  EXPECT_EQ(flat.Scale, 3) << "a window without height keeps the transform";
  EXPECT_EQ(flat.OffsetX, 7);
}

TEST(Transform, WorldToScreenRoundsHalvesToEvenAndScreenToWorldInvertsIt) {
  GvTransform t;
  t.Xmin = 10, t.Ymin = 20, t.Scale = 1, t.OffsetX = 5, t.OffsetY = 100;
  EXPECT_EQ(t.WorldToScreen(12.5, 22.5), QPoint(5 + 2, 100 - 2));
  EXPECT_EQ(t.WorldToScreen(13.5, 23.5), QPoint(5 + 4, 100 - 4));
  EXPECT_EQ(t.ToPixels(2.5), 2);
  t.Scale = 0.37;
  for (QPoint p : {QPoint(0, 0), QPoint(13, 77), QPoint(640, 3)}) {
    const QPointF world = t.ScreenToWorld(p.x(), p.y());
    EXPECT_EQ(t.WorldToScreen(world.x(), world.y()), p);
  }
}

TEST(Transform, FarAndNonFinitePointsStayWithinPixelRange) {
  GvTransform t;
  t.Scale = 1000;
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  for (double v : {1e300, -1e300, inf, -inf, nan}) {
    SCOPED_TRACE(v);
    const QPoint p = t.WorldToScreen(v, v);
    EXPECT_LE(std::abs(p.x()), 1'000'000'000);
    EXPECT_LE(std::abs(p.y()), 1'000'000'000);
  }
}

TEST(Transform, VisibleWindowIsTheWorldUnderTheControlOrThePaper) {
  GvTransform t;
  t.Setup(659, 442);
  const GvWorldRect model = t.VisibleWindow();
  EXPECT_NEAR(model.left, -108 / 0.441, 1e-9);
  EXPECT_NEAR(model.right, (659 - 108) / 0.441, 1e-9);
  EXPECT_NEAR(model.bottom, 0, 1e-9);
  EXPECT_NEAR(model.top, 442 / 0.441, 1e-9);
  t.SpaceView = CST_SPACE::PaperSpace;
  t.PaperWidthMM = 200, t.PaperHeightMM = 100, t.ScalePaper = 2;
  t.CentrePaperWindow();
  const GvWorldRect paper = t.VisibleWindow();
  EXPECT_DOUBLE_EQ(paper.left, 300);
  EXPECT_DOUBLE_EQ(paper.right, 700);
  EXPECT_DOUBLE_EQ(paper.bottom, 400);
  EXPECT_DOUBLE_EQ(paper.top, 600);
}

} // namespace
} // namespace vorlan
