// Extracted files on Linux: their times and permission bits; a job whose
// program and output lie on another file system than its working folder.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "tests/extract/job_fixture.h"
#include "tests/support/other_fs-posix.h"

namespace coffer {
namespace {

using test::MakeSelfExtracting;
using test::WriteFile;

TEST(Worker, FilesKeepTheirModificationTimeAndPermissions) {
  test::ScratchDir dir;
  const std::string content = dir / "content/";
  WriteFile(content + "tools/run.sh", "#!/bin/sh\necho hi\n");
  WriteFile(content + "tools/private.txt", "mine");
  chmod((content + "tools/run.sh").c_str(), 0755);
  chmod((content + "tools/private.txt").c_str(), 0600);
  struct timespec times[2] = {{0, UTIME_OMIT}, {981173106, 500000000}};  // 2001-02-03 04:05:06.5
  utimensat(AT_FDCWD, (content + "tools/run.sh").c_str(), times, 0);
  MakeSelfExtracting(dir / "t.run", content);
  test::JobRun run(dir / "t.run", dir / "out", "pass word");
  ASSERT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
  struct stat script {}, secret {};
  ASSERT_EQ(stat((dir / "out/t/tools/run.sh").c_str(), &script), 0);
  ASSERT_EQ(stat((dir / "out/t/tools/private.txt").c_str(), &secret), 0);
  EXPECT_EQ(script.st_mtim.tv_sec, 981173106);
  EXPECT_EQ(script.st_mode & 0755, 0755u) << std::oct << script.st_mode;
  EXPECT_TRUE(script.st_mode & S_IXUSR) << "the script stays executable";
  EXPECT_EQ(secret.st_mode & 0077, 0u) << "a private file stays private";
}

// The system copies neither the payload nor the placed files between
// different file systems: the buffer and the copy take over there.
TEST(Worker, PayloadAndPlacingAcrossFileSystems) {
  test::OtherFileSystem other;
  if (!other.ok()) GTEST_SKIP() << other.reason();
  test::ScratchDir dir;
  const std::string content = dir / "content/";
  WriteFile(content + "big.bin", test::RandomBytes(200000, 4));  // several copy steps, stored
  WriteFile(content + "sub/small.txt", "small");
  MakeSelfExtracting(other / "t.run", content, {.switches = "-m0=copy -mhe=off"});
  WriteFile(other / "out/t/big.bin", "old");
  test::JobRun run(other / "t.run", other / "out", "pass word");
  run.host.answers = {OverwriteAnswer::kYesToAll};
  ASSERT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
  EXPECT_EQ(run.host.questions.size(), 1u);
  EXPECT_TRUE(test::ReadFile(run.worker.payload_copy_path()) == test::ReadFile(other / "t.run").substr(786432));
  EXPECT_EQ(test::TreeContents(other / "out/t"), test::TreeContents(content));
}

}  // namespace
}  // namespace coffer
