// The platform's answers the working-folder rule builds on.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/scratch.h"

namespace coffer {
namespace {

TEST(Paths, UniqueTempFilesAreTvNamesCreatedExclusively) {
  test::ScratchDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    const auto path = CreateUniqueTempFile(dir.path(), "tv_");
    ASSERT_TRUE(path);
    EXPECT_TRUE(test::IsTvName(path->substr(dir.path().size()))) << *path;
    EXPECT_EQ(test::ReadFile(*path), "");
    names.insert(*path);
  }
  EXPECT_EQ(names.size(), 20u);
}

TEST(Paths, UniqueTempFileFailsInAFolderThatIsNone) {
  test::ScratchDir dir;
  test::WriteFile(dir / "file", "");
  EXPECT_FALSE(CreateUniqueTempFile(dir / "file/", "tv_"));
}

// The splitting rules of both systems, whichever this build is for.
TEST(Paths, FolderAndFileNamePartsFollowEachSystemsSeparators) {
  struct Row {
    std::string path, separators, folder, name;
  };
  const Row rows[] = {
      {"/a/b/c", "/", "/a/b/", "c"},
      {"/c", "/", "/", "c"},
      {"c", "/", "", "c"},
      {"a\\b", "/", "", "a\\b"},  // a backslash is part of a Linux name
      {"C:\\dl\\photos.exe", "\\/:", "C:\\dl\\", "photos.exe"},
      {"C:\\dl/sub\\x", "\\/:", "C:\\dl/sub\\", "x"},
      {"C:photos.exe", "\\/:", "C:", "photos.exe"},
      {"\\\\server\\share\\f", "\\/:", "\\\\server\\share\\", "f"},
      {"readme", "\\/:", "", "readme"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FolderPart(r.path, r.separators), r.folder) << r.path;
    EXPECT_EQ(FileNamePart(r.path, r.separators), r.name) << r.path;
  }
  EXPECT_EQ(WithSeparator("/a", "/"), "/a/");
  EXPECT_EQ(WithSeparator("/a/", "/"), "/a/");
  EXPECT_EQ(WithSeparator("a\\", "/"), "a\\/");
  EXPECT_EQ(WithSeparator("C:", "\\/"), "C:\\");
  EXPECT_EQ(WithSeparator("C:\\a\\", "\\/"), "C:\\a\\");
  EXPECT_EQ(WithSeparator("Z:/tmp/", "\\/"), "Z:/tmp/");
  EXPECT_EQ(WithSeparator("", "\\/"), "\\");
}

}  // namespace
}  // namespace coffer
