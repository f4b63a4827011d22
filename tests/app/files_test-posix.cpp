#include "app/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/debug.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Exists;
using test::ScratchDir;
using test::TreeEntries;
using test::WriteFile;

// Names differing in case only are two files here: the exact name goes
// first, and only that one.
TEST(RemoveProbeItem, TakesTheExactNameFirst) {
  std::string upper = kProbeItemName;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ScratchDir dir;
  WriteFile(dir / kProbeItemName, "p");
  WriteFile(dir / upper, "p");
  RemoveProbeItem(dir.path());
  EXPECT_EQ(TreeEntries(dir.path()), std::vector<std::string>{upper});
}

TEST(RemoveTree, RemovesLinksWithoutFollowingThem) {
  ScratchDir dir;
  WriteFile(dir / "outside/precious", "keep");
  WriteFile(dir / "work/f", "x");
  ASSERT_EQ(::symlink((dir / "outside").c_str(), (dir / "work/link-to-folder").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "outside/precious").c_str(), (dir / "work/link-to-file").c_str()), 0);
  EXPECT_TRUE(RemoveTree(dir / "work/"));
  EXPECT_FALSE(Exists(dir / "work"));
  EXPECT_EQ(test::ReadFile(dir / "outside/precious"), "keep");
  EXPECT_FALSE(RemoveTree("/"));
}

// A file in a folder its user may not write cannot be deleted. Root may
// delete anything, so under root the removal runs in a child that has
// given up root for the "nobody" account, owning the tree.
TEST(RemoveTree, AnEntryThatCannotBeDeletedKeepsItsFolderChain) {
  ScratchDir dir;
  const std::string root = dir / "work/";
  WriteFile(root + "gone.txt", "1");
  WriteFile(root + "other/gone", "2");
  WriteFile(root + "a/b/stuck", "3");
  WriteFile(root + "a/b/c/emptied/f", "4");  // c is emptied but stays in b
  const bool as_root = ::geteuid() == 0;
  const uid_t nobody = 65534;
  if (as_root) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(test::Run("chown -R 65534:65534 " + test::Quote(root)), 0);
  }
  ASSERT_EQ(::chmod((root + "a/b").c_str(), 0555), 0);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (as_root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) ::_exit(3);
    bool traced = false;
    const ScopedDebugSink sink([&](const std::string& line) {
      traced = traced || line.find(root + "a/b/stuck: Permission denied") != std::string::npos;
    });
    ::_exit(RemoveTree(root) ? 1 : traced ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "RemoveTree claimed success (1), did not trace the failure (2), "
                                       "or the child could not drop root (3)";

  ::chmod((root + "a/b").c_str(), 0755);
  EXPECT_EQ(TreeEntries(root), (std::vector<std::string>{"a", "a/b", "a/b/c", "a/b/stuck"}));
}

// Deeper than the open-file limit allows descriptors for, and with a path
// longer than the system takes in one call: made level by level, as
// extraction makes it.
TEST(RemoveTree, RemovesATreeDeeperThanTheOpenFileLimit) {
  ScratchDir dir;
  const std::string root = dir / "deep";
  ASSERT_EQ(::mkdir(root.c_str(), 0700), 0);
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < 1500 && fd >= 0; ++level) {
    if (level % 100 == 0) ::close(::openat(fd, "file", O_WRONLY | O_CREAT, 0600));
    ::mkdirat(fd, "side", 0700);  // a second folder on every level
    ASSERT_EQ(::mkdirat(fd, "down", 0700), 0) << level;
    const int next = ::openat(fd, "down", O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  ::close(fd);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit low = {256, 256};
    if (::setrlimit(RLIMIT_NOFILE, &low) != 0) ::_exit(3);
    ::_exit(RemoveTree(root) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(Exists(root));
}

}  // namespace
}  // namespace coffer
