#pragma once
// The recipient at the keyboard, as a shell script for xdotool: starts a
// self-extracting file, answers its windows, found by process and role so
// that it works in every language. Arguments: program, output folder,
// password, keys for the overwrite question (or ""), the file for the
// program's stderr, then VAR=value pairs for the program's environment.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace coffer::test {

// Keyboard steps for the driver: wait for a window, then press keys. The
// windows are told apart by the program's process and their role, which
// hold in every language; each found window's title is printed. The part
// that differs between the systems' windows comes first (kGtkWindows,
// kWin32Windows): how the program starts, how a window is found, the key
// that selects a text field's content and the one that presses a button.
inline constexpr const char* kGtkWindows = R"SH(
start_program() { env "$@" "$prog" 2>"$trace" & pid=$!; }
find_role() {
  for w in $(xdotool search --onlyvisible --pid $pid 2>/dev/null); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q "= \"$1\"\$" && { echo "$w"; return 0; }
  done
  return 1
}
select_all=ctrl+a
press=Return
)SH";

// The Win32 windows under Wine (WINE_RUN and WINE_PREFIX_DIR name the
// runner and the prefix): found by the program's window class and their
// client size, which is the same in every language; a message box is any
// other window of the program. Tabbing into a text field selects it.
inline constexpr const char* kWin32Windows = R"SH(
start_program() { env "$@" "$WINE_RUN" "$WINE_PREFIX_DIR" "$prog" 2>"$trace" & pid=$!; }
find_role() {
  local size=""
  case "$1" in
    coffer-output-folder) size=380x120 ;;
    coffer-password) size=284x142 ;;
    coffer-overwrite) size=402x272 ;;
    coffer-progress) size=392x210 ;;
  esac
  for w in $(xdotool search --onlyvisible --classname "^$(basename "$prog" | tr A-Z a-z)\$" 2>/dev/null); do
    g=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')
    if [ -n "$size" ]; then
      [ "$g" = "$size" ] && { echo "$w"; return 0; }
    else
      case "$g" in 380x120 | 284x142 | 402x272 | 392x210 | "") ;; *) echo "$w"; return 0 ;; esac
    fi
  done
  return 1
}
select_all=""
press=space
)SH";

inline constexpr const char* kDriver = R"SH(set -u
prog="$1"; out="$2"; password="$3"; overwrite_keys="$4"; trace="$5"; shift 5
# Where the run goes to the notification area, a tray runs on the display
# first: trayer, whose window is named "panel".
[ -n "${TRAY_KEYS:-}" ] && { trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & sleep 0.5; }
start_program "$@"
give_up() { kill $pid 2>/dev/null; wait $pid; echo "program status $?"; exit "$1"; }
wait_for() {
  for _ in $(seq 1 150); do
    w=$(find_role "$1") && { echo "title $1: $(xdotool getwindowname "$w")"; return 0; }
    sleep 0.1
  done
  echo "no window $1"; return 1
}
wait_for coffer-output-folder || give_up 90
sleep 0.4
# Focus starts on OK: back to the folder field, replace its text, then OK.
xdotool key shift+Tab shift+Tab $select_all; xdotool type --delay 2 "$out"; xdotool key Tab Tab $press
wait_for coffer-password || give_up 91
# Enter in the entry does nothing: Tab to OK and press it.
sleep 0.4; xdotool type --delay 5 "$password"; xdotool key Tab space
if [ -n "$overwrite_keys" ]; then
  wait_for coffer-overwrite || give_up 92
  sleep 0.4; xdotool key $overwrite_keys
fi
# The recipient changes their mind: once the progress window shows, the
# keys CANCEL_KEYS go to it (the question they raise is answered below).
if [ -n "${CANCEL_KEYS:-}" ]; then
  wait_for coffer-progress || give_up 94
  sleep 0.2; xdotool key $CANCEL_KEYS
  # Then, where asked, the session ends (log-off, shutdown).
  if [ -n "${END_SESSION:-}" ]; then sleep 0.3; eval "$END_SESSION"; fi
fi
# Background: once the progress window shows and the run writes files,
# the keys PAUSE_KEYS go to it until the run stands still (a key can be
# lost on a busy machine), so that the run is still there when the window
# comes back; then the keys TRAY_KEYS send it to the notification area, its
# icon there is clicked, and once the window is back the keys RESUME_KEYS
# go to it.
files_out() { find "$out" -type f 2>/dev/null | wc -l; }
standing_still() { local a; a=$(files_out); sleep 0.5; [ "$a" -gt 0 ] && [ "$a" = "$(files_out)" ]; }
if [ -n "${TRAY_KEYS:-}" ]; then
  wait_for coffer-progress || give_up 95
  for _ in $(seq 1 1000); do [ "$(files_out)" -gt 0 ] && break; sleep 0.01; done
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$(find_role coffer-progress)" key $PAUSE_KEYS
    standing_still && break
  done
  standing_still || echo "the run did not pause"
  xdotool windowfocus --sync "$(find_role coffer-progress)" key $TRAY_KEYS; sleep 1
  find_role coffer-progress >/dev/null && echo "the window stayed after Background"
  tray=$(xdotool search --name '^panel$' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$tray" | sed 's/^/tray_/')"
  xdotool mousemove $((tray_X + tray_WIDTH / 2)) $((tray_Y + tray_HEIGHT / 2)) click 1
  wait_for coffer-progress || give_up 96
  sleep 0.3; xdotool windowfocus --sync "$(find_role coffer-progress)" key $RESUME_KEYS
fi
# The system ends the run: once the shell test STOP_WHEN holds, the signal
# STOP_WITH goes to the program, or with "display" the display goes away.
if [ -n "${STOP_WHEN:-}" ]; then
  for _ in $(seq 1 6000); do eval "$STOP_WHEN" && break; sleep 0.01; done
  eval "$STOP_WHEN" || echo "the stop never came"
  if [ "$STOP_WITH" = display ]; then kill "$XVFB_PID"; else kill -"$STOP_WITH" $pid; fi
  wait $pid; echo "program status $?"; exit 0
fi
# A message box (wrong password, failure) gets the focus and is answered
# with Return.
for _ in $(seq 1 300); do
  kill -0 $pid 2>/dev/null || break
  if box=$(find_role coffer-message); then
    echo "title coffer-message: $(xdotool getwindowname "$box")"
    sleep 0.3; xdotool windowfocus --sync "$box" key Return; sleep 0.5
  fi
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "the program did not end"; give_up 93; fi
wait $pid
)SH";

// Whether build/coffer is small enough for an archive behind it to start
// inside the engine's scan window (a sanitizer build's is not stripped).
inline bool ExtractorImageCarriesAnArchive() {
  std::error_code ec;
  const auto size = std::filesystem::file_size(BinaryDir() + "coffer", ec);
  return !ec && size <= 1835008;
}

// Writes `program`: this build's extractor image with the 7z file
// `archive` behind it, made executable, as a recipient receives it.
inline void WriteSelfExtractor(const std::string& program, const std::string& archive) {
  WriteFile(program, ReadFile(BinaryDir() + "coffer") + ReadFile(archive));
  std::filesystem::permissions(program, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                            std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                            std::filesystem::perms::others_exec);
}

// The shell command that runs the driver script `driver` on a display of
// its own; `driver_env` (VAR=value words) goes to the driver itself, and
// with `window_manager` a window manager runs on the display. The server
// picks a free display and tells its number when it is ready
// (-displayfd): displays started by several tests at the same moment never
// collide, as guessing a free number can. XVFB_PID names the server.
inline std::string DriverCommand(const std::string& driver, const std::string& program, const std::string& out,
                                 const std::string& password, const std::string& overwrite_keys,
                                 const std::string& trace, const std::vector<std::string>& env,
                                 const std::string& driver_env = "", bool window_manager = false) {
  std::string run = "bash " + Quote(driver) + " " + Quote(program) + " " + Quote(out) + " " + Quote(password) + " " +
                    Quote(overwrite_keys) + " " + Quote(trace);
  for (const std::string& e : env) run += " " + Quote(e);
  const std::string wm = window_manager ? "openbox >/dev/null 2>&1 & wm=$!; sleep 0.5; " : "wm=; ";
  // A server that ends as another starts may take the new one's socket
  // with it: then the program finds no display, and the run is made once
  // more on a fresh one.
  const std::string script =
      "for attempt in 1 2; do "
      "f=$(mktemp); Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>\"$f\" 2>/dev/null & x=$!; "
      "for _ in $(seq 1 200); do [ -s \"$f\" ] && break; sleep 0.05; done; "
      "export DISPLAY=:$(cat \"$f\"); rm -f \"$f\"; " + wm +
      "XVFB_PID=$x " + driver_env + " " + run + "; rc=$?; kill $wm $x 2>/dev/null; wait $x 2>/dev/null; "
      "grep -q 'cannot open the display' " + Quote(trace) + " 2>/dev/null || break; "
      "echo 'no display for the program: once more'; done; exit $rc";
  return "GTK_THEME=Adwaita NO_AT_BRIDGE=1 bash -c " + Quote(script) + " 2>&1";
}

}  // namespace coffer::test
