#pragma once

#include "platform/Numbers.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <array>
#include <cstdint>

class QTimer;

namespace vorlan {

class Canvas;

// Ordinals follow the order of the names (first = 0).
enum class TPanelBevel { bvNone, bvLowered, bvRaised };
enum class TPanelStyle { WallPapers, Colors };
enum class TGradientType {
  GTHorizontal,
  GTVertical,
  GTHorizontalCylindre,
  GTVerticalCylindre,
  GTMetalPlate,
  GTReflect
};
enum class TGradientProgress { Linear, InverseSQR };

// The grain of the metal plate, one value per line of a 50-line period.
inline constexpr std::array<std::int32_t, 50> MetalNoise{
    2,  -2, 0,  -4, 0, -1, 2,  3, -1, 3, 2, 2, -3, -3, 0, 0, -3, 1,  1,  -3, -3, -2, -3, -3, 2,
    -2, 2,  -1, 0,  0, -1, -2, 1, -1, 1, 3, 3, -3, -2, 0, 3, 3,  -1, -1, 0,  -2, -2, 3,  1,  0};

// Where the discs of a reflect fill lie in a panel: centre, radius of the largest disc and the
// number of rings. A panel remembers its own, so that a reflect panel inside it continues it.
struct TReflect {
  std::int32_t centreX = 0;
  std::int32_t centreY = 0;
  std::int32_t radius = 0;
  std::int32_t rings = 0;
  bool operator==(const TReflect&) const = default;
};

// The published look of a panel: what its paint depends on besides its size and state.
struct TKXPanelLook {
  TColor ColorUp = 0xFF0000;
  TColor ColorDown = 0xFF00FF;
  QImage WallPaper;
  TPanelBevel Bevel = TPanelBevel::bvRaised;
  TPanelStyle Style = TPanelStyle::Colors;
  TGradientType GradientType = TGradientType::GTHorizontal;
  TGradientProgress GradientProgress = TGradientProgress::Linear;
};

// Rings of a reflect fill by the panel's width: 49 below 200 pixels, 50 more for each 200
// pixels up to 399 from 1400 pixels on.
int reflectRingCount(int width);
// The discs of a panel whose parent is not a panel: from a highlight at a quarter of its size.
TReflect outerReflect(int width, int height);
// The discs of a panel inside a panel at `position`, continuing the parent's pattern, moved
// 10 pixels down and right for a raised child and up and left for a lowered one.
TReflect nestedReflect(const TReflect& parent, QPoint position, TPanelBevel bevel);

// Paints a whole panel of width x height onto a white canvas: the colour fill or the wallpaper
// tiles (shifted right by `scrollOffset` pixels), then the bevel. `reflect` places the discs
// of GTReflect.
void paintPanel(Canvas& canvas, int width, int height, const TKXPanelLook& look, int scrollOffset,
                const TReflect& reflect);

// The decorated tool-bar panel: a container for buttons that paints its whole surface itself,
// off-screen and copied in one operation, so that it never flickers.
class TKXPanel : public QWidget {
  Q_OBJECT
public:
  explicit TKXPanel(QWidget* parent = nullptr);
  ~TKXPanel() override;

  bool Animation() const { return animation_; }
  // Starts the wallpaper scrolling one pixel to the left every 100 ms, or stops it.
  void setAnimation(bool animation);
  TColor ColorUp() const { return look_.ColorUp; }
  void setColorUp(TColor color);
  TColor ColorDown() const { return look_.ColorDown; }
  void setColorDown(TColor color);
  const QImage& WallPaper() const { return look_.WallPaper; }
  // Keeps a copy; the scroll starts over from the picture's width.
  void setWallPaper(const QImage& picture);
  TPanelBevel Bevel() const { return look_.Bevel; }
  void setBevel(TPanelBevel bevel);
  TPanelStyle Style() const { return look_.Style; }
  void setStyle(TPanelStyle style);
  TGradientType GradientType() const { return look_.GradientType; }
  void setGradientType(TGradientType type);
  TGradientProgress GradientProgress() const { return look_.GradientProgress; }
  void setGradientProgress(TGradientProgress progress);

  std::int32_t ScrollOffset() const { return scrollOffset_; }
  std::int32_t ScrollPeriod() const { return scrollPeriod_; }
  // The discs of the last reflect paint.
  const TReflect& Reflect() const { return reflect_; }
  bool animationRunning() const;

  // What a paint copies to the screen. Like a paint, it records the reflect discs and, while
  // the animation is off, puts the wallpaper back at offset 0.
  QImage renderBitmap();

public slots:
  // One animation step: the wallpaper one pixel further left, and an immediate repaint.
  void animationTick();

signals:
  void clicked();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void restartScroll();

  TKXPanelLook look_;
  bool animation_ = false;
  std::int32_t scrollOffset_ = 0;
  std::int32_t scrollPeriod_ = 0;
  TReflect reflect_;
  QTimer* animationTimer_;
};

// Every child window's tool bar: the wallpaper, no bevel, no animation, in the given colours.
void ApplyToolBarLook(TKXPanel& panel, TColor colorUp, TColor colorDown);

} // namespace vorlan
