#include "gl/GlContext.h"

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
  if (QOpenGLContext::currentContext()) {
    active_ = true;
    return;
  }
  GlRenderContext* context = currentRenderContext();
  if (context && context->makeContextCurrent()) {
    madeCurrent_ = context;
    active_ = true;
  }
}

CurrentContextGuard::~CurrentContextGuard() {
  // The guarded code may have destroyed the owner; a dead owner released its context with it.
  if (madeCurrent_ && isRegistered(madeCurrent_)) madeCurrent_->releaseContext();
}

} // namespace vorlan
