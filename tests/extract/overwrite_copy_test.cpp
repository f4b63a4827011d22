#include <gtest/gtest.h>

#include <functional>

#include <filesystem>
#include <string>

#include "extract/overwrite.h"
#include "platform/file_place.h"
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

TEST(SafeReplace, NoReplaceModeLeavesAnExistingFileAlone) {
  ScratchDir dir;
  WriteFile(dir / "src", "new");
  WriteFile(dir / "out/f", "old");
  EXPECT_EQ(CopyIntoPlace(dir / "src", dir / "out/f", PlaceMode::kNoReplace).status, PlaceCopyResult::kExists);
  EXPECT_EQ(ReadFile(dir / "out/f"), "old");
  EXPECT_EQ(TreeEntries(dir / "out"), (std::vector<std::string>{"f"}));
}

}  // namespace
}  // namespace coffer
