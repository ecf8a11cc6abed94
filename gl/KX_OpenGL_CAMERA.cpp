#include "gl/KX_OpenGL_CAMERA.h"

#include "platform/Numbers.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

namespace vorlan {
namespace {

// One step back into 0..360, not a modulo: far-off values stay outside.
double wrappedOnce(double degrees) {
  if (degrees >= 360) degrees -= 360;
  if (degrees < 0) degrees += 360;
  return degrees;
}

// The orthographic window stops shrinking at this width and height, in scene units.
constexpr double SmallestWindow = 10;

// How much one zoom-in step may take from each side of a span without making it smaller than the
// smallest window.
double inwardStep(int step, double span) {
  return std::min(std::max((span - SmallestWindow) / 2, 0.0), static_cast<double>(step));
}

// A view squeezed to nothing still gets a valid projection and finite navigation steps.
int atLeastOnePixel(int size) {
  return std::max(size, 1);
}

} // namespace

void TParams::SetAzimuth(double value) {
  Azimuth_ = wrappedOnce(value);
}
void TParams::SetBascule(double value) {
  Bascule_ = wrappedOnce(value);
}
void TParams::SetDistance(double value) {
  Distance_ = value > 0 ? value : 0;
}
void TParams::SetRot1(double value) {
  Rot1_ = wrappedOnce(value);
}
void TParams::SetRot2(double value) {
  Rot2_ = wrappedOnce(value);
}
void TParams::SetRot3(double value) {
  Rot3_ = wrappedOnce(value);
}

TShiftState ShiftStateFrom(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons) {
  return {.Shift = keys.testFlag(Qt::ShiftModifier),
          .Alt = keys.testFlag(Qt::AltModifier),
          .Ctrl = keys.testFlag(Qt::ControlModifier),
          .Left = buttons.testFlag(Qt::LeftButton),
          .Right = buttons.testFlag(Qt::RightButton),
          .Middle = buttons.testFlag(Qt::MiddleButton)};
}

TGL_CAMERA::TGL_CAMERA()
    : Position_(std::make_unique<TPosition>(0, 0, 0)), Lookat_(std::make_unique<TPosition>(0, 0, 0)),
      UpVector_(std::make_unique<TPosition>(0, 0, 1)), Params_(std::make_unique<TParams>()) {}

TGL_CAMERA::~TGL_CAMERA() {
  // A view's Camera setter removes it from Views_, so walk a copy.
  const std::vector<TGL_ViewLink*> attached = Views_;
  for (TGL_ViewLink* view : attached)
    if (view->Camera() == this) view->SetCamera(nullptr);
}

void TGL_CAMERA::SetStyle(CStyle value) {
  Style_ = value;
  Perspective_ = value == CStyle::polar || value == CStyle::human;
}

void TGL_CAMERA::SetPosition(std::unique_ptr<TPosition> value) {
  assert(value);
  Position_ = std::move(value);
}

void TGL_CAMERA::SetLookat(std::unique_ptr<TPosition> value) {
  assert(value);
  Lookat_ = std::move(value);
}

void TGL_CAMERA::SetUpVector(std::unique_ptr<TPosition> value) {
  assert(value);
  UpVector_ = std::move(value);
}

void TGL_CAMERA::SetParams(std::unique_ptr<TParams> value) {
  assert(value);
  Params_ = std::move(value);
}

void TGL_CAMERA::SetName(const QString& value) {
  Name_ = value;
  const std::vector<TGL_ViewLink*> attached = Views_;
  for (TGL_ViewLink* view : attached)
    if (view->Camera() == this) view->Redraw();
}

void TGL_CAMERA::AddView(TGL_ViewLink& view) {
  if (std::find(Views_.begin(), Views_.end(), &view) == Views_.end()) Views_.push_back(&view);
}

void TGL_CAMERA::RemoveView(TGL_ViewLink& view) {
  std::erase(Views_, &view);
}

TGL_ViewLink* TGL_CAMERA::FindView() const {
  const auto found = std::find_if(Views_.begin(), Views_.end(),
                                  [this](const TGL_ViewLink* view) { return view->Camera() == this; });
  return found == Views_.end() ? nullptr : *found;
}

void TGL_CAMERA::ApplyViewTransform() const {
  const TParams& p = *Params_;
  const TPosition& eye = *Position_;
  switch (Style_) {
  case CStyle::polar:
    glTranslated(0, -p.Pan_v(), -p.Distance());
    glRotated(-p.Elevation(), 1, 0, 0);
    glRotated(p.Azimuth(), 0, 0, 1);
    glRotated(p.Bascule(), 0, 1, 0);
    glTranslated(-eye.X(), -eye.Y(), -eye.Z());
    break;
  case CStyle::normal:
    glRotated(-p.Rot1(), 1, 0, 0);
    glRotated(-p.Rot2(), 0, 1, 0);
    glRotated(-p.Rot3(), 0, 0, 1);
    break;
  case CStyle::human:
    gluLookAt(eye.X(), eye.Y(), eye.Z(), Lookat_->X(), Lookat_->Y(), Lookat_->Z(), UpVector_->X(),
              UpVector_->Y(), UpVector_->Z());
    break;
  case CStyle::cutting:
    glRotated(-p.Rot3(), 1, 0, 0);
    glRotated(-p.Rot2(), 0, 1, 0);
    glRotated(-p.Rot1(), 1, 0, 0);
    glTranslated(-eye.X(), -eye.Y(), -eye.Z());
    // The cutting plane opens the model, so its inside faces must show.
    glDisable(GL_CULL_FACE);
    break;
  }
}

TOrthoBox TGL_CAMERA::OrthoBox(int width, int height) const {
  const int w = atLeastOnePixel(width);
  const int h = atLeastOnePixel(height);
  const TParams& p = *Params_;
  // The stretch ratio stays in single precision so that orthographic views frame as they always have.
  if (w <= h) {
    const double r = static_cast<float>(static_cast<double>(h) / w);
    return {p.left(), p.right(), p.bottom() * r, p.top() * r, DistNear_, DistFar_};
  }
  const double r = static_cast<float>(static_cast<double>(w) / h);
  return {p.left() * r, p.right() * r, p.bottom(), p.top(), DistNear_, DistFar_};
}

void TGL_CAMERA::ApplyProjection(int width, int height) const {
  if (Perspective_) {
    const double aspect = static_cast<double>(atLeastOnePixel(width)) / atLeastOnePixel(height);
    gluPerspective(Angle_, aspect, DistNear_, DistFar_);
    glScaled(Scale_, Scale_, Scale_);
    return;
  }
  const TOrthoBox box = OrthoBox(width, height);
  glOrtho(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
}

void TGL_CAMERA::CopyTo(TGL_CAMERA& Dest) const {
  Dest.SetAngle(Angle_);
  Dest.SetDistNear(DistNear_);
  Dest.SetDistFar(DistFar_);
  Dest.Position().SetX(Position_->X());
  Dest.Position().SetY(Position_->Y());
  Dest.Position().SetZ(Position_->Z());
  const TParams& p = *Params_;
  TParams& d = Dest.Params();
  d.SetAzimuth(p.Azimuth());
  d.SetBascule(p.Bascule());
  d.SetBottom(p.bottom());
  d.SetDistance(p.Distance());
  d.SetElevation(p.Elevation());
  d.SetLeft(p.left());
  d.SetPan_v(p.Pan_v());
  d.SetPas(p.Pas());
  d.SetPasRot(p.PasRot());
  d.SetRight(p.right());
  d.SetRot1(p.Rot1());
  d.SetRot2(p.Rot2());
  d.SetRot3(p.Rot3());
  d.SetTop(p.top());
  Dest.SetPerspective(Perspective_);
  Dest.Lookat().SetX(Lookat_->X());
  Dest.Lookat().SetY(Lookat_->Y());
  Dest.Lookat().SetZ(Lookat_->Z());
  Dest.UpVector().SetX(UpVector_->X());
  Dest.UpVector().SetY(UpVector_->Y());
  Dest.UpVector().SetZ(UpVector_->Z());
  Dest.SetScale(Scale_);
  Dest.SetStyle(Style_);
}

void TGL_CAMERA::NavigateMouse(const TShiftState& Shift, int X, int Y) {
  if (Perspective_ && Style_ == CStyle::polar) {
    if (Shift.Left)
      orbitWithLeftButton(Shift, X, Y);
    else if (Shift.Right)
      dollyWithRightButton(Y);
  }
  if (!Perspective_ && Style_ == CStyle::normal) navigateWindow(Shift, X, Y, false);
  if (Style_ == CStyle::cutting) navigateWindow(Shift, X, Y, true);

  LastX_ = X;
  LastY_ = Y;
  TParams& p = *Params_;
  if (p.Azimuth() > 360) p.SetAzimuth(p.Azimuth() - 360);
  if (p.Azimuth() < 0) p.SetAzimuth(p.Azimuth() + 360);
}

void TGL_CAMERA::orbitWithLeftButton(const TShiftState& Shift, int X, int Y) {
  TParams& p = *Params_;
  if (!Shift.Ctrl && !Shift.Alt && !Shift.Shift) {
    if (std::abs(X - LastX_) > std::abs(Y - LastY_)) {
      p.SetAzimuth(X > LastX_ ? p.Azimuth() + p.PasRot() : p.Azimuth() - p.PasRot());
    } else if (Y < LastY_) {
      if (p.Elevation() < 180) p.SetElevation(p.Elevation() + 1);
    } else if (p.Elevation() > 0) {
      // A button held without movement also lowers the eye, one degree per event.
      p.SetElevation(p.Elevation() - 1);
    }
  }
  if (Shift.Shift) {
    if (Y < LastY_) {
      if (p.Pan_v() > -10000) p.SetPan_v(p.Pan_v() - p.Pas() / 2);
    } else if (p.Pan_v() < 10000) {
      p.SetPan_v(p.Pan_v() + p.Pas() / 2);
    }
  }
  if (Shift.Alt) {
    // Slides the orbit centre sideways, across the current viewing direction.
    const double a = std::numbers::pi * p.Azimuth() / 180;
    const double c = std::cos(a) * p.Pas() / 2;
    const double s = std::sin(a) * p.Pas() / 2;
    TPosition& centre = *Position_;
    if (X > LastX_) {
      centre.SetX(centre.X() - c);
      centre.SetY(centre.Y() + s);
    } else {
      centre.SetX(centre.X() + c);
      centre.SetY(centre.Y() - s);
    }
  }
}

void TGL_CAMERA::dollyWithRightButton(int Y) {
  TParams& p = *Params_;
  if (Y > LastY_)
    p.SetDistance(p.Distance() + p.Pas());
  else if (Y < LastY_ && p.Distance() > p.Pas())
    p.SetDistance(p.Distance() - p.Pas());
}

void TGL_CAMERA::navigateWindow(const TShiftState& Shift, int X, int Y, bool cutting) {
  // Navigation is reached only from an attached view; without one there is no pixel size.
  TGL_ViewLink* view = FindView();
  if (!view) return;
  TParams& p = *Params_;
  const double kx = (p.right() - p.left()) / atLeastOnePixel(view->Width());
  const double ky = (p.top() - p.bottom()) / atLeastOnePixel(view->Height());
  if (Shift.Left)
    slideWindow(Shift.Ctrl, X - LastX_, Y - LastY_, kx, ky);
  else if (Shift.Right && cutting && Shift.Ctrl)
    moveCuttingPlane(Y);
  else if (Shift.Right)
    zoomWindow(Y);
  view->SetProjection();
  // Fine steps once a pixel covers less than 1.5 units, so that close-ups do not jump.
  if (!cutting) p.SetPas(kx < 1.5 ? 3 : 50);
}

void TGL_CAMERA::slideWindow(bool keepHorizontal, int dX, int dY, double kx, double ky) {
  TParams& p = *Params_;
  if (!keepHorizontal && dX != 0) {
    p.SetLeft(p.left() - dX * kx);
    p.SetRight(p.right() - dX * kx);
  }
  p.SetBottom(p.bottom() + dY * ky);
  p.SetTop(p.top() + dY * ky);
}

void TGL_CAMERA::zoomWindow(int Y) {
  TParams& p = *Params_;
  const int R = Round(p.Pas());
  if (Y > LastY_) {
    p.SetLeft(p.left() - R);
    p.SetRight(p.right() + R);
    p.SetBottom(p.bottom() - R);
    p.SetTop(p.top() + R);
  } else if (Y < LastY_ && (p.top() - p.bottom() > SmallestWindow || p.right() - p.left() > SmallestWindow)) {
    // A step larger than half the span would swap the window's edges and show the scene upside
    // down; it stops at the smallest window instead.
    const double across = inwardStep(R, p.right() - p.left());
    const double upward = inwardStep(R, p.top() - p.bottom());
    p.SetLeft(p.left() + across);
    p.SetRight(p.right() - across);
    p.SetBottom(p.bottom() + upward);
    p.SetTop(p.top() - upward);
  }
}

void TGL_CAMERA::moveCuttingPlane(int Y) {
  if (Y > LastY_)
    SetDistNear(DistNear_ + 10);
  else if (Y < LastY_)
    SetDistNear(DistNear_ - 10);
}

} // namespace vorlan
