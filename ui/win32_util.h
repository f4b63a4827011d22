#pragma once
// What the Win32 views share: owned handles (windows, fonts, icons), the
// dialog window class whose messages go to a view object, sizes given at
// 96 DPI scaled to the screen's, the Tahoma 8 pt font, controls created at
// their places, and the message loop with the dialogs' keyboard handling.
#include "platform/system-win32.h"

#include <commctrl.h>

#include <string>
#include <utility>

namespace coffer::win32 {

// A window destroyed with its holder.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  explicit OwnedWindow(HWND hwnd) : hwnd_(hwnd) {}
  OwnedWindow(OwnedWindow&& o) noexcept : hwnd_(std::exchange(o.hwnd_, nullptr)) {}
  OwnedWindow& operator=(OwnedWindow&& o) noexcept {
    if (this != &o) reset(std::exchange(o.hwnd_, nullptr));
    return *this;
  }
  ~OwnedWindow() { reset(); }
  void reset(HWND hwnd = nullptr) {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = hwnd;
  }
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Any GDI object (fonts here), deleted with its holder.
template <typename T>
class GdiObject {
 public:
  explicit GdiObject(T h = nullptr) : h_(h) {}
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  ~GdiObject() {
    if (h_) ::DeleteObject(h_);
  }
  T get() const { return h_; }

 private:
  T h_;
};
using Font = GdiObject<HFONT>;

// An icon handle that its holder destroys (shell icons are copies).
class Icon {
 public:
  explicit Icon(HICON h = nullptr) : h_(h) {}
  Icon(Icon&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Icon& operator=(Icon&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  ~Icon() {
    if (h_) ::DestroyIcon(h_);
  }
  HICON get() const { return h_; }

 private:
  HICON h_;
};

// Receives the messages of a window made by CreateDialogWindow. Returning
// nothing hands the message on to the dialog manager's default handling.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual bool OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
};

// Screen pixels for `px` pixels at 96 DPI.
int Scale(int px);

// Tahoma 8 pt at the screen's resolution; one font for every window.
HFONT DialogFont();

// Whether the windows are laid out right to left (the process's default
// layout, set once at start for a right-to-left language).
bool RightToLeft();

// A top-level window with a dialog frame and a close box only, of client
// size `width` × `height` (at 96 DPI), owned by `owner` (may be null),
// hidden. Keyboard navigation (Tab, mnemonics, Space on a button) works as
// in the system's dialogs; no button is the default or cancel button.
// `target` gets its messages until WM_NCDESTROY, its last.
HWND CreateDialogWindow(MessageTarget* target, HWND owner, int width, int height, DWORD ex_style = 0);

// Centres `hwnd` on the work area of the desktop, or on `over` if given.
void Centre(HWND hwnd, HWND over = nullptr);

// A child control of `parent` at the place given at 96 DPI, with the
// dialog font. The creation order is the tab order.
HWND CreateControl(HWND parent, const wchar_t* window_class, DWORD style, int id, int x, int y, int width,
                   int height, DWORD ex_style = 0);
// A static label sized to its text, at least `min_width` × `min_height`.
HWND CreateLabel(HWND parent, int id, const std::string& text, int x, int y, int min_width = 0,
                 int min_height = 13, DWORD style = SS_NOPREFIX);

void SetText(HWND hwnd, const std::string& text);
std::string GetText(HWND hwnd);
// Gives the label the size its text needs, not below `min_width` ×
// `min_height` (at 96 DPI); its top-left corner stays.
void FitLabel(HWND label, int min_width, int min_height);

// Moves the keyboard focus inside a dialog window the way the dialog
// manager does (a push button there looks like the one Enter presses).
void FocusControl(HWND dialog, HWND control);

// Shows `dialog` as a modal window over `owner`, which stays disabled
// until HideModal; `focus` gets the keyboard focus.
void ShowModal(HWND dialog, HWND owner, HWND focus);
void HideModal(HWND dialog, HWND owner);

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// The application's icon: the executable's first icon, or the system's.
HICON AppIcon();

}  // namespace coffer::win32
