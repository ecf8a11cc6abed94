#include "platform/Numbers.h"

#include <QLocale>
#include <QString>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace vorlan {
namespace {

TEST(Numbers, RoundTakesHalvesToEvenAndTruncGoesTowardZero) {
  // clang-format off
  for (const auto& [in, rounded, truncated] : {std::tuple{0.5, 0, 0}, {1.5, 2, 1}, {2.5, 2, 2}, {-1.5, -2, -1},
                                               {-2.5, -2, -2}, {2.5001, 3, 2}, {-2.7, -3, -2}}) {
    // clang-format on
    SCOPED_TRACE(in);
    EXPECT_EQ(Round(in), rounded);
    EXPECT_EQ(Trunc(in), truncated);
  }
}

// The test programs run with LC_ALL=de_DE.UTF-8, like a German user: the application keeps a decimal
// point, and formatGeneral ignores a German C locale even when one is set.
TEST(Numbers, DecimalPointsUnderAGermanLocale) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 1234.5);
  EXPECT_STREQ(text, "1234.50");
  EXPECT_EQ(QLocale().toString(0.5), "0.5");
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "the German locale must be installed";
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1,5") << "the locale is really in force";
  EXPECT_EQ(formatGeneral(1234.567, 5), "1234.6");
  EXPECT_EQ(formatGeneral(-0.5, 5), "-0.5");
  EXPECT_EQ(formatGeneral(0.000123456, 5), "0.00012346");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
} // namespace vorlan
