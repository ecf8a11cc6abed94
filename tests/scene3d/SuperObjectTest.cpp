#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
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

Attempt tryLoad(const std::vector<std::uint8_t>& bytes, const std::string& fileName = "model.x3d") {
  Attempt a;
  a.object->OnReadProgress = [&a] { ++a.mappingsReported; };
  BinaryCursor F(bytes, fileName);
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

template <typename Record> std::vector<std::uint8_t> bytesOf(const Record& record) {
  BinaryWriter w;
  record.SaveToFile(w);
  return w.bytes();
}

std::vector<std::uint8_t> faceBytes(const test::Ring& corners) {
  TEntity owner;
  return bytesOf(test::addPolygon(owner, corners));
}

// Three mappings and four entities whose mapping indices are 2, none, 0 and 2, each prepared before
// saving as every entity of a loaded super-object is, so that the fields Prepare rewrites compare equal.
std::unique_ptr<TSuperObject> sampleObject() {
  auto s = std::make_unique<TSuperObject>();
  s->Name = "Hall";
  s->Position = {100, -20, 5.5};
  s->Rotation = {0, 90, -45};
  for (const auto& [kind, tile, stripes] : {std::tuple{2, 300, 0}, {4, 120, 50}, {0, 80, 0}}) {
    s->Mappings.push_back(std::make_unique<TMapping>(0, 0));
    s->Mappings.back()->Build(kind, 12, {stripes, 0, 0, 0, 0}, {RGB(10, 20, 30), RGB(200, 0, 0), 0, 0, 0},
                              tile, tile / 2);
  }
  for (const auto& [name, size, mapping] :
       {std::tuple{"", 0, 2}, {"plain", 10, -1}, {"floor", 400, 0}, {"wall", 50, 2}}) {
    auto e = size == 0 ? test::entityWithEveryStoredField() : std::make_unique<TEntity>();
    if (size > 0) {
      e->Name = name;
      test::addPolygon(*e, test::rectangle(size, size));
    }
    if (mapping >= 0) e->Mapping = s->Mappings[std::size_t(mapping)].get();
    e->Prepare();
    s->Entities.push_back(std::move(e));
  }
  return s;
}

// Where each mapping record and each entity entry of sampleObject's bytes starts, and where E is.
// clang-format off
struct Layout { std::vector<std::size_t> mappingStarts; std::size_t entityCount = 0; std::vector<std::size_t> entityStarts; };
// clang-format on

Layout layoutOf(const TSuperObject& s) {
  Layout l;
  std::size_t at = kHeadSize + 4;
  for (const auto& m : s.Mappings) {
    l.mappingStarts.push_back(at);
    at += bytesOf(*m).size();
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

// The record's bytes, and where entity 1's face count is.
using Version1Record = std::pair<std::vector<std::uint8_t>, std::size_t>;

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
  const Attempt a = load(version1Record().first);
  const TSuperObject& s = *a.object;
  EXPECT_EQ(std::tuple(s.Name, s.Position, s.Rotation),
            std::tuple("Tower", Vector3D{1, 2, 3}, Vector3D{10, 20, 30}));
  ASSERT_EQ(std::pair(s.Mappings.size(), s.Entities.size()), std::pair(std::size_t{1}, std::size_t{2}));
  EXPECT_EQ(std::tuple(s.Mappings[0]->Kind, s.Mappings[0]->TileWidth, s.Mappings[0]->TileHeight),
            std::tuple(3, 100, 60));
  const TEntity& mapped = *s.Entities[0];
  const TEntity& plain = *s.Entities[1];
  EXPECT_EQ(std::tuple(mapped.Mapping, mapped.Value3, mapped.TextureOrigin, mapped.Name, mapped.Faces.size()),
            std::tuple(s.Mappings[0].get(), -9, 0, "NoName", std::size_t{1}))
      << "an origin past the corners is reset by Prepare";
  EXPECT_NE(mapped.Faces[0]->Refs[1].U, 0) << "the mapping was not attached before Prepare";
  EXPECT_EQ(
      std::tuple(plain.Mapping, plain.Value3, plain.TextureOrigin, plain.Faces.size(), plain.Points.size()),
      std::tuple(nullptr, 44, 2, std::size_t{2}, std::size_t{8}));
  EXPECT_EQ(plain.Faces[0]->Refs[1].U, 0);
}

// Every entity has its fields off their defaults, so a field read wrongly is written back differently.
TEST(SuperObject, RoundTripKeepsMappingsEntityOrderAndMappingIndices) {
  const auto bytes = bytesOf(*sampleObject());
  const Attempt a = load(bytes);
  const TSuperObject& s = *a.object;
  EXPECT_EQ(a.mappingsReported, 3);
  ASSERT_EQ(s.Entities.size(), 4u);
  const std::vector<std::optional<std::size_t>> indices{2, std::nullopt, 0, 2};
  for (std::size_t i = 0; i < s.Entities.size(); ++i)
    EXPECT_EQ(s.Entities[i]->Mapping, indices[i] ? s.Mappings[*indices[i]].get() : nullptr) << i;
  EXPECT_EQ(bytesOf(s), bytes) << "a second save differs from the first";
}

// Versions 1 and 2 are read; any other stops after the version word and leaves the object empty. An
// embedded preview (flag 0) is never shown, so it is stepped over chunk by chunk without being decoded:
// anything but an exact step misreads the rest, and data that is no picture loads like any other.
TEST(SuperObject, VersionPreviewAndPlacementFlagsDecideWhatIsRead) {
  // clang-format off
  for (const auto& [version, preview, flag, stopsAt] :
       {std::tuple{2, 1, 0, 0}, {2, 1, 5, 0}, {2, 0, 0, 0}, {2, 0, 1, 0}, {0, 1, 0, 4}, {3, 0, 0, 4}}) {
    // clang-format on
    SCOPED_TRACE(std::to_string(version) + ", preview " + std::to_string(preview) + ", flag " +
                 std::to_string(flag));
    BinaryWriter w;
    for (std::int32_t word : {version, preview})
      w.writeInt32(word);
    if (preview == 0) {
      w.writeInt32(0); // the preview's unused word
      for (std::size_t n : {2048, 2048, 700}) {
        w.writeInt32(static_cast<std::int32_t>(n));
        w.writeBytes(std::vector<std::uint8_t>(n, 0x55));
      }
      w.writeInt32(0);
    }
    for (std::int32_t word : {1, 1, 1, flag})
      w.writeInt32(word);
    if (flag == 0)
      for (double v : {-1.5, 0.0, 7.0, 0.0, 0.0, 180.0})
        w.writeDouble(v);
    w.writeText256("Nothing here");
    w.writeInt32(0); // K
    w.writeInt32(0); // E
    const Attempt a = tryLoad(w.bytes());
    EXPECT_FALSE(a.error);
    EXPECT_EQ(a.stoppedAt, stopsAt ? 4 : w.size());
    const TSuperObject& s = *a.object;
    EXPECT_EQ(s.Name, stopsAt ? "NoName" : "Nothing here");
    EXPECT_EQ(std::pair(s.Position, s.Rotation), flag == 0 && !stopsAt
                                                     ? std::pair(Vector3D{-1.5, 0, 7}, Vector3D{0, 0, 180})
                                                     : std::pair(Vector3D{}, Vector3D{}));
    EXPECT_TRUE(s.Mappings.empty() && s.Entities.empty());
  }
}

// Counts bound the loops and size nothing, so a count beyond the file reads every record that is there
// and fails at the first missing byte; a cut fails where it is and keeps what was read before it.
TEST(SuperObject, DamageFailsWhereItIsAndKeepsWhatWasRead) {
  const auto source = sampleObject();
  const auto valid = bytesOf(*source);
  const Layout l = layoutOf(*source);
  const auto [version1, faceCount] = version1Record();
  // clang-format off
  struct Case {
    const char* name; const std::vector<std::uint8_t>* record;
    std::size_t size; std::optional<std::int32_t> patch; // cut at `size`, or write `patch` at `at`
    std::size_t at, failsAt, mappings, entities; std::string text; };
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  const std::size_t all = SIZE_MAX, e0 = l.entityStarts[0], e2 = l.entityStarts[2],
                    name3 = l.entityStarts[3] + 4;
  const Case cases[] = {
      // clang-format on
      {"cut inside the name", &valid, kHeadSize - 100, {}, 0, kHeadSize - 256, 0, 0, "name needs 256 bytes"},
      {"cut before K", &valid, kHeadSize, {}, 0, kHeadSize, 0, 0, "mapping count"},
      {"cut after mapping 0", &valid, l.mappingStarts[1], {}, 0, l.mappingStarts[1], 1, 0, "mapping 1"},
      {"cut before E", &valid, l.entityCount, {}, 0, l.entityCount, 3, 0, "entity count"},
      {"cut before entity 0", &valid, e0, {}, 0, e0, 3, 0, "entity 0: mapping index"},
      {"cut in entity 3's class name", &valid, name3 + 10, {}, 0, name3, 3, 3, "entity 3: class name"},
      {"K -1", &valid, all, -1, kHeadSize, kHeadSize, 0, 0, "mapping count is negative"},
      {"E -1", &valid, all, -1, l.entityCount, l.entityCount, 3, 0, "entity count is negative"},
      {"E huge", &valid, all, huge, l.entityCount, valid.size(), 3, 4, "entity 4: mapping index"},
      {"version 1 N -3", &version1, all, -3, faceCount, faceCount, 1, 1, "entity 1: face count is negative"},
      {"version 1 N huge", &version1, all, huge, faceCount, version1.size(), 1, 1, "entity 1: face 2"},
      {"mapping index 3", &valid, all, 3, e2, e2, 3, 2, "entity 2: mapping index 3 is outside the 3"},
      {"mapping index max", &valid, all, huge, e2, e2, 3, 2, "mapping index 2147483647 is outside"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = cut(*c.record, std::min(c.size, c.record->size()));
    if (c.patch) test::patchInt32(bytes, c.at, *c.patch);
    const Attempt a = tryLoad(bytes);
    expectErrorAt(a, c.failsAt, c.text);
    EXPECT_EQ(a.object->Mappings.size(), c.mappings);
    EXPECT_EQ(a.mappingsReported, static_cast<int>(c.mappings));
    EXPECT_EQ(a.object->Entities.size(), c.entities);
  }
  // Below 0 an index names no mapping.
  for (std::int32_t index : {-1, std::numeric_limits<std::int32_t>::min()}) {
    auto bytes = valid;
    test::patchInt32(bytes, e2, index);
    const Attempt a = load(bytes);
    ASSERT_EQ(a.object->Entities.size(), 4u);
    EXPECT_EQ(a.object->Entities[2]->Mapping, nullptr) << index;
  }
}

// The file is mapped rather than read: the trailing word is skipped, and a cut file fails where the same
// bytes in memory fail, keeping what was read before the error for the window to show.
TEST(SuperObject, X3DFileFailsWhereItsBytesFailAndKeepsWhatWasRead) {
  test::ScratchDir dir;
  const std::string file = dir.path("model.x3d");
  const auto record = bytesOf(*sampleObject());
  auto withTrailer = record;
  withTrailer.insert(withTrailer.end(), {0xFF, 0xFF, 0xFF, 0x7F});
  for (const auto& bytes : {record, withTrailer}) {
    test::writeBytes(file, bytes);
    int reported = 0;
    EXPECT_EQ(LoadX3D(file, [&] { ++reported; })->Entities.size(), 4u);
    EXPECT_EQ(reported, 3);
  }
  for (std::size_t size = 3; size < record.size(); size += 23) {
    SCOPED_TRACE(size);
    test::writeBytes(file, cut(record, size));
    const Attempt inMemory = tryLoad(cut(record, size), file);
    TSuperObject s;
    try {
      ReadX3D(file, s);
      ADD_FAILURE() << "a cut file loaded";
    } catch (const ReadError& e) {
      if (size < 4)
        EXPECT_EQ(
            std::pair(e.offset(), e.reason()),
            std::pair(std::uint64_t{0}, std::string("x3d: trailing word needs 4 bytes, the file has 3")));
      else
        ASSERT_EQ(std::string(e.what()), inMemory.error->what());
    }
    EXPECT_EQ(std::tuple(s.Mappings.size(), s.Entities.size(), s.Name),
              std::tuple(inMemory.object->Mappings.size(), inMemory.object->Entities.size(),
                         size < 4 ? "NoName" : inMemory.object->Name));
  }
}

} // namespace
} // namespace vorlan
