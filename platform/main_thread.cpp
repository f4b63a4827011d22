#include "platform/main_thread.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <set>

#include "platform/debug.h"
#include "platform/main_thread_queue.h"

namespace coffer {
namespace {

// One synchronised call, shared by the waiting caller and the queued task
// so that either may go first.
struct SyncCall {
  std::function<void()> fn;
  bool done = false;  // ran, or was dropped
  bool ran = false;
  std::exception_ptr error;
};

// Every call in flight and the refusal count, under one lock that the
// waiters' condition variable uses too.
struct Calls {
  std::mutex mutex;
  std::condition_variable changed;
  std::set<std::shared_ptr<SyncCall>> pending;
  int refusing = 0;
};

Calls& TheCalls() {
  static Calls* calls = new Calls;  // lives as long as any thread may call
  return *calls;
}

void RunSync(const std::shared_ptr<SyncCall>& call) {
  Calls& calls = TheCalls();
  {
    std::lock_guard lock(calls.mutex);
    if (call->done) return;  // dropped while queued
  }
  std::exception_ptr error;
  try {
    call->fn();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(calls.mutex);
    call->error = error;
    call->ran = true;
    call->done = true;
  }
  calls.changed.notify_all();
}

}  // namespace

bool RunOnMainThread(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return true;
  }
  Calls& calls = TheCalls();
  auto call = std::make_shared<SyncCall>();
  call->fn = fn;
  {
    std::lock_guard lock(calls.mutex);
    if (calls.refusing > 0) return false;
    calls.pending.insert(call);
  }
  if (!QueueOnMainThread(MainThreadTask::kCall, [call] { RunSync(call); })) {
    std::lock_guard lock(calls.mutex);
    calls.pending.erase(call);
    DebugLine("a call to the main thread could not be queued");
    return false;
  }
  std::unique_lock lock(calls.mutex);
  while (!call->done) calls.changed.wait(lock);
  calls.pending.erase(call);
  if (call->error) std::rethrow_exception(call->error);
  return call->ran;
}

void PostToMainThread(std::function<void()> fn) {
  auto task = [fn = std::move(fn)] {
    try {
      fn();
    } catch (...) {
      TraceCaughtException("posted call");
    }
  };
  if (!QueueOnMainThread(MainThreadTask::kPost, std::move(task))) DebugLine("a posted call to the main thread could not be queued");
}

RefuseMainThreadCalls::RefuseMainThreadCalls() {
  Calls& calls = TheCalls();
  {
    std::lock_guard lock(calls.mutex);
    ++calls.refusing;
    for (const auto& call : calls.pending) call->done = true;
  }
  calls.changed.notify_all();
}

RefuseMainThreadCalls::~RefuseMainThreadCalls() {
  Calls& calls = TheCalls();
  std::lock_guard lock(calls.mutex);
  --calls.refusing;
}

}  // namespace coffer
