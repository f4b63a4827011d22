// The real thing from the outside: coffer-pack makes a self-extracting file
// with the real extractor image, and the file is started on a display of its
// own and answered from the keyboard, as a recipient would.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/window_driver.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Quote;
using test::ReadFile;
using test::TreeContents;
using test::WriteFile;


// The program's environment for a German desktop. The C library need not
// have the locale: the language comes from these names alone.
const std::vector<std::string> kGerman = {"LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8"};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ExtractorImageCarriesAnArchive()) GTEST_SKIP() << "this build's extractor image is not stripped (sanitizers)";
    WriteFile(dir_ / "holiday/beach/1.jpg", test::RandomBytes(400000, 3));
    WriteFile(dir_ / "holiday/notes.txt", "sun\n");
    std::filesystem::create_directories(dir_ / "holiday/empty");
    WriteFile(dir_ / "pw", "sea salt\n");
    WriteFile(dir_ / "driver.sh", std::string(test::kGtkWindows) + test::kDriver);
    std::string out;
    ASSERT_EQ(test::Run(Quote(test::BinaryDir() + "coffer-pack") + " --password-file " + Quote(dir_ / "pw") + " " +
                            Quote(program_) + " " + Quote(dir_ / "holiday") + " </dev/null 2>&1",
                        &out),
              0)
        << out;
  }
  // Runs the file on a display of its own with `env` added to the
  // program's environment; returns the driver's status. The driver's
  // output goes to log_, the program's stderr to trace().
  int Drive(const std::string& password, const std::string& overwrite_keys = "",
            const std::vector<std::string>& env = {}) {
    const std::string command =
        test::DriverCommand(dir_ / "driver.sh", program_, dir_ / "out/", password, overwrite_keys, dir_ / "trace", env);
    const int rc = test::Run(command, &log_);
    if (rc != 0) ADD_FAILURE() << log_ << "\nprogram's stderr:\n" << trace();
    return rc;
  }
  std::string trace() const { return ReadFile(dir_ / "trace"); }
  std::string Base() const { return dir_ / "out/photos/"; }
  test::ScratchDir dir_;
  std::string program_ = dir_ / "photos.run";
  std::string log_;
};

TEST_F(EndToEnd, TheRecipientGetsTheSendersFilesAndASecondRunAsks) {
  // First and second run on a German desktop.
  ASSERT_EQ(Drive("sea salt", "", kGerman), 0);
  EXPECT_NE(log_.find("title coffer-output-folder: Entpacken\n"), std::string::npos) << log_;
  EXPECT_NE(log_.find("title coffer-password: Kennwort eingeben\n"), std::string::npos) << log_;
  // A single folder packed: its content is what comes out.
  std::string expected_root = Base();
  if (!test::Exists(Base() + "notes.txt")) expected_root += "holiday/";
  EXPECT_EQ(TreeContents(expected_root), TreeContents(dir_ / "holiday"));
  EXPECT_TRUE(std::filesystem::is_directory(expected_root + "empty"));

  // Second run: one question, answered "Ja für &alle" (Yes to all); an
  // edited file comes back. The trace is on and never shows the password.
  WriteFile(expected_root + "notes.txt", "my own notes\n");
  std::vector<std::string> traced = kGerman;
  traced.push_back("COFFER_DEBUG=1");
  ASSERT_EQ(Drive("sea salt", "alt+a", traced), 0);
  EXPECT_EQ(TreeContents(expected_root), TreeContents(dir_ / "holiday"));
  const std::string trace = this->trace();
  EXPECT_NE(trace.find("g_nCurrentSize"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("sea salt"), std::string::npos) << trace;

  // Third run: "Auto rename" keeps every old file and adds numbered copies.
  WriteFile(expected_root + "notes.txt", "my own notes\n");
  ASSERT_EQ(Drive("sea salt", "alt+u"), 0);
  EXPECT_EQ(ReadFile(expected_root + "notes.txt"), "my own notes\n");
  EXPECT_EQ(ReadFile(expected_root + "notes(1).txt"), "sun\n");
  EXPECT_EQ(ReadFile(expected_root + "beach/1(1).jpg"), test::RandomBytes(400000, 3));
}

// Started from a terminal with no desktop: one line says why no window
// came, and nothing is written, not even a working folder.
TEST_F(EndToEnd, WithoutADisplayItSaysSoAndWritesNothing) {
  std::filesystem::create_directories(dir_ / "tmp");
  std::string err;
  const int rc = test::Run("cd " + Quote(dir_.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR=" +
                               Quote(dir_ / "tmp") + " " + Quote(program_) + " </dev/null",
                           &err);
  EXPECT_EQ(rc, 1);
  EXPECT_EQ(err, "photos.run: cannot open a window: no display; start it from the desktop\n");
  EXPECT_TRUE(test::TreeEntries(dir_ / "tmp").empty());
  EXPECT_FALSE(test::Exists(dir_ / "photos"));
}

TEST_F(EndToEnd, AWrongPasswordIsToldAndNothingIsWritten) {
  ASSERT_EQ(Drive("sea pepper"), 0);
  EXPECT_FALSE(test::Exists(dir_ / "out/photos"));
}

}  // namespace
}  // namespace coffer
