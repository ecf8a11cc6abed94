#pragma once

#include "gl/OffscreenGlContext.h"

#include <QImage>

#include <GL/gl.h>

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

} // namespace vorlan::test
