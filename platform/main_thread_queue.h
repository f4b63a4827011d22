#pragma once
// What each system supplies to the calls of main_thread.h: the shared part
// (main_thread.cpp) keeps the calls in flight and the refusal, the back
// ends only say who the main thread is and hand it work.
#include <functional>

namespace coffer {

// True on the thread that runs the windows.
bool IsMainThread();

// A synchronised call, which a caller waits for, or a posted one.
enum class MainThreadTask { kCall, kPost };

// Queues `task` to run once on the main thread, served by every loop that
// runs there. False when it could not be queued; `task` is then dropped
// without running. `task` itself never throws.
bool QueueOnMainThread(MainThreadTask kind, std::function<void()> task);

}  // namespace coffer
