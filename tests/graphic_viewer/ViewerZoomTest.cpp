#include "graphic_viewer/GvViewer.h"

#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using test::rgbAt;

// A viewer of `width` x `height` pixels on a document holding the given lines.
struct ViewerOnLines {
  explicit ViewerOnLines(std::initializer_list<std::array<double, 4>> lines, int width = 659,
                         int height = 442) {
    for (const auto& l : lines)
      document.AddEntity(std::make_unique<TGV_LINE>(l[0], l[1], l[2], l[3]));
    viewer.Resize(width, height);
    viewer.SetDocument(&document);
  }
  // A refused view is recorded instead of waiting for a click on a message box.
  MessageRecorder messages;
  TGV_DOCUMENT document;
  TGV_VIEWER viewer;
};

void ExpectView(const TGV_ViewPortRestore& actual, const TGV_ViewPortRestore& expected,
                double tolerance = 1e-9) {
  EXPECT_NEAR(actual.Xmin, expected.Xmin, tolerance);
  EXPECT_NEAR(actual.Ymin, expected.Ymin, tolerance);
  EXPECT_NEAR(actual.Xmax, expected.Xmax, tolerance);
  EXPECT_NEAR(actual.Ymax, expected.Ymax, tolerance);
}

// Tenth margins, ten units across a zero width, no view taken by boxes that are not numbers, the
// window kept for an empty document; each zoom-all is recorded.
TEST(ViewerZoom, ZoomAllFitsTheDrawingWithMargins) {
  struct Case {
    const char* name;
    std::initializer_list<std::array<double, 4>> lines;
    TGV_ViewPortRestore view;
  };
  const Case cases[] = {
      {"zero width", {{100, 0, 100, 500}}, {90, -50, 110, 550}},
      {"a line that is not a number", {{0, 0, 100, 50}, {std::nan(""), 0, 1e6, 1e6}}, {-10, -5, 110, 55}},
      {"empty document", {}, {0, 0, 1000, 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerOnLines v(c.lines);
    v.viewer.ZoomAll();
    ExpectView(v.viewer.Viewport(), c.view);
    EXPECT_TRUE(v.messages.texts().empty());
    ASSERT_EQ(v.viewer.ZoomHistory().Records().size(), 1u);
    EXPECT_EQ(v.viewer.ZoomHistory().Records()[0], v.viewer.Viewport());
  }
}

TEST(ViewerZoom, AWindowUnderHalfAUnitIsRefusedWithZoomToHigh) {
  ViewerOnLines v({{0, 0, 100, 100}});
  v.viewer.SetView(0, 0, 1000, 1000);
  for (const TGV_ViewPortRestore& tiny : {TGV_ViewPortRestore{0, 0, 0.4, 100}, {5, 5, 100, 5.3}}) {
    MessageRecorder messages;
    v.viewer.SetView(tiny.Xmin, tiny.Ymin, tiny.Xmax, tiny.Ymax);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Zoom to high"});
    ExpectView(v.viewer.Viewport(), {0, 0, 1000, 1000});
  }
}

TEST(ViewerZoom, AZoomWindowDraggedEitherWayGivesTheSameView) {
  TGV_ViewPortRestore views[2];
  int i = 0;
  for (const auto& [from, to] :
       {std::pair{QPoint(150, 100), QPoint(400, 300)}, {QPoint(400, 300), QPoint(150, 100)}}) {
    ViewerOnLines v({{0, 0, 1000, 1000}});
    v.viewer.SetView(0, 0, 1000, 1000);
    v.viewer.StartZoomWindow();
    v.viewer.MouseDown(Qt::LeftButton, from);
    v.viewer.MouseMove(to);
    v.viewer.MouseDown(Qt::LeftButton, to);
    EXPECT_EQ(v.viewer.Command(), TGV_VIEWER::CommandSelection);
    EXPECT_FALSE(v.viewer.Dragging());
    views[i++] = v.viewer.Viewport();
    EXPECT_EQ(v.viewer.ZoomHistory().Records().back(), v.viewer.Viewport());
  }
  ExpectView(views[0], views[1]);
  // The corners are the band's corners in the world: x 150 is (150 - 108) / 0.441 units.
  EXPECT_NEAR(views[0].Xmin, 42 / 0.441, 1e-9);
  EXPECT_NEAR(views[0].Ymax, (442 - 100) / 0.441, 1e-9);
}

TEST(ViewerZoom, DynamicZoomWidensGoingDownAndNarrowsOtherwise) {
  for (const auto& [move, widthFactor] :
       {std::pair{QPoint(200, 260), 1.1}, {{260, 200}, 0.9}, {{200, 140}, 0.9}}) {
    SCOPED_TRACE(widthFactor);
    ViewerOnLines v({{0, 0, 1000, 1000}});
    v.viewer.SetView(0, 0, 1000, 500);
    v.viewer.StartDynamicZoom();
    v.viewer.MouseDown(Qt::LeftButton, {200, 200});
    v.viewer.MouseMove(move);
    const TGV_ViewPortRestore view = v.viewer.Viewport();
    EXPECT_NEAR(view.Xmax - view.Xmin, 1000 * widthFactor, 1e-9);
    EXPECT_NEAR(view.Ymax - view.Ymin, 500 * widthFactor, 1e-9) << "the aspect is kept";
    EXPECT_NEAR(view.Xmin + view.Xmax, 1000, 1e-9) << "about the centre";
    v.viewer.MouseUp(Qt::LeftButton, move);
    EXPECT_EQ(v.viewer.Command(), TGV_VIEWER::CommandSelection);
    EXPECT_EQ(v.viewer.ZoomHistory().Records().size(), 1u);
  }
}

// The world point under the cursor stays there, whatever the direction and the place.
TEST(ViewerZoom, WheelZoomKeepsThePointUnderTheCursor) {
  for (const QPoint cursor : {QPoint(0, 0), QPoint(330, 220), QPoint(600, 50), QPoint(658, 441)}) {
    for (const double steps : {1.0, -2.0}) {
      SCOPED_TRACE(testing::Message() << cursor.x() << "," << cursor.y() << " steps " << steps);
      ViewerOnLines v({{0, 0, 1000, 1000}});
      v.viewer.SetView(0, 0, 1000, 1000);
      const QPointF point = v.viewer.Transform().ScreenToWorld(cursor.x(), cursor.y());
      const double scale = v.viewer.Transform().Scale;
      v.viewer.Wheel(cursor, steps);
      EXPECT_NEAR(v.viewer.Transform().Scale, scale * std::pow(1.25, steps), scale * 1e-9);
      const QPoint back = v.viewer.Transform().WorldToScreen(point.x(), point.y());
      EXPECT_LE((back - cursor).manhattanLength(), 1);
      EXPECT_EQ(v.viewer.ZoomHistory().Records().size(), 1u);
    }
  }
}

TEST(ViewerZoom, MiddleButtonPansAtTheSameScaleAndRecordsTheViewOnRelease) {
  ViewerOnLines v({{0, 0, 1000, 1000}});
  v.viewer.SetView(0, 0, 1000, 1000);
  const QPointF grabbed = v.viewer.Transform().ScreenToWorld(300, 200);
  v.viewer.MouseDown(Qt::MiddleButton, {300, 200});
  v.viewer.MouseMove({340, 150});
  v.viewer.MouseMove({380, 120});
  EXPECT_TRUE(v.viewer.ZoomHistory().Records().empty());
  v.viewer.MouseUp(Qt::MiddleButton, {380, 120});
  EXPECT_EQ(v.viewer.Transform().WorldToScreen(grabbed.x(), grabbed.y()), QPoint(380, 120));
  EXPECT_DOUBLE_EQ(v.viewer.Transform().Scale, 0.441);
  ASSERT_EQ(v.viewer.ZoomHistory().Records().size(), 1u);
  EXPECT_EQ(v.viewer.ZoomHistory().Records()[0], v.viewer.Viewport());
  EXPECT_EQ(v.viewer.Command(), TGV_VIEWER::CommandSelection) << "the buttons' commands are untouched";
}

TEST(ViewerDisplayList, HoldsOnlyTheEntitiesInsideTheVisibleWorld) {
  ViewerOnLines v({{10, 10, 20, 20}, {5000, 5000, 5010, 5010}, {-100, 50, 100, 50}}, 201, 201);
  v.viewer.SetView(0, 0, 200, 200);
  ASSERT_EQ(v.viewer.DisplayList().size(), 2u) << "inside, and crossing an edge";
  EXPECT_EQ(v.viewer.DisplayList()[0], v.document.Entities()[0].get());
  EXPECT_EQ(v.viewer.DisplayList()[1], v.document.Entities()[2].get());
}

TEST(ViewerPaint, FrameAxisIconAndFirstPaintZoomAll) {
  ViewerOnLines v({{100, 100, 300, 200}}, 400, 300);
  EXPECT_TRUE(v.viewer.FirstPaint());
  v.viewer.Paint();
  EXPECT_FALSE(v.viewer.FirstPaint());
  ExpectView(v.viewer.Viewport(), {80, 90, 320, 210});
  const QImage& surface = v.viewer.Surface();
  ASSERT_EQ(surface.size(), QSize(400, 300));
  EXPECT_EQ(rgbAt(surface, 0, 150), 0u) << "black frame, left";
  EXPECT_EQ(rgbAt(surface, 398, 150), 0u) << "black frame, right";
  EXPECT_EQ(rgbAt(surface, 399, 150), 0xFFFFFFu) << "the last column is outside the rectangle";
  EXPECT_EQ(rgbAt(surface, 20, 285), 0x0000FFu) << "axis icon";
  // The line from the drawing's lower left to its upper right, fitted: its middle is the centre.
  const QPoint middle = v.viewer.Transform().WorldToScreen(200, 150);
  int black = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      black += rgbAt(surface, middle.x() + dx, middle.y() + dy) == 0;
  EXPECT_GT(black, 0);
  EXPECT_FALSE(v.viewer.NeedsPaint());
}

// The loaded drawing is one unselectable group: clicks select nothing, but the band shows and
// Escape takes it away.
TEST(ViewerSelection, ABandOverAnUnselectableGroupSelectsNothingButIsDrawn) {
  TGV_DOCUMENT document;
  auto group = std::make_unique<TGV_GROUPE>();
  group->Add(std::make_unique<TGV_LINE>(0, 0, 1000, 1000));
  group->Selectable = false;
  document.AddEntity(std::move(group));
  TGV_VIEWER viewer;
  viewer.Resize(300, 300);
  viewer.SetDocument(&document);
  viewer.Paint();
  const QImage before = viewer.Surface();

  viewer.MouseDown(Qt::LeftButton, {20, 20});
  viewer.MouseMove({250, 250});
  EXPECT_TRUE(viewer.Dragging());
  EXPECT_NE(viewer.Surface(), before);
  EXPECT_EQ(rgbAt(viewer.Surface(), 100, 20), 0u) << "dotted band on white";
  viewer.MouseDown(Qt::LeftButton, {250, 250});
  EXPECT_FALSE(viewer.Dragging());
  EXPECT_TRUE(document.Selection().empty());
  EXPECT_FALSE(document.Entities()[0]->Selected);

  viewer.Paint();
  viewer.MouseDown(Qt::LeftButton, {20, 20});
  viewer.MouseMove({250, 250});
  viewer.KeyDown(Qt::Key_Escape);
  EXPECT_FALSE(viewer.Dragging());
  EXPECT_EQ(viewer.Surface(), before) << "the band drawn twice is gone";
}

TEST(ViewerSelection, AClickTogglesASelectableEntityAndTheSelectionFollows) {
  ViewerOnLines v({{0, 0, 1000, 1000}}, 300, 300);
  v.viewer.SetView(0, 0, 1000, 1000);
  const QPoint on = v.viewer.Transform().WorldToScreen(500, 500);
  v.viewer.MouseDown(Qt::LeftButton, on);
  EXPECT_TRUE(v.document.Entities()[0]->Selected);
  EXPECT_EQ(v.document.Selection().size(), 1u);
  EXPECT_FALSE(v.viewer.Dragging());
  v.viewer.KeyDown(Qt::Key_Escape);
  EXPECT_FALSE(v.document.Entities()[0]->Selected);
  EXPECT_TRUE(v.document.Selection().empty());
}

} // namespace
} // namespace vorlan
