#pragma once
// The password question as a GTK window over TfrmPassword. Widgets carry
// the control names (frmPassword, lblPassword, edPassword,
// chkDisplayPassword, btnOK, btnCancel) so that tests can find them.
#include <gtk/gtk.h>

#include "ui/PasswordFrm.h"
#include "ui/gtk_util.h"

namespace coffer {

class PasswordWindow final : public PasswordView {
 public:
  explicit PasswordWindow(TfrmPassword& form);
  ~PasswordWindow() override;
  PasswordWindow(const PasswordWindow&) = delete;
  PasswordWindow& operator=(const PasswordWindow&) = delete;

  GtkWindow* window() const { return window_.window(); }

  void ApplyTexts(const Texts& texts) override;
  std::string PasswordText() const override;
  void SetMasked(bool masked) override;
  void ShowModal() override;
  void FocusPassword() override { gtk_widget_grab_focus(edPassword_); }
  void Hide() override;
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override;

 private:
  TfrmPassword& form_;
  gtk::OwnedWindow window_;
  GtkWidget* lblPassword_ = nullptr;
  GtkWidget* edPassword_ = nullptr;
  GtkWidget* chkDisplayPassword_ = nullptr;
  GtkWidget* btnOK_ = nullptr;
  GtkWidget* btnCancel_ = nullptr;
};

}  // namespace coffer
