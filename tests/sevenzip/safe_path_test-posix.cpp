// Item paths below a folder on Linux: the rule (a backslash is an ordinary
// character here), and that no symbolic link in the target tree is ever
// followed out of it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "platform/safe_path.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::ScratchDir;

TEST(SafePath, AcceptsOnlyPathsThatStayInside) {
  const struct {
    std::string_view path;
    bool safe;
  } cases[] = {
      {"a.txt", true}, {"a/b/c.txt", true}, {"..a/b..", true}, {".hidden", true}, {"a\\..\\b", true},
      {"", false}, {"/etc/passwd", false}, {"..", false}, {"../x", false}, {"a/../../x", false},
      {"a/..", false}, {".", false}, {"./a", false}, {"a/./b", false}, {"a//b", false}, {"a/", false},
      {std::string_view("a\0b", 3), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafeItemPath(c.path), c.safe) << c.path;
}

TEST(SafePath, NeverFollowsALinkBelowTheFolder) {
  ScratchDir dir;
  const std::string base = dir / "base/";
  const std::string elsewhere = dir / "elsewhere/";
  test::WriteFile(elsewhere + "target.txt", "keep");
  test::WriteFile(base + "real/file.txt", "");
  ASSERT_EQ(symlink(elsewhere.c_str(), (base + "dirlink").c_str()), 0);
  ASSERT_EQ(symlink((elsewhere + "target.txt").c_str(), (base + "filelink").c_str()), 0);
  ASSERT_EQ(symlink("../../elsewhere", (base + "real/up").c_str()), 0);

  for (const char* rel : {"dirlink/new.txt", "filelink", "real/up/new.txt", "dirlink/a/b.txt"}) {
    try {
      CreateFileBelow(base, rel);
      ADD_FAILURE() << rel << " was created";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("symbolic link"), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(CreateFoldersBelow(base, "dirlink/sub"), Error);
  EXPECT_THROW(CreateFoldersBelow(base, "dirlink"), Error);
  EXPECT_TRUE(ExistsBelow(base, "filelink"));       // the link itself is there
  EXPECT_FALSE(ExistsBelow(base, "dirlink/target.txt"));  // not through it
  EXPECT_EQ(test::TreeEntries(elsewhere), (std::vector<std::string>{"target.txt"}));
  EXPECT_EQ(test::ReadFile(elsewhere + "target.txt"), "keep");
}

TEST(SafePath, AFileWhereAFolderMustBeFailsWithTheSystemsReason) {
  ScratchDir dir;
  test::WriteFile(dir / "base/sub", "a file");
  try {
    CreateFileBelow(dir / "base", "sub/x.txt");
    FAIL() << "created";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(dir / "base/sub"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOTDIR)), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace coffer
