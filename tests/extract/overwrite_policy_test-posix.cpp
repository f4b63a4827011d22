// Renaming next to a symbolic link.
#include <gtest/gtest.h>

#include <filesystem>

#include "extract/overwrite.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

TEST(AutoRename, ADanglingLinkTakesTheNameToo) {
  test::ScratchDir dir;
  std::filesystem::create_symlink("nowhere", dir / "link(1)");
  EXPECT_EQ(AutoRename(OpenFolder::AtPath(dir.path()), "link"), "link(2)");
}

}  // namespace
}  // namespace coffer
