#include "platform/system-win32.h"

#include <shellapi.h>

#include <utility>

#include "platform/main_thread.h"
#include "platform/tray.h"

namespace coffer {
namespace {

constexpr UINT kIconMessage = WM_APP + 1;
constexpr UINT kIconId = 1;

BOOL CALLBACK FirstIconName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) {
  *reinterpret_cast<HICON*>(data) = static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), name, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  return FALSE;
}

// The executable's first icon, the one the shell shows for it, at the
// notification area's size (a copy for the caller to destroy), or null.
HICON ApplicationIcon() {
  HICON icon = nullptr;
  ::EnumResourceNamesW(nullptr, RT_GROUP_ICON, &FirstIconName, reinterpret_cast<LONG_PTR>(&icon));
  return icon;
}

}  // namespace

// The icon's messages come to a hidden window of its own: a top-level one,
// as only those hear that the taskbar was made anew (the shell restarted)
// and the icon must be added again.
struct TrayIcon::Impl {
  std::function<void()> activated;
  std::wstring tooltip;
  HICON icon = nullptr;
  bool own_icon = false;  // the system's shared icon is never destroyed
  HWND window = nullptr;
  bool visible = false;
  UINT taskbar_created = ::RegisterWindowMessageW(L"TaskbarCreated");

  NOTIFYICONDATAW Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tooltip.c_str(), static_cast<int>(sizeof data.szTip / sizeof data.szTip[0]));
    return data;
  }
  bool Add() {
    NOTIFYICONDATAW data = Data();
    return ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == kIconMessage && LOWORD(lp) == WM_LBUTTONUP) {
      if (self->activated) self->activated();
      return 0;
    }
    if (self != nullptr && msg == self->taskbar_created && self->visible) {
      self->Add();
      return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
};

TrayIcon::TrayIcon(std::string, std::string tooltip, std::function<void()> activated)
    : impl_(std::make_unique<Impl>()) {
  impl_->activated = std::move(activated);
  impl_->tooltip = win32::Widen(tooltip);
  impl_->icon = ApplicationIcon();
  impl_->own_icon = impl_->icon != nullptr;
  if (!impl_->own_icon) impl_->icon = ::LoadIconW(nullptr, IDI_APPLICATION);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Impl::Proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CofferTrayIcon";
  ::RegisterClassExW(&wc);  // fails harmlessly for a second icon
  impl_->window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    wc.hInstance, impl_.get());
}

TrayIcon::~TrayIcon() {
  Hide();
  if (impl_->window != nullptr) ::DestroyWindow(impl_->window);
  if (impl_->own_icon) ::DestroyIcon(impl_->icon);
}

void TrayIcon::Show(std::function<void(bool shown)> done) {
  if (!impl_->visible) impl_->visible = impl_->Add();
  const bool shown = impl_->visible;
  PostToMainThread([done = std::move(done), shown] {
    if (done) done(shown);
  });
}

void TrayIcon::Hide() {
  if (!impl_->visible) return;
  NOTIFYICONDATAW data = impl_->Data();
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  impl_->visible = false;
}

bool TrayIcon::Visible() const { return impl_->visible; }

void TrayIcon::set_tooltip(const std::string& tooltip) {
  impl_->tooltip = win32::Widen(tooltip);
  if (!impl_->visible) return;
  NOTIFYICONDATAW data = impl_->Data();
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

}  // namespace coffer
