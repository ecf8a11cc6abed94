#pragma once

#include "gl/KX_OpenGL_GROUND.h"
#include "platform/Numbers.h"

#include <QImage>

#include <functional>
#include <memory>
#include <utility>

namespace vorlan {

class TGL_TEXTURE;

enum class CBackGroundStyle { UniformColor, GradualColors, BackImage };

// Everything behind the model: a clear colour, a vertical gradient or a picture, the sun disc, an
// optional textured sky, and the lens flare drawn over the finished scene. Drawn in immediate mode
// every frame.
class TGL_BACKGROUND {
public:
  explicit TGL_BACKGROUND(TGL_GroundHost& owner);
  ~TGL_BACKGROUND();
  TGL_BACKGROUND(const TGL_BACKGROUND&) = delete;
  TGL_BACKGROUND& operator=(const TGL_BACKGROUND&) = delete;

  bool ShowLensFlare() const { return ShowLensFlare_; }
  bool ShowSky() const { return ShowSky_; }
  // World coordinates of the sun.
  double SunX() const { return SunX_; }
  double SunY() const { return SunY_; }
  double SunZ() const { return SunZ_; }
  CBackGroundStyle Style() const { return Style_; }
  // The top of the gradient, and the clear colour of the uniform style.
  TColor FirstColor() const { return FirstColor_; }
  // The bottom of the gradient.
  TColor SecondColor() const { return SecondColor_; }
  const QImage& BackGroundImage() const { return BackGroundImage_; }

  void SetShowLensFlare(bool value) { ShowLensFlare_ = value; }
  void SetShowSky(bool value) { ShowSky_ = value; }
  void SetSunX(double value) { SunX_ = value; }
  void SetSunY(double value) { SunY_ = value; }
  void SetSunZ(double value) { SunZ_ = value; }
  void SetFirstColor(TColor value) { FirstColor_ = value; }
  void SetSecondColor(TColor value) { SecondColor_ = value; }
  // Both rebuild the textures.
  void SetStyle(CBackGroundStyle value);
  // A null image holds nothing.
  void SetBackGroundImage(const QImage& value);

  // The streak lengths of the lens flare draw on this source of uniform numbers in [0, 1); by
  // default a generator seeded from the clock, so that the streaks shimmer from frame to frame.
  void SetRandomSource(std::function<double()> source) { random_ = std::move(source); }

  // The textures as last built, or nullptr.
  const TGL_TEXTURE* SunTexture() const { return sunTexture_.get(); }
  const TGL_TEXTURE* SkyTexture() const { return skyTexture_.get(); }
  const TGL_TEXTURE* ImageTexture() const { return imageTexture_.get(); }

  // Builds the sun texture once and the sky and picture textures from their bitmaps; skipped until
  // the owner view is initialised. A bitmap narrower than 2 pixels keeps the texture it replaces.
  void Rebuild();
  // In the drawing pass, right after the lights; nothing until the first rebuild.
  void Draw() const;
  // At the end of the drawing pass, over the scene: only when the sun is in view and nothing was
  // drawn over its pixel.
  void DrawLensFlare() const;

private:
  void buildSkyTexture();
  void buildImageTexture();

  TGL_GroundHost& owner_;
  bool built_ = false;
  std::unique_ptr<TGL_TEXTURE> sunTexture_;
  std::unique_ptr<TGL_TEXTURE> skyTexture_;
  bool ShowLensFlare_ = false;
  bool ShowSky_ = false;
  double SunX_ = 50000;
  double SunY_ = -50000;
  double SunZ_ = 30000;
  CBackGroundStyle Style_ = CBackGroundStyle::GradualColors;
  TColor FirstColor_ = 0x804000;
  TColor SecondColor_ = 0xFFFFFF;
  QImage BackGroundImage_;
  std::unique_ptr<TGL_TEXTURE> imageTexture_;
  bool imageChanged_ = false;
  std::function<double()> random_;
};

} // namespace vorlan
