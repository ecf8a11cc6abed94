#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlan {
namespace {

std::vector<std::uint8_t> bytesOf(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values)
    out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

TEST(BinaryCursor, ReadsLittleEndianFieldsInSequence) {
  BinaryWriter w;
  w.writeInt32(-2);
  w.writeDouble(1.5);
  w.writeByte(200);
  w.writeBool(true);
  w.writeText256("TEntity");
  w.writeLString("Layer 1");
  BinaryCursor c(w.bytes(), "a.cam");
  EXPECT_EQ(c.readInt32("i"), -2);
  EXPECT_EQ(c.readDouble("d"), 1.5);
  EXPECT_EQ(c.readByte("b"), 200);
  EXPECT_TRUE(c.readBool("flag"));
  EXPECT_EQ(c.readText256("class name"), "TEntity");
  EXPECT_EQ(c.readLString("layer name"), "Layer 1");
  EXPECT_TRUE(c.atEnd());
}

TEST(BinaryCursor, OnlyOneIsTrue) {
  const auto bytes = bytesOf({0, 1, 2, 255});
  BinaryCursor c(bytes, "f");
  EXPECT_FALSE(c.readBool("0"));
  EXPECT_TRUE(c.readBool("1"));
  EXPECT_FALSE(c.readBool("2"));
  EXPECT_FALSE(c.readBool("255"));
}

TEST(BinaryCursor, Text256WithoutNulKeepsAll256Characters) {
  std::vector<std::uint8_t> bytes(256, 'a');
  BinaryCursor c(bytes, "f");
  EXPECT_EQ(c.readText256("name").size(), 256u);
}

TEST(BinaryCursor, Text256IgnoresBytesAfterTheNul) {
  std::vector<std::uint8_t> bytes(256, 'x');
  bytes[3] = 0;
  BinaryCursor c(bytes, "f");
  EXPECT_EQ(c.readText256("name"), "xxx");
  EXPECT_EQ(c.offset(), 256u);
}

TEST(BinaryCursor, ShortReadNamesFileOffsetAndField) {
  const auto bytes = bytesOf({1, 0, 0, 0, 7, 7});
  BinaryCursor c(bytes, "scene.cam");
  c.readInt32("version");
  try {
    c.readInt32("content kind");
    FAIL() << "no error";
  } catch (const ReadError& e) {
    EXPECT_EQ(e.offset(), 4u);
    EXPECT_EQ(e.fileName(), "scene.cam");
    EXPECT_STREQ(e.what(),
                 "scene.cam: offset 4: read beyond end of file: content kind needs 4 bytes, 2 left");
  }
  EXPECT_EQ(c.offset(), 4u) << "a failed read consumes nothing";
}

TEST(BinaryCursor, CountsAreCheckedAgainstTheBytesLeft) {
  struct Case {
    std::int32_t count;
    std::size_t recordSize;
    bool accepted;
  };
  // 4 bytes of count, then 40 bytes of records.
  for (auto [count, recordSize, accepted] :
       {Case{0, 8, true}, Case{5, 8, true}, Case{6, 8, false}, Case{-1, 8, false},
        Case{std::numeric_limits<std::int32_t>::max(), 8, false},
        Case{std::numeric_limits<std::int32_t>::min(), 1, false}, Case{40, 1, true}, Case{41, 1, false}}) {
    SCOPED_TRACE(count);
    BinaryWriter w;
    w.writeInt32(count);
    w.writeZeros(40);
    BinaryCursor c(w.bytes(), "f");
    if (accepted) {
      EXPECT_EQ(c.readCount(recordSize, "faces"), static_cast<std::size_t>(count));
    } else {
      try {
        c.readCount(recordSize, "faces");
        ADD_FAILURE() << "count accepted";
      } catch (const ReadError& e) {
        EXPECT_EQ(e.offset(), 0u) << "the error points at the count itself";
      }
    }
  }
}

TEST(BinaryCursor, LStringNeedsRoomForItsNul) {
  for (std::int32_t n : {0, -5, 1000}) {
    SCOPED_TRACE(n);
    BinaryWriter w;
    w.writeInt32(n);
    w.writeBytes(bytesOf({'a', 0}));
    BinaryCursor c(w.bytes(), "f");
    EXPECT_THROW(c.readLString("text"), ReadError);
  }
}

TEST(BinaryWriter, Text256TruncatesTo255CharactersAndANul) {
  BinaryWriter w;
  w.writeText256(std::string(300, 'q'));
  ASSERT_EQ(w.size(), 256u);
  EXPECT_EQ(w.bytes()[254], 'q');
  EXPECT_EQ(w.bytes()[255], 0);
}

} // namespace
} // namespace vorlan
