#pragma once

#include <QString>
#include <Qt>

#include <memory>
#include <vector>

namespace vorlan {

class TGL_CAMERA;

// A point of the camera: the orbit centre and eye, the look-at target, or the up direction.
class TPosition {
public:
  explicit TPosition(double X = 0, double Y = 0, double Z = 0) : X_(X), Y_(Y), Z_(Z) {}

  double X() const { return X_; }
  double Y() const { return Y_; }
  double Z() const { return Z_; }
  void SetX(double value) { X_ = value; }
  void SetY(double value) { Y_ = value; }
  void SetZ(double value) { Z_ = value; }

private:
  double X_, Y_, Z_;
};

// Orbit angles (degrees), distance, orthographic window and the steps of mouse navigation.
// The angle setters wrap once, not modulo: 725 becomes 365 and -400 becomes -40.
class TParams {
public:
  double Elevation() const { return Elevation_; }
  double Azimuth() const { return Azimuth_; }
  double Bascule() const { return Bascule_; }
  double Distance() const { return Distance_; }
  double Pan_v() const { return Pan_v_; }
  double Rot1() const { return Rot1_; }
  double Rot2() const { return Rot2_; }
  double Rot3() const { return Rot3_; }
  double Pas() const { return Pas_; }
  double PasRot() const { return PasRot_; }
  double left() const { return left_; }
  double right() const { return right_; }
  double top() const { return top_; }
  double bottom() const { return bottom_; }

  void SetElevation(double value) { Elevation_ = value; }
  void SetAzimuth(double value);
  void SetBascule(double value);
  // Never below 0.
  void SetDistance(double value);
  void SetPan_v(double value) { Pan_v_ = value; }
  void SetRot1(double value);
  void SetRot2(double value);
  void SetRot3(double value);
  void SetPas(double value) { Pas_ = value; }
  void SetPasRot(double value) { PasRot_ = value; }
  void SetLeft(double value) { left_ = value; }
  void SetRight(double value) { right_ = value; }
  void SetTop(double value) { top_ = value; }
  void SetBottom(double value) { bottom_ = value; }

private:
  double Elevation_ = 45;
  double Azimuth_ = 45;
  double Bascule_ = 0;
  double Distance_ = 1500;
  double Pan_v_ = 1000;
  double Rot1_ = 0;
  double Rot2_ = 0;
  double Rot3_ = 0;
  double Pas_ = 100;
  double PasRot_ = 2;
  double left_ = -500;
  double right_ = 500;
  double top_ = 500;
  double bottom_ = -500;
};

enum class CStyle { polar, normal, human, cutting };

// The modifier keys and mouse buttons held during one navigation step.
struct TShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
  bool Left = false;
  bool Right = false;
  // The camera does not navigate with it; the view turns it into a pan.
  bool Middle = false;
};

TShiftState ShiftStateFrom(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons);

// What the camera needs from a view that shows it. A view enters the camera's Views through its own
// Camera setter (AddView) and leaves it when it is destroyed or given another camera (RemoveView).
class TGL_ViewLink {
public:
  virtual TGL_CAMERA* Camera() const = 0;
  virtual void SetCamera(TGL_CAMERA* camera) = 0;
  // Size in pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetProjection() = 0;
  virtual void Redraw() = 0;

protected:
  ~TGL_ViewLink() = default;
};

// The orthographic box handed to glOrtho.
struct TOrthoBox {
  double left, right, bottom, top, zNear, zFar;
};

// Places the eye for one or more views and builds their projection.
class TGL_CAMERA {
public:
  TGL_CAMERA();
  // Detaches every attached view (its Camera becomes nothing).
  ~TGL_CAMERA();
  TGL_CAMERA(const TGL_CAMERA&) = delete;
  TGL_CAMERA& operator=(const TGL_CAMERA&) = delete;

  bool Perspective() const { return Perspective_; }
  void SetPerspective(bool value) { Perspective_ = value; }
  CStyle Style() const { return Style_; }
  // Also sets Perspective from the style, overriding an earlier Perspective.
  void SetStyle(CStyle value);

  // The setters of the points and of Params take ownership of what they are given.
  TPosition& Position() { return *Position_; }
  const TPosition& Position() const { return *Position_; }
  void SetPosition(std::unique_ptr<TPosition> value);
  TPosition& Lookat() { return *Lookat_; }
  const TPosition& Lookat() const { return *Lookat_; }
  void SetLookat(std::unique_ptr<TPosition> value);
  TPosition& UpVector() { return *UpVector_; }
  const TPosition& UpVector() const { return *UpVector_; }
  void SetUpVector(std::unique_ptr<TPosition> value);
  TParams& Params() { return *Params_; }
  const TParams& Params() const { return *Params_; }
  void SetParams(std::unique_ptr<TParams> value);

  double Angle() const { return Angle_; }
  void SetAngle(double value) { Angle_ = value; }
  double DistNear() const { return DistNear_; }
  void SetDistNear(double value) { DistNear_ = value; }
  double DistFar() const { return DistFar_; }
  void SetDistFar(double value) { DistFar_ = value; }
  double Scale() const { return Scale_; }
  void SetScale(double value) { Scale_ = value; }

  int LastX() const { return LastX_; }
  int LastY() const { return LastY_; }
  void SetLastX(int value) { LastX_ = value; }
  void SetLastY(int value) { LastY_ = value; }

  const QString& Name() const { return Name_; }
  // Redraws every attached view that still shows this camera.
  void SetName(const QString& value);

  const std::vector<TGL_ViewLink*>& Views() const { return Views_; }
  void AddView(TGL_ViewLink& view);
  void RemoveView(TGL_ViewLink& view);
  // The first attached view whose Camera is this camera, or nullptr.
  TGL_ViewLink* FindView() const;

  // Post-multiplies the current OpenGL matrix by the transform of the style.
  void ApplyViewTransform() const;
  // Post-multiplies the current OpenGL matrix (the projection matrix, loaded with the identity) by
  // the projection for a view of width x height pixels.
  void ApplyProjection(int width, int height) const;
  // The orthographic box for a view of width x height pixels.
  TOrthoBox OrthoBox(int width, int height) const;

  // Copies every setting into Dest through its setters; Style goes last, so Dest's Perspective is
  // the one its style implies.
  void CopyTo(TGL_CAMERA& Dest) const;

  // One mouse-drag step to (X, Y) from (LastX, LastY).
  void NavigateMouse(const TShiftState& Shift, int X, int Y);

private:
  void orbitWithLeftButton(const TShiftState& Shift, int X, int Y);
  void dollyWithRightButton(int Y);
  void navigateWindow(const TShiftState& Shift, int X, int Y, bool cutting);
  void slideWindow(bool keepHorizontal, int dX, int dY, double kx, double ky);
  void zoomWindow(int Y);
  void moveCuttingPlane(int Y);

  bool Perspective_ = true;
  CStyle Style_ = CStyle::polar;
  std::unique_ptr<TPosition> Position_;
  std::unique_ptr<TPosition> Lookat_;
  std::unique_ptr<TPosition> UpVector_;
  double Angle_ = 35;
  double DistNear_ = 0.01;
  double DistFar_ = 100;
  double Scale_ = 0.001;
  std::unique_ptr<TParams> Params_;
  int LastX_ = 0;
  int LastY_ = 0;
  QString Name_;
  std::vector<TGL_ViewLink*> Views_;
};

} // namespace vorlan
