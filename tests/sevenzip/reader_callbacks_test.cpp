// The reader's callbacks with the real engine: passwords, progress and
// cancelling, per-item verdicts, refused paths, failed output files, and
// our exceptions carried across the library call.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/error.h"
#include "sevenzip/reader.h"
#include "sevenzip/t7z_stream.h"
#include "tests/sevenzip/fixtures.h"

namespace coffer::sevenzip {
namespace {

using test::FindItem;
using test::Make7z;
using test::RealReader;
using test::ScratchDir;

struct PasswordScript {
  int calls = 0;
  std::string answer;
  int32_t result = 0;
};

int32_t AnswerPassword(void* sender, std::string& password) {
  auto* script = static_cast<PasswordScript*>(sender);
  EXPECT_EQ(password, "");
  ++script->calls;
  password = script->answer;
  return script->result;
}

struct ProgressLog {
  std::vector<std::pair<bool, int64_t>> calls;
  int stop_after = -1;  // answer the stop code from this completed-call on
  bool throw_instead = false;
};

int32_t LogProgress(void* sender, bool is_total, int64_t value) {
  auto* log = static_cast<ProgressLog*>(sender);
  log->calls.emplace_back(is_total, value);
  const auto completed = std::count_if(log->calls.begin(), log->calls.end(), [](auto& c) { return !c.first; });
  if (log->stop_after >= 0 && !is_total && completed > log->stop_after) {
    if (log->throw_instead) throw Error("stopped by the handler");
    return kStopResult;
  }
  return 0;
}

using CallbackTest = test::SampleTreeTest;

TEST_F(CallbackTest, EncryptedContentKeepsNamesReadableAndAKnownPasswordNeverAsks) {
  auto reader = RealReader();
  PasswordScript script;
  reader->SetPasswordHandler(&script, AnswerPassword);
  reader->OpenFromFile(Archive("enc", "-m0=LZMA2 -psecret"));
  EXPECT_GE(FindItem(reader, "names/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"), 0);
  reader->SetKnownPassword("secret");
  reader->ExtractAllToFolder(dir_ / "out");
  EXPECT_EQ(test::TreeContents(dir_ / "out"), expected_);
  EXPECT_TRUE(reader->LastFailures().empty());
  EXPECT_EQ(script.calls, 0);
}

TEST_F(CallbackTest, PasswordsBeyondAsciiDeriveTheSameKeyAs7zz) {
  const char* passwords[] = {"p\xC3\xA4ssw\xC3\xB6rd", "\xE5\xAF\x86\xE7\xA0\x81", "smile \xF0\x9F\x98\x80"};
  int n = 0;
  for (const char* password : passwords) {
    const std::string name = "pw" + std::to_string(n++);
    auto reader = RealReader();
    reader->OpenFromFile(Archive(name, "-m0=LZMA2 -p" + test::Quote(password)));
    reader->SetKnownPassword(password);
    reader->ExtractAllToFolder(dir_ / name);
    EXPECT_TRUE(reader->LastFailures().empty()) << password;
    EXPECT_EQ(test::TreeContents(dir_ / name), expected_) << password;
  }
}

TEST_F(CallbackTest, AnEmptyPasswordAsksTheHandlerOnceUntilClose) {
  const std::string archive = Archive("ask", "-m0=LZMA2 -ms=off -psecret");
  auto reader = RealReader();
  PasswordScript script{0, "secret", 0};
  reader->SetPasswordHandler(&script, AnswerPassword);
  reader->SetKnownPassword("");
  reader->OpenFromFile(archive);
  reader->ExtractAllToFolder(dir_ / "out1");  // non-solid: many requests
  reader->ExtractAllToFolder(dir_ / "out2");
  EXPECT_EQ(script.calls, 1);
  EXPECT_EQ(test::TreeContents(dir_ / "out2"), expected_);
  reader->CloseArchive();
  reader->OpenFromFile(archive);
  reader->ExtractAllToFolder(dir_ / "out3");
  EXPECT_EQ(script.calls, 2);
}

TEST_F(CallbackTest, WrongOrMissingPasswordGivesNonOkVerdictsForEveryFile) {
  const std::string archive = Archive("wrong", "-m0=LZMA2 -ms=off -psecret");
  PasswordScript refusing{0, "", 1};
  const struct {
    const char* known;
    PasswordScript* script;
  } cases[] = {{"wrong", nullptr}, {"", nullptr}, {"", &refusing}};
  for (const auto& c : cases) {
    auto reader = RealReader();
    if (c.script) reader->SetPasswordHandler(c.script, AnswerPassword);
    reader->SetKnownPassword(c.known);
    reader->OpenFromFile(archive);
    const std::string out = dir_ / ("out_" + std::to_string(&c - cases));
    reader->ExtractAllToFolder(out);
    std::vector<std::string> failed;
    for (const auto& f : reader->LastFailures()) {
      EXPECT_TRUE(f.verdict == Verdict::kDataError || f.verdict == Verdict::kCrcError ||
                  f.verdict == Verdict::kWrongPassword)
          << f.path << " " << f.message;
      EXPECT_FALSE(f.message.empty());
      failed.push_back(f.path);
    }
    std::sort(failed.begin(), failed.end());
    std::vector<std::string> nonempty;
    for (const auto& [path, content] : expected_)
      if (!content.empty()) nonempty.push_back(path);
    EXPECT_EQ(failed, nonempty) << c.known;
  }
}

TEST_F(CallbackTest, AFlippedPackedByteGivesACrcOrDataErrorVerdict) {
  for (const char* method : {"-m0=Copy", "-m0=LZMA2", "-m0=PPMd"}) {
    ScratchDir one;
    test::WriteFile(one / "f.bin", test::RandomBytes(4000, 9));
    const std::string archive = one / "f.7z";
    Make7z(archive, one.path(), std::string(method) + " f.bin");
    std::string bytes = test::ReadFile(archive);
    bytes[32 + 100] ^= 0x55;  // packed data starts right after the 32-byte signature header
    test::WriteFile(archive, bytes);
    auto reader = RealReader();
    reader->OpenFromFile(archive);
    reader->ExtractAllToFolder(one / "out");
    const auto failures = reader->LastFailures();
    ASSERT_EQ(failures.size(), 1u) << method;
    EXPECT_EQ(failures[0].path, "f.bin");
    EXPECT_TRUE(failures[0].verdict == Verdict::kCrcError || failures[0].verdict == Verdict::kDataError) << method;
  }
}

TEST_F(CallbackTest, ProgressReportsTotalThenCompletedAndAnswersZeroWithoutAHandler) {
  auto reader = RealReader();
  ProgressLog log;
  reader->SetProgressHandler(&log, LogProgress);
  reader->OpenFromFile(Archive("progress", "-m0=LZMA2"));
  reader->ExtractAllToFolder(dir_ / "out");
  ASSERT_FALSE(log.calls.empty());
  EXPECT_TRUE(log.calls.front().first);
  int64_t sum = 0;
  for (const auto& [path, content] : expected_) sum += static_cast<int64_t>(content.size());
  EXPECT_EQ(log.calls.front().second, sum);
  EXPECT_EQ(log.calls.back(), std::make_pair(false, sum));
  reader->SetProgressHandler(nullptr, nullptr);
  reader->ExtractAllToFolder(dir_ / "out2");
  EXPECT_EQ(test::TreeContents(dir_ / "out2"), expected_);
}

// A stop ends the call at once, in a solid block of several items too: no
// further report, nothing taken for damage, at most the one cut-off item.
TEST_F(CallbackTest, AProgressHandlerStoppingOrThrowingEndsTheExtractionAtOnce) {
  ScratchDir big;
  for (int i = 0; i < 8; ++i) test::WriteFile(big / ("f" + std::to_string(i)), test::RandomBytes(3 << 20, i));
  const std::string solid = big / "solid.7z", separate = big / "separate.7z";
  Make7z(separate, big.path(), "-m0=LZMA2 -mx=1 -ms=off f*");
  Make7z(solid, big.path(), "-m0=LZMA2 -mx=1 -ms=8m -ppw f*");  // several solid blocks, encrypted
  for (const std::string& archive : {separate, solid}) {
    for (bool throw_instead : {false, true}) {
      SCOPED_TRACE(archive + (throw_instead ? " throwing" : " stopping"));
      auto reader = RealReader();
      ProgressLog log{{}, 1, throw_instead};
      reader->SetProgressHandler(&log, LogProgress);
      reader->SetKnownPassword("pw");
      reader->OpenFromFile(archive);
      const std::string out = big / (throw_instead ? "out_throw" : "out_stop");
      try {
        reader->ExtractAllToFolder(out);
        ADD_FAILURE() << "extraction ran to the end";
      } catch (const std::system_error& e) {
        EXPECT_FALSE(throw_instead) << e.what();
      } catch (const Error& e) {
        EXPECT_TRUE(throw_instead);
        EXPECT_EQ(std::string(e.what()), "stopped by the handler");
      }
      EXPECT_EQ(log.calls.size(), 3u) << "a report after the stop";
      const auto failures = reader->LastFailures();
      EXPECT_LE(failures.size(), 1u);
      for (const auto& f : failures) EXPECT_EQ(f.verdict, Verdict::kStopped) << f.path << ": " << f.message;
      EXPECT_LT(test::TreeContents(out).size(), 8u);
      // Still usable afterwards.
      reader->SetProgressHandler(nullptr, nullptr);
      reader->ExtractAllToFolder(out);
      EXPECT_EQ(test::TreeContents(out).size(), 8u);
      EXPECT_TRUE(reader->LastFailures().empty());
      test::Run("rm -rf " + test::Quote(out));
    }
  }
}

TEST_F(CallbackTest, TraversalNamesAreRefusedAndWriteNothingOutside) {
  ScratchDir box;
  const std::string root = box / "root/";
  test::WriteFile(root + "src/a.txt", "a");
  test::WriteFile(root + "src/b.txt", "b");
  test::WriteFile(root + "src/c.txt", "c");
  test::WriteFile(root + "src/ok.txt", "ok");
  const std::string archive = root + "t.7z";
  Make7z(archive, root + "src", "a.txt b.txt c.txt ok.txt");
  std::string out;
  ASSERT_EQ(test::Run("7zz rn -bd " + test::Quote(archive) + " a.txt ../evil.txt b.txt " +
                          test::Quote(root + "abs.txt") + " c.txt sub/../../../up.txt", &out), 0) << out;
  auto reader = RealReader();
  reader->OpenFromFile(archive);
  reader->ExtractAllToFolder(root + "out/x");
  EXPECT_EQ(test::TreeContents(root + "out"), (std::vector<std::pair<std::string, std::string>>{{"x/ok.txt", "ok"}}));
  EXPECT_EQ(test::TreeEntries(box.path()),
            (std::vector<std::string>{"root", "root/out", "root/out/x", "root/out/x/ok.txt", "root/src",
                                      "root/src/a.txt", "root/src/b.txt", "root/src/c.txt", "root/src/ok.txt",
                                      "root/t.7z"}));
  std::vector<std::string> refused;
  for (const auto& f : reader->LastFailures()) {
    EXPECT_EQ(f.verdict, Verdict::kPathRefused);
    refused.push_back(f.path);
  }
  std::sort(refused.begin(), refused.end());
  // The absolute name as 7zz stored it.
  EXPECT_EQ(refused, (std::vector<std::string>{"../evil.txt", test::ShellPath(root + "abs.txt"), "sub/../../../up.txt"}));
}

TEST_F(CallbackTest, AFailingTargetStreamRaisesItsOwnError) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("readonly", "-m0=LZMA2"));
  test::WriteFile(dir_ / "ro.out", "");
  FileStream read_only(dir_ / "ro.out", FileMode::kRead);
  try {
    reader->ExtractItemToStream(FindItem(reader, "readme.txt"), read_only, false);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(dir_ / "ro.out"), std::string::npos) << e.what();
  }
  FileStream fine(dir_ / "fine.out", FileMode::kCreate);
  reader->ExtractItemToStream(FindItem(reader, "zero.txt"), fine, false);
  EXPECT_EQ(fine.Size(), 0);
}

struct Collected {
  std::string folder;
  std::vector<uint32_t> indices;
  std::vector<std::unique_ptr<FileStream>> files;
};

int32_t StreamPerItem(void* sender, uint32_t index, ISequentialOutStream** stream) {
  auto* c = static_cast<Collected*>(sender);
  c->indices.push_back(index);
  c->files.push_back(std::make_unique<FileStream>(c->folder + std::to_string(index), FileMode::kCreate));
  *stream = T7zStream::Create(c->files.back().get(), StreamOwnership::Borrowed, nullptr).Detach()->AsSequentialOutStream();
  return 0;
}

TEST_F(CallbackTest, ItemStreamHandlersGetEachRequestedItem) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("handler", "-m0=LZMA2"));
  const uint32_t leaf = FindItem(reader, "deep/er/still/leaf.txt");
  const uint32_t readme = FindItem(reader, "readme.txt");
  Collected list{dir_.path(), {}, {}};
  const uint32_t unsorted[] = {readme, leaf, readme};
  reader->ExtractItemList(unsorted, 3, false, &list, StreamPerItem);
  EXPECT_EQ(list.indices, (std::vector<uint32_t>{std::min(leaf, readme), std::max(leaf, readme)}));
  list.files.clear();
  EXPECT_EQ(test::ReadFile(dir_ / std::to_string(leaf)), "leaf");

  Collected all{dir_ / "all_", {}, {}};
  reader->ExtractAllWithHandler(false, &all, StreamPerItem);
  EXPECT_EQ(all.indices.size(), expected_.size() + 6);
  Collected tested{dir_ / "test_", {}, {}};
  reader->ExtractAllWithHandler(true, &tested, StreamPerItem);
  EXPECT_TRUE(tested.indices.empty());  // test mode asks for no stream
}

}  // namespace
}  // namespace coffer::sevenzip
