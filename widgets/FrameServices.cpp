#include "widgets/FrameServices.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace vorlan {

namespace {
FrameServices* theFrame = nullptr;
}

TRotatingWindow::~TRotatingWindow() {
  if (FrameServices* frame = FrameServices::instance()) frame->SetRotating(this, false);
}

FrameServices* FrameServices::instance() {
  return theFrame;
}

FrameServices::FrameServices() {
  theFrame = this;
}

FrameServices::~FrameServices() {
  if (theFrame == this) theFrame = nullptr;
}

QPoint CentredPosition(QSize client, QSize window) {
  // C++ integer division truncates toward zero, as the rule asks for odd and negative spans.
  const int x = (client.width() - window.width()) / 2;
  const int y = (client.height() - window.height()) / 2;
  return {std::max(x, 0), std::max(y, 0)};
}

void CentreInClientArea(QMdiSubWindow* window) {
  const QMdiArea* area = window->mdiArea();
  if (!area) return;
  window->move(CentredPosition(area->viewport()->size(), window->size()));
}

} // namespace vorlan
