// --list, --test and --extract on intact, damaged and wrongly keyed files,
// and --extract's answers to files that are already there.
#include <fstream>

#include "app/files.h"
#include "pack/packer.h"
#include "tests/pack/pack_fixture.h"

namespace coffer::pack::test {
namespace {

class Modes : public PackTest {
 protected:
  void SetUp() override {
    PackTest::SetUp();
    PackOk("good", "src");
    const std::string good = ReadFile(dir_ / "good.run");
    // Bytes flipped in the packed data, and in the headers at the end.
    std::string middle = good, tail = good;
    const size_t mid = (kPayloadOffset + good.size()) / 2;
    for (size_t i = 0; i < 16; ++i) middle[mid + i] = static_cast<char>(~middle[mid + i]);
    for (size_t i = good.size() - 24; i < good.size() - 8; ++i) tail[i] = static_cast<char>(~tail[i]);
    WriteFile(dir_ / "middle.run", middle);
    WriteFile(dir_ / "tail.run", tail);
    WriteFile(dir_ / "short.run", good.substr(0, kPayloadOffset));
  }
  int Status(const std::string& args, std::string* out = nullptr) { return Pack(args, out); }
};

TEST_F(Modes, ListShowsItemsWithoutPasswordAndJudgesHeaders) {
  std::string out;
  ASSERT_EQ(Status("--list good.run", &out), 0) << out;
  EXPECT_NE(out.find("a/b/c/deep.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("folder              -  empty/inner/"), std::string::npos) << out;
  EXPECT_NE(out.find("         300000  random.bin"), std::string::npos) << out;
  EXPECT_EQ(out.find(kProbeItemName), std::string::npos) << out;
  EXPECT_NE(out.find("intact"), std::string::npos);
  // The headers are whole when only packed data is damaged.
  EXPECT_EQ(Status("--list middle.run"), 0);
  for (const char* bad : {"tail.run", "short.run", "stand-in", "missing.run"}) {
    EXPECT_EQ(Status(std::string("--list ") + bad, &out), 1) << bad << out;
    EXPECT_NE(out.find("damaged"), std::string::npos) << out;
  }
}

TEST_F(Modes, TestAndExtractExitStatuses) {
  struct Case {
    const char* file;
    const char* password_file;
    int status;
  } cases[] = {
      {"good.run", "pw", 0},   {"middle.run", "pw", 1}, {"tail.run", "pw", 1},
      {"short.run", "pw", 1},  {"good.run", "wrong", 3},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_EQ(Status(std::string("--test ") + c.file + " --password-file " + c.password_file, &out), c.status)
        << c.file << " " << c.password_file << "\n" << out;
    Sh("rm -rf " + Quote(dir_ / "x"));
    EXPECT_EQ(Status(std::string("--extract ") + c.file + " -o x --overwrite never --password-file " +
                         c.password_file, &out),
              c.status)
        << c.file << " " << c.password_file << "\n" << out;
    const std::string base = dir_ / ("x/" + FileNameWithoutExtension(c.file));
    if (c.status == 0) {
      EXPECT_EQ(TreeContents(base), TreeContents(dir_ / "src"));
    }
    if (c.status == 3) {
      EXPECT_FALSE(Exists(base)) << "wrong password wrote output";
    }
  }
  EXPECT_EQ(TreeEntries(dir_ / "tmp"), std::vector<std::string>{}) << "working folders left behind";
}

TEST_F(Modes, SecondRunFollowsTheOverwriteMode) {
  const std::string changed = "changed by hand\n";
  const std::string deep = "x/good/a/b/c/deep.txt";
  struct Case {
    const char* mode;
    std::string deep_content;   // what the existing file holds afterwards
    bool renamed_copy;          // deep(1).txt holds the packed content
  } cases[] = {
      {"always", "deep down\n", false},
      {"never", changed, false},
      {"rename", changed, true},
  };
  for (const auto& c : cases) {
    Sh("rm -rf " + Quote(dir_ / "x"));
    ASSERT_EQ(Status("--extract good.run -o x --overwrite never --password-file pw"), 0);
    WriteFile(dir_ / deep, changed);
    std::string out;
    ASSERT_EQ(Status(std::string("--extract good.run -o x --password-file pw --overwrite ") + c.mode, &out), 0)
        << c.mode << out;
    EXPECT_EQ(ReadFile(dir_ / deep), c.deep_content) << c.mode;
    const std::string copy = dir_ / "x/good/a/b/c/deep(1).txt";
    EXPECT_EQ(Exists(copy), c.renamed_copy) << c.mode;
    if (c.renamed_copy) {
      EXPECT_EQ(ReadFile(copy), "deep down\n");
    }
    EXPECT_EQ(ReadFile(dir_ / "x/good/text.txt"), ReadFile(dir_ / "src/text.txt")) << c.mode;
  }
}

TEST_F(Modes, AskNeedsATerminalAndTakesItsAnswers) {
  std::string out;
  EXPECT_EQ(Status("--extract good.run -o x --password-file pw", &out), 2) << out;
  EXPECT_NE(out.find("needs a terminal"), std::string::npos) << out;
  EXPECT_FALSE(Exists(dir_ / "x"));

  ASSERT_EQ(Status("--extract good.run -o x --overwrite never --password-file pw"), 0);
  // Through a terminal of its own: "A" replaces this and every later file,
  // "c" stops the job (a failure, the existing file kept).
  const struct {
    const char* reply;
    int status;
    bool replaced;
  } cases[] = {{"c", 1, false}, {"A", 0, true}};
  for (const auto& c : cases) {
    WriteFile(dir_ / "x/good/text.txt", "mine\n");
    WriteFile(dir_ / "x/good/a/b/c/deep.txt", "mine\n");
    const int rc = Sh("cd " + Quote(dir_.path()) + " && (sleep 1; printf '" + c.reply + "\\n') | " + Env() + "script -qec " +
                           Quote(coffer::test::BinaryDir() + "coffer-pack --extract good.run -o x --password-file pw") +
                           " /dev/null; exit $?",
                       &out);
    EXPECT_EQ(rc, c.status) << c.reply << out;
    EXPECT_NE(out.find("already exists"), std::string::npos) << out;
    EXPECT_NE(out.find(" bytes, modified "), std::string::npos) << out;
    EXPECT_EQ(ReadFile(dir_ / "x/good/text.txt") != "mine\n", c.replaced) << c.reply;
    EXPECT_EQ(ReadFile(dir_ / "x/good/a/b/c/deep.txt") != "mine\n", c.replaced) << c.reply;
  }
  EXPECT_EQ(TreeEntries(dir_ / "tmp"), std::vector<std::string>{});
}

TEST_F(Modes, InterruptAtTheQuestionStopsCleanly) {
  ASSERT_EQ(Status("--extract good.run -o x --overwrite never --password-file pw"), 0);
  WriteFile(dir_ / "x/good/text.txt", "mine\n");
  // The job waits at the first question when Ctrl-C comes.
  std::string out;
  const std::string command = Quote(coffer::test::BinaryDir() + "coffer-pack") +
                              " --extract good.run -o x --password-file pw & echo $! > pid; wait $!";
  const int rc = Sh("cd " + Quote(dir_.path()) + " && { sleep 2; kill -INT $(cat pid); sleep 1; } | " + Env() +
                        "script -qec " + Quote(command) + " /dev/null",
                    &out);
  EXPECT_EQ(rc, 130) << out;
  EXPECT_NE(out.find("already exists"), std::string::npos) << out;
  EXPECT_EQ(ReadFile(dir_ / "x/good/text.txt"), "mine\n");
  EXPECT_EQ(TreeEntries(dir_ / "tmp"), std::vector<std::string>{}) << "working folder left behind";
}

}  // namespace
}  // namespace coffer::pack::test
