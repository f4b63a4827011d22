#pragma once
// The terminal program's side of the system: requests to stop it (Ctrl-C,
// the terminal going away, a termination request) noted as a flag that
// every wait looks at, questions on the controlling terminal, and whether
// the error output is a terminal.
#include <optional>
#include <string>

namespace coffer {

// From now on Ctrl-C (SIGINT), SIGTERM and SIGHUP (the terminal closed, a
// logout) no longer end the process: the first one is noted, later ones
// change nothing. Interrupted system calls are not restarted, so blocking
// reads return.
void WatchInterrupts();
bool InterruptRequested();
// The exit status that tells which request stopped the program: 128 plus
// the signal's number (130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP);
// Ctrl-C's when none came.
int InterruptExitStatus();

// Whether the controlling terminal can be opened for questions (whatever
// the standard streams are redirected to).
bool ConsoleAvailable();

// Shows `prompt` on the controlling terminal and reads one line, without
// its line end and without echo when `hidden`. Nothing when there is no
// terminal, at its end with nothing read, or once an interrupt is
// requested; the terminal's echo is restored in every case.
std::optional<std::string> ReadConsoleLine(const std::string& prompt, bool hidden);

// Whether the error output goes to a terminal (a progress bar may draw).
bool ErrorOutputIsConsole();

// Whether the program was started from a desktop (a launcher, a file
// manager): no terminal on its input, and a display to show a window on.
bool StartedFromDesktop();

// Replaces this process with the program `path`, run with no arguments.
// Returns only when that fails, with the system's reason.
std::string RunInstead(const std::string& path);

}  // namespace coffer
