#pragma once

#include "GlTestContext.h"

#include "gl/KX_OpenGL_GROUND.h"

#include <QImage>
#include <QOpenGLContext>

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace vorlan::test {

// Stands in for the view that owns a ground and a background.
class FakeGroundHost final : public TGL_GroundHost {
public:
  explicit FakeGroundHost(GlTestContext& context, QSize size) : context_(context), size_(size) {}

  bool Initialised() const override { return initialised; }
  int Width() const override { return size_.width(); }
  int Height() const override { return size_.height(); }
  const QImage& SkyMap() const override { return skyMap; }
  GlRenderContext& OwnContext() override { return context_; }
  void Redraw() override {}

  bool initialised = true;
  QImage skyMap;

private:
  GlTestContext& context_;
  QSize size_;
};

// A current context with a framebuffer of `size` and a host of the same size, cleared to black with
// a far depth, as a drawing pass starts.
class GroundScene : public testing::Test {
protected:
  explicit GroundScene(QSize size = QSize(64, 64)) : context_(size), host_(context_, size) {}

  void SetUp() override {
    ASSERT_TRUE(context_.valid());
    clear();
  }

  void clear() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Looking down the z axis at the square -half..half of the XY plane, or from the origin along +x with
  // z up (+y to the left on screen).
  static void lookDownAt(double half) {
    look([=] { glOrtho(-half, half, -half, half, -1000, 1000); });
  }
  static void lookAlongX(double farPlane = 200000) {
    look([=] { gluPerspective(60, 1, 10, farPlane); });
    gluLookAt(0, 0, 0, 1, 0, 0, 0, 0, 1);
  }
  static void look(const std::function<void()>& projection) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    projection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  // The pixel as 0xRRGGBB, x from the left and y from the bottom as OpenGL counts them.
  std::uint32_t pixel(int x, int y) const {
    const QImage image = context_.grab();
    return image.pixel(x, image.height() - 1 - y) & 0xFFFFFF;
  }

  GlTestContext context_;
  FakeGroundHost host_;
};

} // namespace vorlan::test
