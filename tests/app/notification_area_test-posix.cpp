// Background on a desktop with a notification area (a tray on the test's
// display): the progress window goes, an icon comes, and a click on it
// brings the window back, where the run goes on to its end.
#include <gtest/gtest.h>

#include <string>

#include "app/files.h"
#include "tests/app/window_driver.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Quote;
using test::ReadFile;
using test::WriteFile;

TEST(NotificationArea, BackgroundHidesTheWindowAndAClickOnTheIconBringsItBack) {
  if (!test::ExtractorImageCarriesAnArchive()) GTEST_SKIP() << "this build's extractor image is not stripped (sanitizers)";
  test::ScratchDir dir;
  // Many small files, so that the run lasts long enough for the keys, on
  // any machine: creating a file costs what it costs.
  test::Run("mkdir -p " + Quote(dir / "src/many") + " " + Quote(dir / "tmp") + " && cd " + Quote(dir / "src/many") +
            " && head -c 20480000 /dev/urandom | split -b 1024 -a 5 -");
  WriteFile(dir / ("src/" + std::string(kProbeItemName)), test::RandomBytes(64, 9));
  test::Make7z(dir / "a.7z", dir / "src", "-m0=copy -mhe=off -ppw many " + std::string(kProbeItemName));
  const std::string program = dir / "a.run";
  test::WriteSelfExtractor(program, dir / "a.7z");
  WriteFile(dir / "driver.sh", std::string(test::kGtkWindows) + test::kDriver);

  // Pause first, so that the run is still there when the window comes back;
  // Continue then lets it end.
  std::string log;
  const int rc = test::Run(test::DriverCommand(dir / "driver.sh", program, dir / "out/", "pw", "", dir / "trace",
                                               {"TMPDIR=" + dir / "tmp"},
                                               "PAUSE_KEYS=alt+p TRAY_KEYS=alt+b RESUME_KEYS=alt+c"),
                           &log);
  EXPECT_EQ(rc, 0) << log << ReadFile(dir / "trace");
  EXPECT_EQ(log.find("the window stayed"), std::string::npos) << log;
  EXPECT_EQ(log.find("did not pause"), std::string::npos) << log;
  size_t shown = 0;
  for (size_t at = log.find("title coffer-progress"); at != std::string::npos; at = log.find("title coffer-progress", at + 1))
    ++shown;
  EXPECT_EQ(shown, 2u) << log;
  EXPECT_EQ(test::TreeContents(dir / "out/a/many"), test::TreeContents(dir / "src/many"));
}

}  // namespace
}  // namespace coffer
