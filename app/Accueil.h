#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace vorlan {

class TdxfShapedForm;

// The start-up splash: a window shaped like its picture, kept above the others, that hides
// itself two seconds after it is created.
class TSplashform : public QWidget {
  Q_OBJECT
public:
  TSplashform();

  // Shows the splash centred on its screen and paints it before returning, so that it is on
  // screen while the frame is being built.
  void ShowAndPaint();

  TdxfShapedForm* dxfShapedForm1 = nullptr;
  QLabel* Image1 = nullptr;
  QTimer* Timer1 = nullptr;

public slots:
  void Timer1Timer();
};

} // namespace vorlan
