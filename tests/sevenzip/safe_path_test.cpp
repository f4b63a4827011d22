// Item paths joined below a folder, the same on every system: parents
// made on demand, unsafe paths refused before anything is touched. What
// differs (the rule itself, links, the system's reasons) is in
// safe_path_test-<system>.cpp.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/safe_path.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::ScratchDir;

TEST(SafePath, CreatesTheFolderParentsAndFile) {
  ScratchDir dir;
  const std::string base = dir / "new/base";  // missing: made on demand
  CreateFileBelow(base, "x/y/z.txt")->Write("hi", 2);
  EXPECT_EQ(test::ReadFile(base + "/x/y/z.txt"), "hi");
  CreateFoldersBelow(base, "p/q");
  EXPECT_TRUE(ExistsBelow(base, "p/q"));
  EXPECT_TRUE(ExistsBelow(base + "/", "x/y/z.txt"));
  EXPECT_FALSE(ExistsBelow(base, "x/nothing"));
  EXPECT_FALSE(ExistsBelow(base, "../base/x/y/z.txt"));
  EXPECT_FALSE(ExistsBelow(dir / "absent", "x"));
  // An existing file is truncated.
  CreateFileBelow(base, "x/y/z.txt")->Write("!", 1);
  EXPECT_EQ(test::ReadFile(base + "/x/y/z.txt"), "!");
}

TEST(SafePath, RefusesUnsafePathsBeforeTouchingAnything) {
  ScratchDir dir;
  for (const char* rel : {"../out.txt", "/tmp/abs.txt", "a/../../b", "a//b"}) {
    EXPECT_THROW(CreateFileBelow(dir / "base", rel), Error) << rel;
    EXPECT_THROW(CreateFoldersBelow(dir / "base", rel), Error) << rel;
  }
  EXPECT_EQ(test::TreeEntries(dir.path()), (std::vector<std::string>{"base"}));
}

}  // namespace
}  // namespace coffer
