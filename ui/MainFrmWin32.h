#pragma once
// The progress window as a Win32 window over TfrmMain: dialog frame, client
// area 392 × 210, Tahoma 8 pt, centred on the desktop, its own taskbar
// button; unseen through a layered window until the questions are answered.
#include <functional>
#include <memory>

#include "platform/tray.h"
#include "ui/MainFrm.h"
#include "ui/win32_util.h"

namespace coffer {

class MainWindowWin32 final : public MainView, win32::MessageTarget {
 public:
  // Control identifiers (none is IDOK or IDCANCEL).
  enum Id {
    kLblFileName = 101, kLblPercent, kLblTotalSize, kLblTime_Used, kLblTime_Left, kLblSpeed, kPbTotal, kGroupBox1,
    kLblTotalSize_Tip, kLblCurrentSize_Tip, kLblSpeed_Tip, kLblTime_Used_Tip, kLblTime_Left_Tip, kLblCurrentSize,
    kBtnHide, kBtnPause, kBtnCancel
  };

  // `closed` runs when the window has gone (the program is to end).
  MainWindowWin32(TfrmMain& form, std::function<void()> closed);
  ~MainWindowWin32() override;
  MainWindowWin32(const MainWindowWin32&) = delete;
  MainWindowWin32& operator=(const MainWindowWin32&) = delete;

  HWND hwnd() const { return window_.get(); }
  // The first showing: the form's FormShow, then on screen unseen.
  void Show();
  bool transparent() const { return transparent_; }

  void ApplyTexts(const Texts& texts) override;
  void SetLabel(MainLabel label, const std::string& text) override;
  void SetProgress(int32_t percent) override;
  void SetPauseCaption(const std::string& text) override;
  void SetTransparent(bool transparent) override;
  void StartTimer(MainTimer timer, unsigned interval_ms) override;
  void StopTimer(MainTimer timer) override;
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override;
  void AskOverwrite(const std::string& existing_file, const std::string& new_file,
                    std::function<void(OverwriteAnswer)> done) override;
  void ShowTrayIcon(std::function<void(bool shown)> done) override;
  void HideTrayIcon() override;
  void HideWindow() override;
  void MinimiseWindow() override;
  void RestoreWindow() override;
  void Close() override;

  TrayIcon& tray_icon() { return *tray_; }

 private:
  bool OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void StopTimers();

  TfrmMain& form_;
  std::function<void()> closed_;
  win32::OwnedWindow window_;
  HWND labels_[6] = {};
  HWND tips_[5] = {};
  HWND pbTotal_ = nullptr, btnHide_ = nullptr, btnPause_ = nullptr, btnCancel_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  bool transparent_ = false;
  bool gone_ = false;
};

}  // namespace coffer
