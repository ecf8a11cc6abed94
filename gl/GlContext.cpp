#include "gl/GlContext.h"

#include "platform/BackgroundWork.h"

#include <QOpenGLContext>

#include <algorithm>
#include <vector>

namespace vorlan {
namespace {

// Registration order, most recent last; only live owners are kept.
std::vector<GlRenderContext*>& registered() {
  static std::vector<GlRenderContext*> contexts;
  return contexts;
}

bool isRegistered(const GlRenderContext* context) {
  const auto& contexts = registered();
  return std::find(contexts.begin(), contexts.end(), context) != contexts.end();
}

} // namespace

GlRenderContext::~GlRenderContext() {
  withdrawRenderContext(*this);
}

void setCurrentRenderContext(GlRenderContext& context) {
  withdrawRenderContext(context);
  registered().push_back(&context);
}

void withdrawRenderContext(GlRenderContext& context) {
  std::erase(registered(), &context);
}

GlRenderContext* currentRenderContext() {
  return registered().empty() ? nullptr : registered().back();
}

CurrentContextGuard::CurrentContextGuard() {
  useAny(nullptr);
}

CurrentContextGuard::CurrentContextGuard(GlRenderContext& own, ContextNeed need) {
  if (need == ContextNeed::Any) {
    useAny(&own);
    return;
  }
  active_ = own.makeContextCurrent();
  // A failed attempt may have left the context half made current; releasing it is harmless.
  madeCurrent_ = &own;
}

void CurrentContextGuard::useAny(GlRenderContext* own) {
  if (QOpenGLContext::currentContext()) {
    active_ = true;
    return;
  }
  // The views' contexts belong to the application's thread: a reader on a job's thread leaves its
  // OpenGL work to whoever shows what it read.
  if (BackgroundWork::OnJobThread()) return;
  if (own && own->makeContextCurrent()) {
    madeCurrent_ = own;
    active_ = true;
    return;
  }
  GlRenderContext* context = currentRenderContext();
  if (context && context->makeContextCurrent()) {
    madeCurrent_ = context;
    registeredOnly_ = true;
    active_ = true;
  }
}

CurrentContextGuard::~CurrentContextGuard() {
  // The guarded code may have destroyed the registered owner; a dead owner released its context
  // with it.
  if (!madeCurrent_ || (registeredOnly_ && !isRegistered(madeCurrent_))) return;
  madeCurrent_->releaseContext();
}

} // namespace vorlan
