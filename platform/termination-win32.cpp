#include <csignal>
#include <cstdlib>

#include "platform/debug.h"
#include "platform/hidden_window-win32.h"
#include "platform/termination.h"

namespace coffer {
namespace {

std::function<void(int)>& OnSignal() {
  static auto* fn = new std::function<void(int)>;
  return *fn;
}

// The session's end is the system's termination here. The process is
// ended once WM_ENDSESSION has been answered, so the program's own end (the
// job stopped, the working folder removed, the windows closed, which posts
// WM_QUIT) is awaited right there, serving every message meanwhile.
void EndOfSession() {
  DebugLine("the session ends");
  try {
    if (OnSignal()) OnSignal()(SIGTERM);
  } catch (...) {
    TraceCaughtException("termination");
  }
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // The program's own loop ends on it too.
  ::PostQuitMessage(static_cast<int>(msg.wParam));
}

// A hidden top-level window: the session's messages go to those only.
LRESULT CALLBACK SessionProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUERYENDSESSION) return TRUE;
  if (msg == WM_ENDSESSION) {
    if (wp) EndOfSession();
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void WatchTermination(std::function<void(int signal)> on_signal) {
  OnSignal() = std::move(on_signal);
  static const HWND window =
      win32::MakeHiddenWindow(L"CofferSession", &SessionProc, WS_EX_TOOLWINDOW, WS_POPUP, nullptr);
  (void)window;
}

void ExitBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(3);  // what the C library's default action gives
}

// The windows cannot lose their display here.
void WatchDisplayLoss(std::function<void()>) {}

}  // namespace coffer
