#include "fuzz/Harnesses.h"

#include "platform/FileBytes.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace vorlan::fuzz {
namespace {

// Every input that ever made a reader crash, hang or run away is kept here, one folder per harness.
const QString kRegressions = QStringLiteral(VORLAN_FUZZ_REGRESSIONS);

// Any file under 1 MB must open, or fail with its one error, in under 2 s and 1 GB. This is a guard
// against a return of the old faults (minutes, gigabytes), not a timing test: the bounds are ten
// times the contract for time and four times for memory, which sanitizer builds also stay under.
constexpr double kCpuSecondsGuard = 20;
constexpr long kPeakKilobytesGuard = 4L << 20;

double cpuSeconds(const rusage& usage) {
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

rusage usageNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage;
}

TEST(FuzzRegressions, EveryKeptInputLoadsOrFailsWithOurErrorWithinTheContract) {
  int replayed = 0;
  for (const std::string_view harness : HarnessNames()) {
    const QDir folder(kRegressions + QLatin1Char('/') + QString::fromUtf8(harness.data(), harness.size()));
    for (const QString& name : folder.entryList(QDir::Files)) {
      const std::string path = folder.filePath(name).toStdString();
      SCOPED_TRACE(path);
      const std::vector<std::uint8_t> bytes = readFileBytes(path);
      ASSERT_LT(bytes.size(), 1u << 20) << "the contract covers files under 1 MB";
      const rusage before = usageNow();
      EXPECT_NO_THROW(RunHarness(harness, bytes));
      const rusage after = usageNow();
      EXPECT_LT(cpuSeconds(after) - cpuSeconds(before), kCpuSecondsGuard);
      EXPECT_LT(after.ru_maxrss, kPeakKilobytesGuard);
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no regression inputs under " << kRegressions.toStdString();
}

} // namespace
} // namespace vorlan::fuzz
