#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <set>

#include "platform/debug.h"
#include "platform/main_thread.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

// Both kinds of call travel as messages posted to one message-only window
// of the main thread, so that they are served by every message loop there,
// the system's modal ones (message boxes, the folder browser) included. A
// posted call carries the number of the job-end message, WM_USER + 0x208:
// that is how the worker's outcome reaches the window.
constexpr UINT kPostedCall = WM_USER + 0x208;
constexpr UINT kSyncCall = WM_USER + 0x209;

struct SyncCall {
  std::function<void()> fn;
  bool done = false;  // ran, or was dropped
  bool ran = false;
  std::exception_ptr error;
};

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

LRESULT CALLBACK CallWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPostedCall) {
    std::unique_ptr<std::function<void()>> fn(reinterpret_cast<std::function<void()>*>(lp));
    try {
      (*fn)();
    } catch (...) {
      TraceCaughtException("posted call");
    }
    return 0;
  }
  if (msg == kSyncCall) {
    std::unique_ptr<std::shared_ptr<SyncCall>> call(reinterpret_cast<std::shared_ptr<SyncCall>*>(lp));
    RunSync(*call);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

struct MainThread {
  DWORD id = ::GetCurrentThreadId();
  HWND window = nullptr;
  MainThread() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &CallWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CofferMainThreadCalls";
    ::RegisterClassExW(&wc);
    window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
};

// Made while the program starts, on its first thread: the one that runs
// the windows. It lives until the process ends.
MainThread* const the_main_thread = new MainThread;

}  // namespace

bool RunOnMainThread(const std::function<void()>& fn) {
  if (::GetCurrentThreadId() == the_main_thread->id) {
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
  auto* message = new std::shared_ptr<SyncCall>(call);
  if (!::PostMessageW(the_main_thread->window, kSyncCall, 0, reinterpret_cast<LPARAM>(message))) {
    delete message;
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
  auto* message = new std::function<void()>(std::move(fn));
  if (!::PostMessageW(the_main_thread->window, kPostedCall, 0, reinterpret_cast<LPARAM>(message))) {
    delete message;
    DebugLine("a posted call to the main thread could not be queued");
  }
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
