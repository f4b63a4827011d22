#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>

#include "ui/progress_format.h"

namespace coffer {
namespace {

TEST(FormatTime, TableOfSeconds) {
  const struct {
    int64_t seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00"},       {-1, "00:00:00"},      {-86400, "00:00:00"},
      {1, "00:00:01"},       {59, "00:00:59"},      {60, "00:01:00"},
      {3599, "00:59:59"},    {3600, "01:00:00"},    {3661, "01:01:01"},
      {36000, "10:00:00"},   {86399, "23:59:59"},   {360000, "100:00:00"},
      {360000 + 3599, "100:59:59"},
      {int64_t{1} << 40, "305419896:36:16"},  // no wrap at 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTime(c.seconds), c.text) << c.seconds;
}

TEST(FormatSize, TableOfBytes) {
  const struct {
    int64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 B"},
      {1, "1 B"},
      {1018, "1018 B"},         // 0.994 KB rounds to 0.99
      {1023, "1 KB"},           // 0.999 KB rounds to 1
      {1024, "1 KB"},
      {524288, "512 KB"},
      {1023000, "999.02 KB"},
      {1048576, "1 MB"},
      {1610612736, "1.5 GB"},
      {1073741824, "1 GB"},
      {5000000000, "4.66 GB"},
      {1068373114, "1018.88 MB"},  // 0.99499999 GB rounds to 0.99
      {1068373115, "1 GB"},        // 0.99500000 GB rounds to 1
      // Ties on the exact quotient go to the even hundredth.
      {128, "128 B"},           // 0.125 KB -> 0.12
      {1152, "1.12 KB"},        // 1.125 -> 1.12
      {1408, "1.38 KB"},        // 1.375 -> 1.38
      {1179648, "1.12 MB"},
      {1207959552, "1.12 GB"},
      {1207959553, "1.13 GB"},  // just above the tie
      {1100, "1.07 KB"},        // 1.07421875: no tie, plain rounding
      {std::numeric_limits<int64_t>::max(), "8589934592 GB"},
      {-1024, "-1 KB"},
      {-5, "-5 B"},
      {std::numeric_limits<int64_t>::min(), "-8589934592 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes, "."), c.text) << c.bytes;
}

TEST(FormatSize, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(FormatSize(1610612736, ","), "1,5 GB");
  EXPECT_EQ(FormatSize(1023000, "\xd9\xab"), "999\xd9\xab" "02 KB");  // Arabic decimal separator
  EXPECT_EQ(FormatSize(524288, ","), "512 KB");
}

TEST(FormatSize, ConvenienceFollowsTheNumericLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  EXPECT_EQ(UserDecimalSeparator(), ".");
  EXPECT_EQ(FormatSize(1610612736), "1.5 GB");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace coffer
