// Hidden names the whole way: a file packed with --hide-names, started by
// the recipient on a display of its own and answered from the keyboard.
#include <gtest/gtest.h>

#include "tests/app/window_driver.h"
#include "tests/pack/pack_fixture.h"

namespace coffer::pack::test {
namespace {

using HiddenNames = PackTest;

TEST_F(HiddenNames, TheRecipientsWindowsOpenThemWithThePassword) {
  if (!coffer::test::ExtractorImageCarriesAnArchive()) GTEST_SKIP() << "unstripped extractor (sanitizer build)";
  // Typed on the keyboard by the driver: plain letters.
  WriteFile(dir_ / "typed-pw", "sea salt\n");
  std::string out;
  ASSERT_EQ(Pack("--hide-names --password-file typed-pw photos src", &out), 0) << out;
  WriteFile(dir_ / "driver.sh", std::string(coffer::test::kGtkWindows) + coffer::test::kDriver);
  auto drive = [&](const std::string& password, const std::string& overwrite_keys) {
    std::string log;
    const int rc = Sh(coffer::test::DriverCommand(dir_ / "driver.sh", dir_ / "photos.run", dir_ / "out/", password,
                                                  overwrite_keys, dir_ / "trace", {}),
                      &log);
    EXPECT_EQ(rc, 0) << log << ReadFile(dir_ / "trace");
  };
  // A wrong password: the one message, and nothing written.
  drive("not the password", "");
  EXPECT_FALSE(Exists(dir_ / "out/photos"));
  drive("sea salt", "");
  EXPECT_EQ(TreeContents(dir_ / "out/photos"), TreeContents(dir_ / "src"));
  // The second run asks; "Yes to All" brings the edited file back.
  WriteFile(dir_ / "out/photos/text.txt", "mine\n");
  drive("sea salt", "alt+a");
  EXPECT_EQ(TreeContents(dir_ / "out/photos"), TreeContents(dir_ / "src"));
}

}  // namespace
}  // namespace coffer::pack::test
