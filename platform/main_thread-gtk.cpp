#include <glib.h>

#include "platform/main_thread_queue.h"

namespace coffer {
namespace {

gboolean RunTask(gpointer data) {
  (*static_cast<std::function<void()>*>(data))();
  return G_SOURCE_REMOVE;
}

void DeleteTask(gpointer data) { delete static_cast<std::function<void()>*>(data); }

}  // namespace

bool IsMainThread() { return g_main_context_is_owner(g_main_context_default()); }

bool QueueOnMainThread(MainThreadTask kind, std::function<void()> task) {
  auto* data = new std::function<void()>(std::move(task));
  // A synchronised call runs at once when the caller may take the context
  // itself (no loop runs it now); a posted one always waits for the loop.
  if (kind == MainThreadTask::kCall)
    g_main_context_invoke_full(g_main_context_default(), G_PRIORITY_DEFAULT, RunTask, data, DeleteTask);
  else
    g_idle_add_full(G_PRIORITY_DEFAULT, RunTask, data, DeleteTask);
  return true;
}

}  // namespace coffer
