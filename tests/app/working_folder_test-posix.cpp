// Working folders on Linux: their mode, the locks' descriptors, and runs
// in processes of their own.
#include "app/working_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/files.h"
#include "platform/run_lock.h"
#include "tests/app/fake_space.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::FakeSpace;
using test::ScratchDir;
using test::kMiB;

TEST(WorkingFolderRule, TheFolderIsPrivateToItsUser) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 100}});
  const std::string folder = MakeWorkingFolder(0, space);
  struct stat st;
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(RemoveTree(folder));
}

// The locked markers this process holds, as descriptors, and whether each
// stays out of programs the process starts.
std::vector<bool> MarkerDescriptorsCloseOnExec() {
  std::vector<bool> out;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
    if (!target.ends_with(std::string("/") + kRunMarkerName)) continue;
    const int flags = ::fcntl(std::stoi(e.path().filename().string()), F_GETFD);
    out.push_back(flags >= 0 && (flags & FD_CLOEXEC));
  }
  return out;
}

TEST(WorkingFolderRule, EachFolderIsLockedUntilRemovedAndNoDescriptorOutlivesIt) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 100}});
  const size_t held_before = MarkerDescriptorsCloseOnExec().size();
  const std::string folder = MakeWorkingFolder(0, space);
  EXPECT_EQ(ClaimRunFolder(folder), RunClaim::kInUse);
  EXPECT_EQ(MarkerDescriptorsCloseOnExec(), std::vector<bool>(held_before + 1, true));
  EXPECT_TRUE(RemoveTree(folder));
  // Removed through RemoveTree, or by any other means.
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(RemoveTree(MakeWorkingFolder(0, space)));
  for (int i = 0; i < 100; ++i) std::filesystem::remove_all(MakeWorkingFolder(0, space));
  EXPECT_TRUE(RemoveTree(MakeWorkingFolder(0, space)));
  EXPECT_EQ(MarkerDescriptorsCloseOnExec().size(), held_before);
}

// A run in a process of its own: it makes a working folder, puts a file in
// it and waits to be killed.
class RunProcess {
 public:
  RunProcess(const FreeSpaceSource& space, int64_t size) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(pipe_fds[0]);
      try {
        const std::string made = MakeWorkingFolder(size, space);
        test::WriteFile(made + "payload/part", "x");
        if (::write(pipe_fds[1], made.data(), made.size()) != static_cast<ssize_t>(made.size())) ::_exit(2);
      } catch (...) {
        ::_exit(1);
      }
      ::close(pipe_fds[1]);
      for (;;) ::pause();
    }
    ::close(pipe_fds[1]);
    char buf[512];
    ssize_t n;
    while ((n = ::read(pipe_fds[0], buf, sizeof buf)) > 0) folder.append(buf, static_cast<size_t>(n));
    ::close(pipe_fds[0]);
  }
  ~RunProcess() { Kill(); }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  std::string folder;

 private:
  pid_t pid_ = -1;
};

TEST(WorkingFolderSweep, RemovesTheFoldersOfKilledRunsAndNothingElse) {
  ScratchDir dir;
  FakeSpace space(dir, {{"tmp", 0}, {"r2", 100}});
  RunProcess dead(space, 0), live(space, 0), dead_on_root(space, 10 * kMiB);
  ASSERT_EQ(dead.folder.rfind(dir / "tmp/tv_", 0), 0u) << dead.folder;
  ASSERT_EQ(dead_on_root.folder.rfind(dir / "r2/tv_", 0), 0u) << dead_on_root.folder;
  ASSERT_TRUE(test::Exists(live.folder + "payload/part"));
  dead.Kill();
  dead_on_root.Kill();

  // Folders of other programs, each with an unlocked marker where there is one.
  const std::string marker = kRunMarkerName;
  const std::vector<std::string> others = {"tmp/tv_1234.tmp/", "tmp/tv_12345.tmp/", "tmp/tv_abcd.tmp/",
                                           "tmp/other/", "tmp/tv_ABCD.tmp/", "tmp/tv_BCDE.tmp/",
                                           "tmp/tv_CDEF.tmp/"};
  test::WriteFile(dir / "tmp/tv_1234.tmp/f", "no marker");
  test::WriteFile(dir / ("tmp/tv_12345.tmp/" + marker), "");
  test::WriteFile(dir / ("tmp/tv_abcd.tmp/" + marker), "");
  test::WriteFile(dir / ("tmp/other/" + marker), "");
  test::WriteFile(dir / ("elsewhere/" + marker), "");
  std::filesystem::create_directories(dir / "tmp/tv_ABCD.tmp");
  std::filesystem::create_symlink(dir / ("elsewhere/" + marker), dir / ("tmp/tv_ABCD.tmp/" + marker));
  std::filesystem::create_directories(dir / ("tmp/tv_BCDE.tmp/" + marker));
  std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "tmp/tv_CDEF.tmp");

  SweepDeadWorkingFolders(space);
  EXPECT_FALSE(test::Exists(dead.folder));
  EXPECT_FALSE(test::Exists(dead_on_root.folder));
  EXPECT_TRUE(test::Exists(live.folder + "payload/part"));
  for (const auto& other : others) EXPECT_TRUE(test::Exists(dir / other)) << other;
  EXPECT_TRUE(test::Exists(dir / ("elsewhere/" + marker)));
}

}  // namespace
}  // namespace coffer
