#pragma once

#include "cam/KX_CAMOBJET.h"

class QProgressBar;

namespace vorlan {

// The frame's hidden progress bar, shown for the length of one load and hidden again whatever
// happens. Without a frame it shows nothing.
class TMainBarProgress {
public:
  TMainBarProgress();
  ~TMainBarProgress();
  TMainBarProgress(const TMainBarProgress&) = delete;
  TMainBarProgress& operator=(const TMainBarProgress&) = delete;

  // Moves the bar; it may be called from any thread.
  LoadProgress Callback();

private:
  QProgressBar* bar_ = nullptr;
};

} // namespace vorlan
