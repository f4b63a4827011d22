#pragma once
// A window of our own that is never shown, made on the calling thread to
// receive messages there: its class registered once under `class_name`.
#include "platform/system-win32.h"

namespace coffer::win32 {

inline HWND MakeHiddenWindow(const wchar_t* class_name, WNDPROC proc, DWORD ex_style, DWORD style, HWND parent) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(ex_style, class_name, L"", style, 0, 0, 0, 0, parent, nullptr, wc.hInstance, nullptr);
}

}  // namespace coffer::win32
