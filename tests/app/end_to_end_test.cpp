// The real thing from the outside: coffer-pack makes a self-extracting file
// with the real extractor image, and the file is started on a display of its
// own and answered from the keyboard, as a recipient would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Quote;
using test::ReadFile;
using test::TreeContents;
using test::WriteFile;

// Keyboard steps for the driver: wait for a window, then press keys.
constexpr const char* kDriver = R"SH(set -u
prog="$1"; out="$2"; password="$3"; overwrite_keys="$4"
"$prog" & pid=$!
wait_for() { for _ in $(seq 1 150); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done; echo "no window $1"; return 1; }
wait_for "^Extract$" || { kill $pid; exit 90; }
sleep 0.4
# Focus starts on OK: back to the folder field, replace its text, then OK.
xdotool key shift+Tab shift+Tab ctrl+a; xdotool type --delay 2 "$out"; xdotool key Tab Tab Return
wait_for "^Enter password$" || { kill $pid; exit 91; }
# Enter in the entry does nothing: Tab to OK and press it.
sleep 0.4; xdotool type --delay 5 "$password"; xdotool key Tab space
if [ -n "$overwrite_keys" ]; then
  wait_for "^Confirm File Replace$" || { kill $pid; exit 92; }
  sleep 0.4; xdotool key $overwrite_keys
fi
# A message box (wrong password, failure) has the program's name as its
# title; it gets the focus and is answered with Return.
for _ in $(seq 1 300); do
  kill -0 $pid 2>/dev/null || break
  box=$(xdotool search --onlyvisible --name "^Coffer$" 2>/dev/null | head -1)
  if [ -n "$box" ]; then
    sleep 0.3; xdotool windowfocus --sync "$box" key Return; sleep 0.5
  fi
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "the program did not end"; kill $pid; exit 93; fi
wait $pid
)SH";

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string image = test::BinaryDir() + "coffer";
    struct stat st {};
    ASSERT_EQ(stat(image.c_str(), &st), 0);
    if (st.st_size > 1835008) GTEST_SKIP() << "this build's extractor image is not stripped (sanitizers)";
    WriteFile(dir_ / "holiday/beach/1.jpg", test::RandomBytes(400000, 3));
    WriteFile(dir_ / "holiday/notes.txt", "sun\n");
    std::filesystem::create_directories(dir_ / "holiday/empty");
    WriteFile(dir_ / "pw", "sea salt\n");
    WriteFile(dir_ / "driver.sh", kDriver);
    std::string out;
    ASSERT_EQ(test::Run(Quote(test::BinaryDir() + "coffer-pack") + " --password-file " + Quote(dir_ / "pw") + " " +
                            Quote(program_) + " " + Quote(dir_ / "holiday") + " </dev/null 2>&1",
                        &out),
              0)
        << out;
  }
  // Runs the file on a display of its own; returns the driver's status.
  int Drive(const std::string& password, const std::string& overwrite_keys = "") {
    std::string log;
    const int rc = test::Run("GTK_THEME=Adwaita NO_AT_BRIDGE=1 xvfb-run -a -s '-screen 0 1024x768x24' bash " +
                                 Quote(dir_ / "driver.sh") + " " + Quote(program_) + " " + Quote(dir_ / "out/") + " " +
                                 Quote(password) + " " + Quote(overwrite_keys) + " 2>&1",
                             &log);
    if (rc != 0) ADD_FAILURE() << log;
    return rc;
  }
  std::string Base() const { return dir_ / "out/photos/"; }
  test::ScratchDir dir_;
  std::string program_ = dir_ / "photos.run";
};

TEST_F(EndToEnd, TheRecipientGetsTheSendersFilesAndASecondRunAsks) {
  ASSERT_EQ(Drive("sea salt"), 0);
  // A single folder packed: its content is what comes out.
  std::string expected_root = Base();
  if (!test::Exists(Base() + "notes.txt")) expected_root += "holiday/";
  EXPECT_EQ(TreeContents(expected_root), TreeContents(dir_ / "holiday"));
  EXPECT_TRUE(std::filesystem::is_directory(expected_root + "empty"));

  // Second run: one question, answered "Yes to all"; an edited file comes back.
  WriteFile(expected_root + "notes.txt", "my own notes\n");
  ASSERT_EQ(Drive("sea salt", "alt+a"), 0);
  EXPECT_EQ(TreeContents(expected_root), TreeContents(dir_ / "holiday"));

  // Third run: "Auto rename" keeps every old file and adds numbered copies.
  WriteFile(expected_root + "notes.txt", "my own notes\n");
  ASSERT_EQ(Drive("sea salt", "alt+u"), 0);
  EXPECT_EQ(ReadFile(expected_root + "notes.txt"), "my own notes\n");
  EXPECT_EQ(ReadFile(expected_root + "notes(1).txt"), "sun\n");
  EXPECT_EQ(ReadFile(expected_root + "beach/1(1).jpg"), test::RandomBytes(400000, 3));
}

TEST_F(EndToEnd, AWrongPasswordIsToldAndNothingIsWritten) {
  ASSERT_EQ(Drive("sea pepper"), 0);
  EXPECT_FALSE(test::Exists(dir_ / "out/photos"));
}

}  // namespace
}  // namespace coffer
