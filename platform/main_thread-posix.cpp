#include "platform/main_thread.h"

#include <glib.h>

#include <condition_variable>
#include <exception>
#include <mutex>

namespace coffer {
namespace {

struct SyncCall {
  const std::function<void()>* fn;
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  std::exception_ptr error;
};

gboolean RunSync(gpointer data) {
  auto* call = static_cast<SyncCall*>(data);
  try {
    (*call->fn)();
  } catch (...) {
    call->error = std::current_exception();
  }
  {
    std::lock_guard lock(call->mutex);
    call->done = true;
  }
  call->done_cv.notify_one();
  return G_SOURCE_REMOVE;
}

gboolean RunPosted(gpointer data) {
  auto* fn = static_cast<std::function<void()>*>(data);
  (*fn)();
  return G_SOURCE_REMOVE;
}

void DeletePosted(gpointer data) { delete static_cast<std::function<void()>*>(data); }

}  // namespace

void RunOnMainThread(const std::function<void()>& fn) {
  GMainContext* context = g_main_context_default();
  if (g_main_context_is_owner(context)) {
    fn();
    return;
  }
  SyncCall call{&fn, {}, {}, false, nullptr};
  g_main_context_invoke_full(context, G_PRIORITY_DEFAULT, RunSync, &call, nullptr);
  std::unique_lock lock(call.mutex);
  while (!call.done) call.done_cv.wait(lock);
  if (call.error) std::rethrow_exception(call.error);
}

void PostToMainThread(std::function<void()> fn) {
  g_idle_add_full(G_PRIORITY_DEFAULT, RunPosted, new std::function<void()>(std::move(fn)), DeletePosted);
}

}  // namespace coffer
