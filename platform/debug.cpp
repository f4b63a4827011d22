#include "platform/debug.h"

#include <exception>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/debug_output.h"

namespace coffer {
namespace {

std::mutex g_mutex;
std::function<void(const std::string&)> g_sink;
std::vector<std::string> g_secrets;  // under g_mutex

void Blank(std::string& text, std::string_view secret) {
  if (secret.empty()) return;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
    text.replace(at, secret.size(), "***");
}

}  // namespace

bool DebugEnabled() {
  std::lock_guard lock(g_mutex);
  return g_sink || SystemDebugOutputOn();
}

void DebugLine(const std::string& line) {
  std::string text = line;
  {
    std::lock_guard lock(g_mutex);
    for (const std::string& secret : g_secrets) Blank(text, secret);
  }
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  std::lock_guard lock(g_mutex);
  for (const std::string& secret : g_secrets) Blank(text, secret);
  if (g_sink) {
    g_sink(text);
    return;
  }
  WriteSystemDebugOutput(text);
}

ScopedDebugSink::ScopedDebugSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(g_mutex);
  g_sink = std::move(sink);
}

ScopedDebugSink::~ScopedDebugSink() {
  std::lock_guard lock(g_mutex);
  g_sink = nullptr;
}

void TraceCaughtException(const char* where) noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    DebugLine(std::string(where) + ": stopped an exception at a C boundary: " + e.what());
  } catch (...) {
    DebugLine(std::string(where) + ": stopped an exception at a C boundary");
  }
}

TraceSecret::TraceSecret(std::string secret) : secret_(std::move(secret)) {
  if (secret_.empty()) return;
  std::lock_guard lock(g_mutex);
  g_secrets.push_back(secret_);
}

TraceSecret::~TraceSecret() {
  if (secret_.empty()) return;
  std::lock_guard lock(g_mutex);
  for (auto it = g_secrets.begin(); it != g_secrets.end(); ++it) {
    if (*it == secret_) {
      g_secrets.erase(it);
      break;
    }
  }
}

}  // namespace coffer
