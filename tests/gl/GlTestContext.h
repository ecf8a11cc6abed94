#pragma once

#include "gl/OffscreenGlContext.h"

#include <QImage>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace vorlan::test {

// The tests draw into an off-screen context of the program's own format.
using GlTestContext = OffscreenGlContext;

// A 4 x 4 matrix in OpenGL's column-major order.
using Matrix = std::array<double, 16>;

inline Matrix readMatrix(GLenum which) {
  Matrix m{};
  glGetDoublev(which, m.data());
  return m;
}

// A registered context, released between steps as it is outside a drawing pass, so that the
// code under test has to make it current through its own guard.
class ReleasedRenderContextTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(context_.valid());
    setCurrentRenderContext(context_);
    context_.releaseContext();
  }
  void TearDown() override { context_.releaseContext(); }

  GlTestContext context_{QSize(64, 64)};
};

} // namespace vorlan::test
