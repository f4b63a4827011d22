// What a hostile sender or an unlucky recipient meets from a terminal:
// items slipped into the archive without the password, a run ended by the
// system in each of its stages, a small temporary folder, the trace.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/files.h"
#include "pack/packer.h"
#include "tests/pack/pack_fixture.h"
#include "tests/support/other_fs-posix.h"

namespace coffer::pack::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The archive part of a packed file and the image in front of it.
std::pair<std::string, std::string> Split(const std::string& file) {
  const std::string bytes = ReadFile(file);
  return {bytes.substr(0, kPayloadOffset), bytes.substr(kPayloadOffset)};
}

class Hardening : public PackTest {
 protected:
  // `7zz ARGS` on the archive inside `file`, written back behind its image.
  void Change7z(const std::string& file, const std::string& args) {
    auto [image, archive] = Split(dir_ / file);
    WriteFile(dir_ / "part.7z", archive);
    std::string out;
    ASSERT_EQ(Sh("cd " + Quote(dir_.path()) + " && 7zz " + args + " -bd part.7z", &out), 0) << out;
    WriteFile(dir_ / file, image + ReadFile(dir_ / "part.7z"));
    fs::remove(dir_ / "part.7z");
  }
};

TEST_F(Hardening, ItemsAddedWithoutThePasswordNeverComeOut) {
  PackOk("good", "src");
  WriteFile(dir_ / "evil.sh", "#!/bin/sh\necho gotcha\n");
  WriteFile(dir_ / "blank", "");  // no data, nothing to protect
  Change7z("good.run", "u part.7z evil.sh blank");
  std::string out;
  EXPECT_EQ(Pack("--list good.run", &out), 0) << out;
  EXPECT_NE(out.find("evil.sh   (not protected by the password)"), std::string::npos) << out;
  EXPECT_EQ(out.find("blank   (not"), std::string::npos) << out;
  EXPECT_EQ(Pack("--test good.run --password-file pw", &out), 1) << out;
  EXPECT_NE(out.find("refused: evil.sh (not protected by the password)"), std::string::npos) << out;
  EXPECT_EQ(Pack("--extract good.run -o x --overwrite never --password-file pw", &out), 1) << out;
  EXPECT_NE(out.find("evil.sh: not protected by the password"), std::string::npos) << out;
  EXPECT_FALSE(Exists(dir_ / "x/good/evil.sh"));
  EXPECT_TRUE(Exists(dir_ / "x/good/blank"));
  fs::remove(dir_ / "x/good/blank");
  EXPECT_EQ(TreeContents(dir_ / "x/good"), TreeContents(dir_ / "src"));
}

TEST_F(Hardening, AnArchiveWithoutEncryptedDataIsRefusedWhatEverThePassword) {
  // The extractor's own file layout, but an archive made without a password.
  WriteFile(dir_ / "plain/" + std::string(kProbeItemName), coffer::test::RandomBytes(64, 3));
  coffer::test::Make7z(dir_ / "plain.7z", dir_ / "src", ". ../plain/" + std::string(kProbeItemName));
  WriteFile(dir_ / "plain.run", std::string(kPayloadOffset, '\0') + ReadFile(dir_ / "plain.7z"));
  std::string out;
  for (const char* pw : {"pw", "wrong"}) {
    EXPECT_EQ(Pack(std::string("--extract plain.run -o x --overwrite never --password-file ") + pw, &out), 1)
        << out;
    EXPECT_NE(out.find("not protected by a password"), std::string::npos) << out;
    EXPECT_FALSE(Exists(dir_ / "x")) << "nothing may be written";
  }
  EXPECT_EQ(Pack("--test plain.run --password-file pw", &out), 1) << out;
  EXPECT_NE(out.find("not protected by a password"), std::string::npos) << out;
  EXPECT_EQ(Pack("--list plain.run", &out), 0) << out;
  EXPECT_NE(out.find("not protected: nothing in this archive is encrypted"), std::string::npos) << out;
}

TEST_F(Hardening, AnEmptyPasswordFileLineIsAUsageError) {
  PackOk("good", "src");
  WriteFile(dir_ / "empty-pw", "\nsecond line\n");
  for (const std::string args : {"--extract good.run -o x --overwrite never", "--test good.run", "--extractor stand-in new src"}) {
    std::string out;
    EXPECT_EQ(Pack(args + " --password-file empty-pw", &out), 2) << args << out;
    EXPECT_NE(out.find("first line of the password file empty-pw is empty"), std::string::npos) << out;
  }
  EXPECT_FALSE(Exists(dir_ / "x"));
  EXPECT_FALSE(Exists(dir_ / "new.run"));
}

TEST_F(Hardening, TheTraceNeverShowsThePassword) {
  PackOk("good", "src");
  std::string out;
  ASSERT_EQ(Sh("cd " + Quote(dir_.path()) + " && COFFER_DEBUG=1 " + Env() + Quote(coffer::test::BinaryDir() + "coffer-pack") +
                   " --extract good.run -o x --overwrite never --password-file pw </dev/null 2>&1",
               &out),
            0)
      << out;
  EXPECT_NE(out.find("g_nCurrentSize"), std::string::npos) << "the trace was on";
  EXPECT_EQ(out.find(kPassword), std::string::npos) << out;
}

// --- ended by the system ---

// A file large enough that each stage lasts a moment: stored, so that the
// copy and the extraction both take a while, and a second, smaller file.
// The runs' working folders go to another file system than the output
// where there is one, so that placing copies: a rename would be over
// before any signal could come.
class Ended : public Hardening {
 protected:
  void SetUp() override {
    Hardening::SetUp();
    tmp_ = other_.ok() ? other_ / "tmp" : dir_ / "tmp";
    Sh("mkdir -p " + Quote(tmp_));
    Sh("mkdir -p " + Quote(dir_ / "big") + " && head -c 200000000 /dev/urandom > " + Quote(dir_ / "big/large.bin"));
    WriteFile(dir_ / "big/small.txt", "small\n");
    WriteFile(dir_ / "probe/" + std::string(kProbeItemName), coffer::test::RandomBytes(64, 3));
    coffer::test::Make7z(dir_ / "big.7z", dir_ / "big",
                         "-m0=copy -mhe=off " + Quote(std::string("-p") + kPassword) + " large.bin small.txt ../probe/" +
                             std::string(kProbeItemName));
    WriteFile(dir_ / "big.run", std::string(kPayloadOffset, '\0') + ReadFile(dir_ / "big.7z"));
    fs::remove(dir_ / "big.7z");
  }

  // Starts --extract in its own session, waits for `stage`, sends `sig`;
  // returns the exit status.
  int EndIn(const std::function<bool()>& stage, int sig, const std::string& mode) {
    const std::string tmp = tmp_, exe = coffer::test::BinaryDir() + "coffer-pack";
    const pid_t pid = fork();
    if (pid == 0) {
      setsid();
      if (chdir(dir_.path().c_str()) != 0) _exit(98);
      setenv("TMPDIR", tmp.c_str(), 1);
      freopen("/dev/null", "r", stdin);
      execl(exe.c_str(), exe.c_str(), "--extract", "big.run", "-o", "x", "--password-file", "pw", "--overwrite",
            mode.c_str(), static_cast<char*>(nullptr));
      _exit(99);
    }
    bool reached = false;
    for (int i = 0; i < 20000 && !reached; ++i) {
      reached = stage();
      if (!reached) std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(reached) << "the stage never came";
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  bool Copying() {
    for (const auto& e : fs::directory_iterator(tmp_)) {
      std::error_code ec;
      const auto size = fs::file_size(e.path() / "tmp.dat", ec);
      if (!ec && size > 0) return true;
    }
    return false;
  }
  bool Extracting() { return Exists(dir_ / "x/big/large.bin"); }
  bool Placing() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_ / "x/big", ec))
      if (e.path().filename().string().rfind(".coffer-", 0) == 0) return true;
    return false;
  }
  // Only whole files in the output, each the sender's or the one it had.
  void ExpectOnlyWholeFiles(const std::string& what, const std::string& previous_large = "") {
    // Stopped in the copy, the run never made its output folder.
    const auto output = Exists(dir_ / "x/big") ? TreeContents(dir_ / "x/big") : decltype(TreeContents("")){};
    for (const auto& [path, content] : output) {
      if (path == "large.bin" && content == previous_large) continue;
      EXPECT_EQ(content, ReadFile(dir_ / "big/" + path)) << what << ": " << path << " is not whole";
    }
    EXPECT_EQ(TreeEntries(tmp_), std::vector<std::string>{}) << what << ": working folders left";
  }

  coffer::test::OtherFileSystem other_;
  std::string tmp_;
};

TEST_F(Ended, EachSignalInEachStageEndsAsACancelLeavingOnlyWholeFiles) {
  const struct {
    const char* stage;
    int sig;
  } cases[] = {{"copy", SIGHUP}, {"copy", SIGTERM}, {"extracting", SIGTERM}, {"extracting", SIGHUP},
               {"placing", SIGINT}, {"placing", SIGHUP}};
  for (const auto& c : cases) {
    const std::string what = std::string(c.stage) + " " + strsignal(c.sig);
    Sh("rm -rf " + Quote(dir_ / "x"));
    const std::string stage = c.stage;
    if (stage == "placing" && !other_.ok()) {
      std::printf("[  SKIPPED ] %s: %s\n", what.c_str(), other_.reason().c_str());
      continue;
    }
    std::string previous;
    if (stage == "placing") {
      ASSERT_EQ(Pack("--extract big.run -o x --overwrite never --password-file pw"), 0);
      previous = "an older large file\n";
      WriteFile(dir_ / "x/big/large.bin", previous);
    }
    const auto reached = [&] { return stage == "copy" ? Copying() : stage == "extracting" ? Extracting() : Placing(); };
    EXPECT_EQ(EndIn(reached, c.sig, stage == "placing" ? "always" : "never"), 128 + c.sig) << what;
    ExpectOnlyWholeFiles(what, previous);
  }
}

// Many systems mount a small tmpfs as the temporary folder: the copy of the
// payload must go where there is room instead of failing half-way.
TEST_F(Ended, ASmallTemporaryFolderGivesWayToARoomierPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small temporary folder needs root";
  const std::string small = dir_ / "small-tmp";
  fs::create_directories(small);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=30m") != 0) GTEST_SKIP() << "no tmpfs mount here";
  std::string out;
  const int rc = Sh("cd " + Quote(dir_.path()) + " && TMPDIR=" + Quote(small) + " " +
                        Quote(coffer::test::BinaryDir() + "coffer-pack") +
                        " --extract big.run -o x --overwrite never --password-file pw </dev/null 2>&1",
                    &out);
  const auto left = TreeEntries(small);
  umount(small.c_str());
  EXPECT_EQ(rc, 0) << out;
  EXPECT_EQ(left, std::vector<std::string>{});
  EXPECT_EQ(ReadFile(dir_ / "x/big/large.bin"), ReadFile(dir_ / "big/large.bin"));
}

}  // namespace
}  // namespace coffer::pack::test
