#include "pack/terminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "pack/strength.h"
#include "platform/console.h"
#include "platform/error.h"
#include "platform/fs_path.h"

namespace coffer::pack {
namespace {

std::string StripLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

void InstallInterruptHandlers() { WatchInterrupts(); }

int InterruptedStatus() { return InterruptExitStatus(); }

bool Interrupted() { return InterruptRequested(); }

bool HaveTerminal() { return ConsoleAvailable(); }

std::optional<std::string> AskLine(const std::string& prompt, bool hidden) { return ReadConsoleLine(prompt, hidden); }

std::string ReadPasswordFile(const std::string& path) {
  const bool standard_input = path == "-";
  const std::string what = standard_input ? "standard input" : "the password file " + path;
  std::ifstream file;
  if (!standard_input) {
    file.open(FsPath(path), std::ios::binary);
    if (!file) throw Error("cannot read " + what + ": " + std::strerror(errno));
  }
  std::istream& in = standard_input ? std::cin : file;
  std::string line;
  std::getline(in, line);
  if (in.bad()) throw Error("cannot read " + what);
  line = StripLineEnd(line);
  if (line.empty()) throw UsageError("the first line of " + what + " is empty");
  return line;
}

void WarnIfWeak(const std::string& password) {
  const Strength s = EstimateStrength(password);
  if (s.level >= StrengthLevel::kFair) return;
  std::fprintf(stderr,
               "coffer-pack: warning: this password could be guessed in %s; a longer one, such as several "
               "unrelated words, is safer\n",
               GuessTimeText(s.seconds_to_guess).c_str());
}

std::string NewPassword(const std::optional<std::string>& password_file) {
  std::string password;
  if (password_file) {
    password = ReadPasswordFile(*password_file);
  } else {
    if (!HaveTerminal()) throw Error("no terminal to ask the password on; use --password-file FILE");
    const auto first = AskLine("Password: ", true);
    if (!first) throw Error("no password given");
    if (first->empty()) throw Error("the password is empty; an archive needs a password");
    const auto second = AskLine("Repeat the password: ", true);
    if (!second) throw Error("no password given");
    if (*first != *second) throw Error("the two passwords do not match");
    password = *first;
  }
  if (password.empty()) throw Error("the password is empty; an archive needs a password");
  return password;
}

std::string ExistingPassword(const std::optional<std::string>& password_file) {
  if (password_file) return ReadPasswordFile(*password_file);
  if (!HaveTerminal()) throw Error("no terminal to ask the password on; use --password-file FILE");
  const auto entered = AskLine("Password: ", true);
  if (!entered) throw Error("no password given");
  return *entered;
}

std::string FormatSize(int64_t bytes) {
  char buf[64];
  const double b = static_cast<double>(bytes);
  if (bytes < 1024) std::snprintf(buf, sizeof buf, "%lld B", static_cast<long long>(bytes));
  else if (bytes < (int64_t{1} << 20)) std::snprintf(buf, sizeof buf, "%.1f KiB", b / 1024);
  else if (bytes < (int64_t{1} << 30)) std::snprintf(buf, sizeof buf, "%.1f MiB", b / (1 << 20));
  else std::snprintf(buf, sizeof buf, "%.2f GiB", b / (1 << 30));
  return buf;
}

std::string BarLine(const std::string& stage, int64_t done, int64_t total, bool bytes, int width) {
  const int64_t clamped = total > 0 ? std::clamp<int64_t>(done, 0, total) : 0;
  const int percent = total > 0 ? static_cast<int>(clamped * 100 / total) : 0;
  const int filled = total > 0 ? static_cast<int>(clamped * width / total) : 0;
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(width - filled), '-') + "] ";
  char pct[8];
  std::snprintf(pct, sizeof pct, "%3d%%", percent);
  line += pct;
  line += "  " + stage;
  if (total > 0 && bytes) line += "  " + FormatSize(clamped) + " / " + FormatSize(total);
  if (total > 0 && !bytes) line += "  " + std::to_string(clamped) + " / " + std::to_string(total);
  return line;
}

ProgressBar::ProgressBar() : enabled_(ErrorOutputIsConsole()) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::Update(const std::string& stage, int64_t done, int64_t total, bool force, bool bytes) {
  if (!enabled_) return;
  std::lock_guard lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  if (!force && drawn_ && now - last_ < std::chrono::milliseconds(250)) return;
  last_ = now;
  const std::string line = "\r\033[K" + BarLine(stage, done, total, bytes);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Clear() {
  if (!enabled_) return;
  std::lock_guard lock(mutex_);
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace coffer::pack
