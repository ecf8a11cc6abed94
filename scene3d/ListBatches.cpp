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

namespace {

// About 30,000 triangles of a mesh.
constexpr std::size_t kDrawsPerFlush = 16;

template <typename T> std::uint32_t bufferOf(GLenum target, const std::vector<T>& data) {
  GLuint name = 0;
  glGenBuffers(1, &name);
  glBindBuffer(target, name);
  glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
  glBindBuffer(target, 0);
  return name;
}

} // namespace

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
  if (!positions.empty()) positions_ = bufferOf(GL_ARRAY_BUFFER, positions);
  for (std::size_t k = 0; k < count; ++k) {
    runStart_ = steps_.size();
    beginList(first + static_cast<GLuint>(k));
    emit(k * kFacesPerList, std::min(itemCount, (k + 1) * kFacesPerList));
    if (!failed_) glEndList();
  }
  if (failed_) {
    Release();
    return false;
  }
  compiled_ = true;
  return true;
}

void TListBatches::beginList(std::uint32_t name) {
  if (name == 0) {
    failed_ = true;
    return;
  }
  glNewList(name, GL_COMPILE);
  steps_.push_back({name, 0, 0, 0, false});
}

void TListBatches::DrawTriangles(const std::vector<TArrayVertex>& vertices,
                                 const std::vector<std::uint32_t>& indices) {
  addDraw(&vertices, indices);
}

void TListBatches::DrawLines(const std::vector<std::uint32_t>& indices) {
  addDraw(nullptr, indices);
}

// The draw comes between the list compiled so far and the next one.
void TListBatches::addDraw(const std::vector<TArrayVertex>* vertices,
                           const std::vector<std::uint32_t>& indices) {
  if (!failed_) glEndList();
  const std::uint32_t vertexBuffer = vertices ? bufferOf(GL_ARRAY_BUFFER, *vertices) : positions_;
  steps_.push_back({0, vertexBuffer, bufferOf(GL_ELEMENT_ARRAY_BUFFER, indices), indices.size(), !vertices});
  beginList(glGenLists(1));
}

void TListBatches::RestartList() {
  if (failed_) return;
  glEndList();
  const GLuint name = steps_[runStart_].List;
  deleteNames(runStart_, false);
  steps_.resize(runStart_);
  beginList(name);
}

// A software renderer keeps what it has prepared of every triangle until the frame is flushed: a
// flush now and then lets it draw and free as it goes, which holds a big model's frame to a fraction
// of the memory and changes no pixel.
void TListBatches::Call() const {
  std::size_t draws = 0;
  for (const Step& step : steps_) {
    if (step.List != 0) {
      glCallList(step.List);
      continue;
    }
    drawRun(step);
    if (++draws % kDrawsPerFlush == 0) glFlush();
  }
}

// Client state and buffer bindings are put back, so that the caller's arrays are left as they were.
void TListBatches::drawRun(const Step& step) const {
  const auto offset = [](std::size_t bytes) { return reinterpret_cast<const void*>(bytes); };
  constexpr GLsizei stride = sizeof(TArrayVertex);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glBindBuffer(GL_ARRAY_BUFFER, step.Vertices);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, step.Indices);
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
                 nullptr);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glPopClientAttrib();
}

void TListBatches::deleteNames(std::size_t from, bool positions) {
  for (std::size_t k = from; k < steps_.size(); ++k) {
    const Step& step = steps_[k];
    if (step.List != 0) glDeleteLists(step.List, 1);
    if (step.Indices != 0) glDeleteBuffers(1, &step.Indices);
    if (step.Vertices != 0 && step.Vertices != positions_) glDeleteBuffers(1, &step.Vertices);
  }
  if (positions && positions_ != 0) glDeleteBuffers(1, &positions_);
}

// Without a context the names went with the last context of their share group.
void TListBatches::Release() {
  if (!steps_.empty() || positions_ != 0) {
    CurrentContextGuard guard;
    if (guard.active()) deleteNames(0, true);
  }
  first_ = 0;
  count_ = 0;
  compiled_ = false;
  failed_ = false;
  steps_.clear();
  positions_ = 0;
}

} // namespace vorlan
