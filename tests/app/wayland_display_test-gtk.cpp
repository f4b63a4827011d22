// The window program on a Wayland display (a compositor without a screen)
// that goes away while the first window shows: the run ends as on X11,
// its working folder removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/files.h"
#include "tests/app/window_driver.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Quote;
using test::ReadFile;
using test::WriteFile;

TEST(WaylandDisplay, LostWhileAWindowShowsLeavesNoWorkingFolder) {
  if (test::Run("command -v weston >/dev/null") != 0) GTEST_SKIP() << "weston is not installed (scripts/setup)";
  if (!test::ExtractorImageCarriesAnArchive()) GTEST_SKIP() << "this build's extractor image is not stripped (sanitizers)";
  test::ScratchDir dir;
  WriteFile(dir / "src/a.txt", "a\n");
  WriteFile(dir / ("src/" + std::string(kProbeItemName)), test::RandomBytes(64, 5));
  test::Make7z(dir / "a.7z", dir / "src", "-mhe=off -ppw a.txt " + std::string(kProbeItemName));
  const std::string program = dir / "a.run";
  test::WriteSelfExtractor(program, dir / "a.7z");
  test::Run("mkdir -p " + Quote(dir / "tmp") + " && mkdir -m 700 " + Quote(dir / "xdg"));

  // The client's protocol log shows when its first window is made.
  const std::string script = R"SH(set -u
export XDG_RUNTIME_DIR="$1"; tmp="$2"; prog="$3"; log="$4"
weston --backend=headless-backend.so --socket=coffer-test --idle-time=0 >"$log.weston" 2>&1 & weston=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/coffer-test" ] && break; sleep 0.1; done
(cd "$tmp" && WAYLAND_DISPLAY=coffer-test GDK_BACKEND=wayland WAYLAND_DEBUG=client TMPDIR="$tmp" "$prog" 2>"$log") & pid=$!
for _ in $(seq 1 150); do grep -q 'xdg_toplevel' "$log" 2>/dev/null && break; sleep 0.1; done
grep -q 'xdg_toplevel' "$log" || echo "no window came"
sleep 0.5
kill $weston; wait $weston
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && { echo "the program did not end"; kill -9 $pid; }
wait $pid; echo "program status $?"
)SH";
  WriteFile(dir / "run.sh", script);
  std::string out;
  test::Run("sh " + Quote(dir / "run.sh") + " " + Quote(dir / "xdg") + " " + Quote(dir / "tmp") + " " +
                Quote(program) + " " + Quote(dir / "log"),
            &out);
  const std::string context = out + ReadFile(dir / "log.weston");
  EXPECT_EQ(out.find("no window came"), std::string::npos) << context;
  EXPECT_NE(out.find("program status 1"), std::string::npos) << context;
  EXPECT_EQ(test::TreeEntries(dir / "tmp"), std::vector<std::string>{}) << "working folder left\n" << context;
}

}  // namespace
}  // namespace coffer
