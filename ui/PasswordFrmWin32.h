#pragma once
// The password question as a Win32 dialog window over TfrmPassword: client
// area 284 × 142, Tahoma 8 pt, edPassword first in the tab order.
#include "ui/PasswordFrm.h"
#include "ui/win32_util.h"

namespace coffer {

class PasswordWindowWin32 final : public PasswordView, win32::MessageTarget {
 public:
  // None is IDOK or IDCANCEL: Enter in the entry and Escape do nothing.
  enum Id { kLblPassword = 101, kEdPassword, kChkDisplayPassword, kBtnOK, kBtnCancel };

  // `owner`: the progress window, kept disabled while the dialog is up.
  PasswordWindowWin32(TfrmPassword& form, HWND owner);
  ~PasswordWindowWin32() override;
  PasswordWindowWin32(const PasswordWindowWin32&) = delete;
  PasswordWindowWin32& operator=(const PasswordWindowWin32&) = delete;

  HWND hwnd() const { return window_.get(); }

  void ApplyTexts(const Texts& texts) override;
  std::string PasswordText() const override;
  void SetMasked(bool masked) override;
  void ShowModal() override;
  void FocusPassword() override;
  void Hide() override;
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override;

 private:
  bool OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  TfrmPassword& form_;
  HWND owner_;
  win32::OwnedWindow window_;
  HWND lblPassword_ = nullptr, edPassword_ = nullptr, chkDisplayPassword_ = nullptr, btnOK_ = nullptr,
       btnCancel_ = nullptr;
};

}  // namespace coffer
