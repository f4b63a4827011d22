// The platform's answers on Linux.
#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/scratch.h"

namespace coffer {
namespace {

// Our own unique names (on Windows the system makes them): none once all
// 65,536 are taken.
TEST(Paths, UniqueTempFilesRunOut) {
  test::ScratchDir dir;
  for (int n = 0; n < 0x10000; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "tv_%04X.tmp", n);
    FILE* f = std::fopen((dir / name).c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);
  }
  EXPECT_FALSE(CreateUniqueTempFile(dir.path(), "tv_"));
}

TEST(Paths, SystemAnswers) {
  EXPECT_EQ(TempFolder().back(), '/');
  EXPECT_TRUE(FreeSpaceMiB(TempFolder()).has_value());
  EXPECT_FALSE(FreeSpaceMiB("/no/such/folder/anywhere").has_value());
  const auto roots = WritableMountPoints();
  for (const auto& root : roots) {
    EXPECT_EQ(root.back(), '/');
    EXPECT_NE(root.rfind("/proc", 0), 0u) << root;
    EXPECT_NE(root.rfind("/sys", 0), 0u) << root;
  }
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
  ASSERT_GT(n, 0);
  EXPECT_EQ(OwnExecutablePath(), std::string(buf, static_cast<size_t>(n)));
  EXPECT_EQ(FolderOfPath("/a/b/c"), "/a/b/");
  EXPECT_EQ(FolderOfPath("/c"), "/");
}

}  // namespace
}  // namespace coffer
