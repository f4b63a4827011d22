// The platform's answers the working-folder rule builds on.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
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
    EXPECT_TRUE(std::regex_match(path->substr(dir.path().size()), std::regex("tv_[0-9A-F]{4}\\.tmp")));
    EXPECT_EQ(test::ReadFile(*path), "");
    names.insert(*path);
  }
  EXPECT_EQ(names.size(), 20u);
}

TEST(Paths, UniqueTempFileFailsWhenEveryNumberIsTakenOrTheFolderIsNone) {
  test::ScratchDir dir;
  for (int n = 0; n < 0x10000; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "tv_%04X.tmp", n);
    FILE* f = std::fopen((dir / name).c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);
  }
  EXPECT_FALSE(CreateUniqueTempFile(dir.path(), "tv_"));
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
