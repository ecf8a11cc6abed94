#pragma once

namespace vorlan {

// Something that owns an OpenGL context and can make it current on the GUI thread: a view wraps its
// widget's makeCurrent/doneCurrent, a test wraps a context on an off-screen surface.
//
// The current 3D rendering context is the one registered last that still lives. Scene objects and
// textures work in it through CurrentContextGuard when they create or delete OpenGL names outside a
// drawing pass. All contexts of the process share one namespace of lists and textures, so whichever
// of them is current serves equally well.
class GlRenderContext {
public:
  GlRenderContext(const GlRenderContext&) = delete;
  GlRenderContext& operator=(const GlRenderContext&) = delete;

  // True when the context is current afterwards.
  virtual bool makeContextCurrent() = 0;
  virtual void releaseContext() = 0;

protected:
  GlRenderContext() = default;
  // Withdraws the registration, so the current 3D rendering context never names a dead owner.
  virtual ~GlRenderContext();
};

// Makes `context` the current 3D rendering context (the view's Initialisation calls it).
void setCurrentRenderContext(GlRenderContext& context);
// Forgets `context`; the one registered before it that still lives takes over. An owner calls it
// before it destroys its OpenGL context; the base destructor calls it again harmlessly.
void withdrawRenderContext(GlRenderContext& context);
// The current 3D rendering context, or nullptr when no live owner registered one.
GlRenderContext* currentRenderContext();

// Which context a CurrentContextGuard gives. Any: a context already current on this thread (a drawing
// pass, an enclosing guard, a display list being compiled) as it stands, since releasing it would
// break what called us; otherwise the owner's own, and failing that the current 3D rendering context.
// Own: the owner's own context only, for work that draws into its framebuffer or must land in it.
enum class ContextNeed { Any, Own };

// Gives the code in its scope an OpenGL context to work in, and releases at the end what it made
// current, also when that code throws. When no fitting context can be made current the guard is
// inactive and the caller must skip its OpenGL calls.
class CurrentContextGuard {
public:
  CurrentContextGuard();
  explicit CurrentContextGuard(GlRenderContext& own, ContextNeed need = ContextNeed::Any);
  ~CurrentContextGuard();
  CurrentContextGuard(const CurrentContextGuard&) = delete;
  CurrentContextGuard& operator=(const CurrentContextGuard&) = delete;

  bool active() const { return active_; }

private:
  void useAny(GlRenderContext* own);

  GlRenderContext* madeCurrent_ = nullptr;
  bool registeredOnly_ = false;
  bool active_ = false;
};

} // namespace vorlan
