// Replacing on Linux: a source that fails while read, symbolic links, the
// permission bits and nanosecond times of the extracted file, and placing
// across file systems.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "extract/overwrite.h"
#include "platform/file_place.h"
#include "tests/support/other_fs-posix.h"
#include "tests/extract/place_answer.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::TreeEntries;
using test::WriteFile;
using A = OverwriteAnswer;

constexpr auto Answer = test::PlaceAnswering;

// Readable to open, failing on the first read: the copy stops half way.
TEST(SafeReplace, ASourceFailingWhileReadKeepsTheExistingFile) {
  const std::string original = test::RandomBytes(100000, 7);
  ScratchDir dir;
  const std::string dest = dir / ("out/" + std::string(250, 'n') + ".txt");
  WriteFile(dest, original);
  const auto before = TreeEntries(dir / "out");
  const PlaceOutcome o = Answer(A::kYes, "/proc/self/mem", dest);
  EXPECT_EQ(o.result, PlaceResult::kFailed);
  EXPECT_FALSE(o.reason.empty());
  EXPECT_EQ(ReadFile(dest), original);
  EXPECT_EQ(TreeEntries(dir / "out"), before);
}

TEST(SafeReplace, ReplacesALinkItselfNotWhereItPoints) {
  ScratchDir dir;
  WriteFile(dir / "outside/target", "outside");
  WriteFile(dir / "src", "new");
  fs::create_directories(dir / "out");
  fs::create_symlink(dir / "outside/target", dir / "out/f");
  const PlaceOutcome o = Answer(A::kYes, dir / "src", dir / "out/f");
  ASSERT_EQ(o.result, PlaceResult::kPlaced) << o.reason;
  EXPECT_FALSE(fs::is_symlink(dir / "out/f"));
  EXPECT_EQ(ReadFile(dir / "out/f"), "new");
  EXPECT_EQ(ReadFile(dir / "outside/target"), "outside");
}

TEST(SafeReplace, KeepsTimeAndPermissionsOfTheExtractedFile) {
  ScratchDir dir;
  const std::string content = test::RandomBytes(3 << 20, 3);  // several buffers
  WriteFile(dir / "out/f", "old");
  const struct timespec times[2] = {{981158400, 0}, {981173045, 123456789}};  // 2001-02-03

  for (const char* name : {"f", "g"}) {  // replacing, and a free destination
    WriteFile(dir / "src", content);
    ASSERT_EQ(chmod((dir / "src").c_str(), 0640), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "src").c_str(), times, 0), 0);
    const PlaceOutcome o = Answer(A::kYes, dir / "src", dir / "out/" + name);
    ASSERT_EQ(o.result, PlaceResult::kPlaced) << o.reason;
    EXPECT_EQ(ReadFile(dir / "out/" + name), content);
    struct stat st {};
    ASSERT_EQ(stat((dir / "out/" + name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 981173045);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
  }
  EXPECT_EQ(TreeEntries(dir / "out"), (std::vector<std::string>{"f", "g"}));
}

// Renamed into place where scratch and output share a file system, copied
// (the scratch file staying) where they do not; no temporary either way.
TEST(SafeReplace, MovesOnOneFileSystemAndCopiesAcross) {
  test::OtherFileSystem other;
  if (!other.ok()) GTEST_SKIP() << other.reason();
  for (const bool across : {false, true}) {
    for (const A answer : {A::kYes, A::kAutoRename}) {
      SCOPED_TRACE(std::string(across ? "across, " : "one file system, ") + (answer == A::kYes ? "Yes" : "rename"));
      ScratchDir dir;
      const std::string source = (across ? other.path() : dir.path()) + "scratch/f";
      WriteFile(source, "new");
      WriteFile(dir / "out/f", "old");
      const PlaceOutcome o = Answer(answer, source, dir / "out/f");
      ASSERT_EQ(o.result, PlaceResult::kPlaced) << o.reason;
      EXPECT_EQ(ReadFile(o.path), "new");
      EXPECT_EQ(ReadFile(dir / "out/f"), answer == A::kYes ? "new" : "old");
      const std::vector<std::string> entries = {"f", "f(1)"};
      EXPECT_EQ(TreeEntries(dir / "out"), std::vector<std::string>(entries.begin(), entries.end() - (answer == A::kYes)));
      // Across, the copy's source stays; on one file system a replaced
      // file took its name, for the job to delete.
      EXPECT_EQ(test::Exists(source), across || answer == A::kYes);
      EXPECT_EQ(o.replaced_at_source, !across && answer == A::kYes);
      if (!across && answer == A::kYes) {
        EXPECT_EQ(ReadFile(source), "old");
      }
      fs::remove_all(other / "scratch");
    }
  }
}

// On one file system the two files swap names: the old file, whole and
// still the same file (another name of it sees it), waits at the scratch
// name for the job to delete, and no temporary is left.
TEST(SafeReplace, ReplacingByMoveLeavesTheOldFileAtTheScratchName) {
  ScratchDir dir;
  WriteFile(dir / "scratch/f", "new");
  WriteFile(dir / "out/f", "old");
  fs::create_hard_link(dir / "out/f", dir / "kept");
  const PlaceOutcome o = Answer(A::kYes, dir / "scratch/f", dir / "out/f");
  ASSERT_EQ(o.result, PlaceResult::kPlaced) << o.reason;
  EXPECT_TRUE(o.replaced_at_source);
  EXPECT_EQ(ReadFile(dir / "out/f"), "new");
  EXPECT_EQ(ReadFile(dir / "scratch/f"), "old");
  EXPECT_TRUE(fs::equivalent(dir / "kept", dir / "scratch/f"));
  EXPECT_EQ(TreeEntries(dir / "scratch"), std::vector<std::string>{"f"});
  EXPECT_EQ(TreeEntries(dir / "out"), std::vector<std::string>{"f"});
}

TEST(SafeReplace, NoReplaceModeLeavesAnyEntryAlone) {
  ScratchDir dir;
  WriteFile(dir / "src", "new");
  WriteFile(dir / "out/f", "old");
  fs::create_symlink("nowhere", dir / "out/l");
  EXPECT_EQ(CopyIntoPlace(dir / "src", dir / "out/f", PlaceMode::kNoReplace).status, PlaceCopyResult::kExists);
  EXPECT_EQ(CopyIntoPlace(dir / "src", dir / "out/l", PlaceMode::kNoReplace).status, PlaceCopyResult::kExists);
  EXPECT_EQ(ReadFile(dir / "out/f"), "old");
  EXPECT_EQ(fs::read_symlink(dir / "out/l"), "nowhere");
  EXPECT_EQ(TreeEntries(dir / "out"), (std::vector<std::string>{"f", "l"}));
}

}  // namespace
}  // namespace coffer
