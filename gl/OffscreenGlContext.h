#pragma once

#include "gl/GlContext.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <memory>

namespace vorlan {

// An OpenGL context of the program's surface format on an off-screen surface, drawing into a
// framebuffer object of the given size with depth and stencil, for drawing without a window. It is
// current after construction; as a GlRenderContext it can be registered as the current 3D
// rendering context.
class OffscreenGlContext : public GlRenderContext {
public:
  explicit OffscreenGlContext(QSize size = QSize(64, 64));
  ~OffscreenGlContext() override;

  // False when the platform gave no usable context.
  bool valid() const { return framebuffer_ && framebuffer_->isValid(); }
  bool isCurrent() const { return QOpenGLContext::currentContext() == &context_; }

  bool makeContextCurrent() override;
  void releaseContext() override;

  // The framebuffer as a picture, top row first.
  QImage grab() const { return framebuffer_->toImage(); }

private:
  QOffscreenSurface surface_;
  QOpenGLContext context_;
  std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
};

} // namespace vorlan
