#pragma once

#include <QImage>
#include <QMdiSubWindow>

#include "widgets/FrameServices.h"

#include <string>

class QMdiArea;
class QScrollArea;
class QToolButton;

namespace vorlan {

class TKXPanel;

// A picture control that stretches its picture over the whole control, whatever its aspect.
class TStretchedImage : public QWidget {
  Q_OBJECT
public:
  explicit TStretchedImage(QWidget* parent);

  const QImage& Picture() const { return Picture_; }
  void setPicture(const QImage& picture);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage Picture_;
};

// The child window that shows a .bmp or .jpg picture and prints it.
class TFicheImage : public QMdiSubWindow, public TDocumentWindow {
  Q_OBJECT
public:
  // A new, empty picture window shown at its design size, centred in `area`; it frees itself
  // when closed.
  explicit TFicheImage(QMdiArea* area);

  // The opening sequences of the Open command. A picture that cannot be read raises ReadError;
  // the window already created then stays open, empty.
  static TFicheImage* OpenBitmap(QMdiArea* area, const std::string& F);
  static TFicheImage* OpenJpeg(QMdiArea* area, const std::string& F);

  bool HoldsNothing() const override { return Image1->Picture().isNull(); }
  void PrintCommand() override { imprime(); }

  // Holds Image1, which it scrolls when the picture is larger than the frame can show.
  QScrollArea* ImageBox = nullptr;
  TStretchedImage* Image1 = nullptr;
  QWidget* Panel1 = nullptr;
  TKXPanel* KXPanel1 = nullptr;
  QToolButton* SpeedButton5 = nullptr;

public slots:
  void imprime();

private:
  void BuildToolBar(QWidget* host);
  // Shows `picture` at 1:1 under the caption `F`, centred at its new size.
  void ShowPicture(const QImage& picture, const std::string& F);
  void FitToPicture(QSize picture);
};

} // namespace vorlan
