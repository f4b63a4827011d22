#include <cstdio>
#include <cstdlib>

#include "platform/debug_output.h"
#include "platform/system-win32.h"

namespace coffer {

// The system's debug output (a debugger, DebugView) always takes lines.
bool SystemDebugOutputOn() { return true; }

void WriteSystemDebugOutput(const std::string& line) {
  ::OutputDebugStringW(win32::Widen(line + "\n").c_str());
  if (!std::getenv("COFFER_DEBUG")) return;
  const std::string text = line + '\n';
  // One write, so lines from the worker and the windows never interleave.
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace coffer
