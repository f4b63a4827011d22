#include "ui/win32_util.h"

#include <algorithm>
#include <vector>

namespace coffer::win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"CofferDialog";

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* target = reinterpret_cast<MessageTarget*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  LRESULT result = 0;
  if (target != nullptr && target->OnMessage(hwnd, msg, wp, lp, result)) return result;
  // The dialog manager's own handling (focus kept across activation, the
  // push button under the focus drawn as the one Enter presses) without a
  // dialog template: the class reserves the dialog's extra bytes.
  return ::DefDlgProcW(hwnd, msg, wp, lp);
}

ATOM DialogClass() {
  static const ATOM atom = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DialogProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = AppIcon();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kDialogClass;
    return ::RegisterClassExW(&wc);
  }();
  return atom;
}

bool IsDialogWindow(HWND hwnd) {
  return hwnd != nullptr && static_cast<ATOM>(::GetClassLongPtrW(hwnd, GCW_ATOM)) == DialogClass();
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) {
  auto* icon = reinterpret_cast<HICON*>(data);
  *icon = ::LoadIconW(::GetModuleHandleW(nullptr), name);
  return FALSE;  // the first one is the application's
}

}  // namespace

int Scale(int px) {
  static const int dpi = [] {
    HDC screen = ::GetDC(nullptr);
    const int d = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return ::MulDiv(px, dpi, 96);
}

HFONT DialogFont() {
  static const Font font(::CreateFontW(-::MulDiv(8, Scale(96), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
  return font.get() ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

bool RightToLeft() {
  DWORD layout = 0;
  return ::GetProcessDefaultLayout(&layout) && (layout & LAYOUT_RTL) != 0;
}

HWND CreateDialogWindow(MessageTarget* target, HWND owner, int width, int height, DWORD ex_style) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
  ex_style |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  // Owned windows do not take the process's default layout.
  if (RightToLeft()) ex_style |= WS_EX_LAYOUTRTL;
  RECT frame{0, 0, Scale(width), Scale(height)};
  ::AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  return ::CreateWindowExW(ex_style, MAKEINTATOM(DialogClass()), L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                           ::GetModuleHandleW(nullptr), target);
}

void Centre(HWND hwnd, HWND over) {
  RECT area{};
  if (over != nullptr && ::IsWindowVisible(over)) ::GetWindowRect(over, &area);
  else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT own{};
  ::GetWindowRect(hwnd, &own);
  const int w = own.right - own.left, h = own.bottom - own.top;
  const int x = area.left + (area.right - area.left - w) / 2;
  const int y = area.top + (area.bottom - area.top - h) / 2;
  ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateControl(HWND parent, const wchar_t* window_class, DWORD style, int id, int x, int y, int width,
                   int height, DWORD ex_style) {
  HWND control = ::CreateWindowExW(ex_style, window_class, L"", style | WS_CHILD | WS_VISIBLE, Scale(x), Scale(y),
                                   Scale(width), Scale(height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                   nullptr);
  if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  return control;
}

HWND CreateLabel(HWND parent, int id, const std::string& text, int x, int y, int min_width, int min_height,
                 DWORD style) {
  HWND label = CreateControl(parent, WC_STATICW, style, id, x, y, min_width, min_height);
  SetText(label, text);
  FitLabel(label, min_width, min_height);
  return label;
}

void SetText(HWND hwnd, const std::string& text) { ::SetWindowTextW(hwnd, Widen(text).c_str()); }

std::string GetText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  const int n = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return Narrow(text);
}

void FitLabel(HWND label, int min_width, int min_height) {
  const int length = ::GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  RECT need{0, 0, 0, 0};
  if (HDC dc = ::GetDC(label)) {
    HGDIOBJ old = ::SelectObject(dc, DialogFont());
    const bool prefix = (::GetWindowLongPtrW(label, GWL_STYLE) & SS_NOPREFIX) == 0;
    ::DrawTextW(dc, text.c_str(), length, &need, DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
  }
  const int width = std::max<int>(need.right - need.left, Scale(min_width));
  const int height = std::max<int>(need.bottom - need.top, Scale(min_height));
  ::SetWindowPos(label, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FocusControl(HWND dialog, HWND control) {
  ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void ShowModal(HWND dialog, HWND owner, HWND focus) {
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  ::ShowWindow(dialog, SW_SHOW);
  ::SetForegroundWindow(dialog);
  FocusControl(dialog, focus);
}

void HideModal(HWND dialog, HWND owner) {
  // The owner first, so that the system activates it rather than some
  // other program's window when the dialog goes.
  if (owner != nullptr) ::EnableWindow(owner, TRUE);
  ::ShowWindow(dialog, SW_HIDE);
}

int RunMessageLoop() {
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (IsDialogWindow(root) && ::IsDialogMessageW(root, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

HICON AppIcon() {
  HICON icon = nullptr;
  ::EnumResourceNamesW(nullptr, RT_GROUP_ICON, &FirstName, reinterpret_cast<LONG_PTR>(&icon));
  return icon != nullptr ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace coffer::win32
