#pragma once
// The system ending the window program: termination signals handled on the
// main loop, and the display going away under it.
#include <functional>

namespace coffer {

// From now on SIGTERM, SIGHUP and SIGINT no longer kill the process: each
// runs `on_signal` (with the signal's number) on the main loop instead, so
// that the program can stop its job and clean up before it ends.
void WatchTermination(std::function<void(int signal)> on_signal);

// Ends the process with the status that `signal` itself would give it
// (the default action of the signal, as if it had not been handled).
[[noreturn]] void ExitBySignal(int signal);

// When the connection to the display breaks (the X server ends, the
// session crashes), the toolkit ends the process at once. This runs
// `before_exit` first, on the main thread, with no window usable any more;
// the process then ends with status 1.
void WatchDisplayLoss(std::function<void()> before_exit);

}  // namespace coffer
