#include "ViewTestHost.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using Events = std::vector<std::string>;

class ViewEvents : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(host.showActive());
    host.useTopView();
    host.view->Initialisation();
    host.view->OnMouseMove = [this](TGL_VIEW& sender, const TShiftState&, int, int) {
      host.note(sender, "MouseMove");
    };
    host.view->OnMouseUp = [this](TGL_VIEW& sender, Qt::MouseButton, const TShiftState&, int, int) {
      host.note(sender, sender.Dragging() ? "MouseUp while dragging" : "MouseUp");
    };
    host.takeEvents();
  }

  test::ViewHost host;
  const QPoint centre{200, 200};
};

TEST_F(ViewEvents, EachPassRaisesTheHandlersOfItsBranchInOrder) {
  struct Case {
    bool paper, reflection, shadow;
    double elevation;
    bool moving;
    Events expected;
  };
  const Events still{"Redraw", "ScreenRedraw", "DrawOnCanvas"};
  const Events moving{"MovingRedraw", "ScreenRedraw", "DrawOnCanvas"};
  const Events paper{"PaperFill", "PaperLine", "DrawOnCanvas"};
  const Events both{"ReflectRedraw", "ShadowRedraw", "Redraw", "ScreenRedraw", "DrawOnCanvas"};
  const Case cases[] = {
      {false, false, false, 45, false, still},
      {false, false, false, 45, true, moving},
      {false, false, true, 99, false, {"ShadowRedraw", "Redraw", "ScreenRedraw", "DrawOnCanvas"}},
      {false, false, true, 100, false, still},
      {false, true, false, 89, false, {"ReflectRedraw", "Redraw", "ScreenRedraw", "DrawOnCanvas"}},
      {false, true, true, 45, false, both},
      {false, true, true, 90, false, still},
      {true, true, true, 45, true, paper},
  };
  host.view->SetDrawMode(CViewMode::DRAW);
  for (const auto& [isPaper, reflection, shadow, elevation, isMoving, expected] : cases) {
    SCOPED_TRACE(testing::Message() << "paper " << isPaper << " reflection " << reflection << " shadow "
                                    << shadow << " elevation " << elevation << " moving " << isMoving);
    host.view->SetPaperMode(isPaper);
    host.view->SetReflection(reflection);
    host.view->SetShadow(shadow);
    host.camera.Params().SetElevation(elevation);
    if (isMoving) host.press(centre);
    host.takeEvents();
    host.view->Redraw();
    EXPECT_EQ(host.takeEvents(), expected);
    if (isMoving) host.release(centre);
  }
}

// Press, a move upwards with the left button (one degree of elevation in the polar style) and release.
TEST_F(ViewEvents, DragNavigatesOnlyInRenderModeAndReleaseSetsTheScaleExceptInSelectMode) {
  const Events navigated{"MouseMove", "MovingRedraw", "ScreenRedraw", "DrawOnCanvas"};
  host.camera.SetStyle(CStyle::polar);
  for (const auto& [mode, distance, elevationStep, scale, moveEvents] :
       {std::tuple{CViewMode::RENDER, 1500, 1, 1.0 / 1500, navigated},
        {CViewMode::DRAW, 400, 0, 1.0 / 400, {"MouseMove"}},
        {CViewMode::SELECT, 1500, 0, 0.001, {"MouseMove"}},
        {CViewMode::RENDER, 0, 1, 0.001, navigated}}) {
    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(mode) << " distance " << distance);
    host.view->SetDrawMode(mode);
    host.camera.SetScale(0.001);
    host.camera.Params().SetDistance(distance);
    host.camera.Params().SetElevation(45);
    host.mouse(QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton); // no drag yet: no navigation
    host.press(centre);
    EXPECT_TRUE(host.view->Dragging());
    EXPECT_EQ(QPoint(host.camera.LastX(), host.camera.LastY()), centre);
    host.takeEvents();
    host.mouse(QEvent::MouseMove, centre - QPoint(0, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(host.takeEvents(), moveEvents);
    EXPECT_DOUBLE_EQ(host.camera.Params().Elevation(), 45 + elevationStep);
    host.release(centre);
    EXPECT_FALSE(host.view->Dragging());
    EXPECT_DOUBLE_EQ(host.camera.Scale(), scale);
    EXPECT_EQ(host.takeEvents(), (Events{"MouseUp while dragging", "Redraw", "ScreenRedraw", "DrawOnCanvas"}))
        << "the host's handler first, then the focused view redraws";
  }
}

} // namespace
} // namespace vorlan
