#include "ViewTestHost.h"

#include <QLineEdit>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace vorlan {
namespace {

using Events = std::vector<std::string>;

class ViewMouse : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(host.showActive());
    host.view->SetCamera(&host.camera);
    host.view->Initialisation();
    host.camera.SetStyle(CStyle::polar);
    host.takeEvents();
  }

  void move(QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {}) {
    host.mouse(QEvent::MouseMove, at, Qt::NoButton, held, keys);
  }
  void wheel(int angle) {
    QWheelEvent event(centre, host.view->mapToGlobal(centre), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(host.view, &event);
  }
  bool movingPictureShown() {
    const Events events = host.takeEvents();
    const auto last = std::find_if(events.rbegin(), events.rend(),
                                   [](const std::string& e) { return e == "Redraw" || e == "MovingRedraw"; });
    return last == events.rend() || *last == "MovingRedraw";
  }

  test::ViewHost host;
  const QPoint centre{200, 200};
};

// A completion list or another widget may hold the keyboard focus when the button comes up.
TEST_F(ViewMouse, ADragEndsWithTheFullPictureWhateverHasTheFocus) {
  auto* elsewhere = new QLineEdit(&host);
  elsewhere->setGeometry(0, 0, 10, 10);
  elsewhere->show();
  for (bool viewFocused : {true, false}) {
    SCOPED_TRACE(viewFocused ? "view focused" : "focus elsewhere");
    host.camera.Params().SetDistance(1500);
    host.press(centre);
    move(centre + QPoint(20, 0), Qt::LeftButton);
    if (!viewFocused) elsewhere->setFocus();
    ASSERT_EQ(host.view->hasFocus(), viewFocused);
    host.release(centre + QPoint(20, 0));
    EXPECT_FALSE(movingPictureShown());
    EXPECT_DOUBLE_EQ(host.camera.Scale(), 1.0 / 1500);
  }
}

TEST_F(ViewMouse, TheMiddleButtonPansAsAltWithTheLeftButtonDoes) {
  struct Case {
    const char* what;
    Qt::MouseButton button;
    Qt::KeyboardModifiers keys;
  };
  struct Result {
    double x, y, left, top;
  };
  std::vector<Result> results;
  for (CStyle style : {CStyle::polar, CStyle::normal}) {
    for (const auto& [what, button, keys] :
         {Case{"alt + left", Qt::LeftButton, Qt::AltModifier}, Case{"middle", Qt::MiddleButton, {}}}) {
      SCOPED_TRACE(what);
      host.camera.SetStyle(style);
      host.camera.Params().SetAzimuth(30);
      host.camera.Params().SetElevation(45);
      host.camera.Params().SetPas(100);
      host.camera.Position().SetX(0);
      host.camera.Position().SetY(0);
      for (auto set : {&TParams::SetLeft, &TParams::SetBottom})
        (host.camera.Params().*set)(-500);
      for (auto set : {&TParams::SetRight, &TParams::SetTop})
        (host.camera.Params().*set)(500);
      host.press(centre, button, keys);
      move(centre + QPoint(30, 10), button, keys);
      host.release(centre + QPoint(30, 10), button, keys);
      const TParams& p = host.camera.Params();
      results.push_back({host.camera.Position().X(), host.camera.Position().Y(), p.left(), p.top()});
      EXPECT_DOUBLE_EQ(p.Elevation(), 45) << "a pan does not orbit";
    }
  }
  ASSERT_EQ(results.size(), 4u);
  for (std::size_t style : {0u, 2u}) {
    EXPECT_DOUBLE_EQ(results[style].x, results[style + 1].x);
    EXPECT_DOUBLE_EQ(results[style].y, results[style + 1].y);
    EXPECT_DOUBLE_EQ(results[style].left, results[style + 1].left);
    EXPECT_DOUBLE_EQ(results[style].top, results[style + 1].top);
  }
  EXPECT_NE(results[0].x, 0) << "the orbit centre moved";
  EXPECT_NE(results[2].left, -500) << "the orthographic window moved";
}

TEST_F(ViewMouse, TheWheelStepsTheDistanceAsARightDragDoesAndShowsTheFullPicture) {
  struct Case {
    const char* what;
    int angle;
    double distance;
  };
  host.camera.Params().SetPas(100);
  host.camera.Params().SetDistance(1500);
  for (const auto& [what, angle, distance] : {Case{"away: closer", 120, 1400},
                                              {"again", 120, 1300},
                                              {"towards: farther", -120, 1400},
                                              {"fine turn", -15, 1500}}) {
    SCOPED_TRACE(what);
    wheel(angle);
    EXPECT_DOUBLE_EQ(host.camera.Params().Distance(), distance);
    EXPECT_DOUBLE_EQ(host.camera.Scale(), 1 / distance);
    EXPECT_FALSE(movingPictureShown());
  }
  host.camera.SetStyle(CStyle::normal);
  wheel(120);
  EXPECT_LT(host.camera.Params().right() - host.camera.Params().left(), 1000) << "the window shrank";
}

// With the step of an .x3d model (1000) one zoom-in step once swapped the window's edges.
TEST(CameraZoom, AZoomStepNeverTurnsTheWindowInsideOutAndStopsAtTheSmallestWindow) {
  test::ViewHost host;
  host.useTopView();
  struct Case {
    double pas, left, right, bottom, top;
  };
  for (const auto& c : {Case{1000, -500, 500, -500, 500},
                        {100, -500, 500, -500, 500},
                        {3, -8, 8, -8, 8},
                        {50, -500, 500, -20, 20},
                        {1000, 0, 11, 0, 5000}}) {
    SCOPED_TRACE(testing::Message() << "Pas " << c.pas << " window " << c.right - c.left << " x "
                                    << c.top - c.bottom);
    TParams& p = host.camera.Params();
    p.SetLeft(c.left);
    p.SetRight(c.right);
    p.SetBottom(c.bottom);
    p.SetTop(c.top);
    for (int step = 0; step < 40; ++step) {
      p.SetPas(c.pas);
      host.camera.SetLastY(10);
      const double width = p.right() - p.left(), height = p.top() - p.bottom();
      host.camera.NavigateMouse({.Right = true}, 0, 9);
      EXPECT_GE(p.right() - p.left(), std::min(width, 10.0)) << "step " << step;
      EXPECT_GE(p.top() - p.bottom(), std::min(height, 10.0)) << "step " << step;
      EXPECT_LE(p.right() - p.left(), width);
    }
    EXPECT_DOUBLE_EQ(p.right() - p.left(), std::min(c.right - c.left, 10.0)) << "ends at the smallest width";
    EXPECT_DOUBLE_EQ(p.top() - p.bottom(), std::min(c.top - c.bottom, 10.0)) << "ends at the smallest height";
    EXPECT_DOUBLE_EQ(p.left() + p.right(), c.left + c.right) << "the centre stays";
  }
}

} // namespace
} // namespace vorlan
