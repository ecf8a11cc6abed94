#include "SceneFixtures.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

const ReadPlace kHere("test");

// A face record built field by field: out-of-range words, one contour of two corners.
std::vector<std::uint8_t> handBuiltFace(std::int32_t visible, std::int32_t shading, std::int32_t contours) {
  BinaryWriter w;
  for (double v : {0.0, 1.0, 0.0, -4.0})
    w.writeDouble(v); // Normal, D
  w.writeInt32(visible);
  w.writeInt32(shading);
  for (int b : {10, 20, 30, 40, 50, 60, 70})
    w.writeByte(static_cast<std::uint8_t>(b)); // Color, Color2
  for (int b : {0, 1, 2, 1})
    w.writeByte(static_cast<std::uint8_t>(b)); // Textured, HideEdges, Tessellate, Marked
  w.writeInt32(contours);
  if (contours > 0) {
    w.writeInt32(7);  // Outer: neither 0 nor 1
    w.writeInt32(-1); // Tag
    w.writeZeros(7);  // Color, Color2
    w.writeZeros(20); // reserved words
  }
  w.writeInt32(2); // corners
  TPoint3D(1, 2, 3, 1).SaveToFile(w);
  TPoint3D(1.005, 2, 3, 1).SaveToFile(w); // merges with the first
  w.writeZeros(20);
  return w.bytes();
}

TEST(FaceRecord, ReadsAHandBuiltRecord) {
  // clang-format off
  struct Case {
    std::int32_t visible, shading, contours; bool expectVisible; TShading expectShading; std::size_t expectContours; };
  for (auto [visible, shading, contours, expectVisible, expectShading, expectContours] :
       {Case{0, 0, 0, false, TShading::Flat, 0}, Case{1, 2, 1, true, TShading::Smooth, 1},
        Case{3, 5, -3, true, TShading::Flat, 0}}) {
    // clang-format on
    SCOPED_TRACE("visible " + std::to_string(visible) + ", shading " + std::to_string(shading) +
                 ", contours " + std::to_string(contours));
    TEntity entity;
    entity.Shading = TShading::Flat; // what a face keeps when its own word is out of range
    const auto bytes = handBuiltFace(visible, shading, contours);
    BinaryCursor c(bytes, "f");
    TFace& face = TFace::Create(entity);
    face.LoadFromFile(c, kHere);
    EXPECT_TRUE(c.atEnd());
    EXPECT_EQ(std::tuple(face.Normal, face.D, face.Visible, face.Shading, face.Color, face.Color2),
              std::tuple(Vector3D{0, 1, 0}, -4.0, expectVisible, expectShading, TColorRGBA{10, 20, 30, 40},
                         TColorRGB{50, 60, 70}));
    EXPECT_EQ(std::tuple(face.Textured, face.HideEdges, face.Tessellate, face.Marked),
              std::tuple(false, true, false, true))
        << "only 1 is true";
    ASSERT_EQ(face.Contours.size(), expectContours);
    if (expectContours == 1) {
      EXPECT_TRUE(face.Contours[0].Outer) << "Outer 7 keeps the default";
      EXPECT_EQ(face.Contours[0].Refs, (std::vector<std::size_t>{0, 1}));
    }
    ASSERT_EQ(face.Refs.size(), 2u);
    EXPECT_EQ(std::pair(face.Refs[1].Index, entity.Points.size()), std::pair(0, std::size_t{1})) << "merged";
  }
}

TEST(ObjectRecord, TextBlocksEndAtTheirFirstNul) {
  TEntity source;
  source.Name = std::string(255, 'n');
  BinaryWriter w;
  source.TObjects::SaveToFile(w);
  auto bytes = w.bytes();
  bytes[278 + 1] = 0;   // Text2 "0" then NUL...
  bytes[278 + 2] = 'x'; // ...and junk after the NUL
  BinaryCursor c(bytes, "f");
  TEntity read;
  read.TObjects::LoadFromFile(c, kHere);
  EXPECT_EQ(read.Name, source.Name) << "255 characters fit";
  EXPECT_EQ(read.Text2, "0");
}

// Every stored field is off its default, so a field read wrongly is written back differently.
TEST(EntityRecord, RoundTripsEveryStoredField) {
  const auto original = test::entityWithEveryStoredField();
  const auto read = test::loadEntity(test::savedBytes(*original));
  EXPECT_EQ(test::savedBytes(*read), test::savedBytes(*original)) << "a field was read differently";
}

TEST(EntityRecord, EnumerationsOutOfRangeKeepTheirDefaults) {
  // clang-format off
  struct Case { std::int32_t shading, edgeAligned; TShading expectShading; bool expectEdgeAligned; };
  for (auto [shading, edgeAligned, expectShading, expectEdgeAligned] :
       {Case{5, 2, TShading::ByAngle, true}, Case{0, 1, TShading::Flat, false},
        Case{-1, 0, TShading::ByAngle, true}, Case{2, -7, TShading::Smooth, true}}) {
    // clang-format on
    SCOPED_TRACE("shading " + std::to_string(shading) + ", edge " + std::to_string(edgeAligned));
    auto bytes = test::savedBytes(TEntity());
    test::patchInt32(bytes, test::kEntityStart + 630, shading);
    test::patchInt32(bytes, test::kEntityStart + 919, edgeAligned);
    const auto read = test::loadEntity(bytes);
    EXPECT_EQ(read->Shading, expectShading);
    EXPECT_EQ(read->EdgeAligned, expectEdgeAligned);
  }
}

} // namespace
} // namespace vorlan
