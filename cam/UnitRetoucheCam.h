#pragma once

#include <QImage>
#include <QMdiSubWindow>

#include "widgets/FrameServices.h"

#include <cstdint>
#include <functional>
#include <string>

class QFileDialog;
class QMdiArea;
class QScrollArea;
class QSlider;
class QToolButton;

namespace vorlan {

class TCamObject;
class TKXPanel;

// A plain drawing surface whose painting and mouse handling belong to the form that holds it.
class TPaintBox : public QWidget {
  Q_OBJECT
public:
  explicit TPaintBox(QWidget* parent);

  std::function<void(QPainter&)> OnPaint;
  // The buttons held after the event (a press includes its own button) and the mouse position.
  std::function<void(Qt::MouseButtons, QPoint)> OnMouseDown;
  std::function<void(Qt::MouseButtons, QPoint)> OnMouseMove;
  std::function<void(Qt::MouseButtons, QPoint)> OnMouseUp;
  // Told +1 for a wheel notch away from the user, -1 towards.
  std::function<void(int)> OnWheel;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

// The child window of a bitmap-pair .cam file: shows picture 1, picture 2 or a retouched copy of
// picture 1, on which a square brush paints picture 1 back (left button) or picture 2 in (right
// button). Zooms by two, saves and prints what it shows.
class TFicheRetoucheCam : public QMdiSubWindow, public TDocumentWindow {
  Q_OBJECT
public:
  // A new window without pictures, shown at its design size centred in `area`; it frees itself
  // when closed.
  explicit TFicheRetoucheCam(QMdiArea* area);

  // The opening sequence: reads the whole file with a new cam document (the frame's MainBar
  // follows the read), then opens a window captioned `F` that shows the pair at 1:1. A read error
  // raises ReadError before any window exists.
  static TFicheRetoucheCam* Open(QMdiArea* area, const std::string& F);

  // Takes copies of the document's pictures and sizes the window so that they show at 1:1; false,
  // changing nothing, when the document is not a bitmap pair.
  bool ShowCam(const TCamObject& Cam);

  // What the paint box shows, at its size: the window comes to the front first.
  QImage Capture();

  const QImage& GetRetouched() const { return Retouched; }
  const QImage& GetPicture1() const { return Picture1; }
  const QImage& GetPicture2() const { return Picture2; }
  std::int32_t GetBrushRadius() const { return BrushRadius; }
  // The retouched picture has brush work that no save has written yet.
  bool IsModified() const { return Modified; }

  bool HoldsNothing() const override { return Picture1.isNull(); }
  void PrintCommand() override { imprime(); }
  void SaveCommand() override { sauve(); }

  TKXPanel* KXPanel1 = nullptr;
  QToolButton* SpeedButton1 = nullptr; // shows picture 2
  QToolButton* SpeedButton2 = nullptr; // shows picture 1
  QToolButton* SpeedButton3 = nullptr; // shows the retouched picture
  QSlider* TrackBar1 = nullptr;
  QToolButton* Zoom = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  TPaintBox* PB1 = nullptr;
  QFileDialog* SavePictureDialog1 = nullptr;

public slots:
  // The picture buttons' click: the zoom button follows the shown picture, and the paint box
  // repaints at once.
  void PB1Paint();
  void TrackBar1Change();
  void ZoomClick();
  void sauve();
  void imprime();

protected:
  // Asks first when the retouched picture has changes that were not saved.
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildToolBar();
  void ZoomByWheel(int notch);
  void BuildPaintBox();
  void FitToPicture(QSize picture);

  const QImage* ShownPicture() const;
  void DrawShownPicture(QPainter& painter);
  void PB1MouseDown(Qt::MouseButtons Shift, QPoint at);
  void PB1MouseMove(Qt::MouseButtons Shift, QPoint at);
  void PB1MouseUp();
  void PaintFrom(const QImage& source, QPoint at);
  void StrokeTo(const QImage& source, QPoint at);

  QImage Retouched;
  QImage Picture2;
  QImage Picture1;
  std::int32_t BrushRadius = 5;
  bool Painting = false;
  // Where the brush last painted in the current stroke; the next move paints the way from here.
  QPoint LastBrush;
  bool Modified = false;
};

} // namespace vorlan
