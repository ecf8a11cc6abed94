#include "widgets/FrameServices.h"

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

} // namespace vorlan
