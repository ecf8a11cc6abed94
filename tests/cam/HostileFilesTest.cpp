#include "tools/hostile/HostileFiles.h"
#include "cam/KX_CAMOBJET.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/ReadError.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "scene3d/Resample.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <numbers>
#include <optional>
#include <set>

#include <sys/stat.h>

namespace vorlan {
namespace {

namespace h = hostile;

struct Loaded {
  std::unique_ptr<TCamObject> document = std::make_unique<TCamObject>();
  std::optional<std::string> error;
};

Loaded loadCam(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
  Loaded loaded;
  try {
    loaded.document->LoadBytes(bytes, fileName);
  } catch (const ReadError& e) {
    loaded.error = e.what();
  }
  return loaded;
}

const TEntity& onlyEntity(const TCamObject& document) {
  EXPECT_EQ(document.Items.size(), 1u);
  return dynamic_cast<const TEntity&>(*document.Items.at(0));
}

// A texture name may point anywhere: at a device, a FIFO with no writer, a /proc file that reports
// size 0 and streams without end, a file far larger than any picture. The scene opens without that
// texture every time, and says why when the file exists.
TEST(HostileFiles, TexturesThatAreNoPictureFilesLeaveTheSceneOpen) {
  test::ScratchDir dir;
  ASSERT_EQ(mkfifo(dir.path("pipe.bmp").c_str(), 0600), 0);
  {
    std::ofstream sparse(dir.path("huge.bmp"), std::ios::binary);
    sparse << "BM";
    sparse.seekp(static_cast<std::streamoff>(MaxDecodedPictureBytes) + 10);
    sparse << '\0';
  }
  // No problem: not a file, passed over like a missing one.
  const std::pair<std::string, const char*> cases[] = {{"/dev/zero", nullptr},
                                                       {"pipe.bmp", nullptr},
                                                       {"/proc/self/pagemap", "neither a bitmap nor a JPEG"},
                                                       {"huge.bmp", "allowed"}};
  for (const auto& [name, problem] : cases) {
    SCOPED_TRACE(name);
    const Loaded loaded = loadCam(h::TexturedScene(name), dir.path("scene.cam"));
    ASSERT_FALSE(loaded.error) << *loaded.error;
    const TEntity& entity = onlyEntity(*loaded.document);
    EXPECT_FALSE(entity.Texture);
    if (problem == nullptr)
      EXPECT_EQ(entity.TextureProblem, "");
    else
      EXPECT_NE(entity.TextureProblem.find(problem), std::string::npos) << entity.TextureProblem;
  }
}

// Only the 256 x 256 resample of a mapping picture is used: a very large one is kept at an eighth-step
// size that still covers 256 on both axes, and gives the same flat colour.
TEST(HostileFiles, MappingPicturesAreDecodedAtTheSizeTheirResampleNeeds) {
  for (const auto& [width, height, kept] :
       {std::tuple{300, 200, QSize(300, 200)}, {20000, 1000, {7500, 375}}, {40000, 2000, {10000, 500}}}) {
    SCOPED_TRACE(width);
    TSuperObject model;
    ReadX3DBytes(h::PictureMappingsModel(h::FlatJpeg(width, height, false), 2), "wide.x3d", model);
    ASSERT_EQ(model.Mappings.size(), 2u);
    const QImage& picture = model.Mappings[1]->Bitmap;
    EXPECT_EQ(picture.size(), kept);
    const std::vector<std::uint8_t> resampled = ResampleRGB(picture);
    EXPECT_NEAR(resampled[0], 200, 3);
    EXPECT_NEAR(resampled[1], 120, 3);
    EXPECT_NEAR(resampled[2], 40, 3);
  }
}

// Previews are never shown: sixty-four previews of 65500 x 1300 pixels cost no decoding.
TEST(HostileFiles, PreviewsOfHugePicturesAreSteppedOver) {
  const Loaded loaded = loadCam(h::PreviewScene(h::FlatJpeg(65500, 1300, false), 64), "previews.cam");
  ASSERT_FALSE(loaded.error) << *loaded.error;
  EXPECT_EQ(loaded.document->Items.size(), 64u);
}

// A few bytes claiming 65500 x 1300 pixels: a progressive picture, whose coefficients libjpeg would
// hold in full, fails before they are allocated; an RLE bitmap is read through before its pixels are
// allocated, so damaged data fails first.
TEST(HostileFiles, PicturesClaimingHugeSizesFailOrDecodeWithinTheirCaps) {
  // The frame header of a small progressive picture, made to claim 65500 x 1300: the check comes
  // before any scan is read.
  std::vector<std::uint8_t> progressive = h::FlatJpeg(64, 32, true);
  const std::array<std::uint8_t, 2> sof2{0xFF, 0xCA}; // progressive, arithmetic-coded
  const std::size_t frame =
      std::search(progressive.begin(), progressive.end(), sof2.begin(), sof2.end()) - progressive.begin() + 1;
  ASSERT_LT(frame, progressive.size());
  for (const auto& [at, value] : {std::pair{frame + 4, 1300}, {frame + 6, 65500}}) {
    progressive[at] = static_cast<std::uint8_t>(value >> 8); // height, then width, big-endian
    progressive[at + 1] = static_cast<std::uint8_t>(value);
  }
  try {
    decodeJpeg(progressive, "wide.jpg");
    ADD_FAILURE() << "no error";
  } catch (const ReadError& e) {
    EXPECT_NE(std::string(e.what()).find("progressive 65500 x 1300 pixels need too much memory"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(decodeJpeg(h::FlatJpeg(300, 200, true), "small.jpg").size(), QSize(300, 200));

  std::vector<std::uint8_t> rle = h::EmptyRle8Bitmap(65500, 1300);
  rle.back() = 7; // the end-of-bitmap escape made an absolute run of 7 pixels, which the data lacks
  try {
    decodeBmp(rle, "wide.bmp");
    ADD_FAILURE() << "no error";
  } catch (const ReadError& e) {
    EXPECT_NE(std::string(e.what()).find("absolute run of 7 pixels"), std::string::npos) << e.what();
  }
}

// Thousands of mappings that no face uses cost no painting and share one grain generator.
TEST(HostileFiles, ManyMappingsShareOneGrainAndPaintOnlyWhenNeeded) {
  TSuperObject model;
  ReadX3DBytes(h::ManyMappingsModel(2000), "many.x3d", model);
  ASSERT_EQ(model.Mappings.size(), 2000u);
  for (const auto& mapping : model.Mappings)
    ASSERT_EQ(mapping->Grain, model.Mappings[0]->Grain);

  struct CountingGrain : TGrain {
    void Reseed() override { ++reseeds; }
    int Random(int) override { return 0; }
    int reseeds = 0;
  };
  TMapping& bricks = *model.Mappings[3];
  auto counting = std::make_shared<CountingGrain>();
  bricks.Grain = counting;
  EXPECT_EQ(counting->reseeds, 0);
  bricks.Tile();
  EXPECT_EQ(counting->reseeds, static_cast<int>(bricks.Cells.size()));
}

// Far coordinates once shared one clamped cell of the point grid; merging stays exact there.
TEST(HostileFiles, AFaceFarFromTheOriginKeepsEveryDistinctCorner) {
  for (const double offset : {0.0, 2e8, 3e17, -5e18}) {
    SCOPED_TRACE(offset);
    const Loaded loaded = loadCam(h::FarFaceScene(3000, offset), "far.cam");
    ASSERT_FALSE(loaded.error) << *loaded.error;
    const TEntity& entity = onlyEntity(*loaded.document);
    // Beyond 2^53 the circle's corners round onto fewer distinct doubles; each distinct one stays.
    std::set<std::pair<double, double>> distinct;
    for (int i = 0; i < 3000; ++i) {
      const double angle = 2 * std::numbers::pi * i / 3000;
      distinct.insert({offset + 1000 * std::cos(angle), offset + 1000 * std::sin(angle)});
    }
    EXPECT_EQ(entity.Points.size(), std::fabs(offset) < 1e15 ? 3000u : distinct.size());
  }
}

} // namespace
} // namespace vorlan
