#pragma once

#include "graphic_viewer/GvDocument.h"
#include "graphic_viewer/GvReader.h"
#include "graphic_viewer/GvTransform.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlan {

// A view that zooming showed.
struct TGV_ViewPortRestore {
  double Xmin = 0, Ymin = 0, Xmax = 0, Ymax = 0;
  bool operator==(const TGV_ViewPortRestore&) const = default;
};

// The views zooming has shown, with a current position; a push drops every view after it.
class TGV_ZoomUnzoomList {
public:
  void Push(const TGV_ViewPortRestore& view);
  const std::vector<TGV_ViewPortRestore>& Records() const { return records_; }
  int Current() const { return current_; }

private:
  std::vector<TGV_ViewPortRestore> records_;
  int current_ = -1;
};

enum class TPrinterOrientation { poPortrait, poLandscape };

// What the paper-space set-up reads of the printer.
struct GvPrinterInfo {
  QString Name;
  int PaperWidthMM = 0, PaperHeightMM = 0; // the printable area
  int PixelsPerInch = 96;
  TPrinterOrientation Orientation = TPrinterOrientation::poLandscape;
};

// The file is not a drawing: its signature, reserved word or header is wrong.
class X2dHeaderError : public ReadError {
public:
  using ReadError::ReadError;
};

// The 2D viewer without a window: the world window and its transform, the display list, zooming,
// selection, paper space and printing, painted on an off-screen surface of the control's size.
// A window owns the control that shows the surface and forwards its size, mouse and keys here.
class TGV_VIEWER : public TGV_ViewerLink {
public:
  // Commands of the command machine that viewing uses.
  static constexpr std::uint8_t CommandSelection = 0, CommandZoomWindow = 2, CommandDynamicZoom = 11;

  TGV_VIEWER();
  ~TGV_VIEWER() override;
  TGV_VIEWER(const TGV_VIEWER&) = delete;
  TGV_VIEWER& operator=(const TGV_VIEWER&) = delete;

  const GvTransform& Transform() const override { return transform_; }
  TGV_TextMeasurer& Measurer() override { return *measurer_; }
  const TGV_DOCUMENT* ShownDocument() const override { return document_; }
  void AppendToDisplayList(TGV_ENTITY& entity) override { displayList_.push_back(&entity); }
  void RebuildDisplayList() override;
  void Redraw() override;
  void DrawDisplayList(Canvas& canvas, int width, int height) override;

  bool Axes() const { return axes_; }
  void SetAxes(bool axes);
  TGV_DOCUMENT* Document() const { return document_; }
  void SetDocument(TGV_DOCUMENT* document);
  TGV_ViewPortRestore Viewport() const;
  void SetViewport(const TGV_ViewPortRestore& viewport);
  TPrinterOrientation PrintOrientation() const { return printOrientation_; }
  void SetPrintOrientation(TPrinterOrientation orientation);
  CST_SPACE SpaceView() const { return transform_.SpaceView; }
  void SetSpaceView(CST_SPACE space);
  double ScalePaper() const { return transform_.ScalePaper; }
  void SetScalePaper(double scale);
  // The printer the paper space and printing use; without one its sizes are 0.
  void SetPrinter(const std::optional<GvPrinterInfo>& printer) { printer_ = printer; }

  // The control's size in device pixels.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Resize(int width, int height);

  // Reads the header, applies its paper scale and orientation, and loads the body into the
  // document. X2dHeaderError and X2dTooRecentError load nothing; other read errors keep the
  // layers merged so far.
  void LoadFromFile(const std::string& fileName);

  void SetView(double xmin, double ymin, double xmax, double ymax);
  void ZoomAll();
  void StartZoomWindow();
  void StartDynamicZoom();
  // Drawing units per millimetre so that the drawing and its margins fit the printable area; the
  // window becomes the drawing's box with its margins.
  double ComputePaperScale();
  // Draws the display list in paper mode on a canvas over the printer's page, then zooms all.
  void Print(Canvas& page);

  // The mouse and keyboard, in device pixels. The left button drives the current command; the
  // middle button pans and the wheel zooms about the cursor, both outside the command machine.
  void MouseDown(Qt::MouseButton button, QPoint at);
  void MouseMove(QPoint at);
  void MouseUp(Qt::MouseButton button, QPoint at);
  // Positive steps (wheel turned away from the user) zoom in.
  void Wheel(QPoint at, double steps);
  void KeyDown(int key);

  // The paint handler: the document redraws every viewer that shows it.
  void Paint();
  bool NeedsPaint() const { return dirty_; }
  const QImage& Surface() const { return surface_; }
  // Called when the surface changed and the control should show it again.
  std::function<void()> OnSurfaceChanged;

  std::uint8_t Command() const { return command_; }
  bool Dragging() const { return dragging_; }
  const std::vector<TGV_ENTITY*>& DisplayList() const { return displayList_; }
  const TGV_ZoomUnzoomList& ZoomHistory() const { return zoomHistory_; }
  bool FirstPaint() const { return firstPaint_; }

  bool Interactive = true;
  bool KeysEnabled = true;
  std::uint8_t LoadLayer = 0;

private:
  void SetupTransform(bool paper, int width, int height);
  void ReadPrinterInformation();
  std::optional<TGV_ViewPortRestore> DrawingBox(bool zeroMarginFallback) const;
  void PaintPaper(Canvas& canvas);
  void Invalidate();
  void ResetCommand();

  void ZoomWindowClick(QPoint at);
  void SelectionClick(QPoint at);
  bool ToggleHits(QPoint at);
  void SelectInBand();
  bool BandClick(QPoint at);
  TGV_ViewPortRestore BandWindow() const;
  void DynamicZoomStep(int y);
  void DynamicZoomEnd(int y);
  void Pan(QPoint at);
  void DrawBand();
  void SetSelected(TGV_ENTITY& entity, bool selected);

  GvTransform transform_;
  TGV_DOCUMENT* document_ = nullptr;
  bool axes_ = true;
  TPrinterOrientation printOrientation_ = TPrinterOrientation::poLandscape;
  std::optional<GvPrinterInfo> printer_;
  int width_ = 100, height_ = 100;
  bool firstPaint_ = true;
  std::vector<TGV_ENTITY*> displayList_;
  TGV_ZoomUnzoomList zoomHistory_;

  std::uint8_t command_ = CommandSelection;
  bool dragging_ = false;
  QPoint dragStart_, dragLast_;
  bool panning_ = false;
  QPoint panLast_;

  Font font_;
  QImage surface_;
  bool dirty_ = true;
  QImage measuringSurface_;
  std::unique_ptr<Canvas> measuringCanvas_;
  std::unique_ptr<CanvasTextMeasurer> measurer_;
};

} // namespace vorlan
