#include "platform/debug.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace coffer {
namespace {

std::mutex g_mutex;
std::function<void(const std::string&)> g_sink;

}  // namespace

bool DebugEnabled() {
  std::lock_guard lock(g_mutex);
  return g_sink || std::getenv("COFFER_DEBUG") != nullptr;
}

void DebugLine(const std::string& line) {
  std::string text = line;
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  std::lock_guard lock(g_mutex);
  if (g_sink) {
    g_sink(text);
    return;
  }
  if (!std::getenv("COFFER_DEBUG")) return;
  text += '\n';
  // One write, so lines from the worker and the windows never interleave.
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

ScopedDebugSink::ScopedDebugSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(g_mutex);
  g_sink = std::move(sink);
}

ScopedDebugSink::~ScopedDebugSink() {
  std::lock_guard lock(g_mutex);
  g_sink = nullptr;
}

}  // namespace coffer
