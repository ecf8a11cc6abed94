#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "platform/Jpeg.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace vorlan {
namespace {

const ReadPlace kWhere("super-object");
constexpr std::size_t kHeadSize = 4 + 4 + 12 + 4 + 48 + 256;

struct Attempt {
  std::unique_ptr<TSuperObject> object = std::make_unique<TSuperObject>();
  std::optional<ReadError> error;
  std::size_t stoppedAt = 0;
  int mappingsReported = 0;
};

Attempt tryLoad(const std::vector<std::uint8_t>& bytes) {
  Attempt a;
  a.object->OnMappingRead = [&a] { ++a.mappingsReported; };
  BinaryCursor F(bytes, "model.x3d");
  try {
    a.object->LoadFromFile(F, kWhere);
  } catch (const ReadError& e) {
    a.error = e;
  }
  a.stoppedAt = F.offset();
  return a;
}

Attempt load(const std::vector<std::uint8_t>& bytes) {
  Attempt a = tryLoad(bytes);
  EXPECT_FALSE(a.error) << a.error->what();
  EXPECT_EQ(a.stoppedAt, bytes.size()) << "the record was not read to its end";
  return a;
}

void expectErrorAt(const Attempt& a, std::size_t offset, const std::string& text) {
  ASSERT_TRUE(a.error) << "no error";
  EXPECT_EQ(a.error->offset(), offset) << a.error->what();
  EXPECT_EQ(a.error->fileName(), "model.x3d");
  EXPECT_NE(std::string(a.error->what()).find(text), std::string::npos) << a.error->what();
}

std::vector<std::uint8_t> faceBytes(const test::Ring& corners) {
  TEntity owner;
  BinaryWriter w;
  test::addPolygon(owner, corners).SaveToFile(w);
  return w.bytes();
}

void addMapping(TSuperObject& s, std::uint8_t kind, std::int32_t tile, std::int32_t stripes) {
  auto mapping = std::make_unique<TMapping>(0, 0);
  mapping->Build(kind, 12, {stripes, 0, 0, 0, 0}, {RGB(10, 20, 30), RGB(200, 0, 0), 0, 0, 0}, tile, tile / 2);
  s.Mappings.push_back(std::move(mapping));
}

// Prepared before saving, as every entity of a loaded super-object is, so that the fields Prepare
// rewrites compare equal after a round trip.
void addEntity(TSuperObject& s, std::unique_ptr<TEntity> e, std::optional<std::size_t> mapping) {
  if (mapping) e->Mapping = s.Mappings[*mapping].get();
  e->Prepare();
  s.Entities.push_back(std::move(e));
}

std::unique_ptr<TEntity> namedSquare(const std::string& name, double size) {
  auto e = std::make_unique<TEntity>();
  e->Name = name;
  test::addPolygon(*e, test::rectangle(size, size));
  return e;
}

// Three mappings and four entities whose mapping indices are 2, none, 0 and 2.
std::unique_ptr<TSuperObject> sampleObject() {
  auto s = std::make_unique<TSuperObject>();
  s->Name = "Hall";
  s->Position = {100, -20, 5.5};
  s->Rotation = {0, 90, -45};
  addMapping(*s, 2, 300, 0);
  addMapping(*s, 4, 120, 50);
  addMapping(*s, 0, 80, 0);
  addEntity(*s, test::entityWithEveryStoredField(), 2);
  addEntity(*s, namedSquare("plain", 10), std::nullopt);
  addEntity(*s, namedSquare("floor", 400), 0);
  addEntity(*s, namedSquare("wall", 50), 2);
  return s;
}

std::vector<std::uint8_t> saved(const TSuperObject& s) {
  BinaryWriter w;
  s.SaveToFile(w);
  return w.bytes();
}

std::size_t mappingSize(const TMapping& m) {
  BinaryWriter w;
  m.SaveToFile(w);
  return w.size();
}

// Where each mapping record and each entity entry of sampleObject's bytes starts, and where E is.
struct Layout {
  std::vector<std::size_t> mappingStarts;
  std::size_t entityCount = 0;
  std::vector<std::size_t> entityStarts;
};

Layout layoutOf(const TSuperObject& s) {
  Layout l;
  std::size_t at = kHeadSize + 4;
  for (const auto& m : s.Mappings) {
    l.mappingStarts.push_back(at);
    at += mappingSize(*m);
  }
  l.entityCount = at;
  at += 4;
  for (const auto& e : s.Entities) {
    l.entityStarts.push_back(at);
    at += 4 + test::savedBytes(*e).size();
  }
  return l;
}

std::vector<std::uint8_t> cut(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

struct Version1Record {
  std::vector<std::uint8_t> bytes;
  std::size_t faceCountOfEntity1;
};

Version1Record version1Record() {
  BinaryWriter w;
  for (std::int32_t word : {1, 1, 1, 1, 1, 0}) // version 1, no preview, reserved, placement follows
    w.writeInt32(word);
  for (double v : {1, 2, 3, 10, 20, 30})
    w.writeDouble(v);
  w.writeText256("Tower");
  w.writeInt32(1);                     // K
  w.writeByte(3);                      // plain mapping record: Kind 3, no prefix
  for (std::int32_t v : {100, 60, 15}) // TileWidth, TileHeight, Amplitude
    w.writeInt32(v);
  for (std::uint8_t c = 0; c < 15; ++c) // five colours
    w.writeByte(c);
  w.writeZeros(20); // Params
  w.writeInt32(2);  // E
  w.writeInt32(0);  // entity 0: mapping index
  w.writeInt32(-9); //   Value3
  w.writeInt32(7);  //   TextureOrigin, beyond the 4 corners: Prepare resets it
  w.writeInt32(1);  //   N
  w.writeBytes(faceBytes(test::rectangle(200, 100)));
  w.writeInt32(-1); // entity 1: no mapping
  w.writeInt32(44); //   Value3
  w.writeInt32(2);  //   TextureOrigin
  const std::size_t faceCount = w.size();
  w.writeInt32(2); //   N
  w.writeBytes(faceBytes(test::rectangle(200, 100)));
  w.writeBytes(faceBytes(test::shifted(test::rectangle(5, 5), {0, 0, 9})));
  return {w.bytes(), faceCount};
}

TEST(SuperObject, ReadsAHandBuiltVersion1Record) {
  const Attempt a = load(version1Record().bytes);
  const TSuperObject& s = *a.object;
  EXPECT_EQ(s.Name, "Tower");
  EXPECT_EQ(s.Position, (Vector3D{1, 2, 3}));
  EXPECT_EQ(s.Rotation, (Vector3D{10, 20, 30}));
  ASSERT_EQ(s.Mappings.size(), 1u);
  EXPECT_EQ(s.Mappings[0]->Kind, 3);
  EXPECT_EQ(s.Mappings[0]->TileWidth, 100);
  EXPECT_EQ(s.Mappings[0]->TileHeight, 60);
  ASSERT_EQ(s.Entities.size(), 2u);

  const TEntity& mapped = *s.Entities[0];
  EXPECT_EQ(mapped.Mapping, s.Mappings[0].get());
  EXPECT_EQ(mapped.Value3, -9);
  EXPECT_EQ(mapped.TextureOrigin, 0) << "not prepared";
  EXPECT_EQ(mapped.Name, "NoName");
  EXPECT_TRUE(mapped.UseTexture);
  ASSERT_EQ(mapped.Faces.size(), 1u);
  EXPECT_EQ(mapped.Faces[0]->Normal, (Vector3D{0, 0, 1})) << "not prepared";
  EXPECT_NE(mapped.Faces[0]->Refs[1].U, 0) << "the mapping was not attached before Prepare";

  const TEntity& plain = *s.Entities[1];
  EXPECT_EQ(plain.Mapping, nullptr);
  EXPECT_EQ(plain.Value3, 44);
  EXPECT_EQ(plain.TextureOrigin, 2);
  ASSERT_EQ(plain.Faces.size(), 2u);
  EXPECT_EQ(plain.Faces[1]->Refs.size(), 4u);
  EXPECT_EQ(plain.Points.size(), 8u);
  EXPECT_EQ(plain.Faces[0]->Refs[1].U, 0);
}

// Every entity has its fields off their defaults, so a field read wrongly is written back differently.
TEST(SuperObject, RoundTripKeepsMappingsEntityOrderAndMappingIndices) {
  const auto bytes = saved(*sampleObject());
  const Attempt a = load(bytes);
  const TSuperObject& s = *a.object;
  EXPECT_EQ(a.mappingsReported, 3);
  ASSERT_EQ(s.Entities.size(), 4u);
  const std::vector<std::optional<std::size_t>> indices{2, std::nullopt, 0, 2};
  for (std::size_t i = 0; i < s.Entities.size(); ++i)
    EXPECT_EQ(s.Entities[i]->Mapping, indices[i] ? s.Mappings[*indices[i]].get() : nullptr) << i;
  EXPECT_EQ(saved(s), bytes) << "a second save differs from the first";
}

TEST(SuperObject, EmptyVersion2KeepsItsPlacementOnlyWhenFlaggedAndItsName) {
  for (std::int32_t flag : {0, 5}) {
    SCOPED_TRACE(flag);
    BinaryWriter w;
    for (std::int32_t word : {2, 1, 1, 1, 1, flag})
      w.writeInt32(word);
    if (flag == 0)
      for (double v : {-1.5, 0.0, 7.0, 0.0, 0.0, 180.0})
        w.writeDouble(v);
    w.writeText256("Nothing here");
    w.writeInt32(0); // K
    w.writeInt32(0); // E
    const Attempt a = load(w.bytes());
    EXPECT_EQ(a.object->Name, "Nothing here");
    EXPECT_EQ(a.object->Position, (flag == 0 ? Vector3D{-1.5, 0, 7} : Vector3D{}));
    EXPECT_EQ(a.object->Rotation, (flag == 0 ? Vector3D{0, 0, 180} : Vector3D{}));
    EXPECT_TRUE(a.object->Mappings.empty());
    EXPECT_TRUE(a.object->Entities.empty());
  }
}

// The embedded preview must be stepped over exactly, or everything after it is misread; it is never
// shown, so it is not decoded either: damaged preview data loads like any other.
TEST(SuperObject, PreviewIsSteppedOverUndecoded) {
  QImage picture(96, 64, QImage::Format_RGB888);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, static_cast<unsigned>(x * 2654435761u ^ y * 40503u) & 0xFFFFFF);
  const std::vector<std::uint8_t> jpeg = encodeJpeg(picture);
  ASSERT_GT(jpeg.size(), 2048u) << "the preview should need several chunks";
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged ? "damaged" : "valid");
    BinaryWriter w;
    for (std::int32_t word : {2, 0}) // version, preview follows
      w.writeInt32(word);
    w.writeInt32(0); // the preview's unused word
    for (std::size_t at = 0; at < jpeg.size(); at += 2048) {
      const std::size_t n = std::min<std::size_t>(2048, jpeg.size() - at);
      w.writeInt32(static_cast<std::int32_t>(n));
      const auto chunk = std::span(jpeg).subspan(at, n);
      w.writeBytes(damaged ? std::vector<std::uint8_t>(n, 0x55) : std::vector(chunk.begin(), chunk.end()));
    }
    w.writeInt32(0);
    for (std::int32_t word : {1, 1, 1, 1}) // reserved, no placement
      w.writeInt32(word);
    w.writeText256("With preview");
    w.writeInt32(0);
    w.writeInt32(0);
    const Attempt a = tryLoad(w.bytes());
    EXPECT_FALSE(a.error);
    EXPECT_EQ(a.object->Name, "With preview");
  }
}

TEST(SuperObject, UnknownVersionStopsAfterTheVersionWordAndStaysEmpty) {
  auto bytes = saved(*sampleObject());
  for (std::int32_t version : {0, 3}) {
    SCOPED_TRACE(version);
    test::patchInt32(bytes, 0, version);
    const Attempt a = tryLoad(bytes);
    EXPECT_FALSE(a.error);
    EXPECT_EQ(a.stoppedAt, 4u);
    EXPECT_EQ(a.object->Name, "NoName");
    EXPECT_TRUE(a.object->Mappings.empty());
    EXPECT_TRUE(a.object->Entities.empty());
  }
}

// Below 0 an index names no mapping; past the list it is a damaged file.
TEST(SuperObject, MappingIndexOutsideTheListFailsAtItsOffsetKeepingEarlierEntities) {
  const auto source = sampleObject();
  const std::size_t at = layoutOf(*source).entityStarts[2];
  const std::int32_t low = std::numeric_limits<std::int32_t>::min(),
                     high = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t index : {-1, low, 3, high}) {
    SCOPED_TRACE(index);
    auto bytes = saved(*source);
    test::patchInt32(bytes, at, index);
    const Attempt a = tryLoad(bytes);
    EXPECT_EQ(a.object->Mappings.size(), 3u);
    if (index < 0) {
      EXPECT_FALSE(a.error);
      ASSERT_EQ(a.object->Entities.size(), 4u);
      EXPECT_EQ(a.object->Entities[2]->Mapping, nullptr);
      continue;
    }
    expectErrorAt(a, at, "entity 2: mapping index " + std::to_string(index) + " is outside the 3 mappings");
    ASSERT_EQ(a.object->Entities.size(), 2u);
    EXPECT_EQ(a.object->Entities[1]->Name, "plain");
  }
}

TEST(SuperObject, TruncationFailsThereAndKeepsWhatWasRead) {
  const auto source = sampleObject();
  const auto bytes = saved(*source);
  const Layout l = layoutOf(*source);
  struct Case {
    const char* name;
    std::size_t size, failsAt;
    std::size_t mappings, entities;
    const char* text;
  };
  const std::size_t classNameOf3 = l.entityStarts[3] + 4;
  const Case cases[] = {
      {"inside the name", kHeadSize - 100, kHeadSize - 256, 0, 0, "name needs 256 bytes"},
      {"before K", kHeadSize, kHeadSize, 0, 0, "mapping count"},
      {"after mapping 0", l.mappingStarts[1], l.mappingStarts[1], 1, 0, "mapping 1"},
      {"before E", l.entityCount, l.entityCount, 3, 0, "entity count"},
      {"before entity 0", l.entityStarts[0], l.entityStarts[0], 3, 0, "entity 0: mapping index"},
      {"after entity 1", l.entityStarts[2], l.entityStarts[2], 3, 2, "entity 2: mapping index"},
      {"inside entity 3's class name", classNameOf3 + 10, classNameOf3, 3, 3, "entity 3: class name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Attempt a = tryLoad(cut(bytes, c.size));
    expectErrorAt(a, c.failsAt, c.text);
    EXPECT_EQ(a.object->Mappings.size(), c.mappings);
    EXPECT_EQ(a.mappingsReported, static_cast<int>(c.mappings));
    EXPECT_EQ(a.object->Entities.size(), c.entities);
  }
}

// Counts bound the loops and size nothing, so a count beyond the file reads every record that is
// there and fails at the first missing byte.
TEST(SuperObject, BadCountsFailClearly) {
  const auto source = sampleObject();
  const auto valid = saved(*source);
  const Layout l = layoutOf(*source);
  const auto [version1, faceCount] = version1Record();
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>* record;
    std::size_t offset;
    std::int32_t count;
    std::size_t failsAt, mappings, entities;
    std::string text;
  };
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  const Case cases[] = {
      {"K -1", &valid, kHeadSize, -1, kHeadSize, 0, 0, "mapping count is negative"},
      {"E -1", &valid, l.entityCount, -1, l.entityCount, 3, 0, "entity count is negative"},
      {"E huge", &valid, l.entityCount, huge, valid.size(), 3, 4, "entity 4: mapping index"},
      {"version 1 N -3", &version1, faceCount, -3, faceCount, 1, 1, "entity 1: face count is negative"},
      {"version 1 N huge", &version1, faceCount, huge, version1.size(), 1, 1, "entity 1: face 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = *c.record;
    test::patchInt32(bytes, c.offset, c.count);
    const Attempt a = tryLoad(bytes);
    expectErrorAt(a, c.failsAt, c.text);
    EXPECT_EQ(a.object->Mappings.size(), c.mappings);
    EXPECT_EQ(a.object->Entities.size(), c.entities);
  }
}

TEST(SuperObject, X3DIgnoresTheTrailingWordFailsBelowFourBytesAndKeepsWhatWasRead) {
  test::ScratchDir dir;
  const auto record = saved(*sampleObject());
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::size_t entities;
  };
  auto withTrailer = record;
  withTrailer.insert(withTrailer.end(), {0xFF, 0xFF, 0xFF, 0x7F});
  const Case cases[] = {{"record alone", record, 4},
                        {"record and trailing word", withTrailer, 4},
                        {"only a version word 7", {7, 0, 0, 0}, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.path("model.x3d");
    test::writeBytes(file, c.bytes);
    int reported = 0;
    const auto s = LoadX3D(file, [&] { ++reported; });
    EXPECT_EQ(s->Entities.size(), c.entities);
    EXPECT_EQ(reported, c.entities ? 3 : 0);
  }
  for (std::size_t size : {0, 3}) {
    SCOPED_TRACE(size);
    const std::string file = dir.path("short.x3d");
    test::writeBytes(file, cut(record, size));
    try {
      LoadX3D(file);
      ADD_FAILURE() << "a file of " << size << " bytes loaded";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.fileName(), file);
      EXPECT_EQ(e.offset(), 0u);
      EXPECT_NE(
          std::string(e.what()).find("trailing word needs 4 bytes, the file has " + std::to_string(size)),
          std::string::npos)
          << e.what();
    }
  }
  // The window shows what was read before a load error.
  const std::string file = dir.path("cut.x3d");
  test::writeBytes(file, cut(record, layoutOf(*sampleObject()).entityStarts[1] + 4));
  TSuperObject s;
  EXPECT_THROW(ReadX3D(file, s), ReadError);
  EXPECT_EQ(s.Mappings.size(), 3u);
  EXPECT_EQ(s.Entities.size(), 1u);
  EXPECT_EQ(s.Name, "Hall");
}

} // namespace
} // namespace vorlan
