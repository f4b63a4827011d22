#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/files.h"
#include "tests/extract/job_fixture.h"

namespace coffer {
namespace {

using test::JobRun;
using test::ScratchDir;
using A = OverwriteAnswer;

// The folder `rel` below `root`, opened a component at a time: its whole
// path is longer than the system takes in one call.
int OpenDeep(const std::string& root, const std::string& rel) {
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
  for (size_t start = 0; fd >= 0 && start < rel.size();) {
    const size_t slash = std::min(rel.find('/', start), rel.size());
    const int next = ::openat(fd, rel.substr(start, slash - start).c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
    start = slash + 1;
  }
  return fd;
}

std::string ReadAt(int dir, const std::string& name) {
  const int fd = ::openat(dir, name.c_str(), O_RDONLY);
  std::string out;
  char buf[256];
  for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  if (fd >= 0) ::close(fd);
  return fd >= 0 ? out : "<missing>";
}

void WriteAt(int dir, const std::string& name, const std::string& content) {
  const int fd = ::openat(dir, name.c_str(), O_WRONLY | O_TRUNC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  ::close(fd);
}

std::vector<std::string> NamesAt(int dir) {
  std::vector<std::string> names;
  DIR* d = ::fdopendir(::dup(dir));
  while (const dirent* e = d ? ::readdir(d) : nullptr)
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
  if (d) ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

// 25 components of 200 bytes.
std::string LongFolder() {
  std::string folder;
  for (int i = 0; i < 25; ++i) folder += (i ? "/c" : "c") + std::to_string(10 + i) + std::string(197, 'x');
  return folder;
}

// dir/long.run holding one file `content` at LongFolder()/`name`; with
// `damage`, bytes inside its packed data are flipped.
void MakeLongProgram(const ScratchDir& dir, const std::string& name, const std::string& content, bool damage) {
  test::WriteFile(dir / ("content/a/" + name), content);
  // 7zz takes no such path from disk; renaming the item gives it one.
  test::Make7z(dir / "payload.7z", dir / "content", "-m0=lzma2 -mhe=off -ppw a/" + name);
  ASSERT_EQ(test::Run("7zz rn -ppw " + test::Quote(dir / "payload.7z") + " a/" + name + " " +
                      test::Quote(LongFolder() + "/" + name) + " >/dev/null"), 0);
  std::string archive = test::ReadFile(dir / "payload.7z");
  if (damage)
    for (size_t i = 1000; i < 1100; ++i) archive[i] = static_cast<char>(~archive[i]);
  test::WriteFile(dir / "long.run", std::string(786432, '\0') + archive);
}

TEST(Placing, APathLongerThanTheSystemTakesIsPlacedOnASecondRun) {
  const std::string folder = LongFolder();
  ASSERT_GT(folder.size(), 5000u);
  const struct {
    A answer;
    std::vector<std::string> names;
    const char* kept;     // f.txt afterwards
    const char* renamed;  // f(1).txt afterwards
  } rows[] = {
      {A::kYesToAll, {"f.txt"}, "sender's", "<missing>"},
      {A::kAutoRename, {"f(1).txt", "f.txt"}, "mine", "sender's"},
  };
  for (const auto& row : rows) {
    ScratchDir dir;
    MakeLongProgram(dir, "f.txt", "sender's", false);
    const auto before = test::TempEntries();
    {
      JobRun first(dir / "long.run", dir / "out", "pw");
      ASSERT_EQ(first.RunHere(), (JobEnd{1, 0, ""}));
    }
    const int leaf = OpenDeep(dir / "out/long", folder);
    ASSERT_GE(leaf, 0);
    EXPECT_EQ(ReadAt(leaf, "f.txt"), "sender's");
    WriteAt(leaf, "f.txt", "mine");
    {
      JobRun second(dir / "long.run", dir / "out", "pw");
      second.host.answers = {row.answer};
      EXPECT_EQ(second.RunHere(), (JobEnd{1, 0, ""}));
      ASSERT_EQ(second.host.questions.size(), 1u);
      EXPECT_EQ(second.host.questions[0].first, dir / ("out/long/" + folder + "/f.txt"));
    }
    EXPECT_EQ(NamesAt(leaf), row.names) << "no temporary file stays";
    EXPECT_EQ(ReadAt(leaf, "f.txt"), row.kept);
    EXPECT_EQ(ReadAt(leaf, "f(1).txt"), row.renamed);
    ::close(leaf);
    EXPECT_EQ(test::TempEntries(), before) << "the scratch tree went";
    EXPECT_TRUE(RemoveTree(dir / "out"));
  }
}

TEST(Placing, ADamagedItemOfAPathLongerThanTheSystemTakesIsNotLeftInTheOutput) {
  ScratchDir dir;
  MakeLongProgram(dir, "f.bin", test::RandomBytes(300000, 4), true);
  {
    JobRun run(dir / "long.run", dir / "out", "pw");
    EXPECT_EQ(run.RunHere().second, 3);
  }
  const int leaf = OpenDeep(dir / "out/long", LongFolder());
  EXPECT_EQ(leaf >= 0 ? NamesAt(leaf) : std::vector<std::string>{}, std::vector<std::string>{});
  if (leaf >= 0) ::close(leaf);
  EXPECT_TRUE(RemoveTree(dir / "out"));
}

}  // namespace
}  // namespace coffer
