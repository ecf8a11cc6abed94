#include "GlTestContext.h"

#include "gl/KX_OpenGL_CAMERA.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace vorlan {
namespace {

using test::Matrix;

// The matrices below follow the OpenGL reference pages for glTranslate, glRotate, glScale, glOrtho,
// gluPerspective and gluLookAt; they are written out here so that the camera is checked against
// the rule and not against itself.

double& at(Matrix& m, int row, int column) {
  return m[column * 4 + row];
}

Matrix operator*(const Matrix& a, const Matrix& b) {
  Matrix m{};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      for (int k = 0; k < 4; ++k)
        at(m, row, column) += a[k * 4 + row] * b[column * 4 + k];
  return m;
}

// The diagonal (x, y, z, 1) with the translation (tx, ty, tz).
Matrix affine(double x, double y, double z, double tx = 0, double ty = 0, double tz = 0) {
  return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, tx, ty, tz, 1};
}
Matrix translation(double x, double y, double z) {
  return affine(1, 1, 1, x, y, z);
}
Matrix scaling(double x, double y, double z) {
  return affine(x, y, z);
}

// Rotation by `degrees` about one of the unit axes (0 = X, 1 = Y, 2 = Z), counter-clockwise when
// the axis points at the viewer.
Matrix rotation(double degrees, int axis) {
  const double a = degrees * std::numbers::pi / 180;
  const int u = (axis + 1) % 3, v = (axis + 2) % 3;
  Matrix m = affine(1, 1, 1);
  at(m, u, u) = at(m, v, v) = std::cos(a);
  at(m, u, v) = -std::sin(a);
  at(m, v, u) = std::sin(a);
  return m;
}

struct Vec {
  double x, y, z;
};

Vec cross(Vec a, Vec b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec normalised(Vec a) {
  const double n = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  return {a.x / n, a.y / n, a.z / n};
}

Matrix lookAt(Vec eye, Vec centre, Vec up) {
  const Vec f = normalised({centre.x - eye.x, centre.y - eye.y, centre.z - eye.z});
  const Vec s = normalised(cross(f, up));
  const Vec u = cross(s, f);
  Matrix m = affine(1, 1, 1);
  for (int row = 0; const Vec r : {s, u, Vec{-f.x, -f.y, -f.z}}) {
    at(m, row, 0) = r.x;
    at(m, row, 1) = r.y;
    at(m, row++, 2) = r.z;
  }
  return m * translation(-eye.x, -eye.y, -eye.z);
}

Matrix ortho(double l, double r, double b, double t, double n, double f) {
  return scaling(2 / (r - l), 2 / (t - b), -2 / (f - n)) *
         translation(-(r + l) / 2, -(t + b) / 2, (f + n) / 2);
}

Matrix perspective(double fovy, double aspect, double n, double f) {
  const double cotangent = 1 / std::tan(fovy * std::numbers::pi / 360);
  Matrix m{};
  at(m, 0, 0) = cotangent / aspect;
  at(m, 1, 1) = cotangent;
  at(m, 2, 2) = (f + n) / (n - f);
  at(m, 2, 3) = 2 * f * n / (n - f);
  at(m, 3, 2) = -1;
  return m;
}

// OpenGL keeps its matrices in single precision.
void expectMatrix(const Matrix& actual, const Matrix& expected) {
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE("element " + std::to_string(i));
    EXPECT_NEAR(actual[i], expected[i], 2e-6 * std::max(1.0, std::abs(expected[i])));
  }
}

class CameraMatrices : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(context_.valid()); }

  // The view transform goes on top of whatever the modelview matrix holds.
  Matrix modelviewAfterViewTransform(const TGL_CAMERA& camera) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(1, 2, 3);
    camera.ApplyViewTransform();
    return test::readMatrix(GL_MODELVIEW_MATRIX);
  }

  test::GlTestContext context_;
};

struct TransformCase {
  const char* what;
  std::function<void(TGL_CAMERA&)> setup;
  Matrix expected;
};

void setParams(TGL_CAMERA& camera,
               std::initializer_list<std::pair<void (TParams::*)(double), double>> values) {
  for (const auto& [set, value] : values)
    (camera.Params().*set)(value);
}

TEST_F(CameraMatrices, ViewTransformOfEachStyle) {
  using P = TParams;
  const auto at = [](double x, double y, double z) { return std::make_unique<TPosition>(x, y, z); };
  // clang-format off
  const TransformCase cases[] = {
      {"polar", [&](TGL_CAMERA& k) {
         setParams(k, {{&P::SetPan_v, 120}, {&P::SetDistance, 900}, {&P::SetElevation, 30}, {&P::SetAzimuth, 70}, {&P::SetBascule, 15}});
         k.SetPosition(at(10, -20, 5)); },
       translation(0, -120, -900) * rotation(-30, 0) * rotation(70, 2) * rotation(15, 1) * translation(-10, 20, -5)},
      {"normal", [&](TGL_CAMERA& k) {
         k.SetStyle(CStyle::normal);
         setParams(k, {{&P::SetRot1, 20}, {&P::SetRot2, 35}, {&P::SetRot3, 50}});
         k.SetPosition(at(10, -20, 5)); },
       rotation(-20, 0) * rotation(-35, 1) * rotation(-50, 2)},
      {"human", [&](TGL_CAMERA& k) { k.SetStyle(CStyle::human); k.SetPosition(at(100, 200, 50)); k.SetLookat(at(0, 0, 10)); },
       lookAt({100, 200, 50}, {0, 0, 10}, {0, 0, 1})},
      {"cutting", [&](TGL_CAMERA& k) {
         k.SetStyle(CStyle::cutting);
         setParams(k, {{&P::SetRot1, 20}, {&P::SetRot2, 35}, {&P::SetRot3, 50}});
         k.SetPosition(at(3, 4, 5)); },
       rotation(-50, 0) * rotation(-35, 1) * rotation(-20, 0) * translation(-3, -4, -5)},
  };
  // clang-format on
  for (const TransformCase& c : cases) {
    SCOPED_TRACE(c.what);
    TGL_CAMERA camera;
    c.setup(camera);
    glEnable(GL_CULL_FACE);
    expectMatrix(modelviewAfterViewTransform(camera), translation(1, 2, 3) * c.expected);
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE), camera.Style() != CStyle::cutting)
        << "only the cutting style shows back faces";
  }
}

TEST_F(CameraMatrices, ProjectionOfEachKindAndShape) {
  const double wide = static_cast<float>(700.0 / 300.0);
  struct Case {
    const char* what;
    bool perspective;
    int width, height;
    Matrix expected;
  };
  // clang-format off
  const Case cases[] = {
      {"perspective, then the global scale", true, 200, 100, perspective(35, 2, 1, 1000) * scaling(0.5, 0.5, 0.5)},
      {"orthographic, tall view stretches the height", false, 100, 300, ortho(-500, 500, -1500, 1500, 1, 1000)},
      {"orthographic, wide view stretches the width", false, 700, 300, ortho(-500 * wide, 500 * wide, -500, 500, 1, 1000)},
      {"orthographic, no height counts as one pixel", false, 200, 0, ortho(-100000, 100000, -500, 500, 1, 1000)},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TGL_CAMERA camera;
    camera.SetPerspective(c.perspective);
    camera.SetScale(0.5);
    camera.SetDistNear(1);
    camera.SetDistFar(1000);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    camera.ApplyProjection(c.width, c.height);
    expectMatrix(test::readMatrix(GL_PROJECTION_MATRIX), c.expected);
    glMatrixMode(GL_MODELVIEW);
  }
}

} // namespace
} // namespace vorlan
