#include "app/working_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

#include "app/files.h"
#include "platform/error.h"
#include "platform/fs_path.h"
#include "platform/run_lock.h"
#include "tests/app/fake_space.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::FakeSpace;
using test::ScratchDir;
using test::kMiB;

struct BaseCase {
  const char* what;
  int64_t size;
  std::map<std::string, std::optional<int64_t>> free;
  const char* expected;
};

TEST(WorkingFolderRule, ChoosesTheTemporaryFolderOrTheFirstRootWithMoreRoom) {
  const std::optional<int64_t> unknown;
  const BaseCase cases[] = {
      {"exactly Need in the temporary folder keeps it", 10 * kMiB, {{"tmp", 10}, {"r1", 500}}, "tmp"},
      {"a root with exactly Need is passed over", 10 * kMiB, {{"tmp", 9}, {"r1", 10}, {"r2", 11}}, "r2"},
      {"Need is truncated to whole MiB", 11 * kMiB - 1, {{"tmp", 10}, {"r1", 500}}, "tmp"},
      {"no root has room: the temporary folder anyway", 10 * kMiB, {{"tmp", 3}, {"r1", 10}, {"r2", 2}}, "tmp"},
      {"Need 0 keeps a full temporary folder", kMiB - 1, {{"tmp", 0}, {"r1", 500}}, "tmp"},
      {"Need 0 keeps a temporary folder of unknown space", 0, {{"tmp", unknown}, {"r1", 500}}, "tmp"},
      {"unknown space is never chosen", 10 * kMiB, {{"tmp", unknown}, {"r1", unknown}, {"r3", 11}}, "r3"},
      {"first qualifying root in order", 10 * kMiB, {{"tmp", 1}, {"r1", 20}, {"r2", 30}}, "r1"},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    FakeSpace space(dir, c.free);
    EXPECT_EQ(ChooseWorkingBase(c.size, space), dir / (std::string(c.expected) + "/")) << c.what;
  }
}

TEST(WorkingFolderRule, MakesAFreshPrivateTvFolderInTheChosenBase) {
  ScratchDir dir;
  test::WriteFile(dir / "r2/keep", "x");
  FakeSpace space(dir, {{"tmp", 0}, {"r2", 100}});
  const std::string a = MakeWorkingFolder(10 * kMiB, space);
  const std::string b = MakeWorkingFolder(10 * kMiB, space);
  for (const auto& folder : {a, b}) {
    const std::string base = dir / "r2/";
    ASSERT_EQ(folder.rfind(base, 0), 0u) << folder;
    ASSERT_EQ(folder.back(), base.back()) << folder;
    EXPECT_TRUE(test::IsTvName(folder.substr(base.size(), folder.size() - base.size() - 1))) << folder;
    EXPECT_TRUE(std::filesystem::is_directory(FsPath(folder)));
    EXPECT_EQ(test::TreeEntries(folder), std::vector<std::string>{kRunMarkerName});
  }
  EXPECT_NE(a, b);
  // keep and the two folders with their markers, no .tmp file left
  EXPECT_EQ(test::TreeEntries(dir / "r2/").size(), 5u);
}

TEST(WorkingFolderRule, TwoFoldersMadeAtOnceDiffer) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 100}});
  std::string a, b;
  std::thread other([&] { a = MakeWorkingFolder(0, space); });
  b = MakeWorkingFolder(0, space);
  other.join();
  EXPECT_NE(a, b);
  EXPECT_TRUE(test::Exists(a));
  EXPECT_TRUE(test::Exists(b));
}

TEST(WorkingFolderRule, ARefusingBaseFallsBackToTheTemporaryFolderNeverToItself) {
  ScratchDir dir;
  test::WriteFile(dir / "r1", "a file where the root folder should be");
  FakeSpace space(dir, {{"tmp", 0}, {"r1", 100}});
  const std::string folder = MakeWorkingFolder(10 * kMiB, space);
  EXPECT_EQ(folder.rfind(dir / "tmp/tv_", 0), 0u) << folder;

  // Neither the root nor the temporary folder can hold a folder.
  test::WriteFile(dir / "blocked", "x");
  class Blocked final : public FreeSpaceSource {
   public:
    explicit Blocked(std::string base) : base_(std::move(base)) {}
    std::string TempFolder() const override { return base_ + "tmp/"; }
    std::vector<std::string> CandidateRoots() const override { return {}; }
    std::optional<int64_t> FreeMiB(const std::string&) const override { return 100; }
    std::string base_;
  } blocked(dir / "blocked/");
  EXPECT_THROW(MakeWorkingFolder(0, blocked), Error);
}

TEST(WorkingFolderRule, AMissingTemporaryFolderIsCreated) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 100}});
  const std::string folder = MakeWorkingFolder(0, space);
  EXPECT_EQ(folder.rfind(dir / "tmp/tv_", 0), 0u) << folder;
}

TEST(WorkingFolderRule, ProcessWideSourceIsReplaceable) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 0}, {"r3", 50}});
  {
    ScopedFreeSpaceSource scoped(space);
    EXPECT_EQ(MakeWorkingFolder(kMiB * 5).rfind(dir / "r3/tv_", 0), 0u);
  }
  EXPECT_EQ(&CurrentFreeSpace(), &SystemFreeSpace());
}

// A run that ended without clearing its folder (its lock gone, as when it
// is killed) leaves a folder that the next sweep removes; a live run's
// folder stays.
TEST(WorkingFolderSweep, RemovesAFolderWhoseRunEndedAndKeepsALiveOne) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 100}});
  const std::string ended = MakeWorkingFolder(kMiB, space);
  const std::string live = MakeWorkingFolder(kMiB, space);
  test::WriteFile(ended + "payload", "x");
  ReleaseRunLock(ended);
  SweepDeadWorkingFolders(space);
  EXPECT_FALSE(test::Exists(ended));
  EXPECT_TRUE(test::Exists(live));
  ReleaseRunLock(live);
}

}  // namespace
}  // namespace coffer
