#include "SceneFixtures.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_FILE.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vorlan {
namespace {

const ReadPlace kWhere("mapping 1");
const TColorRGB kColour1{30, 60, 90};
const TColorRGB kColour2{200, 100, 50};

// Random numbers pinned at one end of their range; counts how often painting restarts them.
class EndGrain : public TGrain {
public:
  explicit EndGrain(bool highest) : highest_(highest) {}
  void Reseed() override { ++reseeds; }
  int Random(int n) override { return n < 1 ? 0 : (highest_ ? n - 1 : 0); }
  int reseeds = 0;

private:
  bool highest_;
};

std::unique_ptr<TGrain> fixedSeed(std::uint32_t seed) {
  return std::make_unique<TSeededGrain>([seed] { return seed; });
}

std::unique_ptr<TMapping> mappingWith(std::unique_ptr<TGrain> grain) {
  auto mapping = std::make_unique<TMapping>(1, 1);
  if (grain) mapping->Grain = std::move(grain);
  return mapping;
}

void build(TMapping& m, std::uint8_t kind, TColor c1, TColor c2, std::int32_t param0 = 50,
           std::int32_t amplitude = 10) {
  m.Build(kind, amplitude, {param0, -2, 3, 4, 5}, {c1, c2, RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, 300,
          150);
}

TColorRGB pixel(const TMapping& m, int x, int y) {
  const std::uint8_t* p = m.Tile().data() + 3 * (y * kTileSize + x);
  return {p[0], p[1], p[2]};
}

// Left half dark blue, right half orange, in 16 x 16 blocks so that JPEG keeps them nearly exact.
QImage twoHalves() {
  QImage picture(32, 16, QImage::Format_RGB888);
  picture.fill(QColor(255, 128, 0));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      picture.setPixelColor(x, y, QColor(0, 0, 128));
  return picture;
}

// Tile 120 x 80, amplitude 6, five colours, parameters; for picture kinds a name and JPEG data follow.
std::vector<std::uint8_t> record(std::vector<std::uint8_t> head, bool picture) {
  BinaryWriter w;
  w.writeBytes(head);
  w.writeInt32(120);
  w.writeInt32(80);
  w.writeInt32(6);
  for (const TColor c : {RGB(10, 20, 30), RGB(40, 50, 60), RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)})
    WriteColor3(w, c);
  for (const std::int32_t p : {11, -12, 13, 14, 15})
    w.writeInt32(p);
  if (picture) {
    w.writeText256("stone.jpg");
    WriteJpegBlock(w, twoHalves());
  }
  return w.bytes();
}

TEdge edgeOf(const TMap& cell, int x, int y) {
  if (x == cell.Right || y == cell.Bottom) return TEdge::Dark;
  if (x == cell.Left || y == cell.Top) return TEdge::Light;
  return TEdge::None;
}

TEST(MappingRecord, LeadingByteIsThePrefixOrTheKind) {
  const std::vector<std::uint8_t> prefixed{200, 77, 0, 0, 0}; // prefix, then a format word nobody reads
  const auto with = [](std::vector<std::uint8_t> head, std::uint8_t kind) {
    head.push_back(kind);
    return head;
  };
  // clang-format off
  struct Case {
    const char* name; std::vector<std::uint8_t> head; std::uint8_t kind; bool picture; std::size_t cells; };
  for (const auto& [name, head, kind, picture, cells] : {
           Case{"byte 3 is kind 3, then the tile width", {3}, 3, false, 11}, {"prefixed kind 3", with(prefixed, 3), 3, false, 11},
           {"kind 200 only behind the prefix, without picture", with(prefixed, 200), 200, false, 0},
           {"kind 201 carries a picture", {201}, 201, true, 0}, {"prefixed kind 254", with(prefixed, 254), 254, true, 0},
       }) {
    // clang-format on
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> bytes = record(head, picture);
    BinaryCursor F(bytes, "house.x3d");
    auto m = mappingWith(std::make_unique<EndGrain>(false));
    m->LoadFromFile(F, kWhere);
    EXPECT_TRUE(F.atEnd());
    EXPECT_EQ(std::tuple(m->Kind, m->TileWidth, m->TileHeight, m->Amplitude, m->Params, m->Cells.size()),
              std::tuple(kind, 120, 80, 6, std::array<std::int32_t, 5>{11, -12, 13, 14, 15}, cells));
    EXPECT_EQ(std::pair(m->BitmapName, m->Bitmap.size()),
              std::pair(std::string(picture ? "stone.jpg" : ""), picture ? QSize(32, 16) : QSize(0, 0)));
    if (cells > 1) {
      EXPECT_EQ(m->Cells[1].Colors[0], (TColorRGB{40, 50, 60}));
    }
  }
}

TEST(MappingRecord, ShortOrDamagedRecordFailsWhereItsFieldStarts) {
  const std::vector<std::uint8_t> full = record({200, 1, 0, 0, 0, 254}, true);
  std::vector<std::uint8_t> notJpeg = full;
  std::fill(notJpeg.begin() + 313, notJpeg.end(), 0);
  const auto cut = [&](std::size_t size) {
    return std::vector(full.begin(), full.begin() + static_cast<long>(size));
  };
  const auto jpegSize = [&](std::int32_t size) {
    std::vector<std::uint8_t> bytes = full;
    test::patchInt32(bytes, 309, size);
    return bytes;
  };
  // clang-format off
  struct Case { std::vector<std::uint8_t> bytes; std::size_t offset; const char* says; };
  for (const auto& [bytes, offset, says] : {
           Case{cut(0), 0, "mapping 1: kind"}, {cut(3), 1, "mapping 1: format word"}, {cut(5), 5, "mapping 1: kind"},
           {cut(6), 6, "mapping 1: mapping fields needs 47 bytes, 0 left"}, {cut(52), 6, "mapping fields needs 47 bytes, 46 left"},
           {cut(53), 53, "mapping 1: bitmap name"}, {cut(309), 309, "mapping 1: bitmap: JPEG size"},
           {cut(full.size() - 1), 313, "mapping 1: bitmap: JPEG data needs"}, {notJpeg, 313, "JPEG data: Not a JPEG file"},
           {jpegSize(-1), 309, "JPEG size -1 is outside"}, {jpegSize(0), 313, "JPEG data"},
           {jpegSize(INT32_MAX), 313, "needs 2147483647 bytes"},
       }) {
    // clang-format on
    SCOPED_TRACE(says);
    BinaryCursor F(bytes, "house.x3d");
    auto m = mappingWith(nullptr);
    try {
      m->LoadFromFile(F, kWhere);
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.offset(), offset);
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
    EXPECT_EQ(m->Kind, kPictureKind) << "nothing is built from half a record";
    EXPECT_EQ(m->Amplitude, 10);
  }
}

TEST(MappingRecord, EveryKindRoundTrips) {
  for (const int kind : {0, 1, 2, 3, 4, 5, 6, 7, 201, 255}) {
    SCOPED_TRACE(kind);
    auto original = mappingWith(std::make_unique<EndGrain>(false));
    original->BitmapName = "wall.jpg";
    original->Bitmap = twoHalves();
    build(*original, static_cast<std::uint8_t>(kind), RGB(30, 60, 90), RGB(200, 100, 50), 50, 7);
    BinaryWriter w;
    original->SaveToFile(w);
    const std::vector<std::uint8_t>& bytes = w.bytes();

    BinaryCursor F(bytes, "house.x3d");
    auto copy = mappingWith(std::make_unique<EndGrain>(false));
    copy->LoadFromFile(F, kWhere);
    EXPECT_TRUE(F.atEnd());
    EXPECT_EQ(copy->Kind, kind);
    EXPECT_EQ(std::tie(copy->TileWidth, copy->TileHeight, copy->Amplitude), std::make_tuple(300, 150, 7));
    EXPECT_EQ(copy->Params, original->Params);
    EXPECT_EQ(copy->Tile(), original->Tile());
    if (kind > 200) {
      EXPECT_EQ(copy->BitmapName, "wall.jpg");
      ASSERT_EQ(copy->Bitmap.size(), QSize(32, 16));
      EXPECT_NEAR(copy->Bitmap.pixelColor(4, 5).blue(), 128, 4) << "the dark blue half";
      EXPECT_NEAR(copy->Bitmap.pixelColor(27, 9).green(), 128, 4) << "the orange half";
    } else {
      BinaryWriter again;
      copy->SaveToFile(again);
      EXPECT_EQ(again.bytes(), bytes);
    }
  }
}

TEST(MappingLayout, RebuildingStartsAfreshFromABlackTile) {
  for (const int kind : {7, 100, 201}) {
    SCOPED_TRACE(kind);
    auto m = mappingWith(nullptr);
    build(*m, 5, RGB(30, 60, 90), RGB(200, 100, 50));
    build(*m, static_cast<std::uint8_t>(kind), RGB(30, 60, 90), RGB(200, 100, 50));
    EXPECT_TRUE(m->Cells.empty());
    EXPECT_TRUE(std::all_of(m->Tile().begin(), m->Tile().end(), [](std::uint8_t b) { return b == 0; }));
  }
}

TEST(MappingLayout, StripesFollowTheFirstParameterAndStayInTheTile) {
  // clang-format off
  struct Case { std::int32_t param0; int p; std::set<int> colour1Columns; };
  // clang-format on
  std::set<int> all, halves;
  for (int x = 0; x < kTileSize; ++x)
    all.insert(x);
  for (int x = 0; x <= 16; ++x)
    halves.insert({x, 32 + x});
  for (const auto& [param0, p, colour1Columns] :
       {Case{50, 16, halves}, {100, 32, all}, {125, 40, all}, {-10, -3, {}}, {INT32_MAX, 687194767, all}}) {
    SCOPED_TRACE(param0);
    auto m = mappingWith(nullptr);
    build(*m, 4, RGB(30, 60, 90), RGB(200, 100, 50), param0);
    EXPECT_EQ(m->Cells[0].Right, p);
    EXPECT_EQ(m->Params[0], param0) << "painting stayed inside Image";
    for (const int y : {0, 63})
      for (int x = 0; x < kTileSize; ++x)
        EXPECT_EQ(pixel(*m, x, y), colour1Columns.contains(x) ? kColour1 : kColour2) << x << ", " << y;
  }
}

TEST(MappingLayout, RedTilesHaveBevelledEdgesBetweenBlackJoints) {
  auto m = mappingWith(nullptr); // the clock's grain: only its bounds are known
  build(*m, 2, 0, RGB(255, 0, 0));
  const auto expectAt = [](TColorRGB v, int lowR, int highR, int lowGB, int highGB) {
    EXPECT_TRUE(lowR <= v.R && v.R <= highR && lowGB <= v.G && v.G <= highGB && lowGB <= v.B && v.B <= highGB)
        << int(v.R) << " " << int(v.G) << " " << int(v.B);
  };
  for (int along = 0; along < kTileSize; ++along)
    for (const auto& [x, y] : {std::pair{along, 15}, std::pair{15, along}, std::pair{along, 47}}) {
      SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
      const TColorRGB v = pixel(*m, x, y);
      if (along == 0 || along == 31 || along == 32 || along == 63)
        EXPECT_EQ(v, (TColorRGB{0, 0, 0})) << "joint: one pixel at the borders, two in the middle";
      else if (along == 1 || along == 33)
        expectAt(v, 246, 255, 10, 19); // light edge: red cannot rise, so it falls by the grain
      else if (along == 30 || along == 62)
        expectAt(v, 236, 245, 0, 9); // dark edge
      else
        expectAt(v, 246, 255, 0, 9);
    }
}

TEST(MappingGrain, EachStyleMeetsItsBoundsAtTheEndsOfTheGrain) {
  using enum TCellStyle;
  const TColorRGB s0{100, 150, 120}, s1{20, 40, 60}, before{7, 7, 7};
  const auto plus = [](TColorRGB c, int d) {
    return TColorRGB{std::uint8_t(c.R + d), std::uint8_t(c.G + d), std::uint8_t(c.B + d)};
  };
  // clang-format off
  // highest: inside, on a light edge, on a dark edge
  struct Case { TCellStyle style; std::array<TColorRGB, 3> lowest, highest; };
  const TColorRGB s9 = plus(s0, 9);
  for (const auto& [style, lowest, highest] : {
           Case{Mixed, {s1, s1, s1}, {s0, s0, s0}}, {Noisy, {s0, s0, s0}, {s9, s9, s9}}, {Shifted, {s1, s1, s1}, {s9, s9, s9}},
           {Bevelled, {s0, plus(s0, 10), plus(s0, -10)}, {s9, plus(s0, 19), plus(s0, -19)}},
           {Speckled, {before, before, before}, {s0, s0, s0}}}) {
    // clang-format on
    for (const bool highestGrain : {false, true}) {
      SCOPED_TRACE(std::to_string(int(style)) +
                   (highestGrain ? " with the highest grain" : " with the lowest"));
      auto m = mappingWith(nullptr);
      m->TilePixels().fill(7);
      TMap cell(*m, 4, 4, 59, 59, style);
      cell.SetColor1(s0.R, s0.G, s0.B);
      cell.SetColor2(s1.R, s1.G, s1.B);
      EndGrain end(highestGrain);
      cell.Paint(end);
      for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
          const TColorRGB v = pixel(*m, x, y);
          const bool inside = x >= 4 && x <= 59 && y >= 4 && y <= 59;
          if (!inside) {
            ASSERT_EQ(v, before) << x << ", " << y;
            continue;
          }
          ASSERT_EQ(v, (highestGrain ? highest : lowest)[std::size_t(edgeOf(cell, x, y))]) << x << ", " << y;
        }
    }
  }
}

TEST(MappingGrain, AmplitudesOutsideAByteClampAndNonPositiveOnesGiveNoGrain) {
  // clang-format off
  struct Case { int amplitude; TColorRGB inside, dark; };
  for (const auto& [amplitude, inside, dark] : {
           Case{300, {0, 0, 0}, {255, 255, 255}}, // 100 - 299 and 299: wrapped they would be 57 and 43
           Case{0, {100, 150, 120}, {90, 140, 110}},
       }) {
    // clang-format on
    SCOPED_TRACE(amplitude);
    auto m = mappingWith(nullptr);
    m->Amplitude = amplitude;
    TMap cell(*m, 0, 0, 9, 9, TCellStyle::Bevelled);
    cell.SetColor1(100, 150, 120);
    EndGrain highest(true);
    // The highest step for the large amplitude; the clock's own grain for the others, which have none.
    cell.Paint(amplitude > 0 ? static_cast<TGrain&>(highest) : *m->Grain);
    EXPECT_EQ(pixel(*m, 5, 5), inside);
    EXPECT_EQ(pixel(*m, 9, 5), dark);
  }
}

TEST(MappingGrain, RestartsAtEveryCell) {
  for (const auto& [kind, restarts] : {std::pair{0, 1}, {2, 5}, {3, 11}, {4, 4}, {6, 8}, {7, 0}}) {
    SCOPED_TRACE(kind);
    auto owned = std::make_unique<EndGrain>(false);
    EndGrain& grain = *owned;
    auto m = mappingWith(std::move(owned));
    build(*m, static_cast<std::uint8_t>(kind), 0, RGB(200, 100, 50));
    m->Tile();
    EXPECT_EQ(grain.reseeds, restarts) << "once per cell, and once more for kind 6's jitter";
  }
  auto m = mappingWith(fixedSeed(5));
  build(*m, 2, 0, RGB(200, 100, 50));
  for (int y = 1; y <= 30; ++y)
    for (int x = 1; x <= 30; ++x)
      ASSERT_EQ(pixel(*m, x, y), pixel(*m, x + 32, y + 32)) << "equal tiles start from the same seed";
}

// Each target pixel takes the source pixel at its rounded position (halves to even), rows from the
// bottom; the translucent picture turns pure black into a translucent light blue.
TEST(MappingResample, SamplesRoundedSourcePixelsIntoRowsFromTheBottom) {
  const auto coded = [](int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        picture.setPixelColor(x, y, QColor(x % 256, y % 256, x + y == 0 ? 0 : 7));
    return picture;
  };
  // clang-format off
  // rgba: from the translucent picture; RGB from the plain one
  struct Case { int width, height, column, row; std::array<std::uint8_t, 4> rgba; };
  for (const auto& [width, height, column, row, rgba] : {
           Case{5, 5, 0, 0, {0, 4, 7, 255}},         // target (1, 256): x rounds to 0, the bottom row first
           Case{5, 5, 127, 128, {1, 1, 7, 255}},     // 128 * 5 / 256 = 2.5 rounds to 2
           Case{5, 5, 178, 76, {2, 3, 7, 255}},      // 3.496 and 3.516: either side of a half
           Case{5, 5, 255, 255, {4, 0, 7, 255}},     // target (256, 1)
           // clang-format on
           Case{1024, 3, 0, 0, {3, 2, 7, 255}},      // shrinking takes every fourth column
           Case{4, 4, 0, 255, {200, 200, 255, 100}}, // (0, 0) is pure black
           Case{4, 4, 100, 255, {1, 0, 7, 255}},     // (1, 0) only nearly black
       }) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(column) +
                 ", " + std::to_string(row));
    const std::vector<std::uint8_t> rgb = ResampleRGB(coded(width, height));
    const std::vector<std::uint8_t> translucent = TranslucentPicture(coded(width, height));
    const std::size_t at = std::size_t(row) * kResampledSize + std::size_t(column);
    EXPECT_EQ((std::array{translucent[4 * at], translucent[4 * at + 1], translucent[4 * at + 2],
                          translucent[4 * at + 3]}),
              rgba);
    if (rgba[3] == 255) {
      EXPECT_EQ((std::array{rgb[3 * at], rgb[3 * at + 1], rgb[3 * at + 2]}),
                (std::array{rgba[0], rgba[1], rgba[2]}));
    }
  }
  EXPECT_EQ(ResampleRGB(QImage()), std::vector<std::uint8_t>(3 * kResampledSize * kResampledSize, 0))
      << "an empty picture gives black";
}

} // namespace
} // namespace vorlan
