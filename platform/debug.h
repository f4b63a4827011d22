#pragma once
// The debug channel: silent unless the environment variable COFFER_DEBUG
// is set, then one line per call on stderr. Callers never pass a password.
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

}  // namespace coffer
