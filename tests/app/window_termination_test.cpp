// The window program ended by the system from the outside: a termination
// signal in each stage, and the display going away, on a real
// self-extracting file answered from the keyboard. Whatever the moment,
// the run ends as a confirmed cancel does: no working folder, no piece of a
// file, only whole files in the output.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/files.h"
#include "tests/app/window_driver.h"
#include "tests/support/other_fs-posix.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Quote;
using test::ReadFile;
using test::WriteFile;

class WindowEnded : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ExtractorImageCarriesAnArchive()) GTEST_SKIP() << "this build's extractor image is not stripped (sanitizers)";
    // Stored, so that the copy and the extraction both last a moment. The
    // working folders go to another file system than the output where
    // there is one, so that placing copies: a rename would be over before
    // any signal could come.
    tmp_ = other_.ok() ? other_ / "tmp" : dir_ / "tmp";
    test::Run("mkdir -p " + Quote(dir_ / "big") + " " + Quote(tmp_) + " && head -c 200000000 /dev/urandom > " +
              Quote(dir_ / "big/large.bin"));
    WriteFile(dir_ / "big/small.txt", "small\n");
    WriteFile(dir_ / "probe/" + std::string(kProbeItemName), test::RandomBytes(64, 3));
    test::Make7z(dir_ / "big.7z", dir_ / "big",
                 "-m0=copy -mhe=off -ppw large.bin small.txt ../probe/" + std::string(kProbeItemName));
    test::WriteSelfExtractor(program_, dir_ / "big.7z");
    std::filesystem::remove(dir_ / "big.7z");
    WriteFile(dir_ / "driver.sh", std::string(test::kGtkWindows) + test::kDriver);
  }

  // Runs the file until `stop_when` (a shell test) holds, then ends it
  // with `stop_with` (a signal's name, or "display"); returns the program's
  // status as the driver saw it.
  int EndWhen(const std::string& stop_when, const std::string& stop_with, const std::string& keys = "") {
    const std::string driver_env = "STOP_WHEN=" + Quote(stop_when) + " STOP_WITH=" + Quote(stop_with);
    std::string log;
    test::Run(test::DriverCommand(dir_ / "driver.sh", program_, dir_ / "out/", "pw", keys, dir_ / "trace",
                                  {"TMPDIR=" + tmp_}, driver_env),
              &log);
    log_ = log;
    const auto at = log.rfind("program status ");
    return at == std::string::npos ? -1 : std::stoi(log.substr(at + 15));
  }
  void ExpectOnlyWholeFiles(const std::string& what, const std::string& previous_large = "") {
    if (!test::Exists(dir_ / "out/big")) return ExpectNoWorkingFolder(what);
    for (const auto& [path, content] : test::TreeContents(dir_ / "out/big")) {
      if (path == "large.bin" && content == previous_large) continue;
      EXPECT_EQ(content, ReadFile(dir_ / "big/" + path)) << what << ": " << path << " is not whole\n" << log_;
    }
    ExpectNoWorkingFolder(what);
  }
  void ExpectNoWorkingFolder(const std::string& what) {
    EXPECT_EQ(test::TreeEntries(tmp_), std::vector<std::string>{}) << what << ": working folders left\n"
                                                                          << log_;
  }

  test::ScratchDir dir_;
  test::OtherFileSystem other_;
  std::string tmp_;
  std::string program_ = dir_ / "big.run";
  std::string log_;
};

TEST_F(WindowEnded, EachStageEndsAsAConfirmedCancel) {
  const std::string tmp = Quote(tmp_), out = Quote(dir_ / "out/big");
  const std::string copying = "[ -n \"$(find " + tmp + " -name tmp.dat -size +1k 2>/dev/null)\" ]";
  const std::string extracting = "[ -e " + out + "/large.bin ]";
  const std::string asking = "find_role coffer-overwrite >/dev/null";
  const std::string placing = "ls -a " + out + " 2>/dev/null | grep -q '^\\.coffer-'";
  const struct {
    const char* what;
    std::string when;
    const char* with;
    bool second_run;
    const char* keys;
    int status;
  } cases[] = {
      {"copy, SIGTERM", copying, "TERM", false, "", 128 + SIGTERM},
      {"extraction, SIGHUP", extracting, "HUP", false, "", 128 + SIGHUP},
      {"extraction, display lost", extracting, "display", false, "", 1},
      {"overwrite question, SIGINT", asking, "INT", true, "", 128 + SIGINT},
      {"placing, SIGTERM", placing, "TERM", true, "alt+a", 128 + SIGTERM},
  };
  for (const auto& c : cases) {
    if (c.when == placing && !other_.ok()) {
      std::printf("[  SKIPPED ] %s: %s\n", c.what, other_.reason().c_str());
      continue;
    }
    test::Run("rm -rf " + Quote(dir_ / "out"));
    std::string previous;
    if (c.second_run) {
      // A first run whole, then an older large file in its place.
      WriteFile(dir_ / "out/big/small.txt", "small\n");
      test::Run("cp " + Quote(dir_ / "big/large.bin") + " " + Quote(dir_ / "out/big/large.bin"));
      previous = "an older large file\n";
      WriteFile(dir_ / "out/big/large.bin", previous);
    }
    EXPECT_EQ(EndWhen(c.when, c.with, c.keys), c.status) << c.what << "\n" << log_ << ReadFile(dir_ / "trace");
    EXPECT_EQ(log_.find("the stop never came"), std::string::npos) << c.what << "\n" << log_;
    ExpectOnlyWholeFiles(c.what, previous);
    if (c.second_run) {
      EXPECT_TRUE(test::Exists(dir_ / "out/big/large.bin")) << c.what << ": the existing file is lost";
    }
  }
}

}  // namespace
}  // namespace coffer
