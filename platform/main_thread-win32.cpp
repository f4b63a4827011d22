#include <memory>

#include "platform/main_thread_queue.h"
#include "platform/hidden_window-win32.h"

namespace coffer {
namespace {

// Both kinds of call travel as messages posted to one message-only window
// of the main thread, so that they are served by every message loop there,
// the system's modal ones (message boxes, the folder browser) included. A
// posted call carries the number of the job-end message, WM_USER + 0x208:
// that is how the worker's outcome reaches the window.
constexpr UINT kPostedCall = WM_USER + 0x208;
constexpr UINT kSyncCall = WM_USER + 0x209;

LRESULT CALLBACK CallWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPostedCall || msg == kSyncCall) {
    std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lp));
    (*task)();
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

struct MainThread {
  DWORD id = ::GetCurrentThreadId();
  HWND window = nullptr;
  // Message-only: it receives what is posted to it and no broadcasts.
  MainThread() { window = win32::MakeHiddenWindow(L"CofferMainThreadCalls", &CallWindowProc, 0, 0, HWND_MESSAGE); }
};

// Made while the program starts, on its first thread: the one that runs
// the windows. It lives until the process ends.
MainThread* const the_main_thread = new MainThread;

}  // namespace

bool IsMainThread() { return ::GetCurrentThreadId() == the_main_thread->id; }

bool QueueOnMainThread(MainThreadTask kind, std::function<void()> task) {
  auto* message = new std::function<void()>(std::move(task));
  UINT msg = kind == MainThreadTask::kCall ? kSyncCall : kPostedCall;
  if (::PostMessageW(the_main_thread->window, msg, 0, reinterpret_cast<LPARAM>(message))) return true;
  delete message;
  return false;
}

}  // namespace coffer
