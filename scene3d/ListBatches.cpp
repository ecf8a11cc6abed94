#include "scene3d/ListBatches.h"

#include "gl/GlContext.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>

namespace vorlan {

TListBatches::~TListBatches() {
  Release();
}

bool TListBatches::Compile(std::size_t itemCount, const std::function<void(std::size_t, std::size_t)>& emit,
                           std::vector<TArrayVertex> positions) {
  Release();
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (compiling != 0) return false;
  const std::size_t count = (itemCount + kFacesPerList - 1) / kFacesPerList;
  const GLuint first = count == 0 ? 0 : glGenLists(static_cast<GLsizei>(count));
  if (count != 0 && first == 0) return false;
  first_ = first;
  count_ = count;
  vertices_ = std::move(positions);
  for (std::size_t k = 0; k < count; ++k) {
    runStart_ = {steps_.size(), vertices_.size(), indices_.size()};
    beginList(first + static_cast<GLuint>(k));
    emit(k * kFacesPerList, std::min(itemCount, (k + 1) * kFacesPerList));
    if (!failed_) glEndList();
  }
  if (failed_) {
    Release();
    return false;
  }
  upload();
  compiled_ = true;
  return true;
}

void TListBatches::beginList(std::uint32_t name) {
  if (name == 0) {
    failed_ = true;
    return;
  }
  glNewList(name, GL_COMPILE);
  steps_.push_back({name, 0, 0, false});
}

void TListBatches::DrawTriangles(const std::vector<TArrayVertex>& vertices,
                                 const std::vector<std::uint32_t>& indices) {
  const auto base = static_cast<std::uint32_t>(vertices_.size());
  vertices_.insert(vertices_.end(), vertices.begin(), vertices.end());
  addDraw(indices, base, false);
}

void TListBatches::DrawLines(const std::vector<std::uint32_t>& indices) {
  addDraw(indices, 0, true);
}

void TListBatches::addDraw(const std::vector<std::uint32_t>& indices, std::uint32_t base, bool lines) {
  if (!failed_) glEndList();
  steps_.push_back({0, indices_.size(), indices.size(), lines});
  for (std::uint32_t index : indices)
    indices_.push_back(base + index);
  beginList(glGenLists(1));
}

void TListBatches::RestartList() {
  if (failed_) return;
  glEndList();
  for (std::size_t k = runStart_.Step + 1; k < steps_.size(); ++k)
    if (steps_[k].List != 0) glDeleteLists(steps_[k].List, 1);
  const GLuint name = steps_[runStart_.Step].List;
  steps_.resize(runStart_.Step);
  vertices_.resize(runStart_.Vertex);
  indices_.resize(runStart_.Index);
  beginList(name);
}

void TListBatches::upload() {
  if (indices_.empty()) return;
  glGenBuffers(1, &vertexBuffer_);
  glGenBuffers(1, &indexBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(TArrayVertex)),
               vertices_.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices_.size() * sizeof(std::uint32_t)),
               indices_.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  vertices_ = {};
  indices_ = {};
}

void TListBatches::Call() const {
  for (const Step& step : steps_)
    if (step.List != 0)
      glCallList(step.List);
    else
      drawRun(step);
}

// Client state and buffer bindings are put back, so that the caller's arrays are left as they were.
void TListBatches::drawRun(const Step& step) const {
  const auto offset = [](std::size_t bytes) { return reinterpret_cast<const void*>(bytes); };
  constexpr GLsizei stride = sizeof(TArrayVertex);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, offset(offsetof(TArrayVertex, P)));
  if (!step.Lines) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glNormalPointer(GL_FLOAT, stride, offset(offsetof(TArrayVertex, N)));
    glColorPointer(4, GL_FLOAT, stride, offset(offsetof(TArrayVertex, C)));
    glTexCoordPointer(2, GL_FLOAT, stride, offset(offsetof(TArrayVertex, T)));
  }
  glDrawElements(step.Lines ? GL_LINES : GL_TRIANGLES, static_cast<GLsizei>(step.Count), GL_UNSIGNED_INT,
                 offset(step.FirstIndex * sizeof(std::uint32_t)));
  glPopClientAttrib();
}

// Without a context the names went with the last context of their share group.
void TListBatches::Release() {
  if (!steps_.empty() || count_ != 0) {
    CurrentContextGuard guard;
    if (guard.active()) {
      for (const Step& step : steps_)
        if (step.List != 0) glDeleteLists(step.List, 1);
      const GLuint buffers[] = {vertexBuffer_, indexBuffer_};
      if (vertexBuffer_ != 0) glDeleteBuffers(2, buffers);
    }
  }
  first_ = 0;
  count_ = 0;
  compiled_ = false;
  failed_ = false;
  steps_.clear();
  vertices_ = {};
  indices_ = {};
  vertexBuffer_ = 0;
  indexBuffer_ = 0;
}

} // namespace vorlan
