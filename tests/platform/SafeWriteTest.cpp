#include "platform/FileBytes.h"
#include "platform/ReadError.h"

#include "support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vorlan {
namespace {

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  return bytes;
}

QStringList entriesOf(const std::string& folder) {
  return QDir(QString::fromStdString(folder))
      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Saving a bigger picture over an older one when the write fails halfway: the old file must stay
// whole, no temporary file may be left beside it, and the message must give the system's reason.
void expectFailedSaveKeepsOldFile(const std::string& folder, std::size_t newSize, const char* reason,
                                  const std::function<void()>& around = {}) {
  const std::string target = folder + "/view.jpg";
  const std::vector<std::uint8_t> old = pattern(20000, 1);
  writeFileBytes(target, old);
  try {
    writeFileBytes(target, pattern(newSize, 2));
    ADD_FAILURE() << "the save reported success";
  } catch (const ReadError& e) {
    EXPECT_EQ(e.fileName(), target);
    EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
  }
  if (around) around();
  EXPECT_EQ(readFileBytes(target), old);
  EXPECT_EQ(entriesOf(folder), QStringList{"view.jpg"});
}

// A file-size limit makes the system refuse the write part way, as a full disk does, without root.
TEST(SafeWrite, AWriteCutShortLeavesTheOldFileWhole) {
  test::ScratchDir dir;
  const std::string folder = dir.path("saves");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  expectFailedSaveKeepsOldFile(folder, 360 * 1024, "File too large");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
}

TEST(SafeWrite, AFolderThatCannotTakeTheFileSaysWhy) {
  test::ScratchDir dir;
  try {
    writeFileBytes(dir.path("missing/view.bmp"), pattern(10, 0));
    FAIL() << "no error";
  } catch (const ReadError& e) {
    EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
  }
  if (geteuid() == 0) return; // root writes into any folder
  const std::string folder = dir.path("locked");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  writeFileBytes(folder + "/view.jpg", pattern(100, 0));
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  try {
    writeFileBytes(folder + "/view.jpg", pattern(10, 0));
    ADD_FAILURE() << "no error";
  } catch (const ReadError& e) {
    EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
  }
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(readFileBytes(folder + "/view.jpg"), pattern(100, 0));
}

// A real full disk: a small tmpfs, which only root can mount.
TEST(SafeWrite, AFullDiskLeavesTheOldFileWhole) {
  test::ScratchDir dir;
  const std::string folder = dir.path("disk");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  if (geteuid() != 0 || mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=128k") != 0)
    GTEST_SKIP() << "mounting a tmpfs needs root";
  expectFailedSaveKeepsOldFile(folder, 360 * 1024, "No space left on device");
  EXPECT_EQ(umount(folder.c_str()), 0);
}

} // namespace
} // namespace vorlan
