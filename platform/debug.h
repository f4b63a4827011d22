#pragma once
// The debug channel: silent unless the environment variable COFFER_DEBUG
// is set, then one line per call on stderr. Callers never pass a password,
// and the channel itself blanks out every secret registered with it.
#include <functional>
#include <string>

namespace coffer {

// Whether the channel is on (COFFER_DEBUG set, or a sink installed).
bool DebugEnabled();

// Writes `line` (a trailing newline is added; embedded newlines become
// blanks, so one call is always one line).
void DebugLine(const std::string& line);

// Sends every line to `sink` instead of stderr, whether or not COFFER_DEBUG
// is set, for as long as the object lives: tests read the trace with it.
class ScopedDebugSink {
 public:
  explicit ScopedDebugSink(std::function<void(const std::string&)> sink);
  ~ScopedDebugSink();
  ScopedDebugSink(const ScopedDebugSink&) = delete;
  ScopedDebugSink& operator=(const ScopedDebugSink&) = delete;
};

// Traces the exception in flight (called in a catch block) where a C
// boundary stops it: GLib's and the system's C code cannot unwind.
void TraceCaughtException(const char* where) noexcept;

// Keeps `secret` out of the trace for as long as the object lives: every
// occurrence in a line is replaced by "***" before the line goes anywhere.
// The password of a run is registered as soon as it is known, so no path
// (a file named after it, an error text quoting it) can print it.
class TraceSecret {
 public:
  explicit TraceSecret(std::string secret);
  ~TraceSecret();
  TraceSecret(const TraceSecret&) = delete;
  TraceSecret& operator=(const TraceSecret&) = delete;

 private:
  std::string secret_;
};

}  // namespace coffer
