#include "gl/OffscreenGlContext.h"

#include "platform/SurfaceFormat.h"

#include <GL/gl.h>

namespace vorlan {

OffscreenGlContext::OffscreenGlContext(QSize size) {
  const QSurfaceFormat format = SceneSurfaceFormat();
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

OffscreenGlContext::~OffscreenGlContext() {
  withdrawRenderContext(*this);
  if (context_.makeCurrent(&surface_)) framebuffer_.reset();
  context_.doneCurrent();
}

bool OffscreenGlContext::makeContextCurrent() {
  if (!context_.makeCurrent(&surface_)) return false;
  framebuffer_->bind();
  return true;
}

void OffscreenGlContext::releaseContext() {
  context_.doneCurrent();
}

} // namespace vorlan
