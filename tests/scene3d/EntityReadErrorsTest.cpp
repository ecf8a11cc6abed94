#include "SceneFixtures.h"

#include "platform/BinaryWriter.h"
#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlan {
namespace {

std::size_t faceRecordSize(const TFace& face) {
  BinaryWriter w;
  face.SaveToFile(w);
  return w.size();
}

void expectErrorAt(const test::LoadAttempt& attempt, std::size_t offset, const std::string& text) {
  ASSERT_TRUE(attempt.error) << "no error";
  EXPECT_EQ(attempt.error->offset(), offset) << attempt.error->what();
  EXPECT_NE(std::string(attempt.error->what()).find(text), std::string::npos) << attempt.error->what();
}

TEST(EntityReadErrors, CutAnywhereFailsAtOrBeforeTheCutAndKeepsTheFacesBeforeTheError) {
  const auto original = test::entityWithEveryStoredField();
  const auto bytes = test::savedBytes(*original);
  std::vector<std::size_t> faceEnds;
  std::size_t end = test::kFirstFaceOffset;
  for (const auto& face : original->Faces)
    faceEnds.push_back(end += faceRecordSize(*face));

  for (std::size_t cut = test::kClassNameSize; cut < bytes.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const test::LoadAttempt attempt = test::tryLoadEntity(
        std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    ASSERT_TRUE(attempt.error);
    EXPECT_LE(attempt.error->offset(), cut);
    EXPECT_EQ(attempt.error->fileName(), "fixture.cam");
    for (std::size_t k = 0; k < faceEnds.size() && faceEnds[k] <= attempt.error->offset(); ++k) {
      ASSERT_GT(attempt.entity->Faces.size(), k);
      EXPECT_EQ(attempt.entity->Faces[k]->Refs.size(), original->Faces[k]->Refs.size()) << "face " << k;
    }
  }
}

TEST(EntityReadErrors, NegativeAndAbsurdCountsFailAtTheCount) {
  TEntity source;
  test::addContourFace(source, {test::rectangle(1, 1)});
  const auto valid = test::savedBytes(source);
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  // clang-format off
  // counts: a negative contour count means none; over 50 marked faces: below
  struct Field { const char* name; std::size_t offset; std::vector<std::int32_t> counts; };
  const std::size_t markedCount = valid.size() - 20 - 4;
  for (const auto& [name, offset, counts] :
       {Field{"face count", test::kFaceCountOffset, {-1, huge}},
        Field{"face 0: contour count", test::kFirstFaceOffset + 51, {huge}},
        Field{"marked face count", markedCount, {-1}}}) {
    // clang-format on
    for (const std::int32_t count : counts) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(count));
      auto bytes = valid;
      test::patchInt32(bytes, offset, count);
      const auto attempt = test::tryLoadEntity(bytes);
      expectErrorAt(attempt, offset, name);
      EXPECT_TRUE(offset != test::kFaceCountOffset || attempt.entity->Faces.capacity() == 0) << "reserved";
    }
  }
}

// The marked list ends the record: an index outside the faces fails at itself and a 51st entry fails
// after the fiftieth; the entries before the error are kept and mark their faces.
TEST(EntityReadErrors, MarkedFacesOutsideTheFacesOrBeyondFiftyFailAtTheEntry) {
  TEntity source;
  for (int i = 0; i < 4; ++i)
    test::addPolygon(source, test::shifted(test::rectangle(1, 1), {double(i), 0, 0}));
  source.MarkedFaces.assign(kMaxMarkedFaces, 1);
  const auto valid = test::savedBytes(source);
  const std::size_t last = valid.size() - 20 - 4, countOffset = last - 4 * kMaxMarkedFaces;
  for (std::int32_t index : {4, -1, std::numeric_limits<std::int32_t>::min()}) {
    SCOPED_TRACE(index);
    auto bytes = valid;
    test::patchInt32(bytes, last, index);
    const auto attempt = test::tryLoadEntity(bytes);
    expectErrorAt(attempt, last,
                  "marked face 49: face index " + std::to_string(index) + " is outside the 4 faces");
    EXPECT_EQ(attempt.entity->MarkedFaces, std::vector<std::int32_t>(kMaxMarkedFaces - 1, 1));
  }
  auto bytes = valid;
  test::patchInt32(bytes, countOffset, 51);
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(last + 4), 4, 0);
  const auto attempt = test::tryLoadEntity(bytes);
  expectErrorAt(attempt, last + 4, "marked face count 51 is more than 50");
  EXPECT_EQ(attempt.entity->MarkedFaces.size(), kMaxMarkedFaces);
  EXPECT_TRUE(attempt.entity->Faces[1]->Marked && !attempt.entity->Faces[0]->Marked);
}

} // namespace
} // namespace vorlan
