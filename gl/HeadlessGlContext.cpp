#include "gl/HeadlessGlContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace vorlan {

namespace {

// Framebuffer objects are core since OpenGL 3.0 but not exported by every libGL: fetch them.
struct FramebufferFunctions {
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
  PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
  PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
  PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers;
  PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
  PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;

  bool complete() const {
    return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && GenRenderbuffers &&
           DeleteRenderbuffers && BindRenderbuffer && RenderbufferStorage && FramebufferRenderbuffer &&
           CheckFramebufferStatus;
  }
};

template <typename F> F proc(const char* name) {
  return reinterpret_cast<F>(eglGetProcAddress(name));
}

const FramebufferFunctions& fbo() {
  static const FramebufferFunctions functions{
      proc<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers"),
      proc<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers"),
      proc<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer"),
      proc<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers"),
      proc<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers"),
      proc<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer"),
      proc<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage"),
      proc<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer"),
      proc<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus")};
  return functions;
}

EGLDisplay surfacelessDisplay() {
  const auto getPlatformDisplay = proc<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
  if (!getPlatformDisplay) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

HeadlessGlContext::HeadlessGlContext(QSize size) : size_(size) {
  if (createContext() && !createFramebuffer()) releaseContext();
}

HeadlessGlContext::~HeadlessGlContext() {
  withdrawRenderContext(*this);
  if (!display_) return;
  if (framebuffer_ != 0 && makeContextCurrent()) {
    fbo().DeleteFramebuffers(1, &framebuffer_);
    fbo().DeleteRenderbuffers(1, &colourBuffer_);
    fbo().DeleteRenderbuffers(1, &depthStencilBuffer_);
  }
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_) eglDestroyContext(display_, context_);
  eglTerminate(display_);
}

// Display lists, feedback and selection need the compatibility profile; no config is needed when
// nothing is drawn to an EGL surface.
bool HeadlessGlContext::createContext() {
  EGLDisplay display = surfacelessDisplay();
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return false;
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) return false;
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
  context_ = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  return context_ && eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
}

bool HeadlessGlContext::createFramebuffer() {
  const FramebufferFunctions& f = fbo();
  if (!f.complete()) return false;
  f.GenRenderbuffers(1, &colourBuffer_);
  f.BindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
  f.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size_.width(), size_.height());
  f.GenRenderbuffers(1, &depthStencilBuffer_);
  f.BindRenderbuffer(GL_RENDERBUFFER, depthStencilBuffer_);
  f.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, size_.width(), size_.height());
  GLuint framebuffer = 0;
  f.GenFramebuffers(1, &framebuffer);
  f.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  f.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
  f.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                            depthStencilBuffer_);
  if (f.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    f.DeleteFramebuffers(1, &framebuffer);
    return false;
  }
  framebuffer_ = framebuffer;
  glViewport(0, 0, size_.width(), size_.height());
  return true;
}

bool HeadlessGlContext::makeContextCurrent() {
  if (!display_ || !context_ || !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_))
    return false;
  if (framebuffer_ != 0) fbo().BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  return true;
}

void HeadlessGlContext::releaseContext() {
  if (display_) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

QImage HeadlessGlContext::grab() {
  QImage picture(size_, QImage::Format_RGBA8888);
  if (!makeContextCurrent()) return {};
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, size_.width(), size_.height(), GL_RGBA, GL_UNSIGNED_BYTE, picture.bits());
  return picture.mirrored().convertToFormat(QImage::Format_RGB888);
}

bool HeadlessGlContext::NoDisplay() {
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace vorlan
