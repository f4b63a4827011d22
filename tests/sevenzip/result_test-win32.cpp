// Result texts on Windows: the system's own message for the code, without
// its final full stop and line break.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "sevenzip/result.h"
#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {
namespace {

std::string SystemsOwnText(uint32_t code) {
  wchar_t buffer[256];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                 buffer, 256, nullptr);
  return Narrow(std::wstring_view(buffer, n));
}

TEST(ResultCodes, WindowsTextsAreTheSystemsOwnWithoutTheFinalStop) {
  for (uint32_t code : {0x80004005u, 0x8007000Eu, 0x80070057u, 0x80070002u}) {
    const std::string own = SystemsOwnText(code);
    ASSERT_FALSE(own.empty()) << std::hex << code;
    const std::string text = SystemMessage(static_cast<int32_t>(code));
    EXPECT_FALSE(text.empty()) << std::hex << code;
    EXPECT_TRUE(own.starts_with(text)) << own << " / " << text;
    EXPECT_NE(text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');
  }
}

}  // namespace
}  // namespace coffer::sevenzip
