#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

TEST(CommandLine, FilesHelpVersionAndUsageErrors) {
  struct Case {
    QStringList arguments;
    bool exit;
    int exitCode;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {{"vorlancam"}, false, 0, {}},
      {{"vorlancam", "a.cam", "b dir/c.x3d"}, false, 0, {"a.cam", "b dir/c.x3d"}},
      {{"vorlancam", "--help"}, true, 0, {}},
      {{"vorlancam", "--version"}, true, 0, {}},
      {{"vorlancam", "--no-such-option"}, true, 2, {}},
      {{"vorlancam", "--", "--odd-name.bmp"}, false, 0, {"--odd-name.bmp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const TCommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.Exit, c.exit);
    EXPECT_EQ(parsed.ExitCode, c.exitCode);
    EXPECT_EQ(parsed.Files, c.files);
    if (c.exit) {
      EXPECT_FALSE(parsed.Message.empty());
    }
  }
}

} // namespace
} // namespace vorlan
