#include "cam/MainBarProgress.h"

#include "widgets/FrameServices.h"

#include <QProgressBar>

namespace vorlan {

TMainBarProgress::TMainBarProgress() {
  if (FrameServices* frame = FrameServices::instance()) bar_ = frame->MainBar();
  if (!bar_) return;
  bar_->setValue(0);
  bar_->show();
}

TMainBarProgress::~TMainBarProgress() {
  if (bar_) bar_->hide();
}

LoadProgress TMainBarProgress::Callback() {
  if (!bar_) return {};
  return [bar = bar_](int percent) {
    bar->setValue(percent);
    bar->repaint();
  };
}

} // namespace vorlan
