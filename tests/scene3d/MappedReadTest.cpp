#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <gtest/gtest.h>

#include <optional>

namespace vorlan {
namespace {

std::vector<std::uint8_t> modelBytes() {
  TSuperObject model;
  model.Name = "model";
  model.Entities.push_back(test::entityWithEveryStoredField());
  BinaryWriter F;
  model.SaveToFile(F);
  return F.bytes();
}

// What the reader does with the whole file in memory: the trailing word, then the record.
std::optional<ReadError> errorReadingInMemory(const std::vector<std::uint8_t>& bytes,
                                              const std::string& name) {
  try {
    BinaryCursor F(bytes, name);
    if (F.size() < 4) F.fail("x3d: trailing word needs 4 bytes, the file has " + std::to_string(F.size()));
    F.seek(F.size() - 4, "x3d: trailing word");
    F.readInt32("x3d: trailing word");
    F.seek(0, "x3d: super-object record");
    TSuperObject model;
    model.LoadFromFile(F, ReadPlace("super-object"));
  } catch (const ReadError& error) {
    return error;
  }
  return std::nullopt;
}

std::optional<ReadError> errorReadingFile(const std::string& name) {
  try {
    TSuperObject model;
    ReadX3D(name, model);
  } catch (const ReadError& error) {
    return error;
  }
  return std::nullopt;
}

// The file is mapped rather than read; a cut file must fail at the same byte with the same words.
TEST(MappedRead, CutFileFailsWhereTheBytesInMemoryFail) {
  const std::vector<std::uint8_t> whole = modelBytes();
  const test::ScratchDir dir;
  const std::string name = dir.path("cut.x3d");
  for (std::size_t size = 0; size <= whole.size(); size += 23) {
    SCOPED_TRACE(size);
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    test::writeBytes(name, cut);
    const std::optional<ReadError> expected = errorReadingInMemory(cut, name);
    const std::optional<ReadError> actual = errorReadingFile(name);
    ASSERT_EQ(expected.has_value(), actual.has_value());
    if (!expected) continue;
    ASSERT_EQ(expected->offset(), actual->offset());
    ASSERT_EQ(std::string(expected->what()), actual->what());
  }
}

} // namespace
} // namespace vorlan
