#include <unistd.h>

#include <cstdlib>

#include "platform/debug_output.h"

namespace coffer {

bool SystemDebugOutputOn() { return std::getenv("COFFER_DEBUG") != nullptr; }

void WriteSystemDebugOutput(const std::string& line) {
  if (!SystemDebugOutputOn()) return;
  const std::string text = line + '\n';
  // One write, so lines from the worker and the windows never interleave.
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

}  // namespace coffer
