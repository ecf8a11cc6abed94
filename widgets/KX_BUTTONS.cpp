#include "widgets/KX_BUTTONS.h"

#include "platform/Canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace vorlan {

int reflectRingCount(int width) {
  struct Step {
    int below, rings;
  };
  for (auto [below, rings] : {Step{200, 49},
                              {400, 99},
                              {600, 149},
                              {800, 199},
                              {1000, 249},
                              {1200, 299},
                              {1400, 349},
                              {10000, 399}})
    if (width < below) return rings;
  return 399; // wider still: as many as the widest step
}

TReflect outerReflect(int width, int height) {
  const double diagonal =
      std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height);
  return {Round(width / 4.0), Round(height / 4.0), Round(diagonal * 3 / 4), reflectRingCount(width)};
}

TReflect nestedReflect(const TReflect& parent, QPoint position, TPanelBevel bevel) {
  const int offset = bevel == TPanelBevel::bvRaised ? 10 : bevel == TPanelBevel::bvLowered ? -10 : 0;
  return {parent.centreX - position.x() + offset, parent.centreY - position.y() + offset, parent.radius,
          parent.rings};
}

namespace {

constexpr int gradientSteps = 50;

// The colours of a fill: index 0 is ColorUp, each index one step towards ColorDown.
class Gradient {
public:
  Gradient(TColor up, TColor down)
      : up_(up), dR_(step(GetRValue(up), GetRValue(down))), dG_(step(GetGValue(up), GetGValue(down))),
        dB_(step(GetBValue(up), GetBValue(down))) {}

  TColor operator[](int k) const {
    return RGB(clampChannel(GetRValue(up_) - k * dR_), clampChannel(GetGValue(up_) - k * dG_),
               clampChannel(GetBValue(up_) - k * dB_));
  }

private:
  static int step(int from, int to) { return Round((from - to) / static_cast<double>(gradientSteps)); }

  TColor up_;
  int dR_, dG_, dB_;
};

void fillBand(Canvas& canvas, TColor color, const TRect& band) {
  canvas.brush.color = color;
  canvas.fillRect(band);
}

void paintHorizontal(Canvas& canvas, int width, int height, const Gradient& colors) {
  const int h = Round(height / 50.0);
  for (int i = 0; i <= 48; ++i)
    fillBand(canvas, colors[i], {0, i * h, width, (i + 1) * h});
  fillBand(canvas, colors[49], {0, 49 * h, width, height});
}

void paintVertical(Canvas& canvas, int width, int height, const Gradient& colors) {
  const int w = Round(width / 51.0);
  for (int i = 0; i <= 49; ++i)
    fillBand(canvas, colors[i], {i * w, 0, (i + 1) * w, height});
  fillBand(canvas, colors[50], {50 * w, 0, width, height});
}

// Out to the middle band and back again.
int cylinderIndex(int band) {
  return band <= 24 ? 2 * band : 2 * (50 - band);
}

void paintHorizontalCylinder(Canvas& canvas, int width, int height, const Gradient& colors) {
  const int h = Round(height / 51.0);
  for (int i = 0; i <= 49; ++i)
    fillBand(canvas, colors[cylinderIndex(i)], {0, i * h, width, (i + 1) * h});
  canvas.fillRect({0, 50 * h, width, height}); // in the last band's colour
}

void paintVerticalCylinder(Canvas& canvas, int width, int height, const Gradient& colors) {
  const int w = Round(width / 51.0);
  for (int i = 0; i <= 49; ++i)
    fillBand(canvas, colors[cylinderIndex(i)], {i * w, 0, (i + 1) * w, height});
  canvas.fillRect({50 * w, 0, width, height});
}

void paintReflect(Canvas& canvas, const TReflect& reflect, TGradientProgress progress) {
  const int R = reflect.radius;
  if (R <= 0) return; // a pattern with no size: nothing to darken
  const int N = reflect.rings;
  for (int i = 0; i <= N; ++i) {
    const int r = R - Round(static_cast<double>(i) * R / (N + 1));
    const int d = Round(progress == TGradientProgress::Linear
                            ? r * 100.0 / R
                            : static_cast<double>(r) * r * 100 / (static_cast<double>(R) * R));
    const int grey = clampChannel(255 - d);
    canvas.pen.color = canvas.brush.color = RGB(grey, grey, grey);
    canvas.ellipse(reflect.centreX - r, reflect.centreY - r, reflect.centreX + r, reflect.centreY + r);
  }
}

// A plate of grey lines: an 11-line bevelled rim, brightest outside, around brushed lines.
// Each rim line takes its own table entry: top rim 0..10, bottom 11..21, left 22..32 and
// right 33..43; the interior line of row y takes entry y mod 50.
void paintMetalPlate(Canvas& canvas, int width, int height) {
  auto line = [&canvas](int x1, int y1, int x2, int y2, int entry, int tier) {
    const int grey = clampChannel(192 + MetalNoise[entry] + tier);
    canvas.pen.color = RGB(grey, grey, grey);
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
  };
  constexpr int rimLines = 11;
  for (int y = 0; y < rimLines; ++y) {
    const int tier = y <= 3 ? 30 : y <= 6 ? 20 : 7;
    line(y + 1, y, width - (y + 1), y, y, tier);
    line(y + 1, height - 1 - y, width - (y + 1), height - 1 - y, rimLines + y, tier);
    line(y, y, y, height - y, 2 * rimLines + y, tier);
    line(width - 1 - y, y, width - 1 - y, height - y, 3 * rimLines + y, tier);
  }
  for (int y = rimLines; y < height - rimLines; ++y)
    line(rimLines, y, width - rimLines, y, y % static_cast<int>(MetalNoise.size()), 0);
}

void paintColors(Canvas& canvas, int width, int height, const TKXPanelLook& look, const TReflect& reflect) {
  canvas.pen.color = 0;
  canvas.brush.style = BrushStyle::Solid;
  const Gradient colors(look.ColorUp, look.ColorDown);
  switch (look.GradientType) {
  case TGradientType::GTHorizontal:
    paintHorizontal(canvas, width, height, colors);
    break;
  case TGradientType::GTVertical:
    paintVertical(canvas, width, height, colors);
    break;
  case TGradientType::GTHorizontalCylindre:
    paintHorizontalCylinder(canvas, width, height, colors);
    break;
  case TGradientType::GTVerticalCylindre:
    paintVerticalCylinder(canvas, width, height, colors);
    break;
  case TGradientType::GTMetalPlate:
    paintMetalPlate(canvas, width, height);
    break;
  case TGradientType::GTReflect:
    paintReflect(canvas, reflect, look.GradientProgress);
    break;
  }
}

void paintWallPaper(Canvas& canvas, int width, int height, const QImage& wallPaper, int scrollOffset) {
  if (wallPaper.height() == 0) return;
  const int pw = wallPaper.width();
  const int ph = wallPaper.height();
  const int rows = height / ph;
  const int columns = width / pw;
  // The first column starts one tile to the left, so that the scrolled tiles reach the left edge.
  for (int c = 0; c <= columns + 1; ++c)
    for (int r = 0; r <= rows; ++r)
      canvas.copyRect({pw * (c - 1) + scrollOffset, ph * r, pw * c + scrollOffset, ph * (r + 1)}, wallPaper,
                      {0, 0, pw, ph});
}

void paintBevel(Canvas& canvas, int width, int height, TPanelBevel bevel) {
  if (bevel == TPanelBevel::bvNone) return;
  constexpr TColor white = 0xFFFFFF;
  constexpr TColor grey = 0x808080;
  const bool raised = bevel == TPanelBevel::bvRaised;
  canvas.pen = Pen{};
  canvas.pen.color = raised ? white : grey;
  canvas.moveTo(width, 0);
  canvas.lineTo(0, 0);
  canvas.lineTo(0, height);
  canvas.pen.color = raised ? grey : white;
  canvas.moveTo(0, height - 1);
  canvas.lineTo(width - 1, height - 1);
  canvas.lineTo(width - 1, 0);
}

} // namespace

void paintPanel(Canvas& canvas, int width, int height, const TKXPanelLook& look, int scrollOffset,
                const TReflect& reflect) {
  if (look.Style == TPanelStyle::Colors)
    paintColors(canvas, width, height, look, reflect);
  else
    paintWallPaper(canvas, width, height, look.WallPaper, scrollOffset);
  paintBevel(canvas, width, height, look.Bevel);
}

TKXPanel::TKXPanel(QWidget* parent) : QWidget(parent), animationTimer_(new QTimer(this)) {
  animationTimer_->setInterval(100);
  connect(animationTimer_, &QTimer::timeout, this, &TKXPanel::animationTick);
  // The paint covers every pixel: nothing need be erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
}

TKXPanel::~TKXPanel() {
  animationTimer_->stop();
}

void TKXPanel::setAnimation(bool animation) {
  animation_ = animation;
  if (animation)
    animationTimer_->start();
  else
    animationTimer_->stop();
}

bool TKXPanel::animationRunning() const {
  return animationTimer_->isActive();
}

void TKXPanel::setColorUp(TColor color) {
  look_.ColorUp = color;
  update();
}

void TKXPanel::setColorDown(TColor color) {
  look_.ColorDown = color;
  update();
}

void TKXPanel::setWallPaper(const QImage& picture) {
  look_.WallPaper = picture;
  restartScroll();
  update();
}

void TKXPanel::setBevel(TPanelBevel bevel) {
  look_.Bevel = bevel;
  update();
}

void TKXPanel::setStyle(TPanelStyle style) {
  look_.Style = style;
  update();
  restartScroll();
}

void TKXPanel::setGradientType(TGradientType type) {
  look_.GradientType = type;
  update();
}

void TKXPanel::setGradientProgress(TGradientProgress progress) {
  look_.GradientProgress = progress;
  update();
}

void TKXPanel::restartScroll() {
  scrollOffset_ = scrollPeriod_ = look_.WallPaper.width();
}

void TKXPanel::animationTick() {
  --scrollOffset_;
  if (scrollOffset_ < 1) scrollOffset_ = scrollPeriod_;
  repaint();
}

QImage TKXPanel::renderBitmap() {
  if (look_.Style == TPanelStyle::WallPapers && !animationTimer_->isActive()) scrollOffset_ = 0;
  if (look_.Style == TPanelStyle::Colors && look_.GradientType == TGradientType::GTReflect) {
    const auto* outer = qobject_cast<const TKXPanel*>(parentWidget());
    reflect_ = outer ? nestedReflect(outer->Reflect(), pos(), look_.Bevel) : outerReflect(width(), height());
  }
  QImage bitmap = newBitmap(width(), height());
  if (!bitmap.isNull()) {
    Canvas canvas(bitmap);
    paintPanel(canvas, width(), height(), look_, scrollOffset_, reflect_);
  }
  return bitmap;
}

void TKXPanel::paintEvent(QPaintEvent*) {
  const QImage bitmap = renderBitmap();
  QPainter(this).drawImage(0, 0, bitmap);
}

void TKXPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QWidget::mouseReleaseEvent(event);
}

void ApplyToolBarLook(TKXPanel& panel, TColor colorUp, TColor colorDown) {
  panel.setColorUp(colorUp);
  panel.setColorDown(colorDown);
  panel.setStyle(TPanelStyle::WallPapers);
  panel.setBevel(TPanelBevel::bvNone);
  panel.setGradientType(TGradientType::GTHorizontal);
  panel.setGradientProgress(TGradientProgress::Linear);
  panel.setAnimation(false);
  panel.setWallPaper(QImage(":/wallpaper.png"));
}

} // namespace vorlan
