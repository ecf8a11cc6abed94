#include "gl/KX_OpenGL_SELECTION.h"

#include "gl/KX_OpenGL_VIEW.h"

#include <QApplication>

#include <GL/glu.h>

#include <algorithm>

namespace vorlan {
namespace {

constexpr GLsizei pickRegion = 15;

TObjectSelect recordFrom(std::span<const GLuint> names) {
  TObjectSelect::TNames stack;
  stack.fill(-1);
  // The host loads names in 0 .. 2^31 - 1; they are read back as signed values.
  std::transform(names.begin(), names.end(), stack.begin(),
                 [](GLuint name) { return static_cast<std::int32_t>(name); });
  return TObjectSelect(QString::number(names.size()), stack);
}

} // namespace

void WalkHitRecords(std::span<const GLuint> buffer, int hitCount, TObjectSelectList& list,
                    const std::function<void()>& afterEachRecord) {
  // Hit record: name count n, minimum depth, maximum depth, then the n names.
  std::size_t at = 0;
  for (int hit = 0; hit < hitCount; ++hit) {
    if (at < buffer.size()) {
      const std::size_t n = buffer[at];
      const std::size_t remaining = buffer.size() - at;
      if (n == 0)
        at += 3;
      else if (n <= TObjectSelect::MaxNames && 3 + n <= remaining) {
        list.push_back(recordFrom(buffer.subspan(at + 3, n)));
        at += 3 + n;
      }
    }
    if (afterEachRecord) afterEachRecord();
  }
}

namespace {

// Selection mode with the pick region pushed on the projection stack, for the life of the object:
// a handler that throws during the pass still leaves the view rendering with its own projection.
class SelectionMode {
public:
  explicit SelectionMode(std::vector<GLuint>& buffer) {
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
  }
  ~SelectionMode() {
    if (!finished_) finish();
  }
  SelectionMode(const SelectionMode&) = delete;
  SelectionMode& operator=(const SelectionMode&) = delete;

  // The number of hit records.
  GLint finish() {
    finished_ = true;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    return glRenderMode(GL_RENDER);
  }

private:
  bool finished_ = false;
};

} // namespace

bool TGL_VIEW::Pick(int X, int Y) {
  if (!readyToDraw()) return false;
  const CurrentContextGuard current(*this, ContextNeed::Own);
  if (!current.active()) return false;
  THomogeneousIntVector viewport{};
  glGetIntegerv(GL_VIEWPORT, viewport.data());
  std::vector<GLuint> buffer(SelectionBufferSize);
  GLint hits = 0;
  {
    SelectionMode selecting(buffer);
    applyPickProjection(X, Y, viewport);
    selectionPass();
    hits = selecting.finish();
  }
  PickList_.clear();
  WalkHitRecords(buffer, hits, PickList_, [this] {
    if (OnSortSelectionList) OnSortSelectionList(*this, PickList_);
  });
  return !PickList_.empty();
}

void TGL_VIEW::applyPickProjection(int X, int Y, THomogeneousIntVector viewport) {
  // GLU takes the viewport by a non-const pointer.
  gluPickMatrix(devicePixels(X), devicePixels(height() - Y), pickRegion, pickRegion, viewport.data());
  if (Camera_->Perspective()) {
    Camera_->ApplyProjection(width(), height());
    return;
  }
  // As the camera's orthographic box, with the aspect ratio in double precision.
  const TParams& p = Camera_->Params();
  const double w = std::max(width(), 1), h = std::max(height(), 1);
  if (w <= h)
    glOrtho(p.left(), p.right(), p.bottom() * (h / w), p.top() * (h / w), Camera_->DistNear(),
            Camera_->DistFar());
  else
    glOrtho(p.left() * (w / h), p.right() * (w / h), p.bottom(), p.top(), Camera_->DistNear(),
            Camera_->DistFar());
}

void TGL_VIEW::selectionPass() {
  // Nothing is cleared or presented: selection mode draws no pixels, and the picture on show stays.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
  glShadeModel(GL_FLAT);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  Camera_->ApplyViewTransform();
  glDisable(GL_LIGHTING);
  raise(OnSelectRedraw);
  glFinish();
}

void TGL_VIEW::Beep() {
  QApplication::beep();
}

void TGL_VIEW::raise(const TSelectionObjet& event, const TObjectSelect& object) {
  if (event) event(*this, object);
}

void TGL_VIEW::SelectOnPress(Qt::MouseButton button, const TShiftState& shift, int X, int Y) {
  if (OnSelectTest)
    OnSelectTest(*this, button, shift, X, Y);
  else if (button == Qt::LeftButton && TempSelecting_)
    confirmTempChoice(shift.Ctrl);
  else if (button == Qt::LeftButton)
    selectUnderCursor(shift.Ctrl, X, Y);
  if (button == Qt::RightButton && TempSelecting_) cycleTempChoice();
}

void TGL_VIEW::selectUnderCursor(bool ctrl, int X, int Y) {
  if (!Pick(X, Y)) {
    DeselectAll();
    return;
  }
  PickCycle_ = 0;
  Current_ = PickList_.front();
  if (PickList_.size() > 1) {
    // Several objects under the cursor: one is shown provisionally until the next left press.
    if (!ctrl) DeselectAll();
    Beep();
    TempSelecting_ = true;
    raise(OnSelectTempObject, *Current_);
  } else if (ctrl) {
    toggleSelected(*Current_);
  } else {
    DeselectAll();
    SelectedList_.push_back(*Current_);
    raise(OnSelectObject, *Current_);
  }
}

void TGL_VIEW::toggleSelected(const TObjectSelect& object) {
  const auto findIn = [&](TObjectSelectList& list) {
    return std::find_if(list.begin(), list.end(),
                        [&](const TObjectSelect& selected) { return selected.SameObject(object); });
  };
  if (findIn(SelectedList_) == SelectedList_.end()) {
    SelectedList_.push_back(object);
    raise(OnSelectObject, object);
    return;
  }
  raise(OnSelectObject, object);
  // Looked up again: the handler may have changed the list.
  if (const auto found = findIn(SelectedList_); found != SelectedList_.end()) SelectedList_.erase(found);
}

void TGL_VIEW::confirmTempChoice(bool ctrl) {
  TempSelecting_ = false;
  raise(OnSelectTempObject, *Current_);
  if (!ctrl) DeselectAll();
  SelectedList_.push_back(*Current_);
  raise(OnSelectObject, *Current_);
}

void TGL_VIEW::cycleTempChoice() {
  // A pick made by the host in between may have emptied the list: there is then nothing to cycle.
  if (PickList_.empty()) return;
  PickCycle_ = PickCycle_ + 1 >= static_cast<int>(PickList_.size()) ? 0 : PickCycle_ + 1;
  raise(OnSelectTempObject, *Current_);
  Current_ = PickList_[PickCycle_];
  raise(OnSelectTempObject, *Current_);
}

void TGL_VIEW::DeselectAll() {
  if (OnDeselectAll) OnDeselectAll(*this, SelectedList_);
  SelectedList_.clear();
}

} // namespace vorlan
