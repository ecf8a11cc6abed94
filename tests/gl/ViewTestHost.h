#pragma once

#include "gl/KX_OpenGL_VIEW.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <GL/gl.h>

#include <string>
#include <vector>

namespace vorlan::test {

// The top view of useTopView() looks down -Z through an orthographic box of -500..500: world (x, y)
// shows at pixel (200 + x / 2.5, 200 - y / 2.5), and z in -100..-0.01 is in range.
constexpr int viewSide = 400;

inline QPoint pixelOf(double x, double y) {
  return {qRound(viewSide / 2 + x / 2.5), qRound(viewSide / 2 - y / 2.5)};
}

// A square of half-size `half` at height z, facing +Z.
inline void drawSquare(double x, double y, double z, double half) {
  glBegin(GL_QUADS);
  glNormal3d(0, 0, 1);
  glVertex3d(x - half, y - half, z);
  glVertex3d(x + half, y - half, z);
  glVertex3d(x + half, y + half, z);
  glVertex3d(x - half, y + half, z);
  glEnd();
}

// Counts the beeps instead of sounding them.
class RecordingView : public TGL_VIEW {
public:
  using TGL_VIEW::TGL_VIEW;
  int beeps = 0;

protected:
  void Beep() override { ++beeps; }
};

// A test window holding one view and its camera, recording the notifications the view raises.
class ViewHost : public QWidget {
public:
  ViewHost() : view(new RecordingView(this)) {
    resize(viewSide, viewSide);
    view->setGeometry(0, 0, viewSide, viewSide);
    camera.SetName("TestCamera");
    // clang-format off
    for (auto [slot, name] : {std::pair{&TGL_VIEW::OnRedraw, "Redraw"}, {&TGL_VIEW::OnReflectRedraw, "ReflectRedraw"},
                              {&TGL_VIEW::OnShadowRedraw, "ShadowRedraw"}, {&TGL_VIEW::OnScreenRedraw, "ScreenRedraw"},
                              {&TGL_VIEW::OnMovingRedraw, "MovingRedraw"}, {&TGL_VIEW::OnRedrawPaperFill, "PaperFill"},
                              {&TGL_VIEW::OnRedrawPaperLine, "PaperLine"}})
      // clang-format on
      (view->*slot) = [this, name = std::string(name)](TGL_VIEW& sender) { note(sender, name); };
    view->OnDrawOnCanvas = [this](TGL_VIEW& sender, QPainter&, auto&&...) { note(sender, "DrawOnCanvas"); };
  }

  // The view goes first, so that the camera never redraws a view of a window being torn down.
  ~ViewHost() override { delete view; }

  // Shown, on screen and active, as an opening sequence leaves the window before Initialisation.
  bool showActive() {
    show();
    activateWindow();
    return QTest::qWaitForWindowExposed(this) && QTest::qWaitForWindowActive(this);
  }

  void useTopView() {
    camera.SetStyle(CStyle::normal);
    view->SetCamera(&camera);
    view->SetProjection();
  }

  void note(TGL_VIEW& sender, const std::string& name) {
    events.push_back(&sender == view ? name : "wrong sender: " + name);
  }

  std::vector<std::string> takeEvents() { return std::exchange(events, {}); }

  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers keys = {}) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, keys);
    QApplication::sendEvent(view, &event);
  }
  void press(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    mouse(QEvent::MouseButtonPress, at, button, button, keys);
  }
  void release(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton, keys);
  }

  TGL_CAMERA camera;
  RecordingView* view;
  std::vector<std::string> events;
};

} // namespace vorlan::test
