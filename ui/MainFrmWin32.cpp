#include "ui/MainFrmWin32.h"

#include <algorithm>

#include "ui/OverWriteFrmWin32.h"

namespace coffer {
namespace {

// Where each control stands, at 96 DPI. The frame holds two rows of label
// pairs and, hidden below them, the current-size pair.
struct Pair {
  int tip_index, tip_id, value_id, label;  // label: index into labels_, -1 for the hidden pair
  int x, y;
};
constexpr Pair kPairs[] = {
    {0, MainWindowWin32::kLblTotalSize_Tip, MainWindowWin32::kLblTotalSize, int(MainLabel::lblTotalSize), 24, 74},
    {2, MainWindowWin32::kLblSpeed_Tip, MainWindowWin32::kLblSpeed, int(MainLabel::lblSpeed), 200, 74},
    {3, MainWindowWin32::kLblTime_Used_Tip, MainWindowWin32::kLblTime_Used, int(MainLabel::lblTime_Used), 24, 98},
    {4, MainWindowWin32::kLblTime_Left_Tip, MainWindowWin32::kLblTime_Left, int(MainLabel::lblTime_Left), 200, 98},
    {1, MainWindowWin32::kLblCurrentSize_Tip, MainWindowWin32::kLblCurrentSize, -1, 24, 122},
};
constexpr int kTipWidth = 86, kValueWidth = 84, kLabelHeight = 13;

constexpr UINT_PTR TimerId(MainTimer timer) { return static_cast<UINT_PTR>(timer) + 1; }

}  // namespace

MainWindowWin32::MainWindowWin32(TfrmMain& form, std::function<void()> closed)
    : form_(form),
      closed_(std::move(closed)),
      window_(win32::CreateDialogWindow(this, nullptr, 392, 210, WS_EX_APPWINDOW)) {
  using win32::CreateControl;
  HWND w = hwnd();
  const DWORD label = SS_LEFT | SS_NOPREFIX;
  labels_[int(MainLabel::lblFileName)] =
      CreateControl(w, WC_STATICW, label | SS_PATHELLIPSIS, kLblFileName, 12, 12, 300, kLabelHeight);
  labels_[int(MainLabel::lblPercent)] =
      CreateControl(w, WC_STATICW, SS_RIGHT | SS_NOPREFIX, kLblPercent, 320, 12, 60, kLabelHeight);
  pbTotal_ = CreateControl(w, PROGRESS_CLASSW, 0, kPbTotal, 12, 30, 368, 17);
  ::SendMessageW(pbTotal_, PBM_SETRANGE32, 0, 100);
  CreateControl(w, WC_BUTTONW, BS_GROUPBOX, kGroupBox1, 12, 56, 368, 96);
  for (const Pair& p : kPairs) {
    const DWORD shown = p.label >= 0 ? 0 : WS_DISABLED;  // the hidden pair is never made visible
    HWND tip = tips_[p.tip_index] = CreateControl(w, WC_STATICW, label | shown, p.tip_id, p.x, p.y, kTipWidth,
                                                  kLabelHeight);
    HWND value = CreateControl(w, WC_STATICW, label | shown, p.value_id, p.x + kTipWidth + 2, p.y, kValueWidth,
                               kLabelHeight);
    if (p.label >= 0) {
      labels_[p.label] = value;
    } else {
      ::ShowWindow(tip, SW_HIDE);
      ::ShowWindow(value, SW_HIDE);
    }
  }
  btnHide_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnHide, 98, 172, 90, 25);
  btnPause_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnPause, 194, 172, 90, 25);
  btnCancel_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnCancel, 290, 172, 90, 25);
  win32::Centre(w);
  tray_ = std::make_unique<TrayIcon>("", "", [this] { form_.TrayIcon1Click(); });
  form_.set_view(this);
}

MainWindowWin32::~MainWindowWin32() {
  StopTimers();
  form_.set_view(nullptr);
}

void MainWindowWin32::Show() {
  form_.FormShow();
  if (!gone_ && transparent_) {
    ::ShowWindow(hwnd(), SW_SHOW);
    win32::FocusControl(hwnd(), btnHide_);
  }
}

void MainWindowWin32::ApplyTexts(const Texts& t) {
  win32::SetText(hwnd(), t.caption);
  tray_->set_tooltip(t.caption);
  win32::SetText(btnHide_, t.btnHide);
  win32::SetText(btnPause_, t.btnPause);
  win32::SetText(btnCancel_, t.btnCancel);
  const std::string* tips[] = {&t.lblTotalSize_Tip, &t.lblCurrentSize_Tip, &t.lblSpeed_Tip, &t.lblTime_Used_Tip,
                               &t.lblTime_Left_Tip};
  for (int i = 0; i < 5; ++i) win32::SetText(tips_[i], *tips[i]);
  // A caption longer than the design's column (German, Spanish, Arabic)
  // widens its label, and its value moves along within the pair's room.
  for (const Pair& p : kPairs) {
    HWND tip = tips_[p.tip_index];
    win32::FitLabel(tip, kTipWidth, kLabelHeight);
    RECT r{};
    ::GetWindowRect(tip, &r);
    const int value_x = win32::Scale(p.x) + (r.right - r.left) + win32::Scale(2);
    const int room_end = win32::Scale(p.x + kTipWidth + 2 + kValueWidth);
    ::SetWindowPos(::GetDlgItem(hwnd(), p.value_id), nullptr, value_x, win32::Scale(p.y),
                   std::max(0, room_end - value_x), win32::Scale(kLabelHeight), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindowWin32::SetLabel(MainLabel label, const std::string& text) {
  win32::SetText(labels_[int(label)], text);
}

void MainWindowWin32::SetProgress(int32_t percent) { ::SendMessageW(pbTotal_, PBM_SETPOS, percent, 0); }

void MainWindowWin32::SetPauseCaption(const std::string& text) { win32::SetText(btnPause_, text); }

// A layered window of alpha 0 is on screen and on the taskbar but unseen;
// clicks go through it. Visible again in one step, with no fade.
void MainWindowWin32::SetTransparent(bool transparent) {
  transparent_ = transparent;
  HWND w = hwnd();
  const LONG_PTR ex = ::GetWindowLongPtrW(w, GWL_EXSTYLE);
  if (transparent) {
    ::SetWindowLongPtrW(w, GWL_EXSTYLE, ex | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    ::SetLayeredWindowAttributes(w, 0, 0, LWA_ALPHA);
    return;
  }
  ::SetWindowLongPtrW(w, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED | WS_EX_TRANSPARENT));
  ::RedrawWindow(w, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  ::ShowWindow(w, SW_SHOW);
  ::SetForegroundWindow(w);
  win32::FocusControl(w, btnHide_);
}

void MainWindowWin32::StartTimer(MainTimer timer, unsigned interval_ms) {
  ::SetTimer(hwnd(), TimerId(timer), interval_ms, nullptr);
}

void MainWindowWin32::StopTimer(MainTimer timer) { ::KillTimer(hwnd(), TimerId(timer)); }

void MainWindowWin32::StopTimers() {
  for (MainTimer t : {MainTimer::Timer1, MainTimer::TimerProcess, MainTimer::EndDelay}) StopTimer(t);
}

void MainWindowWin32::ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  ShowMessageBox(hwnd(), spec, std::move(done));
}

void MainWindowWin32::AskOverwrite(const std::string& existing_file, const std::string& new_file,
                                   std::function<void(OverwriteAnswer)> done) {
  OpenOverwriteDialogWin32(hwnd(), existing_file, new_file, std::move(done));
}

void MainWindowWin32::ShowTrayIcon(std::function<void(bool shown)> done) { tray_->Show(std::move(done)); }

void MainWindowWin32::HideTrayIcon() { tray_->Hide(); }

void MainWindowWin32::HideWindow() { ::ShowWindow(hwnd(), SW_HIDE); }

void MainWindowWin32::MinimiseWindow() { ::ShowWindow(hwnd(), SW_MINIMIZE); }

void MainWindowWin32::RestoreWindow() {
  ::ShowWindow(hwnd(), ::IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(hwnd());
}

void MainWindowWin32::Close() {
  if (gone_) return;
  gone_ = true;
  StopTimers();
  tray_->Hide();
  ::ShowWindow(hwnd(), SW_HIDE);
  if (closed_) closed_();
}

bool MainWindowWin32::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CLOSE:  // the close box, Alt+F4, the taskbar
      form_.FormClose();
      return true;
    case WM_TIMER:
      switch (wp) {
        case TimerId(MainTimer::Timer1): form_.Timer1Timer(); break;
        case TimerId(MainTimer::TimerProcess): form_.TimerProcessTimer(); break;
        case TimerId(MainTimer::EndDelay): form_.EndDelayTimer(); break;
        default: return false;
      }
      return true;
    case WM_COMMAND:
      if (HIWORD(wp) != BN_CLICKED) return false;
      switch (LOWORD(wp)) {
        case kBtnHide: form_.btnHideClick(); break;
        case kBtnPause: form_.btnPauseClick(); break;
        case kBtnCancel: form_.btnCancelClick(); break;
        default: break;  // IDOK, IDCANCEL: Enter and Escape press nothing unfocused
      }
      return true;
    default: return false;
  }
}

}  // namespace coffer
