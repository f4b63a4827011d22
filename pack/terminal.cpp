#include "pack/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/error.h"

namespace coffer::pack {
namespace {

// Set by the signal handler, read by the main thread and the worker's host:
// a lock-free atomic is both signal-safe and free of data races.
std::atomic<int> g_interrupted{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The first signal counts; a second one while stopping changes nothing.
void OnSignal(int signal) {
  int none = 0;
  g_interrupted.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

class Tty {
 public:
  Tty() : fd_(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~Tty() {
    if (fd_ >= 0) ::close(fd_);
  }
  Tty(const Tty&) = delete;
  Tty& operator=(const Tty&) = delete;
  int fd() const { return fd_; }
  void Say(const std::string& text) const {
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

 private:
  int fd_;
};

// Turns echo off for its lifetime.
class NoEcho {
 public:
  explicit NoEcho(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    active_ = ::tcsetattr(fd_, TCSANOW, &quiet) == 0;
  }
  ~NoEcho() {
    if (active_) ::tcsetattr(fd_, TCSANOW, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

std::string StripLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
}

int InterruptedStatus() {
  const int signal = g_interrupted.load(std::memory_order_relaxed);
  return 128 + (signal != 0 ? signal : SIGINT);
}

bool Interrupted() { return g_interrupted.load(std::memory_order_relaxed) != 0; }

bool HaveTerminal() { return Tty().fd() >= 0; }

std::optional<std::string> AskLine(const std::string& prompt, bool hidden) {
  Tty tty;
  if (tty.fd() < 0) return std::nullopt;
  std::optional<NoEcho> no_echo;
  if (hidden) no_echo.emplace(tty.fd());
  tty.Say(prompt);
  std::string line;
  for (;;) {
    if (Interrupted()) {
      tty.Say("\n");
      return std::nullopt;
    }
    pollfd p{tty.fd(), POLLIN, 0};
    const int ready = ::poll(&p, 1, 200);
    if (ready <= 0) continue;
    char c;
    const ssize_t n = ::read(tty.fd(), &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return line.empty() ? std::nullopt : std::optional(line);
    if (c == '\n') return StripLineEnd(line);
    line += c;
  }
}

std::string ReadPasswordFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("cannot read the password file " + path + ": " + std::strerror(errno));
  std::string line;
  std::getline(in, line);
  if (in.bad()) throw Error("cannot read the password file " + path);
  line = StripLineEnd(line);
  if (line.empty()) throw UsageError("the first line of the password file " + path + " is empty");
  return line;
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

ProgressBar::ProgressBar() : enabled_(::isatty(STDERR_FILENO) == 1) {}

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
