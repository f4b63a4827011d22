#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <vector>
#include <string>

#include "extract/overwrite.h"
#include "platform/fs_path.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Exists;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;
using A = OverwriteAnswer;

// Conflicts f0, f1, ... in one run: out/fK holds "old K", scratch/fK "new K".
struct Conflicts {
  ScratchDir dir;
  ProgressRecord record;
  OverwriteAnswer standing = A::kYes;  // what the worker starts with
  std::deque<A> script;
  int asked = 0;

  explicit Conflicts(int conflicts) {
    for (int k = 0; k < conflicts; ++k) {
      WriteFile(Out(k), "old " + std::to_string(k));
      WriteFile(Src(k), "new " + std::to_string(k));
    }
  }
  std::string Out(int k) const { return dir / ("out/f" + std::to_string(k)); }
  std::string Src(int k) const { return dir / ("scratch/f" + std::to_string(k)); }
  PlaceOutcome Place(int k) {
    return PlaceFile(Src(k), Out(k), standing, [&] {
      ++asked;
      if (script.empty()) ADD_FAILURE() << "asked once too often";
      A a = script.empty() ? A::kCancel : script.front();
      if (!script.empty()) script.pop_front();
      return a;
    }, record);
  }
};

// What became of each conflict: R replaced, K kept and scratch copy
// deleted, k kept and scratch copy left, N put beside as fK(1).
char Effect(const Conflicts& run, int k, const PlaceOutcome& o) {
  const std::string n = std::to_string(k);
  const bool old_kept = ReadFile(run.Out(k)) == "old " + n;
  const bool renamed = Exists(run.dir / ("out/f" + n + "(1)"));
  if (o.result == PlaceResult::kPlaced && !old_kept && !renamed && o.path == run.Out(k)) return 'R';
  if (o.result == PlaceResult::kPlaced && old_kept && renamed &&
      ReadFile(run.dir / ("out/f" + n + "(1)")) == "new " + n)
    return 'N';
  if (o.result == PlaceResult::kKept && old_kept && !renamed) return Exists(run.Src(k)) ? 'k' : 'K';
  return '?';
}

TEST(OverwritePolicy, AnswerSequences) {
  const struct {
    const char* name;
    std::deque<A> answers;
    const char* effects;  // one per conflict, in order
    int asked;
    bool cancelled;
  } rows[] = {
      {"first conflict always asks; Yes decides one file", {A::kYes, A::kYes}, "RR", 2, false},
      {"No deletes the scratch copy and asks again", {A::kNo, A::kYes, A::kNo}, "KRK", 3, false},
      {"Yes to all replaces every later conflict", {A::kYesToAll}, "RRR", 1, false},
      {"No to all leaves later scratch copies", {A::kNoToAll}, "Kkk", 1, false},
      {"Auto rename renames every later conflict", {A::kAutoRename}, "NNN", 1, false},
      {"standing answer set by a later question", {A::kYes, A::kNo, A::kNoToAll}, "RKKkk", 3, false},
      {"Cancel deletes the copy and stops the job", {A::kCancel}, "K", 1, true},
      {"an answer no button gives keeps the file", {static_cast<A>(7), A::kYes}, "KR", 2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int n = static_cast<int>(std::string(row.effects).size());
    Conflicts run(n);
    run.script = row.answers;
    std::string effects;
    for (int k = 0; k < n && !run.record.Cancelled(); ++k) effects += Effect(run, k, run.Place(k));
    EXPECT_EQ(effects, row.effects);
    EXPECT_EQ(run.asked, row.asked);
    EXPECT_EQ(run.record.Cancelled(), row.cancelled);
    EXPECT_TRUE(run.script.empty());
  }
}

TEST(OverwritePolicy, StandingAnswerIsTheLastOneGiven) {
  Conflicts run(2);
  run.script = {A::kNo, A::kAutoRename};
  run.Place(0);
  EXPECT_EQ(run.standing, A::kNo);
  run.Place(1);
  EXPECT_EQ(run.standing, A::kAutoRename);
}

TEST(OverwritePolicy, FreeDestinationIsPlacedWithoutAsking) {
  Conflicts run(0);
  WriteFile(run.Src(0), "fresh");
  WriteFile(run.dir / "out/keep", "");
  const PlaceOutcome o = run.Place(0);
  EXPECT_EQ(o.result, PlaceResult::kPlaced);
  EXPECT_EQ(ReadFile(run.Out(0)), "fresh");
  EXPECT_EQ(run.asked, 0);
}

TEST(AutoRename, Examples) {
  ScratchDir dir;
  const struct {
    const char* name;
    std::vector<const char*> present;
    const char* expected;
  } rows[] = {
      {"readme", {}, "readme(1)"},
      {".config", {}, "(1).config"},
      {"a.jpg", {"a(1).jpg"}, "a(2).jpg"},
      {"a.b.c", {}, "a.b(1).c"},
      {"x.txt", {"x(1).txt", "x(2).txt", "x(3).txt", "x(4).txt", "x(5).txt", "x(6).txt", "x(7).txt",
                 "x(8).txt", "x(9).txt"}, "x(10).txt"},
      {"gap.txt", {"gap(1).txt", "gap(3).txt"}, "gap(2).txt"},
      {"dir.d", {"dir(1).d/"}, "dir(2).d"},      // a folder takes the name too
  };
  for (const auto& row : rows) {
    const std::string folder = dir / (std::string(row.name) + ".case/");
    for (std::string p : row.present) {
      if (p.back() == '/') std::filesystem::create_directories(FsPath(folder + p));
      else WriteFile(folder + p, "");
    }
    EXPECT_EQ(AutoRename(OpenFolder::AtPath(folder), row.name), row.expected) << row.name;
  }
}

TEST(AutoRename, StopsAtItsBoundAndNeverOverwrites) {
  Conflicts run(1);
  for (int n = 1; n <= 3; ++n) WriteFile(run.dir / ("out/f0(" + std::to_string(n) + ")"), "taken");
  const OpenFolder out = OpenFolder::AtPath(run.dir / "out");
  EXPECT_EQ(AutoRename(out, "f0", 3), std::nullopt);
  EXPECT_EQ(AutoRename(out, "f0", 4), "f0(4)");

  run.standing = A::kAutoRename;
  const PlaceOutcome o = PlaceFile(run.Src(0), run.Out(0), run.standing, [] { return A::kYes; }, run.record, 3);
  EXPECT_EQ(o.result, PlaceResult::kFailed);
  EXPECT_FALSE(o.reason.empty());
  EXPECT_EQ(ReadFile(run.Out(0)), "old 0");
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(ReadFile(run.dir / ("out/f0(" + std::to_string(n) + ")")), "taken");
  EXPECT_FALSE(Exists(run.dir / "out/f0(4)"));
}

}  // namespace
}  // namespace coffer
