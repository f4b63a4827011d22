// A file packed here for a Windows recipient, started under Wine on a
// display of its own with a window manager, and answered from the keyboard
// through its Win32 windows, as a recipient would.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/window_driver.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Exists;
using test::Quote;
using test::ReadFile;
using test::TreeContents;
using test::WriteFile;

const std::string kWindowsBuild = COFFER_WINDOWS_BUILD_DIR;

// Wine takes the system's language from the C library's locale, which
// must exist: the locales the tests use are made once, in the build tree.
std::string Locales() {
  static const std::string dir = [] {
    const std::string d = test::BinaryDir() + "wine-locales/";
    for (const char* name : {"de_DE", "ar_EG"}) {
      if (!Exists(d + name + ".UTF-8"))
        test::Run("mkdir -p " + Quote(d) + " && localedef -i " + name + " -f UTF-8 " + Quote(d + name + ".UTF-8"));
    }
    return d;
  }();
  return dir;
}

class WindowsRecipient : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(kWindowsBuild + "coffer.exe") || !Exists(kWindowsBuild + "wine/system.reg"))
      GTEST_SKIP() << "no Windows build with its Wine prefix in " << kWindowsBuild;
    WriteFile(dir_ / "holiday/beach/1.jpg", test::RandomBytes(400000, 3));
    WriteFile(dir_ / "holiday/notes.txt", "sun\n");
    std::filesystem::create_directories(dir_ / "holiday/empty");
    WriteFile(dir_ / "pw", "sea salt\n");
    WriteFile(dir_ / "driver.sh", std::string(test::kWin32Windows) + test::kDriver);
    Pack();
  }
  // Packs holiday/ into photos.exe for a Windows recipient.
  void Pack() {
    std::string out;
    ASSERT_EQ(test::Run("rm -f " + Quote(dir_ / "photos.exe") + " && " + Quote(test::BinaryDir() + "coffer-pack") +
                            " --windows --password-file " + Quote(dir_ / "pw") + " " + Quote(dir_ / "photos") + " " +
                            Quote(dir_ / "holiday") + " </dev/null 2>&1",
                        &out),
              0)
        << out;
  }
  // Runs photos.exe in the language of `locale`; returns the driver's
  // status, its output in log_.
  int Drive(const std::string& password, const std::string& overwrite_keys, const std::string& locale,
            const std::string& cancel_keys = "", const std::string& end_session = "", int expected = 0) {
    const std::string driver_env = "WINE_RUN=" + Quote(test::SourceDir() + "cmake/wine-run.sh") +
                                   " WINE_PREFIX_DIR=" + Quote(kWindowsBuild + "wine") +
                                   " CANCEL_KEYS=" + Quote(cancel_keys) + " END_SESSION=" + Quote(end_session);
    const std::vector<std::string> env = {"LOCPATH=" + Locales(), "LC_ALL=" + locale};
    // The folder as a Windows user types it: drive Z: is the Unix root.
    std::string folder = "Z:" + dir_ / "out/";
    for (char& c : folder)
      if (c == '/') c = '\\';
    const int rc = test::Run(test::DriverCommand(dir_ / "driver.sh", dir_ / "photos.exe", folder,
                                                 password, overwrite_keys, dir_ / "trace", env, driver_env, true),
                             &log_);
    if (expected >= 0 && rc != expected) ADD_FAILURE() << log_;
    return rc;
  }
  void ExpectOnlyWholeFiles(const std::string& base) {
    if (!Exists(base)) return;
    for (const auto& [path, content] : TreeContents(base))
      EXPECT_EQ(content, ReadFile(dir_ / "holiday/" + path)) << path << " is not whole";
  }
  test::ScratchDir dir_;
  std::string log_;
};

// One scenario, so that no two Wine programs share the prefix at once.
TEST_F(WindowsRecipient, ExtractsAsksBeforeReplacingAndRefusesAWrongPassword) {
  // First run on a German system: the tree as it was packed.
  ASSERT_EQ(Drive("sea salt", "", "de_DE.UTF-8"), 0);
  EXPECT_NE(log_.find("title coffer-output-folder: Entpacken\n"), std::string::npos) << log_;
  EXPECT_NE(log_.find("title coffer-password: Kennwort eingeben\n"), std::string::npos) << log_;
  const std::string base = dir_ / "out/photos/";
  EXPECT_EQ(TreeContents(base), TreeContents(dir_ / "holiday"));
  EXPECT_TRUE(std::filesystem::is_directory(base + "empty"));

  // Second run in English: the question comes, and Auto rename (through
  // its mnemonic) keeps the edited file.
  WriteFile(base + "notes.txt", "my own notes\n");
  ASSERT_EQ(Drive("sea salt", "alt+u", "C.UTF-8"), 0);
  EXPECT_NE(log_.find("title coffer-overwrite: Confirm File Replace\n"), std::string::npos) << log_;
  EXPECT_EQ(ReadFile(base + "notes.txt"), "my own notes\n");
  EXPECT_EQ(ReadFile(base + "notes(1).txt"), "sun\n");

  // A wrong password in Arabic (laid out right to left): one message,
  // nothing new written.
  const auto before = test::TreeEntries(dir_ / "out");
  ASSERT_EQ(Drive("sea pepper", "", "ar_EG.UTF-8"), 0);
  EXPECT_NE(log_.find("title coffer-message: "), std::string::npos) << log_;
  EXPECT_EQ(test::TreeEntries(dir_ / "out"), before);

  // Pause, then Cancel in the progress window (from Background: Tab,
  // Space, Tab, Space), confirmed: the run ends, only whole files stay,
  // and no working folder is left in the system's temporary folder. (How
  // far it got first depends on how fast the keys arrive on a busy
  // machine.)
  test::Run("rm -rf " + Quote(dir_ / "out"));
  test::Run("head -c 100000000 /dev/urandom > " + Quote(dir_ / "holiday/large.bin"));
  Pack();
  // Wine's temporary folder is C:\users\<user>\Temp in its prefix.
  const std::string users = Quote(kWindowsBuild + "wine/drive_c/users/");
  ASSERT_EQ(test::Run("ls -d " + users + "*/Temp >/dev/null"), 0);
  const auto working_folders = [&] {
    std::string out;
    test::Run("ls -d " + users + "*/Temp/tv_* 2>/dev/null", &out);
    return out;
  };
  const std::string before_run = working_folders();
  ASSERT_EQ(Drive("sea salt", "", "C.UTF-8", "Tab space Tab space"), 0);
  EXPECT_NE(log_.find("title coffer-message: "), std::string::npos) << log_;
  EXPECT_EQ(working_folders(), before_run);
  ExpectOnlyWholeFiles(base);

  // The session ends (log-off) while the run is paused: it ends as a
  // confirmed cancel does. The job is stopped and cleared away before the
  // session's message is answered; then either the program's own end
  // (status 3, the C library's default action for a termination request)
  // or the system's end of the process (0) comes first.
  test::Run("rm -rf " + Quote(dir_ / "out"));
  const std::string end_session =
      "WINEPREFIX=" + Quote(kWindowsBuild + "wine") + " WINEDEBUG=-all wineboot --end-session";
  const int status = Drive("sea salt", "", "C.UTF-8", "Tab space", end_session, -1);
  EXPECT_TRUE(status == 3 || status == 0) << status << "\n" << log_;
  EXPECT_EQ(working_folders(), before_run);
  ExpectOnlyWholeFiles(base);
}

}  // namespace
}  // namespace coffer
