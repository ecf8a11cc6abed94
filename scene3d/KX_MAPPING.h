#pragma once

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/Colors.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/RecordFields.h"

#include <QImage>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vorlan {

// A procedural tile is this many pixels square.
inline constexpr int kTileSize = 64;
inline constexpr std::size_t kTileBytes = std::size_t{kTileSize} * kTileSize * 3;
// A record starting with this byte has a format word before its kind; a kind of its own it is not.
inline constexpr std::uint8_t kMappingPrefix = 200;
// Kinds above this one carry a picture name and JPEG data in their record.
inline constexpr std::uint8_t kLastPlainKind = 200;
inline constexpr std::uint8_t kLastPatternKind = 6;
// Picture kinds: translucent where the picture is black, and plain.
inline constexpr std::uint8_t kTranslucentPictureKind = 254;
inline constexpr std::uint8_t kPictureKind = 255;

// The random numbers that give painted cells their grain.
class TGrain {
public:
  virtual ~TGrain() = default;
  // Called at the start of every cell.
  virtual void Reseed() = 0;
  // Uniform in 0..n-1; 0 when n < 1, so a zero or negative amplitude paints without grain.
  virtual int Random(int n) = 0;
};

// A seed from the clock; successive calls differ in practice.
std::uint32_t ClockSeed();

// The clock-seeded grain that mappings share: it restarts at every cell, so one generator serves them
// all (one per thread, for readers that load on several).
std::shared_ptr<TGrain> SharedClockGrain();

// A Mersenne twister restarted from `Seeds` at every cell. Seeded by the clock, two builds of one
// record differ in grain only; with a fixed seed the grain repeats exactly.
class TSeededGrain : public TGrain {
public:
  explicit TSeededGrain(std::function<std::uint32_t()> Seeds = ClockSeed);
  void Reseed() override;
  int Random(int n) override;

private:
  std::function<std::uint32_t()> seeds_;
  std::mt19937 engine_;
};

// The random colour functions. With amplitudes beyond a byte their results could leave 0..255; they
// are clamped there rather than wrapped into an unrelated colour.
int Shift(int c, int r);
int AddNoise(int c, int A, TGrain& Grain);
enum class TEdge : std::uint8_t { None, Light, Dark };
int Bevel(int c, int A, TEdge Edge, TGrain& Grain);
// All three components raised, or all lowered, by one random step below 20.
TColorRGB Jitter(TColorRGB Color, TGrain& Grain);

// How a cell paints its pixels; slots 0 and 1 are its first two colours.
enum class TCellStyle : std::uint8_t {
  Solid = 0,    // slot 0
  Mixed = 1,    // slot 0 or slot 1, at random
  Noisy = 2,    // slot 0, each component with its own noise
  Shifted = 3,  // slot 0 or slot 1, all components shifted by one random step
  Bevelled = 4, // slot 0 with noise, lighter on the top and left edges, darker on the bottom and right
  Speckled = 5, // slot 0 on scattered pixels; the others keep their colour
};

class TMapping;

// One painted cell of a tile: an inclusive pixel rectangle, a style and five colour slots.
struct TMap {
  TMap(TMapping& Owner, std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
       TCellStyle Style);

  void SetColor1(std::uint8_t R, std::uint8_t G, std::uint8_t B);
  void SetColor2(std::uint8_t R, std::uint8_t G, std::uint8_t B);
  // Restarts the grain, then paints the rectangle into the owner's tile with the owner's Amplitude.
  // Pixels outside the tile are skipped: stripe parameters can put rectangles there.
  void Paint(TGrain& Grain) const;

  TMapping* Owner;
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;
  std::int32_t Bottom;
  TCellStyle Style;
  std::array<TColorRGB, 5> Colors;
  std::array<bool, 5> ColorSet{};

private:
  TColorRGB PixelColor(int x, int y, TColorRGB current, TGrain& Grain) const;
  TEdge EdgeAt(int x, int y) const;
};

// A procedural texture shared by the entities of a super-object: a 64 x 64 tile painted from cells, or
// a picture from the record, uploaded as an OpenGL texture. A file may hold thousands of mappings that
// no face uses, so a tile is painted and uploaded only when first needed (Tile, Bind); a picture is
// uploaded when built. OpenGL work runs in the current 3D rendering context; without one the texture
// stays nameless until an upload finds a context.
class TMapping : public TMappingTile {
public:
  TMapping(std::int32_t TileWidth, std::int32_t TileHeight);
  TMapping(const TMapping&) = delete;
  TMapping& operator=(const TMapping&) = delete;

  // Reads the mapping record, then builds the tile from it.
  void LoadFromFile(BinaryCursor& F, const ReadPlace& where);
  // Always with the prefix; the colours are those of the cells (CellColors).
  void SaveToFile(BinaryWriter& F) const;
  // Lays out the cells of `Kind`, to be painted when first needed; picture kinds upload Bitmap now.
  void Build(std::uint8_t Kind, std::int32_t Amplitude, const std::array<std::int32_t, 5>& Params,
             const std::array<TColor, 5>& Colors, std::int32_t TileWidth, std::int32_t TileHeight);
  // For drawing passes, in the context already current; paints and uploads a tile not yet uploaded.
  void Bind() const;
  // The painted tile, row y at byte 192 * y, R, G, B per pixel; black for kinds without cells.
  const std::array<std::uint8_t, kTileBytes>& Tile() const;
  // The tile's pixels as they are, for cells painting into them.
  std::array<std::uint8_t, kTileBytes>& TilePixels() const;
  // Frees the texture name now, for an owner whose context is about to go; the destructor calls it too.
  void DeleteTexture();
  // The distinct colours of the cells' set slots in painting order, then white: what the record keeps.
  std::array<TColor, 5> CellColors() const;

  std::uint32_t TexName() const { return Tex.name(); }

  std::vector<TMap> Cells;
  std::uint8_t Kind = kPictureKind;
  std::int32_t Amplitude = 10;
  // Only its resample is used, so a very large picture is kept at a reduced size.
  QImage Bitmap;
  std::string BitmapName;
  std::array<std::int32_t, 5> Params{};
  std::shared_ptr<TGrain> Grain = SharedClockGrain();

private:
  TMap& AddCell(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
                TCellStyle Style, TColorRGB Color);
  TMap& AddWholeCell(TCellStyle Style, TColorRGB Color);
  void LayOutCells(TColorRGB color1, TColorRGB color2);
  void LayOutTiles(TColorRGB joint, TColorRGB tile);
  void LayOutBricks(TColorRGB joint, TColorRGB brick);
  void LayOutStripes(TColorRGB color1, TColorRGB color2);
  void LayOutBlocks(TColorRGB ground, TColorRGB block);
  void Upload(int size, bool withAlpha, const std::uint8_t* pixels) const;

  // Allocated when first painted; a mapping whose tile is never needed holds none.
  mutable std::unique_ptr<std::array<std::uint8_t, kTileBytes>> image_;
  mutable bool painted_ = true;
  mutable bool uploaded_ = true;
  mutable GlTexture Tex;
};

// A picture as a 256 x 256 RGBA texture, rows bottom-up: black turns translucent light blue, every
// other colour stays opaque.
std::vector<std::uint8_t> TranslucentPicture(const QImage& Bitmap);

} // namespace vorlan
