#pragma once

#include <QPoint>
#include <QPointF>

namespace vorlan {

enum class CST_SPACE { ModelSpace, PaperSpace };

// The world rectangle under a control, in drawing units.
struct GvWorldRect {
  double left = 0, bottom = 0, right = 0, top = 0;
};

// How a viewer maps drawing units (Y up) to device pixels (y down). Computed once per view change
// and handed to every drawing, hit test and measurement, so entities never reach back into a viewer.
struct GvTransform {
  // The world window (the viewer's TGV_ViewPort).
  double Xmin = 0, Ymin = 0, Xmax = 1000, Ymax = 1000;
  double Scale = 1.0;            // pixels per drawing unit
  int OffsetX = 0, OffsetY = 0;  // screen position of (Xmin, Ymin)
  int Width = 100, Height = 100; // the control, or the printer page, in pixels
  bool Printing = false;
  CST_SPACE SpaceView = CST_SPACE::ModelSpace;
  double ScalePaper = 10.0; // drawing units per millimetre of paper
  int PrinterPixelsPerInch = 96;
  int PaperWidthMM = 0, PaperHeightMM = 0;

  // rnd((x - Xmin) * Scale) + OffsetX, OffsetY - rnd((y - Ymin) * Scale), halves to even. Far-away
  // and non-finite points are clamped to a billion pixels, so that rounding never overflows.
  QPoint WorldToScreen(double x, double y) const;
  // A length in drawing units as pixels: rnd(length * Scale), clamped the same way.
  int ToPixels(double length) const;
  QPointF ScreenToWorld(double sx, double sy) const;
  // The snap and hit tolerance of 5 pixels in drawing units.
  double SnapTolerance() const { return 5 / Scale; }

  // Fits the window into a width x height control keeping its aspect ratio, centred on the other
  // axis. A window without width or height keeps the current scale and offsets.
  void Setup(int width, int height);
  // Paper space: the window becomes the paper (PaperWidthMM x PaperHeightMM times ScalePaper)
  // around the window's centre.
  void CentrePaperWindow();
  // What the control shows: in model space the world under the whole control, in paper space the
  // window itself.
  GvWorldRect VisibleWindow() const;
};

} // namespace vorlan
