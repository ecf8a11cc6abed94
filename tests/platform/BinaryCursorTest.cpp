#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace vorlan {
namespace {

TEST(BinaryCursor, ReadsWhatTheWriterWrote) {
  BinaryWriter w;
  w.writeInt32(-2);
  w.writeDouble(1.5);
  w.writeByte(200);
  w.writeBool(true);
  w.writeByte(2); // not a true bool: only 1 is
  w.writeText256(std::string(300, 'q'));
  w.writeLString("Layer 1");
  BinaryCursor c(w.bytes(), "a.cam");
  EXPECT_EQ(c.readInt32("i"), -2);
  EXPECT_EQ(c.readDouble("d"), 1.5);
  EXPECT_EQ(c.readByte("b"), 200);
  EXPECT_TRUE(c.readBool("flag"));
  EXPECT_FALSE(c.readBool("flag"));
  EXPECT_EQ(c.readText256("class name"), std::string(255, 'q')) << "255 characters and a NUL";
  EXPECT_EQ(c.readLString("layer name"), "Layer 1");
  EXPECT_TRUE(c.atEnd());

  EXPECT_EQ(BinaryCursor(std::vector<std::uint8_t>(256, 'x'), "f").readText256("name").size(), 256u);
}

TEST(BinaryCursor, AFailedReadNamesFileOffsetAndFieldAndConsumesNothing) {
  const std::vector<std::uint8_t> bytes{1, 0, 0, 0, 7, 7};
  using Read = std::function<void(BinaryCursor&)>;
  for (const auto& [read, message] :
       {std::pair<Read, const char*>{
            [](BinaryCursor& c) { c.readInt32("content kind"); },
            "scene.cam: offset 4: read beyond end of file: content kind needs 4 bytes, 2 left"},
        {[](BinaryCursor& c) { c.seek(7, "pixels"); },
         "scene.cam: offset 4: seek beyond end of file: pixels at 7 of 6 bytes"}}) {
    SCOPED_TRACE(message);
    BinaryCursor c(bytes, "scene.cam");
    c.readInt32("version");
    try {
      read(c);
      ADD_FAILURE() << "no error";
    } catch (const ReadError& e) {
      EXPECT_EQ(e.offset(), 4u);
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(c.offset(), 4u);
  }
  BinaryCursor c(bytes, "scene.cam");
  c.seek(6, "end");
  EXPECT_TRUE(c.atEnd());
}

TEST(BinaryCursor, CountsAreCheckedAgainstTheBytesLeft) {
  // 4 bytes of count, then 40 bytes of records.
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  // clang-format off
  for (const auto& [count, recordSize, accepted] : {std::tuple{0, 8u, true}, {5, 8u, true}, {6, 8u, false},
                                                    {-1, 8u, false}, {huge, 8u, false}, {40, 1u, true}, {41, 1u, false}}) {
    // clang-format on
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
    w.writeBytes(std::vector<std::uint8_t>{'a', 0});
    BinaryCursor c(w.bytes(), "f");
    EXPECT_THROW(c.readLString("text"), ReadError);
  }
}

} // namespace
} // namespace vorlan
