#include "graphic_viewer/GvTransform.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace vorlan {

namespace {

// Far beyond any surface, yet safely inside int after adding an offset.
constexpr double PixelLimit = 1e9;

int RoundPixels(double value) {
  if (std::isnan(value)) return 0;
  return Round(std::clamp(value, -PixelLimit, PixelLimit));
}

} // namespace

QPoint GvTransform::WorldToScreen(double x, double y) const {
  return {RoundPixels((x - Xmin) * Scale) + OffsetX, OffsetY - RoundPixels((y - Ymin) * Scale)};
}

int GvTransform::ToPixels(double length) const {
  return RoundPixels(length * Scale);
}

QPointF GvTransform::ScreenToWorld(double sx, double sy) const {
  return {(sx - OffsetX) / Scale + Xmin, Ymin - (sy - OffsetY) / Scale};
}

void GvTransform::Setup(int width, int height) {
  Width = width;
  Height = height;
  const double dx = Xmax - Xmin, dy = Ymax - Ymin;
  if (dx == 0 || dy == 0) return;
  const double sy = (height - 1) / dy, sx = (width - 1) / dx;
  if (sy < sx) {
    Scale = sy;
    OffsetX = Round((width - sy * dx - 1) / 2);
    OffsetY = height;
  } else {
    Scale = sx;
    OffsetX = 0;
    OffsetY = height - Round((height - sx * dy - 1) / 2);
  }
}

void GvTransform::CentrePaperWindow() {
  const double cx = (Xmin + Xmax) / 2, cy = (Ymin + Ymax) / 2;
  const double halfWidth = PaperWidthMM * ScalePaper / 2, halfHeight = PaperHeightMM * ScalePaper / 2;
  Xmin = cx - halfWidth;
  Xmax = cx + halfWidth;
  Ymin = cy - halfHeight;
  Ymax = cy + halfHeight;
}

GvWorldRect GvTransform::VisibleWindow() const {
  if (SpaceView == CST_SPACE::PaperSpace) return {Xmin, Ymin, Xmax, Ymax};
  return {-OffsetX / Scale + Xmin, Ymin - (Height - OffsetY) / Scale, (Width - OffsetX) / Scale + Xmin,
          Ymin + OffsetY / Scale};
}

} // namespace vorlan
