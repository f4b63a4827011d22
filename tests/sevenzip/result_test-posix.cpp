// Result texts on Linux, which keeps none for these codes: our table
// stands in, and both errno forms give the errno's text.
#include <gtest/gtest.h>

#include <cstring>

#include "sevenzip/result.h"

namespace coffer::sevenzip {
namespace {

TEST(ResultCodes, LinuxTextsComeFromOurTableAndEitherErrnoForm) {
  const struct {
    uint32_t code;
    std::string text;
  } cases[] = {
      {0x80004005, "Unspecified error"},
      {0x8007000E, "Not enough memory resources are available to complete this operation"},
      {0x80070057, "The parameter is incorrect"},
      {0x80070000 | ENOENT, std::strerror(ENOENT)},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemMessage(static_cast<int32_t>(c.code)), c.text) << std::hex << c.code;
}

}  // namespace
}  // namespace coffer::sevenzip
