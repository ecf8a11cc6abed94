#pragma once

#include "gl/GlContext.h"
#include "platform/Numbers.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace vorlan {

class TGL_TEXTURE;

// What the ground and the background need of the view that owns them.
class TGL_GroundHost {
public:
  virtual bool Initialised() const = 0;
  virtual int Width() const = 0; // view size in pixels
  virtual int Height() const = 0;
  virtual const QImage& SkyMap() const = 0;
  // The owner view's own context, which work outside a drawing pass goes to first.
  virtual GlRenderContext& OwnContext() = 0;
  virtual void Redraw() = 0;

protected:
  ~TGL_GroundHost() = default;
};

enum class CGroundStyle { GridLines, FillSquare, PerlinFillSquare };

// The floor under the model, parallel to the XY plane just below z = 0, compiled into one display
// list that the view replays every frame.
class TGL_GROUND {
public:
  explicit TGL_GROUND(TGL_GroundHost& owner);
  ~TGL_GROUND();
  TGL_GROUND(const TGL_GROUND&) = delete;
  TGL_GROUND& operator=(const TGL_GROUND&) = delete;

  CGroundStyle Style() const { return Style_; }
  TColor Color() const { return Color_; }
  bool Active() const { return Active_; }
  int GroundWidth() const { return GroundWidth_; }
  int GroundUnit() const { return GroundUnit_; }
  // Style and Color recompile the list and redraw the view.
  void SetStyle(CGroundStyle value);
  void SetColor(TColor value);
  void SetActive(bool value);
  // Width and unit take effect at the next rebuild.
  void SetGroundWidth(int value) { GroundWidth_ = value; }
  void SetGroundUnit(int value) { GroundUnit_ = value; }

  // The display-list name; valid once ListBuilt.
  std::uint32_t GroundList() const { return GroundList_; }
  bool ListBuilt() const { return ListBuilt_; }

  // Recompiles the list; skipped until the owner view is initialised.
  void Rebuild();
  // Replays the list when Active, in the drawing pass's context.
  void Draw() const;

private:
  void redrawIfInitialised();
  void prepareNoiseTexture();
  void compileGridLines() const;
  void compileFillSquare() const;
  void compilePerlinFillSquare() const;

  TGL_GroundHost& owner_;
  bool Active_ = false;
  std::uint32_t GroundList_ = 0;
  CGroundStyle Style_ = CGroundStyle::FillSquare;
  TColor Color_ = 0xC0C0C0;
  std::unique_ptr<TGL_TEXTURE> noiseTexture_;
  bool ListBuilt_ = false;
  int GroundWidth_ = 20000;
  int GroundUnit_ = 1000;
};

} // namespace vorlan
