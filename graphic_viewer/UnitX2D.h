#pragma once

#include "widgets/FrameServices.h"

#include <QImage>
#include <QMdiSubWindow>

#include <memory>
#include <string>

class QMdiArea;
class QPrinter;
class QToolButton;

namespace vorlan {

class TGV_DOCUMENT;
class TGV_ViewerControl;
class TKXPanel;

// The child window of one .x2d drawing: a viewer on its own document, three zoom buttons and a
// print button. It frees itself, its viewer and its document when closed.
class TFicheX2D : public QMdiSubWindow, public TDocumentWindow {
  Q_OBJECT
public:
  // What the opening sequence does when the file is not a drawing or is too recent: tell the user
  // in a message box and show the empty drawing, or raise the error (the command line).
  enum class HeaderErrors { Show, Raise };

  // A new, empty window at its design size, centred in `area`.
  explicit TFicheX2D(QMdiArea* area);
  ~TFicheX2D() override;

  // The opening sequence of the Open command: the window shows minimised as "LOADING ...." while
  // its viewer reads `F`, the loaded drawing is made unselectable, and the window comes back fitted
  // to the drawing under the caption `F`. Other read errors propagate and leave the window open,
  // restored and captioned, with what was loaded.
  static TFicheX2D* Open(QMdiArea* area, const std::string& F,
                         HeaderErrors headerErrors = HeaderErrors::Show);

  // Resizes the window so that its viewer control is exactly `size` device-independent pixels.
  void SetViewerSize(QSize size);
  // What the viewer shows now, painted as on screen.
  QImage Capture();
  // The print button's work on a printer already chosen: the drawing fitted to the printable area.
  void PrintOn(QPrinter& printer);

  TGV_DOCUMENT& GV_DOCUMENT1() { return *Document; }

  bool HoldsNothing() const override;
  void PrintCommand() override { imprime(); }

  QWidget* Panel1 = nullptr;
  TKXPanel* KXPanel1 = nullptr;
  QToolButton* SpeedButton1 = nullptr; // zoom window
  QToolButton* SpeedButton2 = nullptr; // zoom all
  QToolButton* SpeedButton3 = nullptr; // dynamic zoom
  QToolButton* SpeedButton5 = nullptr; // print
  TGV_ViewerControl* v1 = nullptr;

public slots:
  void FormResize();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void imprime();

private:
  void BuildToolBar();
  void FinishOpening(const std::string& F);

  std::unique_ptr<TGV_DOCUMENT> Document;
};

// Registers the ".X2D" branch of the Open command with the frame.
void RegisterX2DOpener(FrameServices& frame);

} // namespace vorlan
