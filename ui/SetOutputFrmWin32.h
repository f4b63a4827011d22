#pragma once
// The output folder question as a Win32 dialog window over TfrmSetOutput:
// client area 380 × 120, Tahoma 8 pt, btnOK first in the tab order.
#include "ui/SetOutputFrm.h"
#include "ui/win32_util.h"

namespace coffer {

class SetOutputWindowWin32 final : public SetOutputView, win32::MessageTarget {
 public:
  // Control identifiers; none is IDOK or IDCANCEL, so that neither Enter
  // nor Escape presses a button that lacks the focus.
  enum Id { kLabel1 = 101, kEdOutput, kBtnBrowser, kBtnOK, kBtnCancel };

  // `owner`: the progress window, kept disabled while the dialog is up.
  SetOutputWindowWin32(TfrmSetOutput& form, HWND owner);
  ~SetOutputWindowWin32() override;
  SetOutputWindowWin32(const SetOutputWindowWin32&) = delete;
  SetOutputWindowWin32& operator=(const SetOutputWindowWin32&) = delete;

  HWND hwnd() const { return window_.get(); }

  void ApplyTexts(const Texts& texts) override;
  std::string OutputText() const override;
  void SetOutputText(const std::string& text) override;
  void ShowModal() override;
  void Hide() override;
  void PickFolder(const std::string& title, const std::string& initial,
                  std::function<void(std::optional<std::string>)> done) override;

 private:
  bool OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  TfrmSetOutput& form_;
  HWND owner_;
  win32::OwnedWindow window_;
  HWND label1_ = nullptr, edOutput_ = nullptr, btnOK_ = nullptr, btnCancel_ = nullptr;
};

}  // namespace coffer
