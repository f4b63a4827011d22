#pragma once
// Calls from the worker to the thread that runs the windows (the GTK main
// context's owner).
#include <functional>

namespace coffer {

// Runs `fn` on the main context and waits until it has returned; true then.
// Called on the main thread itself it runs `fn` at once. An exception of
// `fn` is rethrown in the caller. False, without running `fn`, when the main
// thread has stopped serving calls (see RefuseMainThreadCalls): a caller
// never waits for a loop that no longer runs.
bool RunOnMainThread(const std::function<void()>& fn);

// Queues `fn` to the main context and returns at once. An exception of
// `fn` ends at the main loop's edge: it is traced, never thrown into GLib.
void PostToMainThread(std::function<void()> fn);

// While one of these lives, the main thread does not serve synchronised
// calls: those waiting now return false at once, as do new ones, and their
// queued work is dropped. The main thread holds one while it waits for the
// worker outside its loop (tearing down, or on a lost display).
class RefuseMainThreadCalls {
 public:
  RefuseMainThreadCalls();
  ~RefuseMainThreadCalls();
  RefuseMainThreadCalls(const RefuseMainThreadCalls&) = delete;
  RefuseMainThreadCalls& operator=(const RefuseMainThreadCalls&) = delete;
};

}  // namespace coffer
