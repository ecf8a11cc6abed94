#pragma once

#include "gl/GlContext.h"

#include <QImage>
#include <QSize>

namespace vorlan {

// An OpenGL compatibility context on no display at all: EGL over Mesa's surfaceless platform, drawing
// into a framebuffer object with depth and stencil. It serves where neither an X server nor a Wayland
// compositor exists (batch rendering on a build machine, a thumbnailer run by a file manager's
// daemon). It is current after construction when valid.
class HeadlessGlContext : public GlRenderContext {
public:
  explicit HeadlessGlContext(QSize size);
  ~HeadlessGlContext() override;

  // False when EGL, the surfaceless platform or the framebuffer could not be had.
  bool valid() const { return framebuffer_ != 0; }
  QSize size() const { return size_; }

  bool makeContextCurrent() override;
  void releaseContext() override;

  // The framebuffer as a 24-bit picture, top row first.
  QImage grab();

  // True when the process has neither an X display nor a Wayland one to draw through.
  static bool NoDisplay();

private:
  bool createContext();
  bool createFramebuffer();

  QSize size_;
  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0;
  unsigned colourBuffer_ = 0;
  unsigned depthStencilBuffer_ = 0;
};

} // namespace vorlan
