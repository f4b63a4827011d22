#include "app/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/fs_path.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Exists;
using test::ScratchDir;
using test::TreeEntries;
using test::WriteFile;

TEST(RemoveTree, RemovesANestedTreeWhole) {
  ScratchDir dir;
  const std::string root = dir / "work/";
  WriteFile(root + "a.txt", "1");
  WriteFile(root + "sub/b.bin", "2");
  WriteFile(root + "sub/deeper/still/c", "3");
  std::filesystem::create_directory(FsPath(root + "empty"));
  WriteFile(root + "sub/.hidden", "4");
  for (const std::string& given : {root, root.substr(0, root.size() - 1)}) {
    WriteFile(root + "x/y", "z");
    EXPECT_TRUE(RemoveTree(given)) << given;
    EXPECT_FALSE(Exists(root));
  }
  EXPECT_TRUE(RemoveTree(dir / "never-there/"));
}

TEST(FileNameWithoutExtension, CutsFromTheLastDotOfTheName) {
  const std::pair<const char*, const char*> cases[] = {
      {"/dl/photos.exe", "photos"}, {"a.b.c", "a.b"},      {"readme", "readme"},
      {"/x.d/readme", "readme"},    {"/dl/pack.run", "pack"}, {"/dl/trailing.", "trailing"},
      {"/dl/.profile", ""},         {"", ""},
  };
  for (auto [path, expected] : cases) EXPECT_EQ(FileNameWithoutExtension(path), expected) << path;
}

TEST(RemoveProbeItem, DeletesTheProbeWhateverItsCaseAndNothingElse) {
  const std::string probe = kProbeItemName;
  std::string upper = probe;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  struct Case {
    std::vector<std::string> files;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {{probe, "other.txt"}, {"other.txt"}},
      {{upper, "other.txt"}, {"other.txt"}},
      {{"1E1C8EBB-9299-4834-ab8f-9e5a0c04ba8b.Tavrenis"}, {}},
      {{"sub/" + probe, probe + ".bak", "x" + probe}, {"sub", "sub/" + probe, probe + ".bak", "x" + probe}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    for (const auto& f : c.files) WriteFile(dir / f, "p");
    RemoveProbeItem(dir.path());
    auto left = c.left;
    std::sort(left.begin(), left.end());
    EXPECT_EQ(TreeEntries(dir.path()), left) << (c.files.empty() ? "" : c.files[0]);
  }
  ScratchDir dir;
  std::filesystem::create_directory(FsPath(dir / probe));
  RemoveProbeItem(dir.path().substr(0, dir.path().size() - 1));
  EXPECT_TRUE(Exists(dir / probe)) << "a folder of that name is no probe item";
}

}  // namespace
}  // namespace coffer
