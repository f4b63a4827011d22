#pragma once
// Calls from the worker to the thread that runs the windows (the GTK main
// context's owner).
#include <functional>

namespace coffer {

// Runs `fn` on the main context and waits until it has returned. Called on
// the main thread itself it runs `fn` at once. An exception of `fn` is
// rethrown in the caller.
void RunOnMainThread(const std::function<void()>& fn);

// Queues `fn` to the main context and returns at once.
void PostToMainThread(std::function<void()> fn);

}  // namespace coffer
