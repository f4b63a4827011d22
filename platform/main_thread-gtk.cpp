#include "platform/main_thread.h"

#include <glib.h>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <set>

#include "platform/debug.h"

namespace coffer {
namespace {

// One synchronised call, shared by the waiting caller and the queued source
// so that either may go first.
struct SyncCall {
  std::function<void()> fn;
  bool done = false;       // ran, or was dropped
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

gboolean RunSync(gpointer data) {
  auto call = *static_cast<std::shared_ptr<SyncCall>*>(data);
  Calls& calls = TheCalls();
  {
    std::lock_guard lock(calls.mutex);
    if (call->done) return G_SOURCE_REMOVE;  // dropped while queued
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
  return G_SOURCE_REMOVE;
}

void DeleteSync(gpointer data) { delete static_cast<std::shared_ptr<SyncCall>*>(data); }

gboolean RunPosted(gpointer data) {
  try {
    (*static_cast<std::function<void()>*>(data))();
  } catch (...) {
    TraceCaughtException("posted call");
  }
  return G_SOURCE_REMOVE;
}

void DeletePosted(gpointer data) { delete static_cast<std::function<void()>*>(data); }

}  // namespace

bool RunOnMainThread(const std::function<void()>& fn) {
  GMainContext* context = g_main_context_default();
  if (g_main_context_is_owner(context)) {
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
  g_main_context_invoke_full(context, G_PRIORITY_DEFAULT, RunSync, new std::shared_ptr<SyncCall>(call), DeleteSync);
  std::unique_lock lock(calls.mutex);
  while (!call->done) calls.changed.wait(lock);
  calls.pending.erase(call);
  if (call->error) std::rethrow_exception(call->error);
  return call->ran;
}

void PostToMainThread(std::function<void()> fn) {
  g_idle_add_full(G_PRIORITY_DEFAULT, RunPosted, new std::function<void()>(std::move(fn)), DeletePosted);
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
