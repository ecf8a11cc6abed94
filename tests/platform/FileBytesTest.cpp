#include "platform/FileBytes.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vorlan {
namespace {

TEST(FileBytes, UpperExtensionTakesTheLastDotOfTheNamePart) {
  // clang-format off
  for (const auto& [name, extension] : {std::pair{"a.cam", ".CAM"}, {"dir.v2/noext", ""}, {"dir.v2\\noext", ""},
                                        {"/x/y.tar.x3d", ".X3D"}, {"ümlaut.bmp", ".BMP"}}) {
    // clang-format on
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
    std::ranges::generate(bytes, [i = 0]() mutable { return static_cast<std::uint8_t>(7 * i++); });
    writeFileBytes(dir.path("f.bin"), bytes);
    EXPECT_EQ(readFileBytes(dir.path("f.bin")), bytes);
  }
}

} // namespace
} // namespace vorlan
