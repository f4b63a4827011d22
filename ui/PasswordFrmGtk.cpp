#include "ui/PasswordFrmGtk.h"

#include "i18n/texts.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer {

PasswordWindow::PasswordWindow(TfrmPassword& form)
    : form_(form), window_(NewDialogWindow("frmPassword", [this] { form_.FormClose(); })) {
  gtk_window_set_role(window(), "coffer-password");  // found by role, not by its translated title
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_container_set_border_width(GTK_CONTAINER(box), 20);

  lblPassword_ = gtk_label_new_with_mnemonic("");
  gtk_widget_set_name(lblPassword_, "lblPassword");
  gtk_widget_set_halign(lblPassword_, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(box), lblPassword_, FALSE, FALSE, 0);

  edPassword_ = gtk_entry_new();
  gtk_widget_set_name(edPassword_, "edPassword");
  gtk_entry_set_width_chars(GTK_ENTRY(edPassword_), 34);
  gtk_entry_set_visibility(GTK_ENTRY(edPassword_), FALSE);
  gtk_entry_set_invisible_char(GTK_ENTRY(edPassword_), '*');
  gtk_entry_set_input_purpose(GTK_ENTRY(edPassword_), GTK_INPUT_PURPOSE_PASSWORD);
  gtk_label_set_mnemonic_widget(GTK_LABEL(lblPassword_), edPassword_);
  gtk_box_pack_start(GTK_BOX(box), edPassword_, FALSE, FALSE, 0);

  chkDisplayPassword_ = gtk_check_button_new_with_mnemonic("");
  gtk_widget_set_name(chkDisplayPassword_, "chkDisplayPassword");
  gtk::OnToggled(GTK_TOGGLE_BUTTON(chkDisplayPassword_), [this](bool on) { form_.chkDisplayPasswordClick(on); });
  gtk_box_pack_start(GTK_BOX(box), chkDisplayPassword_, FALSE, FALSE, 0);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_box_set_homogeneous(GTK_BOX(buttons), TRUE);
  gtk_widget_set_margin_top(buttons, 8);
  btnOK_ = NewButton("btnOK", 75, [this] { form_.btnOKClick(); });
  btnCancel_ = NewButton("btnCancel", 75, [this] { form_.btnCancelClick(); });
  for (GtkWidget* b : {btnOK_, btnCancel_}) gtk_widget_set_halign(b, GTK_ALIGN_CENTER);
  gtk_box_pack_start(GTK_BOX(buttons), btnOK_, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(buttons), btnCancel_, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

  // From the entry, Tab reaches OK at once.
  gtk::SetTabOrder(window_.get(), {edPassword_, btnOK_, btnCancel_, chkDisplayPassword_});
  gtk_container_add(GTK_CONTAINER(window_.get()), box);
  gtk_widget_show_all(box);
  form_.set_view(this);
}

PasswordWindow::~PasswordWindow() { form_.set_view(nullptr); }

void PasswordWindow::ApplyTexts(const Texts& t) {
  gtk_window_set_title(window(), t.caption.c_str());
  gtk_label_set_text_with_mnemonic(GTK_LABEL(lblPassword_), i18n::ToMnemonic(t.lblPassword).c_str());
  gtk_button_set_label(GTK_BUTTON(chkDisplayPassword_), i18n::ToMnemonic(t.chkDisplayPassword).c_str());
  gtk_button_set_label(GTK_BUTTON(btnOK_), i18n::ToMnemonic(t.btnOK).c_str());
  gtk_button_set_label(GTK_BUTTON(btnCancel_), i18n::ToMnemonic(t.btnCancel).c_str());
}

std::string PasswordWindow::PasswordText() const { return gtk_entry_get_text(GTK_ENTRY(edPassword_)); }

void PasswordWindow::SetMasked(bool masked) { gtk_entry_set_visibility(GTK_ENTRY(edPassword_), !masked); }

void PasswordWindow::ShowModal() {
  // Focus first, so that showing gives no other widget a turn (an entry
  // that has had the focus keeps its text selected).
  gtk_widget_grab_focus(edPassword_);
  gtk_widget_show(window_.get());
  gtk_window_present(window());
}

void PasswordWindow::Hide() { gtk_widget_hide(window_.get()); }

void PasswordWindow::ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  ShowMessageBox(window(), spec, std::move(done));
}

}  // namespace coffer
