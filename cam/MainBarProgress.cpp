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

// The frame outlives every load, and with it the bar. On the bar's thread the move is painted at
// once, since a load there blocks the event loop; from another thread it is posted.
LoadProgress TMainBarProgress::Callback() {
  if (!bar_) return {};
  return [bar = bar_](int percent) {
    QMetaObject::invokeMethod(bar, [bar, percent] {
      bar->setValue(percent);
      bar->repaint();
    });
  };
}

} // namespace vorlan
