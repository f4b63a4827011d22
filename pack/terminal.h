#pragma once
// The terminal side of the packer: Ctrl-C and SIGTERM as a flag that every
// wait looks at, questions and passwords on /dev/tty, and a progress bar
// on stderr that draws only when stderr is a terminal.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/error.h"

namespace coffer::pack {

// Installs handlers for SIGINT, SIGTERM and SIGHUP (the terminal closed, a
// logout) that only note the signal (no restart of interrupted calls, so
// blocking reads return). Every mode then ends as a cancel does.
void InstallInterruptHandlers();
bool Interrupted();
// The exit status for the signal that interrupted: 128 + its number (130
// for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP).
int InterruptedStatus();

// A command that cannot be carried out as given (exit status 2).
class UsageError : public Error {
 public:
  using Error::Error;
};

// Whether a controlling terminal can be opened for questions.
bool HaveTerminal();

// Shows `prompt` on the terminal and reads one line, without echo when
// `hidden`. Nothing when there is no terminal, at its end, or when
// interrupted (the terminal's echo is restored in every case).
std::optional<std::string> AskLine(const std::string& prompt, bool hidden);

// The first line of `path` ("-": standard input) without its line end;
// throws coffer::Error when the file cannot be read, UsageError when that
// line is empty.
std::string ReadPasswordFile(const std::string& path);

// Tells on stderr how soon `password` could be guessed when that is below
// a fair strength; a weak password is the sender's choice, never refused.
void WarnIfWeak(const std::string& password);

// A password for a new archive (asked twice, must match) or for an existing
// one (asked once), from `password_file` when given. Throws coffer::Error
// with the reason when there is none.
std::string NewPassword(const std::optional<std::string>& password_file);
std::string ExistingPassword(const std::optional<std::string>& password_file);

// "12.3 MiB" style sizes for the bar and the summary lines.
std::string FormatSize(int64_t bytes);

// One line of progress, redrawn in place at most every 250 ms.
class ProgressBar {
 public:
  ProgressBar();  // on when stderr is a terminal
  ~ProgressBar();
  // Redraws with `done` of `total` (bytes, or a plain count) and a short
  // word for the stage; `force` skips the rate limit.
  void Update(const std::string& stage, int64_t done, int64_t total, bool force = false, bool bytes = true);
  // Clears the line (before a question or a message).
  void Clear();
  bool enabled() const { return enabled_; }

 private:
  bool enabled_;
  bool drawn_ = false;
  std::mutex mutex_;
  std::chrono::steady_clock::time_point last_{};
};

// The pure part of the bar: "[#####-----]  50%  stage  1.0 MiB / 2.0 MiB"
// ("3 / 6" for a plain count).
std::string BarLine(const std::string& stage, int64_t done, int64_t total, bool bytes = true, int width = 30);

}  // namespace coffer::pack
