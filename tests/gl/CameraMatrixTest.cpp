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
  const Vec rows[] = {s, u, {-f.x, -f.y, -f.z}};
  for (int row = 0; row < 3; ++row) {
    at(m, row, 0) = rows[row].x;
    at(m, row, 1) = rows[row].y;
    at(m, row, 2) = rows[row].z;
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

void setRotations(TGL_CAMERA& camera, double rot1, double rot2, double rot3) {
  for (auto [set, value] :
       {std::pair{&TParams::SetRot1, rot1}, {&TParams::SetRot2, rot2}, {&TParams::SetRot3, rot3}})
    (camera.Params().*set)(value);
}

TEST_F(CameraMatrices, ViewTransformOfEachStyle) {
  const TransformCase cases[] = {
      {"polar",
       [](TGL_CAMERA& k) {
         for (auto [set, value] : {std::pair{&TParams::SetPan_v, 120},
                                   {&TParams::SetDistance, 900},
                                   {&TParams::SetElevation, 30},
                                   {&TParams::SetAzimuth, 70},
                                   {&TParams::SetBascule, 15}})
           (k.Params().*set)(value);
         k.SetPosition(std::make_unique<TPosition>(10, -20, 5));
       },
       translation(0, -120, -900) * rotation(-30, 0) * rotation(70, 2) * rotation(15, 1) *
           translation(-10, 20, -5)},
      {"normal",
       [](TGL_CAMERA& k) {
         k.SetStyle(CStyle::normal);
         setRotations(k, 20, 35, 50);
         k.SetPosition(std::make_unique<TPosition>(10, -20, 5));
       },
       rotation(-20, 0) * rotation(-35, 1) * rotation(-50, 2)},
      {"human",
       [](TGL_CAMERA& k) {
         k.SetStyle(CStyle::human);
         k.SetPosition(std::make_unique<TPosition>(100, 200, 50));
         k.SetLookat(std::make_unique<TPosition>(0, 0, 10));
       },
       lookAt({100, 200, 50}, {0, 0, 10}, {0, 0, 1})},
      {"cutting",
       [](TGL_CAMERA& k) {
         k.SetStyle(CStyle::cutting);
         setRotations(k, 20, 35, 50);
         k.SetPosition(std::make_unique<TPosition>(3, 4, 5));
       },
       rotation(-50, 0) * rotation(-35, 1) * rotation(-20, 0) * translation(-3, -4, -5)},
  };
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
  const Case cases[] = {
      {"perspective, then the global scale", true, 200, 100,
       perspective(35, 2, 1, 1000) * scaling(0.5, 0.5, 0.5)},
      {"orthographic, tall view stretches the height", false, 100, 300,
       ortho(-500, 500, -1500, 1500, 1, 1000)},
      {"orthographic, wide view stretches the width", false, 700, 300,
       ortho(-500 * wide, 500 * wide, -500, 500, 1, 1000)},
      {"orthographic, no height counts as one pixel", false, 200, 0,
       ortho(-100000, 100000, -500, 500, 1, 1000)},
  };
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
