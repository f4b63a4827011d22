#include "platform/console.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>

namespace coffer {
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

std::string WithoutCarriageReturns(std::string line) {
  while (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

void WatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
}

bool InterruptRequested() { return g_interrupted.load(std::memory_order_relaxed) != 0; }

int InterruptExitStatus() {
  const int signal = g_interrupted.load(std::memory_order_relaxed);
  return 128 + (signal != 0 ? signal : SIGINT);
}

bool ConsoleAvailable() { return Tty().fd() >= 0; }

std::optional<std::string> ReadConsoleLine(const std::string& prompt, bool hidden) {
  Tty tty;
  if (tty.fd() < 0) return std::nullopt;
  std::optional<NoEcho> no_echo;
  if (hidden) no_echo.emplace(tty.fd());
  tty.Say(prompt);
  std::string line;
  for (;;) {
    if (InterruptRequested()) {
      tty.Say("\n");
      return std::nullopt;
    }
    // A bounded wait, so that an interrupt is seen even where a signal does
    // not break the read.
    pollfd p{tty.fd(), POLLIN, 0};
    const int ready = ::poll(&p, 1, 200);
    if (ready <= 0) continue;
    char c;
    const ssize_t n = ::read(tty.fd(), &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return line.empty() ? std::nullopt : std::optional(line);
    if (c == '\n') return WithoutCarriageReturns(line);
    line += c;
  }
}

bool ErrorOutputIsConsole() { return ::isatty(STDERR_FILENO) == 1; }

bool StartedFromDesktop() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return !::isatty(STDIN_FILENO) && (set("DISPLAY") || set("WAYLAND_DISPLAY"));
}

std::string RunInstead(const std::string& path) {
  char* args[] = {const_cast<char*>(path.c_str()), nullptr};
  ::execv(path.c_str(), args);
  return std::strerror(errno);
}

}  // namespace coffer
