#include "scene3d/ListBatches.h"

#include "gl/GlContext.h"

#include <GL/gl.h>

#include <algorithm>

namespace vorlan {

TListBatches::~TListBatches() {
  Release();
}

bool TListBatches::Compile(std::size_t itemCount, const std::function<void(std::size_t, std::size_t)>& emit) {
  Release();
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (compiling != 0) return false;
  const std::size_t count = (itemCount + kFacesPerList - 1) / kFacesPerList;
  const GLuint first = count == 0 ? 0 : glGenLists(static_cast<GLsizei>(count));
  if (count != 0 && first == 0) return false;
  for (std::size_t k = 0; k < count; ++k) {
    glNewList(first + static_cast<GLuint>(k), GL_COMPILE);
    emit(k * kFacesPerList, std::min(itemCount, (k + 1) * kFacesPerList));
    glEndList();
  }
  first_ = first;
  count_ = count;
  compiled_ = true;
  return true;
}

void TListBatches::Call() const {
  for (std::size_t k = 0; k < count_; ++k)
    glCallList(first_ + static_cast<GLuint>(k));
}

// Without a context the names went with the last context of their share group.
void TListBatches::Release() {
  if (count_ != 0) {
    CurrentContextGuard guard;
    if (guard.active()) glDeleteLists(first_, static_cast<GLsizei>(count_));
  }
  first_ = 0;
  count_ = 0;
  compiled_ = false;
}

} // namespace vorlan
