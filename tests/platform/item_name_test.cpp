// The Windows rule for item paths below an output folder: a pure function,
// checked on every build.
#include <gtest/gtest.h>

#include "platform/item_name.h"

namespace coffer {
namespace {

TEST(WindowsItemName, AcceptsOnlyNamesThatStayInsideAndMeanWhatTheySay) {
  const struct {
    std::string_view path;
    bool safe;
  } cases[] = {
      // Plain names, in either separator, and names that only look special.
      {"a.txt", true}, {"a/b/c.txt", true}, {"a\\b\\c.txt", true}, {"a/b\\c", true}, {"..a/b..c", true},
      {".hidden", true}, {"CONSOLE", true}, {"CON1", true}, {"COM10", true}, {"LPT", true}, {"NULL.txt", true},
      {"mycon.txt", true}, {"xCOM1", true}, {" lead", true}, {"\xE6\x97\xA5\xE6\x9C\xAC.txt", true},
      // Absolute: a leading separator, a UNC share, the long-path prefixes.
      {"\\", false}, {"/a", false}, {"\\a", false}, {"\\\\server\\share\\a", false}, {"\\\\?\\C:\\a", false},
      {"\\\\.\\pipe\\x", false}, {"//server/share", false},
      // A drive, with or without a root, and alternate data streams.
      {"C:\\Windows", false}, {"C:/x", false}, {"C:x", false}, {"c:", false}, {"a.txt:evil", false},
      {"a/b.txt::$DATA", false},
      // Climbing in either separator, and empty or dot components.
      {"..", false}, {"..\\x", false}, {"../x", false}, {"a\\..\\..\\x", false}, {"a/../b", false},
      {"a\\..", false}, {".", false}, {".\\a", false}, {"a//b", false}, {"a\\\\b", false}, {"a/", false},
      {"a\\", false}, {"", false},
      // Reserved devices, any case, any extension, any folder depth.
      {"CON", false}, {"con", false}, {"Prn.txt", false}, {"aux.tar.gz", false}, {"NUL", false},
      {"a/nul.txt", false}, {"a\\COM1", false}, {"com9.log", false}, {"COM0", false}, {"lpt1", false},
      {"LPT9.x", false}, {"NUL .txt", false}, {"COM\xC2\xB9", false}, {"lpt\xC2\xB3.txt", false},
      {"CONIN$", false}, {"conout$.x", false}, {"con/a.txt", false},
      // Names Windows would shorten: a final dot or space.
      {"a.", false}, {"a ", false}, {"dir./a", false}, {"dir /a", false}, {"...", false},
      // Characters Windows refuses in names, and NUL bytes.
      {"a<b", false}, {"a>b", false}, {"a\"b", false}, {"a|b", false}, {"a?b", false}, {"*.txt", false},
      {"a\tb", false}, {"a\x1F", false}, {std::string_view("a\0b", 3), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafeWindowsItemPath(c.path), c.safe) << c.path;
}

}  // namespace
}  // namespace coffer
