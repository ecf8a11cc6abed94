#include "platform/BinaryCursor.h"
#include "platform/FileBytes.h"
#include "platform/MappedFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vorlan {
namespace {

// Kilobytes of the mapping that holds `p` which are in this process's memory, from /proc/self/smaps.
std::size_t residentKbOfMappingAt(const void* p) {
  const auto address = reinterpret_cast<std::uintptr_t>(p);
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t start = 0, end = 0;
    char dash = 0;
    if (std::istringstream(line) >> std::hex >> start >> dash >> end && dash == '-')
      inside = start <= address && address < end;
    else if (inside && line.starts_with("Rss:"))
      return std::stoul(line.substr(4));
  }
  return 0;
}

// A big file read once from start to end through a cursor that lets go of what it passed holds only
// the last few megabytes; bytes read again after their pages went are still the file's.
TEST(MappedFile, ReadingThroughLetsThePassedPagesGoAndRereadsThemFromTheFile) {
  constexpr std::size_t kSize = 48 << 20, kRecord = 4096;
  std::vector<std::uint8_t> bytes(kSize);
  for (std::size_t i = 0; i < kSize; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
  test::ScratchDir dir;
  writeFileBytes(dir.path("big.bin"), bytes);

  const MappedFile file(dir.path("big.bin"));
  BinaryCursor F(file, "big.bin");
  std::size_t peakKb = 0, byteSum = 0;
  for (; !F.atEnd(); F.releasePassed()) {
    byteSum += F.readBytes(kRecord, "record")[0];
    if (F.offset() % (1 << 20) == 0) peakKb = std::max(peakKb, residentKbOfMappingAt(file.bytes().data()));
  }
  EXPECT_GT(peakKb, 4u << 10) << "the pages read (byte sum " << byteSum << ") were never resident";
  EXPECT_LT(peakKb, 20u << 10) << "the passed pages stayed in memory";
  for (std::size_t offset : {std::size_t{0}, kSize / 3, kSize - 64}) {
    F.seek(offset, "again");
    EXPECT_TRUE(std::ranges::equal(F.readBytes(64, "again"), std::span(bytes).subspan(offset, 64))) << offset;
  }
}

} // namespace
} // namespace vorlan
