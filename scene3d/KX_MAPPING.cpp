#include "scene3d/KX_MAPPING.h"

#include "gl/GlContext.h"
#include "scene3d/KX_FILE.h"
#include "scene3d/Resample.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>

namespace vorlan {

namespace {

const TColorRGB kWhite{255, 255, 255};
const TColorRGB kSpeckleGrey{220, 220, 220};
// Tile size, amplitude, five colours and the parameters, after the kind.
constexpr std::size_t kMappingFieldsSize = 4 + 4 + 4 + 5 * 3 + 5 * 4;

bool odd(int n) {
  return n % 2 != 0;
}

int clampWide(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, 255));
}

template <typename Fn> TColorRGB eachComponent(TColorRGB c, Fn&& fn) {
  TColorRGB result;
  result.R = static_cast<std::uint8_t>(fn(c.R));
  result.G = static_cast<std::uint8_t>(fn(c.G));
  result.B = static_cast<std::uint8_t>(fn(c.B));
  return result;
}

struct CellRect {
  std::int32_t Left, Top, Right, Bottom;
  TCellStyle Style;
};

constexpr std::array<CellRect, 4> kTiles{{
    {1, 1, 30, 30, TCellStyle::Bevelled},
    {1, 33, 30, 62, TCellStyle::Bevelled},
    {33, 1, 62, 30, TCellStyle::Bevelled},
    {33, 33, 62, 62, TCellStyle::Bevelled},
}};

// Whole bricks are bevelled; the halves cut by the tile's sides are not.
constexpr std::array<CellRect, 10> kBricks{{
    {1, 1, 30, 14, TCellStyle::Bevelled},
    {33, 1, 62, 14, TCellStyle::Bevelled},
    {0, 17, 14, 30, TCellStyle::Noisy},
    {17, 17, 46, 30, TCellStyle::Bevelled},
    {49, 17, 63, 30, TCellStyle::Noisy},
    {1, 33, 30, 46, TCellStyle::Bevelled},
    {33, 33, 62, 46, TCellStyle::Bevelled},
    {0, 49, 14, 62, TCellStyle::Noisy},
    {17, 49, 46, 62, TCellStyle::Bevelled},
    {49, 49, 63, 62, TCellStyle::Noisy},
}};

struct Block {
  CellRect block, speckle;
};

constexpr std::array<Block, 3> kBlocks{{
    {{0, 0, 14, 7, TCellStyle::Noisy}, {2, 2, 10, 6, TCellStyle::Speckled}},
    {{16, 0, 30, 7, TCellStyle::Noisy}, {20, 1, 29, 7, TCellStyle::Speckled}},
    {{0, 9, 7, 17, TCellStyle::Noisy}, {2, 2, 10, 6, TCellStyle::Speckled}},
}};

} // namespace

// ---- grain

std::uint32_t ClockSeed() {
  return static_cast<std::uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

std::shared_ptr<TGrain> SharedClockGrain() {
  thread_local const std::shared_ptr<TGrain> grain = std::make_shared<TSeededGrain>();
  return grain;
}

TSeededGrain::TSeededGrain(std::function<std::uint32_t()> Seeds) : seeds_(std::move(Seeds)) {}

void TSeededGrain::Reseed() {
  engine_.seed(seeds_());
}

int TSeededGrain::Random(int n) {
  if (n < 1) return 0;
  // The top bits of the product spread 0..2^32-1 evenly over 0..n-1.
  return static_cast<int>((std::uint64_t{engine_()} * static_cast<std::uint64_t>(n)) >> 32);
}

// Amplitudes come from files and may reach the int32 limit, so the sums are taken in 64 bits.
int Shift(int c, int r) {
  const std::int64_t up = std::int64_t{c} + r;
  return clampWide(up <= 255 ? up : std::int64_t{c} - r);
}

int AddNoise(int c, int A, TGrain& Grain) {
  return Shift(c, Grain.Random(A));
}

int Bevel(int c, int A, TEdge Edge, TGrain& Grain) {
  const int r = Grain.Random(A);
  const std::int64_t lighter = std::int64_t{c} + r + 10;
  const std::int64_t darker = std::int64_t{c} - r - 10;
  switch (Edge) {
  case TEdge::Light:
    return clampWide(lighter > 255 ? 255 - std::int64_t{r} : lighter);
  case TEdge::Dark:
    return clampWide(darker < 0 ? r : darker);
  case TEdge::None:
    break;
  }
  return Shift(c, r);
}

TColorRGB Jitter(TColorRGB Color, TGrain& Grain) {
  const int d = Grain.Random(20);
  const bool raise = odd(Grain.Random(10));
  return eachComponent(Color, [&](int c) { return raise ? std::min(c + d, 255) : std::max(c - d, 0); });
}

// ---- TMap

TMap::TMap(TMapping& Owner, std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
           TCellStyle Style)
    : Owner(&Owner), Left(Left), Top(Top), Right(Right), Bottom(Bottom), Style(Style) {
  Colors.fill(kWhite);
}

void TMap::SetColor1(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  Colors[0] = {R, G, B};
  ColorSet[0] = true;
}

void TMap::SetColor2(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  Colors[1] = {R, G, B};
  ColorSet[1] = true;
}

void TMap::Paint(TGrain& Grain) const {
  Grain.Reseed();
  const int lastY = std::min(Bottom, kTileSize - 1);
  const int lastX = std::min(Right, kTileSize - 1);
  for (int y = std::max(Top, 0); y <= lastY; ++y)
    for (int x = std::max(Left, 0); x <= lastX; ++x) {
      std::uint8_t* p = Owner->TilePixels().data() + 3 * (y * kTileSize + x);
      const TColorRGB c = PixelColor(x, y, {p[0], p[1], p[2]}, Grain);
      p[0] = c.R;
      p[1] = c.G;
      p[2] = c.B;
    }
}

TColorRGB TMap::PixelColor(int x, int y, TColorRGB current, TGrain& Grain) const {
  const int A = Owner->Amplitude;
  switch (Style) {
  case TCellStyle::Solid:
    return Colors[0];
  case TCellStyle::Mixed:
    return odd(Grain.Random(10)) ? Colors[0] : Colors[1];
  case TCellStyle::Noisy:
    return eachComponent(Colors[0], [&](int c) { return AddNoise(c, A, Grain); });
  case TCellStyle::Shifted: {
    const int r = Grain.Random(A);
    return eachComponent(odd(r) ? Colors[0] : Colors[1], [r](int c) { return Shift(c, r); });
  }
  case TCellStyle::Bevelled: {
    const TEdge edge = EdgeAt(x, y);
    return eachComponent(Colors[0], [&](int c) { return Bevel(c, A, edge, Grain); });
  }
  case TCellStyle::Speckled:
    return odd(Grain.Random(20)) && odd(Grain.Random(20)) && odd(Grain.Random(20)) ? Colors[0] : current;
  }
  return current;
}

TEdge TMap::EdgeAt(int x, int y) const {
  if (y == Bottom || x == Right) return TEdge::Dark;
  if (y == Top || x == Left) return TEdge::Light;
  return TEdge::None;
}

// ---- TMapping

TMapping::TMapping(std::int32_t TileWidth, std::int32_t TileHeight) {
  this->TileWidth = TileWidth;
  this->TileHeight = TileHeight;
  CurrentContextGuard guard;
  if (guard.active()) Tex.create();
}

void TMapping::DeleteTexture() {
  Tex.destroy();
}

void TMapping::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  std::uint8_t kind = F.readByte({where, "kind"});
  if (kind == kMappingPrefix) {
    F.readInt32({where, "format word"});
    kind = F.readByte({where, "kind"});
  }
  const ReadWhat what(where, "mapping fields");
  F.require(kMappingFieldsSize, what);
  const std::int32_t tileWidth = F.readInt32(what);
  const std::int32_t tileHeight = F.readInt32(what);
  const std::int32_t amplitude = F.readInt32(what);
  std::array<TColor, 5> colors{};
  for (TColor& c : colors)
    c = ColorOf(readRGB(F, what));
  std::array<std::int32_t, 5> params{};
  for (std::int32_t& p : params)
    p = F.readInt32(what);
  if (kind > kLastPlainKind) {
    BitmapName = F.readText256({where, "bitmap name"});
    Bitmap = ReadJpegBlock(F, where.text("bitmap"), kResampledSize);
  }
  Build(kind, amplitude, params, colors, tileWidth, tileHeight);
}

void TMapping::SaveToFile(BinaryWriter& F) const {
  F.writeByte(kMappingPrefix);
  F.writeInt32(1);
  F.writeByte(Kind);
  F.writeInt32(TileWidth);
  F.writeInt32(TileHeight);
  F.writeInt32(Amplitude);
  for (const TColor c : CellColors())
    WriteColor3(F, c);
  for (const std::int32_t p : Params)
    F.writeInt32(p);
  if (Kind > kLastPlainKind) {
    F.writeText256(BitmapName);
    WriteJpegBlock(F, Bitmap);
  }
}

std::array<TColor, 5> TMapping::CellColors() const {
  std::array<TColor, 5> colors{};
  colors.fill(ColorOf(kWhite));
  std::size_t found = 0;
  // Compared only with the colours already taken, so that a white cell keeps its place in the list.
  for (const TMap& cell : Cells)
    for (std::size_t slot = 0; slot < cell.Colors.size() && found < colors.size(); ++slot) {
      const TColor c = ColorOf(cell.Colors[slot]);
      if (cell.ColorSet[slot] &&
          std::find(colors.begin(), colors.begin() + found, c) == colors.begin() + found)
        colors[found++] = c;
    }
  return colors;
}

void TMapping::Build(std::uint8_t Kind, std::int32_t Amplitude, const std::array<std::int32_t, 5>& Params,
                     const std::array<TColor, 5>& Colors, std::int32_t TileWidth, std::int32_t TileHeight) {
  Cells.clear();
  this->Kind = Kind;
  this->Amplitude = Amplitude;
  this->Params = Params;
  this->TileWidth = TileWidth;
  this->TileHeight = TileHeight;
  // A rebuilt tile starts black, as a new one does, whatever the previous build painted.
  image_.reset();
  if (Kind == kPictureKind) {
    Upload(kResampledSize, false, ResampleRGB(Bitmap).data());
    return;
  }
  if (Kind == kTranslucentPictureKind) {
    Upload(kResampledSize, true, TranslucentPicture(Bitmap).data());
    return;
  }
  if (Kind <= kLastPatternKind) LayOutCells(SplitColor(Colors[0]), SplitColor(Colors[1]));
  painted_ = Cells.empty();
  uploaded_ = false;
}

std::array<std::uint8_t, kTileBytes>& TMapping::TilePixels() const {
  if (!image_) image_ = std::make_unique<std::array<std::uint8_t, kTileBytes>>();
  return *image_;
}

const std::array<std::uint8_t, kTileBytes>& TMapping::Tile() const {
  if (!painted_) {
    painted_ = true;
    for (const TMap& cell : Cells)
      cell.Paint(*Grain);
  }
  return TilePixels();
}

TMap& TMapping::AddCell(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
                        TCellStyle Style, TColorRGB Color) {
  TMap& cell = Cells.emplace_back(*this, Left, Top, Right, Bottom, Style);
  cell.SetColor1(Color.R, Color.G, Color.B);
  return cell;
}

TMap& TMapping::AddWholeCell(TCellStyle Style, TColorRGB Color) {
  return AddCell(0, 0, kTileSize - 1, kTileSize - 1, Style, Color);
}

void TMapping::LayOutCells(TColorRGB color1, TColorRGB color2) {
  switch (Kind) {
  case 0:
    AddWholeCell(TCellStyle::Noisy, color1);
    break;
  case 1:
    AddWholeCell(TCellStyle::Shifted, color1).SetColor2(color2.R, color2.G, color2.B);
    break;
  case 2:
    LayOutTiles(color1, color2);
    break;
  case 3:
    LayOutBricks(color1, color2);
    break;
  case 4:
    LayOutStripes(color1, color2);
    break;
  case 5:
    AddWholeCell(TCellStyle::Solid, color1);
    AddWholeCell(TCellStyle::Speckled, color2);
    break;
  case 6:
    LayOutBlocks(color1, color2);
    break;
  }
}

void TMapping::LayOutTiles(TColorRGB joint, TColorRGB tile) {
  AddWholeCell(TCellStyle::Solid, joint);
  for (const CellRect& r : kTiles)
    AddCell(r.Left, r.Top, r.Right, r.Bottom, r.Style, tile);
}

void TMapping::LayOutBricks(TColorRGB joint, TColorRGB brick) {
  AddWholeCell(TCellStyle::Solid, joint);
  for (const CellRect& r : kBricks)
    AddCell(r.Left, r.Top, r.Right, r.Bottom, r.Style, brick);
}

// Two stripes of colour 1 whose width is Params[0] percent of half the tile, each followed by colour 2.
void TMapping::LayOutStripes(TColorRGB color1, TColorRGB color2) {
  const int p = Round(Params[0] * 32.0 / 100);
  const int last = kTileSize - 1;
  AddCell(0, 0, p, last, TCellStyle::Solid, color1);
  AddCell(p + 1, 0, 31, last, TCellStyle::Solid, color2);
  AddCell(32, 0, 32 + p, last, TCellStyle::Solid, color1);
  AddCell(33 + p, 0, last, last, TCellStyle::Solid, color2);
}

void TMapping::LayOutBlocks(TColorRGB ground, TColorRGB block) {
  AddWholeCell(TCellStyle::Solid, ground);
  // The blocks' colours are drawn before any cell is painted; start the grain afresh for them too.
  Grain->Reseed();
  for (const auto& [b, s] : kBlocks) {
    AddCell(b.Left, b.Top, b.Right, b.Bottom, b.Style, Jitter(block, *Grain));
    AddCell(s.Left, s.Top, s.Right, s.Bottom, s.Style, kSpeckleGrey);
  }
}

void TMapping::Upload(int size, bool withAlpha, const std::uint8_t* pixels) const {
  CurrentContextGuard guard;
  if (!guard.active()) return;
  Tex.upload(size, size, withAlpha ? 4 : 3, pixels, TextureLevels::One);
}

void TMapping::Bind() const {
  if (!uploaded_) {
    uploaded_ = true;
    if (Tex.name() == 0) Tex.create();
    Upload(kTileSize, false, Tile().data());
  }
  glEnable(GL_TEXTURE_2D);
  Tex.bind({GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_MODULATE});
}

std::vector<std::uint8_t> TranslucentPicture(const QImage& Bitmap) {
  const std::vector<TColor> colors = ResampleColors(Bitmap);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(colors.size() * 4);
  for (const TColor c : colors) {
    const bool black = c == 0;
    bytes.push_back(black ? 200 : static_cast<std::uint8_t>(GetRValue(c)));
    bytes.push_back(black ? 200 : static_cast<std::uint8_t>(GetGValue(c)));
    bytes.push_back(black ? 255 : static_cast<std::uint8_t>(GetBValue(c)));
    bytes.push_back(black ? 100 : 255);
  }
  return bytes;
}

} // namespace vorlan
