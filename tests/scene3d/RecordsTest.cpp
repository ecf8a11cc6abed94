#include "SceneFixtures.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

const ReadPlace kHere("test");

std::vector<std::uint8_t> bytesOf(const BinaryWriter& w) {
  return w.bytes();
}

double doubleAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  BinaryCursor c(bytes, "f");
  c.seek(offset, "field");
  return c.readDouble("field");
}

bool allZero(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t count) {
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                     bytes.begin() + static_cast<std::ptrdiff_t>(offset + count),
                     [](std::uint8_t b) { return b == 0; });
}

TEST(PointRecord, HoldsEveryFieldAtItsOffset) {
  TPoint3D p(1.5, -2.5, 3.5, 0.5);
  p.SetNormal({0.25, 0.5, 0.75});
  p.Tag = -7;
  p.Marks = {8, 9, 10};
  BinaryWriter w;
  p.SaveToFile(w);
  const auto bytes = bytesOf(w);
  ASSERT_EQ(bytes.size(), kPointRecordSize);
  struct Field {
    std::size_t offset;
    double value;
  };
  for (auto [offset, value] : {Field{0, 1.5}, Field{8, -2.5}, Field{16, 3.5}, Field{24, 0.5}, Field{32, 0.25},
                               Field{40, 0.5}, Field{48, 0.75}}) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(doubleAt(bytes, offset), value);
  }
  EXPECT_EQ(test::int32At(bytes, 56), -7);
  EXPECT_EQ(bytes[60], 8);
  EXPECT_EQ(bytes[62], 10);

  BinaryCursor c(bytes, "f");
  TPoint3D q;
  q.LoadFromFile(c, kHere);
  EXPECT_EQ(q.Position(), p.Position());
  EXPECT_EQ(q.W, p.W);
  EXPECT_EQ(q.Normal(), p.Normal());
  EXPECT_EQ(q.Tag, p.Tag);
  EXPECT_EQ(q.Marks, p.Marks);
}

TEST(PointRecord, ShortRecordNamesWhereItWasRead) {
  const std::vector<std::uint8_t> bytes(17, 0);
  BinaryCursor c(bytes, "scene.cam");
  const ReadPlace entity("entity 2");
  TPoint3D p;
  try {
    p.LoadFromFile(c, entity.at("face", 3).at("corner", 7));
    FAIL() << "no error";
  } catch (const ReadError& e) {
    EXPECT_STREQ(e.what(),
                 "scene.cam: offset 0: read beyond end of file: entity 2: face 3: corner 7: point record "
                 "needs 63 bytes, 17 left");
  }
  EXPECT_EQ(c.offset(), 0u);
}

TEST(ContourRecord, OuterWordOutsideZeroAndOneKeepsTheDefault) {
  struct Case {
    std::int32_t stored;
    bool outer;
  };
  for (auto [stored, outer] : {Case{0, false}, Case{1, true}, Case{7, true}, Case{-1, true}}) {
    SCOPED_TRACE(stored);
    BinaryWriter w;
    w.writeInt32(stored); // Outer
    w.writeInt32(12);     // Tag
    for (int b : {1, 2, 3, 4, 5, 6, 7})
      w.writeByte(static_cast<std::uint8_t>(b)); // Color, Color2
    for (int i = 0; i < 5; ++i)
      w.writeInt32(-1); // reserved words, ignored
    BinaryCursor c(w.bytes(), "f");
    TContours contour;
    contour.LoadFromFile(c, kHere);
    EXPECT_EQ(contour.Outer, outer);
    EXPECT_EQ(contour.Tag, 12);
    EXPECT_EQ(contour.Color, (TColorRGBA{1, 2, 3, 4}));
    EXPECT_EQ(contour.Color2, (TColorRGB{5, 6, 7}));
    EXPECT_EQ(c.offset(), kContourRecordSize);
  }
}

TEST(ContourRecord, WritesOuterAsAWordAndReservedAsZeros) {
  TContours contour;
  contour.Outer = false;
  BinaryWriter w;
  contour.SaveToFile(w);
  const auto bytes = bytesOf(w);
  ASSERT_EQ(bytes.size(), kContourRecordSize);
  EXPECT_EQ(test::int32At(bytes, 0), 0);
  EXPECT_EQ(test::int32At(bytes, 4), -1);
  EXPECT_TRUE(allZero(bytes, 15, 20));
}

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
  struct Case {
    std::int32_t visible, shading, contours;
    bool expectVisible;
    TShading expectShading;
    std::size_t expectContours;
  };
  for (auto [visible, shading, contours, expectVisible, expectShading, expectContours] :
       {Case{0, 0, 0, false, TShading::Flat, 0}, Case{1, 2, 1, true, TShading::Smooth, 1},
        Case{3, 5, -3, true, TShading::Flat, 0}, Case{1, -1, 1, true, TShading::Flat, 1}}) {
    SCOPED_TRACE("visible " + std::to_string(visible) + ", shading " + std::to_string(shading) +
                 ", contours " + std::to_string(contours));
    TEntity entity;
    entity.Shading = TShading::Flat; // what a face keeps when its own word is out of range
    const auto bytes = handBuiltFace(visible, shading, contours);
    BinaryCursor c(bytes, "f");
    TFace& face = TFace::Create(entity);
    face.LoadFromFile(c, kHere);
    EXPECT_TRUE(c.atEnd());
    EXPECT_EQ(face.Normal, (Vector3D{0, 1, 0}));
    EXPECT_EQ(face.D, -4.0);
    EXPECT_EQ(face.Visible, expectVisible);
    EXPECT_EQ(face.Shading, expectShading);
    EXPECT_EQ(face.Color, (TColorRGBA{10, 20, 30, 40}));
    EXPECT_EQ(face.Color2, (TColorRGB{50, 60, 70}));
    EXPECT_FALSE(face.Textured);
    EXPECT_TRUE(face.HideEdges);
    EXPECT_FALSE(face.Tessellate) << "only 1 is true";
    EXPECT_TRUE(face.Marked);
    ASSERT_EQ(face.Contours.size(), expectContours);
    if (expectContours == 1) {
      EXPECT_TRUE(face.Contours[0].Outer) << "Outer 7 keeps the default";
      EXPECT_EQ(face.Contours[0].Refs, (std::vector<std::size_t>{0, 1}));
    }
    ASSERT_EQ(face.Refs.size(), 2u);
    EXPECT_EQ(face.Refs[1].Index, 0);
    EXPECT_EQ(entity.Points.size(), 1u);
  }
}

TEST(FaceRecord, WithoutContoursOrCornersIsAnEmptyFace) {
  BinaryWriter w;
  TEntity source;
  TFace::Create(source).SaveToFile(w);
  ASSERT_EQ(w.size(), 79u);
  EXPECT_EQ(test::int32At(w.bytes(), 51), 0) << "contour count";
  EXPECT_EQ(test::int32At(w.bytes(), 55), 0) << "corner count";
  EXPECT_TRUE(allZero(w.bytes(), 59, 20)) << "reserved words";
  TEntity entity;
  BinaryCursor c(w.bytes(), "f");
  TFace& face = TFace::Create(entity);
  face.LoadFromFile(c, kHere);
  EXPECT_TRUE(c.atEnd());
  EXPECT_TRUE(face.Refs.empty());
  EXPECT_TRUE(entity.Points.empty());
}

TEST(FaceRecord, WritesEachContourWithTheFullRecordsOfItsPoints) {
  TEntity entity;
  TFace& face = test::addContourFace(
      entity, {test::rectangle(4, 4), test::shifted(test::rectangle(1, 1), {1, 1, 0})}, {true, false});
  entity.Points[0].Tag = 42; // shared points are written whole, stored values included
  BinaryWriter w;
  face.SaveToFile(w);
  const auto& bytes = w.bytes();
  ASSERT_EQ(bytes.size(), 51 + 4 + 2 * (kContourRecordSize + 4 + 4 * kPointRecordSize) + 20);
  EXPECT_EQ(test::int32At(bytes, 51), 2);
  const std::size_t firstCorners = 55 + kContourRecordSize;
  EXPECT_EQ(test::int32At(bytes, firstCorners), 4);
  EXPECT_EQ(test::int32At(bytes, firstCorners + 4 + 56), 42);
  const std::size_t secondContour = firstCorners + 4 + 4 * kPointRecordSize;
  EXPECT_EQ(test::int32At(bytes, secondContour), 0) << "the hole is not outer";
  EXPECT_EQ(doubleAt(bytes, secondContour + kContourRecordSize + 4), 1.0) << "hole's first corner x";
}

TEST(ObjectRecord, HoldsEveryFieldAtItsOffset) {
  const auto entity = test::entityWithEveryStoredField();
  BinaryWriter w;
  entity->TObjects::SaveToFile(w);
  const auto& bytes = w.bytes();
  ASSERT_EQ(bytes.size(), kObjectRecordSize);
  BinaryCursor c(bytes, "f");
  EXPECT_EQ(c.readText256("name"), entity->Name);
  EXPECT_EQ(c.readInt32("Value1"), 7);
  EXPECT_EQ(bytes[260], 0);
  EXPECT_EQ(bytes[262], 1);
  EXPECT_TRUE(allZero(bytes, 263, 3));
  EXPECT_EQ(bytes[266], 1) << "first highlight red";
  EXPECT_EQ(bytes[277], 12) << "third highlight alpha";
  c.seek(278, "Text2");
  EXPECT_EQ(c.readText256("Text2"), "layer 2");
  struct Field {
    std::size_t offset;
    double value;
  };
  for (auto [offset, value] :
       {Field{534, 1.5}, Field{550, 3.25}, Field{562, 1}, Field{578, 3.5}, Field{586, 10}, Field{602, -30}}) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(doubleAt(bytes, offset), value);
  }
  EXPECT_EQ(test::int32At(bytes, 558), 11);
  EXPECT_TRUE(allZero(bytes, 610, 20));
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

TEST(EntityRecord, HoldsEveryFieldAtItsOffset) {
  auto entity = std::make_unique<TEntity>();
  entity->Shading = TShading::Smooth;
  entity->Value3 = 33;
  entity->Value4 = -4.5;
  entity->TextureOrigin = 6;
  entity->Value5 = 55;
  entity->EdgeAligned = false;
  const auto bytes = test::savedBytes(*entity);
  ASSERT_EQ(bytes.size(), test::kEmptyEntitySize);
  BinaryCursor c(bytes, "f");
  EXPECT_EQ(c.readText256("class name"), "TEntity");
  const std::size_t e = test::kEntityStart;
  EXPECT_EQ(test::int32At(bytes, e + 630), 2);
  EXPECT_EQ(bytes[e + 634], 1);
  c.seek(test::kTextureNameOffset, "texture name");
  EXPECT_EQ(c.readText256("texture name"), "NoTexture") << "no texture to name";
  EXPECT_EQ(test::int32At(bytes, e + 891), 33);
  EXPECT_EQ(doubleAt(bytes, e + 895), -4.5);
  EXPECT_EQ(test::int32At(bytes, e + 903), 6);
  EXPECT_EQ(test::int32At(bytes, test::kFaceCountOffset), 0);
  EXPECT_EQ(test::int32At(bytes, e + 911), 0) << "marked faces";
  EXPECT_EQ(test::int32At(bytes, e + 915), 55);
  EXPECT_EQ(test::int32At(bytes, e + 919), 1) << "EdgeAligned is stored inverted";
  EXPECT_TRUE(allZero(bytes, e + 923, 12));
}

TEST(EntityRecord, RoundTripsEveryStoredField) {
  const auto original = test::entityWithEveryStoredField();
  const auto read = test::loadEntity(test::savedBytes(*original));
  test::expectSameStoredFields(*original, *read);
  EXPECT_EQ(test::savedBytes(*read), test::savedBytes(*original))
      << "a second round trip writes the same bytes";
}

TEST(EntityRecord, EnumerationsOutOfRangeKeepTheirDefaults) {
  struct Case {
    std::int32_t shading, edgeAligned;
    TShading expectShading;
    bool expectEdgeAligned;
  };
  for (auto [shading, edgeAligned, expectShading, expectEdgeAligned] :
       {Case{5, 2, TShading::ByAngle, true}, Case{0, 1, TShading::Flat, false},
        Case{-1, 0, TShading::ByAngle, true}, Case{2, -7, TShading::Smooth, true}}) {
    SCOPED_TRACE("shading " + std::to_string(shading) + ", edge " + std::to_string(edgeAligned));
    auto bytes = test::savedBytes(TEntity());
    test::patchInt32(bytes, test::kEntityStart + 630, shading);
    test::patchInt32(bytes, test::kEntityStart + 919, edgeAligned);
    const auto read = test::loadEntity(bytes);
    EXPECT_EQ(read->Shading, expectShading);
    EXPECT_EQ(read->EdgeAligned, expectEdgeAligned);
  }
}

TEST(EntityRecord, WithoutFacesLoadsAnEmptyEntity) {
  const auto read = test::loadEntity(test::savedBytes(TEntity()));
  EXPECT_TRUE(read->Faces.empty());
  EXPECT_TRUE(read->Points.empty());
  EXPECT_TRUE(read->MarkedFaces.empty());
  EXPECT_EQ(read->Name, "NoName");
  EXPECT_FALSE(read->Texture);
}

TEST(EntityRecord, ListedFacesAreMarked) {
  TEntity source;
  for (int i = 0; i < 4; ++i)
    test::addPolygon(source, test::shifted(test::rectangle(1, 1), {double(i), 0, 0}));
  source.MarkedFaces = {2, 0, 2};
  const auto read = test::loadEntity(test::savedBytes(source));
  EXPECT_EQ(read->MarkedFaces, source.MarkedFaces);
  EXPECT_TRUE(read->Faces[0]->Marked);
  EXPECT_FALSE(read->Faces[1]->Marked);
  EXPECT_TRUE(read->Faces[2]->Marked);
}

} // namespace
} // namespace vorlan
