#include "gl/KX_OpenGL_CAMERA.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace vorlan {
namespace {

// Keeps the camera's Views as the view's Camera setter does.
class FakeView : public TGL_ViewLink {
public:
  ~FakeView() {
    if (camera_) camera_->RemoveView(*this);
  }

  TGL_CAMERA* Camera() const override { return camera_; }
  void SetCamera(TGL_CAMERA* camera) override {
    if (camera_) camera_->RemoveView(*this);
    camera_ = camera;
    if (camera_) camera_->AddView(*this);
  }
  int Width() const override { return 200; }
  int Height() const override { return 100; }
  void SetProjection() override { ++projections; }
  void Redraw() override { ++redraws; }

  void pointAt(TGL_CAMERA* camera) { camera_ = camera; }

  int projections = 0;
  int redraws = 0;

private:
  TGL_CAMERA* camera_ = nullptr;
};

struct ParamField {
  const char* name;
  void (TParams::*set)(double);
  double (TParams::*get)() const;
};

// Every TParams value; the order is that of the Field enum below.
// clang-format off
const ParamField paramFields[] = {
    {"Elevation", &TParams::SetElevation, &TParams::Elevation}, {"Azimuth", &TParams::SetAzimuth, &TParams::Azimuth},
    {"Bascule", &TParams::SetBascule, &TParams::Bascule}, {"Distance", &TParams::SetDistance, &TParams::Distance},
    {"Pan_v", &TParams::SetPan_v, &TParams::Pan_v}, {"Rot1", &TParams::SetRot1, &TParams::Rot1},
    {"Rot2", &TParams::SetRot2, &TParams::Rot2}, {"Rot3", &TParams::SetRot3, &TParams::Rot3},
    {"Pas", &TParams::SetPas, &TParams::Pas}, {"PasRot", &TParams::SetPasRot, &TParams::PasRot},
    {"left", &TParams::SetLeft, &TParams::left}, {"right", &TParams::SetRight, &TParams::right},
    {"top", &TParams::SetTop, &TParams::top}, {"bottom", &TParams::SetBottom, &TParams::bottom}};
// clang-format on
constexpr int paramCount = std::size(paramFields);

TEST(TGL_CAMERA, ViewsAreListedOnceRenamingSkipsViewsShowingAnotherCameraAndNoneOutlivesIt) {
  FakeView first, second;
  {
    TGL_CAMERA camera, other;
    EXPECT_EQ(camera.FindView(), nullptr);
    first.SetCamera(&camera);
    second.SetCamera(&camera);
    camera.AddView(second);
    EXPECT_EQ(camera.Views().size(), 2u) << "a view added twice is listed once";
    first.pointAt(&other);
    EXPECT_EQ(camera.FindView(), &second);
    camera.SetName("CAMERA1");
    EXPECT_EQ(std::pair(first.redraws, second.redraws), std::pair(0, 1));
    first.pointAt(&camera);
  }
  EXPECT_FALSE(first.Camera() || second.Camera()) << "a destroyed camera leaves no view pointing at it";
}

// What a navigation step reads or may change: the TParams values in table order, then three more.
enum : int { Elevation, Azimuth, Distance = 3, Pan_v, Pas = 8, PasRot, Left, Right };
enum : int { Top = Right + 1, Bottom, X, Y, DistNear };
constexpr int fieldCount = DistNear + 1;
const char* const extraNames[] = {"Position.X", "Position.Y", "DistNear"};

double get(const TGL_CAMERA& camera, int field) {
  if (field < paramCount) return (camera.Params().*paramFields[field].get)();
  const double extra[] = {camera.Position().X(), camera.Position().Y(), camera.DistNear()};
  return extra[field - paramCount];
}

void set(TGL_CAMERA& camera, int field, double value) {
  if (field < paramCount) return (camera.Params().*paramFields[field].set)(value);
  if (field == X) return camera.Position().SetX(value);
  if (field == Y) return camera.Position().SetY(value);
  camera.SetDistNear(value);
}

struct Value {
  int field;
  double value;
};

// One step from (100, 100) by (dX, dY): the values set first, and those the step must change;
// every other value must stay as it was.
struct NavCase {
  const char* what;
  std::vector<Value> start;
  TShiftState shift;
  int dX, dY;
  std::vector<Value> changes;
};

struct NavSetup {
  CStyle style;
  bool perspective, attachView;
  int projections;
};

void runNavigation(const NavSetup& setup, const NavCase& c) {
  SCOPED_TRACE(c.what);
  TGL_CAMERA camera;
  FakeView view;
  if (setup.attachView) view.SetCamera(&camera);
  camera.SetStyle(setup.style);
  camera.SetPerspective(setup.perspective);
  for (const auto [field, value] : c.start)
    set(camera, field, value);
  camera.SetLastX(100);
  camera.SetLastY(100);
  double expected[fieldCount];
  for (int f = 0; f < fieldCount; ++f)
    expected[f] = get(camera, f);
  for (const auto [field, value] : c.changes)
    expected[field] = value;

  camera.NavigateMouse(c.shift, 100 + c.dX, 100 + c.dY);

  for (int f = 0; f < fieldCount; ++f)
    EXPECT_NEAR(get(camera, f), expected[f], 1e-9)
        << (f < paramCount ? paramFields[f].name : extraNames[f - paramCount]);
  EXPECT_EQ(camera.LastX(), 100 + c.dX);
  EXPECT_EQ(camera.LastY(), 100 + c.dY);
  EXPECT_EQ(view.projections, setup.projections);
}

const TShiftState left{.Left = true};
const TShiftState right{.Right = true};
const TShiftState leftShift{.Shift = true, .Left = true};
const TShiftState leftAlt{.Alt = true, .Left = true};
const TShiftState leftCtrl{.Ctrl = true, .Left = true};
const TShiftState rightCtrl{.Ctrl = true, .Right = true};
const TShiftState leftShiftCtrl{.Shift = true, .Ctrl = true, .Left = true};
const TShiftState leftShiftAlt{.Shift = true, .Alt = true, .Left = true};

// Starting from the camera's own settings: azimuth and elevation 45, distance 1500, pan 1000, Pas 100,
// PasRot 2.
TEST(NavigateMouse, PolarPerspectiveOrbitsPansSlidesAndDolliesUpToItsLimits) {
  const double c = std::cos(std::numbers::pi / 4) * 50;
  const NavCase cases[] = {
      {"left, mostly leftwards: azimuth down by PasRot", {}, left, -5, -2, {{Azimuth, 43}}},
      {"left, |dX| = |dY| counts as vertical: elevation up", {}, left, 3, -3, {{Elevation, 46}}},
      {"left, no movement: elevation down one degree", {}, left, 0, 0, {{Elevation, 44}}},
      {"left+shift+ctrl upwards only pans", {}, leftShiftCtrl, 5, -5, {{Pan_v, 950}}},
      {"left+shift+alt pans down and slides across",
       {},
       leftShiftAlt,
       5,
       4,
       {{Pan_v, 1050}, {X, -c}, {Y, c}}},
      {"left+alt, no movement slides the other way", {}, leftAlt, 0, 0, {{X, c}, {Y, -c}}},
      {"right, downwards: distance up by Pas", {}, right, 0, 1, {{Distance, 1600}}},
      {"right, sideways only: nothing", {}, right, 9, 0, {}},
      {"elevation 180 does not rise", {{Elevation, 180}}, left, 0, -5, {}},
      {"elevation just below 180 rises past it", {{Elevation, 179.5}}, left, 0, -5, {{Elevation, 180.5}}},
      {"elevation 0 does not sink", {{Elevation, 0}}, left, 0, 5, {}},
      {"pan stops at -10000", {{Pan_v, -10000}}, leftShift, 0, -5, {}},
      {"pan stops at 10000", {{Pan_v, 10000}}, leftShift, 0, 5, {}},
      {"azimuth wraps up through 360", {{Azimuth, 359}}, left, 5, 0, {{Azimuth, 1}}},
      {"distance 150 with Pas 100 comes in to 50", {{Distance, 150}}, right, 0, -1, {{Distance, 50}}},
      {"distance 50 with Pas 100 comes no closer", {{Distance, 50}}, right, 0, -1, {}},
      {"the tail lifts a far negative azimuth once", {{Azimuth, -500}}, {}, 0, 0, {{Azimuth, 220}}},
  };
  for (const NavCase& c : cases)
    runNavigation({CStyle::polar, true, true, 0}, c);
  for (const auto& [style, perspective] : {std::pair{CStyle::human, true}, {CStyle::polar, false}})
    runNavigation({style, perspective, true, 0}, {"styles without navigation", {}, left, 5, 2, {}});
}

// With the 200 x 100 fake view and the default window of 1000 x 1000 units, one pixel is
// kx = 5 units across and ky = 10 units up.
std::vector<Value> window(double halfWidth, double halfHeight, double pas) {
  return {{Left, -halfWidth}, {Right, halfWidth}, {Bottom, -halfHeight}, {Top, halfHeight}, {Pas, pas}};
}

// A drag of (4, 2) moves the window by (-20, 20) and halves Pas.
const std::vector<Value> moved{{Left, -520}, {Right, 480}, {Bottom, -480}, {Top, 520}, {Pas, 50}};

TEST(NavigateMouse, NormalOrthographicSlidesAndZoomsTheWindow) {
  const NavCase cases[] = {
      {"left drag moves the window with the picture", {}, left, 4, 2, moved},
      {"left+ctrl keeps the horizontal", {}, leftCtrl, 4, -2, {{Bottom, -520}, {Top, 480}, {Pas, 50}}},
      {"right+ctrl upwards zooms in by Pas", {}, rightCtrl, 0, -1, window(400, 400, 50)},
      {"zoom step Pas rounds halves to even: 2.5 -> 2", {{Pas, 2.5}}, right, 0, 1, window(502, 502, 50)},
      {"the step follows the window before the zoom", window(140, 140, 100), right, 0, 1,
       window(240, 240, 3)},
      {"no zoom in once width and height are 10 or less", window(5, 5, 3), right, 0, -1, {}},
      {"a width over 10 still zooms in, to 10", window(5.5, 5, 3), right, 0, -1, window(5, 5, 3)},
      {"a height over 10 still zooms in, to 10", window(5, 5.5, 3), right, 0, -1, window(5, 5, 3)},
  };
  for (const NavCase& c : cases)
    runNavigation({CStyle::normal, false, true, 1}, c);
}

TEST(NavigateMouse, CuttingSlidesZoomsAndMovesTheCuttingPlane) {
  const NavCase cases[] = {
      {"left drag as in the normal style, Pas kept", {}, left, 4, 2, {moved.begin(), moved.end() - 1}},
      {"right+ctrl downwards pushes the plane away", {{DistNear, 50}}, rightCtrl, 0, 3, {{DistNear, 60}}},
      {"right+ctrl upwards pulls it nearer", {{DistNear, 50}}, rightCtrl, 0, -3, {{DistNear, 40}}},
      {"right without ctrl zooms by Pas", {}, right, 0, 1, window(600, 600, 100)},
  };
  for (const bool perspective : {false, true}) {
    SCOPED_TRACE(perspective ? "perspective" : "orthographic");
    for (const NavCase& c : cases)
      runNavigation({CStyle::cutting, perspective, true, 1}, c);
  }
  runNavigation({CStyle::normal, false, false, 0}, {"normal without a view", {}, left, 4, 2, {}});
  runNavigation({CStyle::cutting, false, false, 0}, {"cutting without a view", {}, rightCtrl, 0, 3, {}});
}

} // namespace
} // namespace vorlan
