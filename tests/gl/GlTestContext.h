#pragma once

#include "gl/GlContext.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace vorlan::test {

// A compatibility-profile OpenGL context on an off-screen surface, drawing into a framebuffer object
// of the given size with depth and stencil, for tests that call OpenGL and read the results back.
// It is current after construction; as a GlRenderContext it can be registered as the current 3D
// rendering context.
class GlTestContext : public GlRenderContext {
public:
  explicit GlTestContext(QSize size = QSize(64, 64)) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    surface_.setFormat(format);
    surface_.create();
    context_.setFormat(format);
    context_.setShareContext(QOpenGLContext::globalShareContext());
    if (!context_.create() || !context_.makeCurrent(&surface_)) return;
    framebuffer_ =
        std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::CombinedDepthStencil);
    framebuffer_->bind();
    glViewport(0, 0, size.width(), size.height());
  }

  ~GlTestContext() override {
    withdrawRenderContext(*this);
    if (context_.makeCurrent(&surface_)) framebuffer_.reset();
    context_.doneCurrent();
  }

  // False when the platform gave no usable context; the tests then fail on it rather than crash.
  bool valid() const { return framebuffer_ && framebuffer_->isValid(); }

  bool makeContextCurrent() override {
    if (!context_.makeCurrent(&surface_)) return false;
    framebuffer_->bind();
    return true;
  }

  void releaseContext() override { context_.doneCurrent(); }

  bool isCurrent() const { return QOpenGLContext::currentContext() == &context_; }

  // The framebuffer as a picture, top row first.
  QImage grab() const { return framebuffer_->toImage(); }

private:
  QOffscreenSurface surface_;
  QOpenGLContext context_;
  std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
};

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
