#include "CamTestSupport.h"

#include "cam/KX_CAMOBJET.h"
#include "platform/Messages.h"
#include "platform/ReadError.h"

#include <climits>
#include <cmath>

namespace vorlan {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::words;

Bytes patched(Bytes bytes, std::size_t offset, std::initializer_list<std::int32_t> values) {
  const Bytes patch = words(values);
  std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

// Loads the bytes from a file of their own; a ReadError is returned, not thrown.
std::optional<ReadError> tryLoad(TCamObject& cam, const Bytes& bytes, const LoadProgress& progress = {}) {
  test::ScratchDir dir;
  const std::string fileName = dir.path("doc.cam");
  test::writeBytes(fileName, bytes);
  try {
    cam.Load(fileName, progress);
  } catch (const ReadError& error) {
    return error;
  }
  return std::nullopt;
}

TEST(TCamObject, HeadersOfNoKnownKindOpenNothingAndShortOnesFailWhereTheyEnd) {
  // No bytes: the file does not exist.
  // clang-format off
  struct Case { const char* what; std::optional<Bytes> bytes; std::int32_t kind;
                std::optional<std::uint64_t> errorAt; };
  const Case cases[] = {
      {"first word 2", words({2, 1, 0, 0}), kCamNoKind, {}},
      {"kind 7", words({1, 7, 0, 0}), 7, {}},
      {"missing file", std::nullopt, kCamNoKind, {}},
      {"empty file", Bytes{}, 0, 0},
      {"4-byte file holding 1", words({1}), 0, 4},
      {"half a kind word", Bytes{1, 0, 0, 0, 1, 0}, 0, 4},
  };
  // clang-format on
  for (const auto& [what, bytes, kind, errorAt] : cases) {
    SCOPED_TRACE(what);
    test::ScratchDir dir;
    const std::string fileName = dir.path("header.cam");
    if (bytes) test::writeBytes(fileName, *bytes);
    TCamObject cam;
    cam.Bitmap1 = QImage(1, 1, QImage::Format_RGB888);
    MessageRecorder messages;
    if (errorAt) {
      const std::function<void()> reads[] = {[&] { cam.ReadKind(fileName); }, [&] { cam.Load(fileName); }};
      for (const auto& read : reads)
        try {
          read();
          ADD_FAILURE() << "no ReadError";
        } catch (const ReadError& error) {
          EXPECT_EQ(error.offset(), *errorAt);
          EXPECT_EQ(error.fileName(), fileName);
        }
      continue;
    }
    EXPECT_EQ(cam.ReadKind(fileName), kind);
    cam.Load(fileName);
    EXPECT_TRUE(cam.Items.empty());
    EXPECT_FALSE(cam.IsBitmapPair);
    const auto notFound = bytes ? std::vector<std::string>{} : std::vector{"File not found : " + fileName};
    EXPECT_EQ(messages.texts(), notFound);
    EXPECT_EQ(cam.Bitmap1.isNull(), bool(bytes)) << "only a missing file leaves the document as it was";
  }
}

TEST(TCamObject, SceneItemsAreReadInOrderPreparedAndBareTypesStandAlone) {
  TSuperObject group;
  group.Name = "group";
  group.Entities.push_back(test::wall("inner"));
  TCamSceneWriter scene;
  scene.AddBareItem(5);
  scene.AddEntity(*test::wall("first"));
  scene.AddBareItem(-3);
  scene.AddSuperObject(group);
  scene.AddBareItem(5);

  TCamObject cam;
  cam.IsBitmapPair = true;
  std::vector<int> reported;
  const auto error = tryLoad(cam, scene.Bytes(), [&](int percent) { reported.push_back(percent); });
  ASSERT_FALSE(error) << error->what();
  EXPECT_FALSE(cam.IsBitmapPair);
  ASSERT_EQ(cam.Items.size(), 2u);
  const auto* entity = dynamic_cast<const TEntity*>(cam.Items[0].get());
  const auto* superObject = dynamic_cast<const TSuperObject*>(cam.Items[1].get());
  ASSERT_TRUE(entity && superObject);
  EXPECT_EQ(entity->Name, "first");
  EXPECT_EQ(superObject->Name, "group");
  ASSERT_EQ(superObject->Entities.size(), 1u);
  for (const TEntity* wall : {entity, static_cast<const TEntity*>(superObject->Entities[0].get())})
    EXPECT_NEAR(std::abs(wall->Faces.at(0)->Normal.y), 1.0, 1e-9) << wall->Name << " is prepared";

  EXPECT_EQ(reported.front(), 0);
  EXPECT_EQ(reported.back(), 100);
  EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
  EXPECT_GE(reported.size(), 3u) << "progress follows the items, not only start and end";
}

TEST(TCamObject, ItemCountBoundsTheLoopAndItemsBeforeAReadErrorStay) {
  TCamSceneWriter scene;
  scene.AddEntity(*test::wall("kept"));
  scene.AddEntity(*test::wall("second"));
  const Bytes two = scene.Bytes();
  // clang-format off
  struct Case { const char* what; Bytes bytes; std::size_t items; bool readError; };
  const Case cases[] = {
      {"ItemCount 0", patched(two, 12, {0}), 0, false},
      {"ItemCount -1", patched(two, 12, {-1}), 0, false},
      {"ItemCount 1", patched(two, 12, {1}), 1, false},
      {"ItemCount INT_MAX", patched(two, 12, {INT_MAX}), 2, true},
      {"second entity cut short", Bytes(two.begin(), two.end() - 30), 1, true},
  };
  // clang-format on
  for (const auto& [what, bytes, items, readError] : cases) {
    SCOPED_TRACE(what);
    TCamObject cam;
    const auto error = tryLoad(cam, bytes);
    ASSERT_EQ(error.has_value(), readError);
    if (error) {
      EXPECT_NE(error->reason().find("item " + std::to_string(items)), std::string::npos) << error->what();
    }
    ASSERT_EQ(cam.Items.size(), items);
    if (items) {
      EXPECT_EQ(cam.Items[0]->Name, "kept");
    }
  }
}

// An 8-bit DIB of 6 x 3 pixels with a three-colour table; pixel (x, y) takes colour (x + y) % 3.
const QRgb PaletteColours[] = {qRgb(30, 20, 10), qRgb(200, 100, 0), qRgb(0, 0, 255)};

TDibBlock paletteBlock() {
  BinaryWriter info;
  info.writeBytes(words({40, 6, 3}));          // biSize, biWidth, biHeight (bottom-up)
  info.writeUInt16(1);                         // biPlanes
  info.writeUInt16(8);                         // biBitCount
  info.writeBytes(words({0, 24, 0, 0, 3, 0})); // BI_RGB, biSizeImage, resolution, biClrUsed 3
  for (const QRgb c : PaletteColours)
    info.writeBytes(Bytes{std::uint8_t(qBlue(c)), std::uint8_t(qGreen(c)), std::uint8_t(qRed(c)), 0});
  BinaryWriter bits;
  for (int y = 2; y >= 0; --y)
    for (int x = 0; x < 8; ++x) // 6 pixels, then padding to a 4-byte boundary
      bits.writeByte(x < 6 ? std::uint8_t((x + y) % 3) : 0);
  return {info.bytes(), bits.bytes()};
}

QImage palettePicture() {
  QImage picture(6, 3, QImage::Format_RGB888);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      picture.setPixel(x, y, PaletteColours[(x + y) % 3]);
  return picture;
}

TEST(TCamObject, BitmapPairsLoadEachPictureAtItsOwnSizeAndDepth) {
  struct Case {
    const char* what;
    TDibBlock block1, block2;
    QImage picture1, picture2;
  };
  const QImage odd = test::gradient(7, 5, 90);
  const QImage wide = test::gradient(40, 2, 180);
  const Case cases[] = {
      {"24-bit with padded rows, then 8-bit with a colour table", DibBlockOf(odd), paletteBlock(), odd,
       palettePicture()},
      {"8-bit, then 32-bit", paletteBlock(), DibBlockOf(wide, 32), palettePicture(), wide},
  };
  for (const auto& [what, block1, block2, picture1, picture2] : cases) {
    SCOPED_TRACE(what);
    Bytes bytes = CamBitmapPairBytes(block1, block2);
    bytes.insert(bytes.end(), {0xDE, 0xAD}); // bytes after picture 2 are ignored
    TCamObject cam;
    const auto error = tryLoad(cam, bytes);
    ASSERT_FALSE(error) << error->what();
    EXPECT_TRUE(cam.IsBitmapPair);
    for (const auto& [loaded, expected] :
         {std::pair(cam.Bitmap1, picture1), std::pair(cam.Bitmap2, picture2)}) {
      EXPECT_EQ(loaded.format(), QImage::Format_RGB888);
      EXPECT_EQ(loaded, expected.convertToFormat(QImage::Format_RGB888));
    }
  }
}

TEST(TCamObject, DibBlockSizesBeyondTheFileAreRefusedAtTheBlock) {
  const TDibBlock block1 = DibBlockOf(test::gradient(7, 5, 90));
  const Bytes pair = CamBitmapPairBytes(block1, paletteBlock());
  const std::size_t second = 16 + 8 + block1.info.size() + block1.bits.size();
  const auto leftAfterSecond = std::int32_t(pair.size() - second - 8);
  // clang-format off
  struct Case { const char* what; std::size_t block; std::int32_t infoSize, bitsSize; };
  const Case cases[] = {{"InfoSize INT_MAX", 16, INT_MAX, 140}, {"BitsSize INT_MAX", 16, 40, INT_MAX},
      {"negative BitsSize", 16, 40, INT_MIN},
      {"picture 2 one byte more than is left", second, 52, leftAfterSecond - 51}};
  // clang-format on
  for (const auto& [what, block, infoSize, bitsSize] : cases) {
    SCOPED_TRACE(what);
    TCamObject cam;
    const auto error = tryLoad(cam, patched(pair, block, {infoSize, bitsSize}));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->offset(), block);
    EXPECT_NE(error->reason().find("DIB block claims"), std::string::npos) << error->what();
    EXPECT_EQ(cam.Bitmap1.isNull(), block == 16) << "picture 1 stays when picture 2 fails";
  }
}

TEST(TCamObject, ABitmapPairCutAnywhereIsAReadErrorNoLaterThanTheCut) {
  const Bytes pair = CamBitmapPairBytes(DibBlockOf(test::gradient(3, 2, 90)), paletteBlock());
  for (std::size_t cut = 0; cut < pair.size(); ++cut) {
    SCOPED_TRACE(cut);
    TCamObject cam;
    const auto error = tryLoad(cam, Bytes(pair.begin(), pair.begin() + static_cast<std::ptrdiff_t>(cut)));
    ASSERT_TRUE(error);
    EXPECT_LE(error->offset(), cut);
  }
}

} // namespace
} // namespace vorlan
