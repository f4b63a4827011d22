#pragma once
// The password question's behaviour, free of any toolkit: texts on every
// showing, the "Show password" toggle, the refusal of a blank entry and the
// confirmed flag. The GTK view (PasswordFrmGtk.h) builds the widgets.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/message_box.h"

namespace coffer {

class PasswordView {
 public:
  struct Texts {
    std::string caption, lblPassword, chkDisplayPassword, btnOK, btnCancel;  // "&" marks mnemonics
  };
  virtual ~PasswordView() = default;
  virtual void ApplyTexts(const Texts& texts) = 0;
  virtual std::string PasswordText() const = 0;
  // Masked entry shows "*" for every character; unmasked shows the text.
  virtual void SetMasked(bool masked) = 0;
  virtual void ShowModal() = 0;  // edPassword focused
  virtual void FocusPassword() = 0;
  virtual void Hide() = 0;
  // A message box over this dialog.
  virtual void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) = 0;
};

// The entry without the characters U+0000 to U+0020 at both ends: what the
// blank test looks at (the password itself keeps them).
std::string TrimControlAndBlank(const std::string& text);

class TfrmPassword {
 public:
  TfrmPassword() = default;
  TfrmPassword(const TfrmPassword&) = delete;
  TfrmPassword& operator=(const TfrmPassword&) = delete;

  void set_view(PasswordView* view) { view_ = view; }

  // Shows the dialog; `closed` runs once it has been closed by any means,
  // after it is hidden.
  void ShowModal(std::function<void()> closed);
  bool shown() const { return shown_; }

  void FormShow();
  void chkDisplayPasswordClick(bool checked) { view_->SetMasked(!checked); }
  void btnOKClick();
  void btnCancelClick() { FormClose(); }
  void FormClose();  // the close box, Alt+F4 or Escape

  // 0 = not confirmed, -1 = OK pressed with a non-blank entry.
  int32_t confirmed() const { return confirmed_; }
  // edPassword exactly as typed.
  std::string password_text() const { return view_->PasswordText(); }

 private:
  PasswordView* view_ = nullptr;
  std::function<void()> closed_;
  int32_t confirmed_ = 0;
  bool shown_ = false;
  bool refusing_ = false;  // the "Enter password" box is up
};

}  // namespace coffer
