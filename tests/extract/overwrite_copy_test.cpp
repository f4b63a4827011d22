#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "extract/overwrite.h"
#include "platform/file_place.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::TreeEntries;
using test::WriteFile;
using A = OverwriteAnswer;

PlaceOutcome Answer(A answer, const std::string& source, const std::string& destination) {
  ProgressRecord record;
  A standing = A::kYes;
  return PlaceFile(source, destination, standing, [=] { return answer; }, record);
}

// Each way a replace can fail, as root too. The existing file must come
// through byte for byte and no temporary file may stay behind.
TEST(SafeReplace, FailedCopyKeepsTheExistingFile) {
  const std::string original = test::RandomBytes(100000, 7);
  const struct {
    const char* name;
    A answer;
    std::function<std::string(const ScratchDir&)> make_source;
  } rows[] = {
      {"source is a folder", A::kYes, [](const ScratchDir& d) { fs::create_directories(d / "src"); return d / "src"; }},
      {"source is missing", A::kYesToAll, [](const ScratchDir& d) { return d / "missing"; }},
      // Readable to open, failing on the first read: the copy stops half way.
      {"source fails while read", A::kYes, [](const ScratchDir&) { return std::string("/proc/self/mem"); }},
      {"renamed name too long", A::kAutoRename,
       [](const ScratchDir& d) { WriteFile(d / "src", "new"); return d / "src"; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    const std::string dest = dir / ("out/" + std::string(250, 'n') + ".txt");
    WriteFile(dest, original);
    const auto before = TreeEntries(dir / "out");
    const PlaceOutcome o = Answer(row.answer, row.make_source(dir), dest);
    EXPECT_EQ(o.result, PlaceResult::kFailed);
    EXPECT_FALSE(o.reason.empty());
    EXPECT_EQ(ReadFile(dest), original);
    EXPECT_EQ(TreeEntries(dir / "out"), before);
  }
}

TEST(SafeReplace, FolderInTheWayIsReportedAndLeftAlone) {
  ScratchDir dir;
  WriteFile(dir / "src", "new");
  WriteFile(dir / "out/f/inside", "kept");
  const PlaceOutcome o = Answer(A::kYes, dir / "src", dir / "out/f");
  EXPECT_EQ(o.result, PlaceResult::kFailed);
  EXPECT_EQ(ReadFile(dir / "out/f/inside"), "kept");
  EXPECT_EQ(TreeEntries(dir / "out"), (std::vector<std::string>{"f", "f/inside"}));

  // A file where the destination's folder should be.
  WriteFile(dir / "plain", "x");
  EXPECT_EQ(CopyIntoPlace(dir / "src", dir / "plain/f", PlaceMode::kReplace).status, PlaceCopyResult::kFailed);
  EXPECT_EQ(ReadFile(dir / "plain"), "x");
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
  WriteFile(dir / "src", content);
  WriteFile(dir / "out/f", "old");
  ASSERT_EQ(chmod((dir / "src").c_str(), 0640), 0);
  const struct timespec times[2] = {{981158400, 0}, {981173045, 123456789}};  // 2001-02-03
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "src").c_str(), times, 0), 0);

  for (const char* name : {"f", "g"}) {  // replacing, and a free destination
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

// A cancel during a large file's copy takes effect within a chunk, not at
// the end of the file.
TEST(SafeReplace, AStoppedCopyLeavesTheExistingFileAndNoTemporary) {
  ScratchDir dir;
  WriteFile(dir / "src", test::RandomBytes(17 << 20, 5));
  WriteFile(dir / "out/f", "old");
  int checks = 0;
  const PlaceCopyResult r = CopyIntoPlace(OpenFolder::AtPath(dir.path()), "src", OpenFolder::AtPath(dir / "out"),
                                          "f", PlaceMode::kReplace, [&] { return ++checks > 1; });
  EXPECT_EQ(r.status, PlaceCopyResult::kStopped);
  EXPECT_EQ(checks, 2);
  EXPECT_EQ(ReadFile(dir / "out/f"), "old");
  EXPECT_EQ(TreeEntries(dir / "out"), std::vector<std::string>{"f"});

  // The overwrite policy stops on the job's cancel flag.
  ProgressRecord record;
  record.RequestCancel();
  A standing = A::kYesToAll;
  const PlaceOutcome o = PlaceFile(dir / "src", dir / "out/f", standing, [] { return A::kYes; }, record);
  EXPECT_EQ(o.result, PlaceResult::kKept);
  EXPECT_EQ(ReadFile(dir / "out/f"), "old");
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
