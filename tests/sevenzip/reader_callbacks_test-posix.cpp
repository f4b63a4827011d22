// Output files on Linux: a symbolic link in the output folder is never
// written through, and a file that cannot be made fails with the system's
// reason; the other items are extracted in both cases.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "sevenzip/reader.h"
#include "tests/sevenzip/fixtures.h"

namespace coffer::sevenzip {
namespace {

using test::RealReader;
using CallbackTest = test::SampleTreeTest;

TEST_F(CallbackTest, ALinkInTheOutputFolderIsNotWrittenThroughAndTheRestIsExtracted) {
  const std::string out = dir_ / "out/";
  const std::string elsewhere = dir_ / "elsewhere/";
  test::WriteFile(elsewhere + "keep.txt", "keep");
  test::WriteFile(out + ".placeholder", "");
  ASSERT_EQ(symlink(elsewhere.c_str(), (out + "deep").c_str()), 0);
  ASSERT_EQ(symlink((elsewhere + "keep.txt").c_str(), (out + "zero.txt").c_str()), 0);
  auto reader = RealReader();
  reader->OpenFromFile(Archive("links", "-m0=LZMA2"));
  try {
    reader->ExtractAllToFolder(out);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("symbolic link"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("1 more"), std::string::npos) << e.what();
  }
  EXPECT_EQ(test::TreeEntries(elsewhere), (std::vector<std::string>{"keep.txt"}));
  EXPECT_EQ(test::ReadFile(elsewhere + "keep.txt"), "keep");
  std::vector<std::string> failed;
  for (const auto& f : reader->LastFailures()) {
    EXPECT_EQ(f.verdict, Verdict::kCreateFailed);
    failed.push_back(f.path);
  }
  std::sort(failed.begin(), failed.end());
  EXPECT_EQ(failed, (std::vector<std::string>{"deep/er/still/leaf.txt", "zero.txt"}));
  EXPECT_EQ(test::ReadFile(out + "readme.txt"), test::ReadFile(dir_ / "src/readme.txt"));
  EXPECT_EQ(test::ReadFile(out + "bin/noise.bin"), test::ReadFile(dir_ / "src/bin/noise.bin"));
}

TEST_F(CallbackTest, AFileThatCannotBeCreatedIsNamedAndDoesNotLoseTheRest) {
  const std::string out = dir_ / "out/";
  test::WriteFile(out + "names", "a file where a folder must be");
  auto reader = RealReader();
  reader->OpenFromFile(Archive("blocked", "-m0=LZMA2 -ms=on"));
  try {
    reader->ExtractAllToFolder(out);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(out + "names"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOTDIR)), std::string::npos) << e.what();
  }
  const auto failures = reader->LastFailures();
  EXPECT_EQ(failures.size(), 4u);
  for (const auto& f : failures) EXPECT_EQ(f.path.rfind("names/", 0), 0u) << f.path;
  size_t extracted = 0;
  for (const auto& [path, content] : expected_)
    if (path.rfind("names/", 0) != 0) {
      EXPECT_EQ(test::ReadFile(out + path), content) << path;
      ++extracted;
    }
  EXPECT_EQ(extracted, expected_.size() - 4);
}

}  // namespace
}  // namespace coffer::sevenzip
