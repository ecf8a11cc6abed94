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
  std::vector<std::tuple<double, double, double, double>> results;
  for (CStyle style : {CStyle::polar, CStyle::normal}) {
    for (const auto& [what, button, keys] :
         {Case{"alt + left", Qt::LeftButton, Qt::AltModifier}, Case{"middle", Qt::MiddleButton, {}}}) {
      SCOPED_TRACE(what);
      host.camera.SetStyle(style);
      for (auto [set, value] : {std::pair{&TParams::SetAzimuth, 30},
                                {&TParams::SetElevation, 45},
                                {&TParams::SetPas, 100},
                                {&TParams::SetLeft, -500},
                                {&TParams::SetBottom, -500},
                                {&TParams::SetRight, 500},
                                {&TParams::SetTop, 500}})
        (host.camera.Params().*set)(value);
      host.camera.Position().SetX(0);
      host.camera.Position().SetY(0);
      host.press(centre, button, keys);
      move(centre + QPoint(30, 10), button, keys);
      host.release(centre + QPoint(30, 10), button, keys);
      const TParams& p = host.camera.Params();
      results.emplace_back(host.camera.Position().X(), host.camera.Position().Y(), p.left(), p.top());
      EXPECT_DOUBLE_EQ(p.Elevation(), 45) << "a pan does not orbit";
    }
  }
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(results[2], results[3]);
  EXPECT_NE(std::get<0>(results[0]), 0) << "the orbit centre moved";
  EXPECT_NE(std::get<2>(results[2]), -500) << "the orthographic window moved";
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

} // namespace
} // namespace vorlan
