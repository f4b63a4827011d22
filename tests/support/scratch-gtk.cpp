// Spinning the toolkit's main context for the window tests.
#include <gtk/gtk.h>

#include <chrono>

#include "tests/support/scratch.h"

namespace coffer::test {

bool SpinUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
  return true;
}

}  // namespace coffer::test
