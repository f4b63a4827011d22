#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "app/files.h"
#include "i18n/texts.h"
#include "platform/debug.h"
#include "tests/extract/job_fixture.h"

namespace coffer {
namespace {

using test::Exists;
using test::JobRun;
using test::MakeSelfExtracting;
using test::PackOptions;
using test::ReadFile;
using test::ScratchDir;
using test::TreeContents;
using test::WriteFile;
using A = OverwriteAnswer;

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

// A sender's folder "photos" with nested folders, an empty folder, an empty
// file, a name outside ASCII and one larger incompressible file.
struct Sample {
  ScratchDir dir;
  std::string content = dir / "content/";
  std::string program = dir / "dl/photos.run";
  std::string out = dir / "out";
  std::string base = dir / "out/photos/";

  explicit Sample(const PackOptions& options = {}, bool pack = true) {
    WriteFile(content + "photos/a.jpg", test::RandomBytes(300000, 1));
    WriteFile(content + "photos/notes/readme", "read me\n");
    WriteFile(content + "photos/notes/deeper/empty.txt", "");
    WriteFile(content + "photos/Grüße ☃.txt", std::string(5000, 'x'));
    std::filesystem::create_directories(content + "photos/empty folder");
    WriteFile(content + "top.txt", "top level\n");
    if (pack) MakeSelfExtracting(program, content, options);
  }
  // Every file below the output base equals the sender's.
  void ExpectIntactSubset() const {
    for (const auto& [path, bytes] : TreeContents(base)) {
      ASSERT_TRUE(Exists(content + path)) << path << " is not the sender's";
      EXPECT_TRUE(ReadFile(content + path) == bytes) << path << " differs";
    }
  }
};

TEST(Worker, RoundTripGivesTheSendersTreeAndLeavesNothingBehind) {
  for (const char* switches : {"-m0=lzma2 -mx=1 -ms=on -mhe=off", "-m0=copy -mhe=off", "-m0=ppmd -mhe=on"}) {
    SCOPED_TRACE(switches);
    Sample s({.switches = switches});
    const auto before = test::TempEntries();
    {
      JobRun run(s.program, s.out, "pass word");
      EXPECT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
      const int64_t payload = std::filesystem::file_size(s.program) - 786432;
      EXPECT_EQ(run.host.total_sizes, std::vector<int64_t>{payload});
      EXPECT_EQ(run.record.item_count.load(), 6);  // five files and the probe
      EXPECT_EQ(ReadFile(run.worker.payload_copy_path()).size(), static_cast<size_t>(payload));
      EXPECT_TRUE(run.host.questions.empty());
      EXPECT_EQ(run.host.password_questions, 0);
    }
    EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
    EXPECT_TRUE(IsFolder(s.base + "photos/empty folder"));
    EXPECT_FALSE(Exists(s.base + kProbeItemName));
    EXPECT_EQ(test::TempEntries(), before) << "probe or scratch folders left in the temporary folder";
  }
}

TEST(Worker, OutputFolderWithOrWithoutSlashGivesTheSameBase) {
  Sample s;
  JobRun run(s.program, s.out + "/", "pass word");
  EXPECT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
  EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
}

TEST(Worker, WrongPasswordWritesNothingWhateverTheMethod) {
  // Stored content decrypts to garbage of the right size: only the verdict
  // tells it apart.
  for (const char* switches : {"-m0=lzma2 -mhe=off", "-m0=copy -mhe=off", "-m0=ppmd -mhe=off", "-m0=lzma2 -mhe=on"}) {
    SCOPED_TRACE(switches);
    Sample s({.switches = switches});
    const auto before = test::TempEntries();
    {
      JobRun run(s.program, s.out, "not the password");
      EXPECT_EQ(run.RunHere(), (JobEnd{0, 2, ""}));
    }
    EXPECT_FALSE(Exists(s.out)) << "the output folder must not even be made";
    EXPECT_EQ(test::TempEntries(), before);
  }
}

TEST(Worker, WithoutAProbeTheContentDecides) {
  // Right password: extracted as usual.
  {
    Sample s({.probe = false});
    JobRun run(s.program, s.out, "pass word");
    EXPECT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
    EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
  }
  // Wrong password: the test passes, but every file with content fails and
  // none of them stays (the empty file has nothing to decrypt).
  {
    Sample s({.probe = false});
    JobRun run(s.program, s.out, "wrong");
    const JobEnd end = run.RunHere();
    EXPECT_EQ(end.first, 0);
    EXPECT_EQ(end.second, 3);
    EXPECT_NE(end.text.find("4 files"), std::string::npos) << end.text;
    EXPECT_EQ(TreeContents(s.base).size(), 1u);
    s.ExpectIntactSubset();
  }
}

TEST(Worker, ArchiveOfFoldersOnlyMakesTheFolders) {
  ScratchDir dir;
  std::filesystem::create_directories(dir / "content/a/b");
  std::filesystem::create_directories(dir / "content/c");
  MakeSelfExtracting(dir / "f.run", dir / "content", {.probe = false});
  JobRun run(dir / "f.run", dir / "out", "pass word");
  EXPECT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
  EXPECT_EQ(run.record.item_count.load(), 0);
  EXPECT_TRUE(IsFolder(dir / "out/f/a/b"));
  EXPECT_TRUE(IsFolder(dir / "out/f/c"));
}

TEST(Worker, AProgramWithoutArchiveEndsWithAReadableFailure) {
  ScratchDir dir;
  // Exactly the image: an empty payload copy, nothing to open.
  WriteFile(dir / "bare.run", std::string(786432, '\0'));
  {
    JobRun run(dir / "bare.run", dir / "out", "pw");
    const JobEnd end = run.RunHere();
    EXPECT_EQ(end.first, 0);
    EXPECT_EQ(end.second, 3);
    EXPECT_NE(end.text.find("cannot be opened"), std::string::npos) << end.text;
    EXPECT_EQ(run.record.total_size.load(), 0);
    EXPECT_EQ(run.host.total_sizes, std::vector<int64_t>{0});
  }
  // Shorter than the image.
  WriteFile(dir / "short.run", "#!/bin/sh\n");
  JobRun run(dir / "short.run", dir / "out", "pw");
  const JobEnd end = run.RunHere();
  EXPECT_EQ(end.second, 3);
  EXPECT_NE(end.text.find("holds no archive"), std::string::npos) << end.text;
  EXPECT_FALSE(Exists(dir / "out"));
}

TEST(Worker, ArchiveStartsAnywhereInTheScanWindow) {
  // The archive may start up to 1 MiB into the payload, and no further.
  for (size_t image : {786432ul + 1048576ul, 786432ul + 1048577ul}) {
    Sample s({.image_size = image});
    JobRun run(s.program, s.out, "pass word");
    const JobEnd end = run.RunHere();
    if (image == 786432ul + 1048576ul) {
      EXPECT_EQ(end, (JobEnd{1, 0, ""}));
      EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
    } else {
      EXPECT_EQ(end.second, 3) << end.text;
      EXPECT_FALSE(Exists(s.out));
    }
  }
}

TEST(Worker, DamagedContentIsReportedAndNeverLeftAsGood) {
  Sample s({.switches = "-m0=lzma2 -mx=1 -ms=off -mhe=off"});
  // Flip bytes well inside the packed data of the large file.
  std::string bytes = ReadFile(s.program);
  for (size_t i = 786432 + 20000; i < 786432 + 20100; ++i) bytes[i] = static_cast<char>(~bytes[i]);
  WriteFile(s.program, bytes);
  JobRun run(s.program, s.out, "pass word");
  const JobEnd end = run.RunHere();
  EXPECT_EQ(end.first, 0);
  EXPECT_EQ(end.second, 3);
  EXPECT_EQ(end.text.find("???"), std::string::npos) << end.text;
  s.ExpectIntactSubset();
  // Non-solid: the files after the damage still come out.
  EXPECT_TRUE(Exists(s.base + "top.txt"));
}

TEST(Worker, ItemPathsThatLeaveTheOutputAreRefused) {
  ScratchDir dir;
  WriteFile(dir / "content/good.txt", "good");
  WriteFile(dir / "outside.txt", "evil");
  WriteFile(dir / "absolute.txt", "evil");
  // -spf keeps "../" and absolute paths as given.
  test::Make7z(dir / "a.7z", dir / "content",
               "-spf -mhe=off -ppw good.txt ../outside.txt " + test::Quote(dir / "absolute.txt"));
  WriteFile(dir / "evil.run", std::string(786432, '\0') + ReadFile(dir / "a.7z"));
  std::filesystem::remove(dir / "outside.txt");
  std::filesystem::remove(dir / "absolute.txt");
  JobRun run(dir / "evil.run", dir / "out/x", "pw");
  const JobEnd end = run.RunHere();
  EXPECT_EQ(end.first, 0);
  EXPECT_EQ(end.second, 3);
  EXPECT_NE(end.text.find("2 files"), std::string::npos) << end.text;
  EXPECT_FALSE(Exists(dir / "out/outside.txt"));
  EXPECT_FALSE(Exists(dir / "out/x/outside.txt"));
  EXPECT_FALSE(Exists(dir / "outside.txt"));
  EXPECT_FALSE(Exists(dir / "absolute.txt"));
  EXPECT_EQ(test::TreeEntries(dir / "out/x/evil"), std::vector<std::string>{"good.txt"});
  EXPECT_EQ(ReadFile(dir / "out/x/evil/good.txt"), "good");
}

// --- a second run into the same folder ---

struct SecondRun : Sample {
  SecondRun() {
    std::filesystem::create_directories(base + "photos");
    WriteFile(base + "top.txt", "mine");
    WriteFile(base + "photos/notes/readme", "my readme");
  }
  JobEnd Run(std::deque<A> answers, std::vector<std::pair<std::string, std::string>>* asked = nullptr) {
    JobRun run(program, out, "pass word");
    run.host.answers = std::move(answers);
    const JobEnd end = run.RunHere();
    if (asked) *asked = run.host.questions;
    EXPECT_EQ(run.record.items_placed.load(), 5);
    return end;
  }
};

TEST(Worker, SecondRunAsksOnceThenFollowsTheStandingAnswer) {
  {
    SecondRun s;
    std::vector<std::pair<std::string, std::string>> asked;
    EXPECT_EQ(s.Run({A::kYesToAll}, &asked), (JobEnd{1, 0, ""}));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first.rfind(s.base, 0), 0u) << asked[0].first;
    EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
  }
  {
    SecondRun s;
    EXPECT_EQ(s.Run({A::kNoToAll}), (JobEnd{1, 0, ""}));
    EXPECT_EQ(ReadFile(s.base + "top.txt"), "mine");
    EXPECT_EQ(ReadFile(s.base + "photos/notes/readme"), "my readme");
    EXPECT_EQ(ReadFile(s.base + "photos/a.jpg"), ReadFile(s.content + "photos/a.jpg"));
  }
  {
    SecondRun s;
    EXPECT_EQ(s.Run({A::kAutoRename}), (JobEnd{1, 0, ""}));
    EXPECT_EQ(ReadFile(s.base + "top.txt"), "mine");
    EXPECT_EQ(ReadFile(s.base + "top(1).txt"), "top level\n");
    EXPECT_EQ(ReadFile(s.base + "photos/notes/readme(1)"), "read me\n");
    EXPECT_FALSE(Exists(s.base + kProbeItemName));
  }
}

TEST(Worker, CancelAnswerStopsBeforeTheNextFile) {
  SecondRun s;
  JobRun run(s.program, s.out, "pass word");
  run.host.answers = {A::kCancel};
  EXPECT_EQ(run.RunHere(), (JobEnd{1, 0, ""}));
  EXPECT_EQ(run.host.questions.size(), 1u);
  EXPECT_TRUE(run.record.Cancelled());
  EXPECT_EQ(ReadFile(s.base + "top.txt"), "mine");
}

// --- pause and cancel from another thread ---

// Waits until `done` holds, failing the test after a while.
void Await(const std::function<bool()>& done, const char* what) {
  for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(done()) << what;
}

// A payload large enough that the copy and the extraction take several steps.
struct BigSample : Sample {
  BigSample() : Sample({}, false) {
    WriteFile(content + "photos/big.bin", test::RandomBytes(3 << 20, 9));
    MakeSelfExtracting(program, content, {.switches = "-m0=copy -mhe=off"});
  }
};

TEST(Worker, PauseHoldsTheCopyAndCancelEndsItQuietly) {
  BigSample s;
  const auto before = test::TempEntries();
  {
    JobRun run(s.program, s.out, "pass word");
    run.pause.Pause();
    run.Start();
    Await([&] { return run.record.current_size.load() > 0; }, "the copy did not begin");
    const int64_t held = run.record.current_size.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(run.record.current_size.load(), held) << "the copy went on while paused";
    EXPECT_LT(held, run.record.total_size.load());
    run.pause.Cancel(run.record);
    ASSERT_TRUE(run.host.WaitEnded());
    run.worker.Join();
    EXPECT_EQ(run.host.ends, (std::vector<JobEnd>{JobEnd{1, 0, ""}}));
  }
  EXPECT_FALSE(Exists(s.out));
  EXPECT_EQ(test::TempEntries(), before);
}

TEST(Worker, PauseHoldsTheExtractionAndCancelKeepsOnlyWholeFiles) {
  BigSample s;
  JobRun run(s.program, s.out, "pass word");
  // The extraction's first progress report closes the gate from inside the
  // engine's call (its trace line comes after the gate), so however fast the
  // extraction is, the next report finds the gate closed.
  std::atomic<int64_t> held{-1};
  std::atomic<int> reports_while_paused{0};
  ScopedDebugSink trace([&](const std::string& line) {
    if (line.rfind("g_n", 0) != 0 || run.record.extraction_phase.load() != -1) return;
    if (held.load() >= 0) {
      ++reports_while_paused;
      return;
    }
    run.pause.Pause();
    held = run.record.current_size.load();
  });
  run.Start();
  Await([&] { return held.load() >= 0; }, "extraction did not begin");
  // Time for a gate that does not hold to let a report through; a gate
  // that holds passes whatever the machine's speed.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(reports_while_paused.load(), 0) << "the extraction went on while paused";
  EXPECT_EQ(run.record.current_size.load(), held.load());
  run.pause.Cancel(run.record);
  ASSERT_TRUE(run.host.WaitEnded());
  run.worker.Join();
  EXPECT_EQ(run.host.ends, (std::vector<JobEnd>{JobEnd{1, 0, ""}}));
  s.ExpectIntactSubset();
  EXPECT_FALSE(Exists(s.base + kProbeItemName));
}

TEST(Worker, PauseThenResumeFinishesTheJob) {
  BigSample s;
  JobRun run(s.program, s.out, "pass word");
  run.pause.Pause();
  run.Start();
  Await([&] { return run.record.current_size.load() > 0; }, "the copy did not begin");
  run.pause.Resume();
  ASSERT_TRUE(run.host.WaitEnded());
  run.worker.Join();
  EXPECT_EQ(run.host.ends, (std::vector<JobEnd>{JobEnd{1, 0, ""}}));
  EXPECT_EQ(TreeContents(s.base), TreeContents(s.content));
}

TEST(Worker, AnOutputFolderThatCannotBeMadeEndsWithItsCode) {
  Sample s;
  WriteFile(s.out, "a file where the folder should go");
  JobRun run(s.program, s.out, "pass word");
  const auto start = std::chrono::steady_clock::now();
  const JobEnd end = run.RunHere();
  EXPECT_EQ(end.first, 0);
  EXPECT_EQ(end.second, 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900)) << "six waits";
  EXPECT_EQ(ReadFile(s.out), "a file where the folder should go");
}

}  // namespace
}  // namespace coffer
