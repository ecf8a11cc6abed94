#include "platform/FileBytes.h"
#include "platform/ReadError.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

TEST(FileBytes, UpperExtensionTakesTheLastDotOfTheNamePart) {
  struct Case {
    const char* name;
    const char* extension;
  };
  for (auto [name, extension] : {Case{"a.cam", ".CAM"}, Case{"dir.v2/noext", ""}, Case{"dir.v2\\noext", ""},
                                 Case{"/x/y.tar.x3d", ".X3D"}, Case{"ümlaut.bmp", ".BMP"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(upperExtension(name), extension);
  }
}

TEST(FileBytes, FilesAreOpenedReadOnly) {
  // Nobody, not even root, may open this file for writing, so only a read-only open succeeds;
  // it also reports no size in advance.
  const auto bytes = readFileBytes("/sys/devices/system/cpu/online");
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.front(), '0');
}

TEST(FileBytes, WholeFilesComeBackByteForByte) {
  test::ScratchDir dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{100001}}) {
    SCOPED_TRACE(size);
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
      bytes[i] = static_cast<std::uint8_t>(i * 7);
    writeFileBytes(dir.path("f.bin"), bytes);
    EXPECT_EQ(readFileBytes(dir.path("f.bin")), bytes);
  }
}

TEST(FileBytes, AMissingFileIsAReadErrorNamingIt) {
  test::ScratchDir dir;
  const std::string name = dir.path("gone.cam");
  EXPECT_FALSE(fileExists(name));
  try {
    readFileBytes(name);
    FAIL() << "no error";
  } catch (const ReadError& e) {
    EXPECT_EQ(e.fileName(), name);
    EXPECT_NE(std::string(e.what()).find("gone.cam"), std::string::npos);
  }
}

} // namespace
} // namespace vorlan
