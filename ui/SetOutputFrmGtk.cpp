#include "ui/SetOutputFrmGtk.h"

#include "i18n/texts.h"
#include "platform/folder_picker.h"

namespace coffer {

GtkWidget* NewDialogWindow(const char* name, std::function<void()> close) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(window, name);
  GtkWindow* w = GTK_WINDOW(window);
  gtk_window_set_type_hint(w, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(w, FALSE);
  gtk_window_set_modal(w, TRUE);
  // Not transient for the progress window: that one is still unseen when
  // the questions come, and a dialog of an unseen window may be hidden
  // from the taskbar with it.
  gtk_window_set_position(w, GTK_WIN_POS_CENTER);
  // Neither dialog has a cancel button role, so Escape is left alone: a
  // plain GtkWindow binds nothing to it. Only the close box, Alt+F4 and
  // the Cancel button end the run.
  gtk::OnDeleteEvent(window, [close] {
    close();
    return true;
  });
  return window;
}

GtkWidget* NewButton(const char* name, int min_width, std::function<void()> click) {
  GtkWidget* button = gtk_button_new_with_mnemonic("");
  gtk_widget_set_name(button, name);
  gtk_widget_set_size_request(button, min_width, -1);
  gtk::OnClicked(GTK_BUTTON(button), std::move(click));
  return button;
}

SetOutputWindow::SetOutputWindow(TfrmSetOutput& form)
    : form_(form), window_(NewDialogWindow("frmSetOutput", [this] { form_.FormClose(); })) {
  // The role tells the window apart from outside (scripts, tests) in every
  // language; the title is translated.
  gtk_window_set_role(window(), "coffer-output-folder");
  GtkWidget* grid = gtk_grid_new();
  gtk_container_set_border_width(GTK_CONTAINER(grid), 15);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 10);

  label1_ = gtk_label_new_with_mnemonic("");
  gtk_widget_set_name(label1_, "Label1");
  gtk_widget_set_halign(label1_, GTK_ALIGN_START);
  gtk_grid_attach(GTK_GRID(grid), label1_, 0, 0, 2, 1);

  edOutput_ = gtk_entry_new();
  gtk_widget_set_name(edOutput_, "edOutput");
  gtk_widget_set_hexpand(edOutput_, TRUE);
  gtk_entry_set_width_chars(GTK_ENTRY(edOutput_), 44);
  gtk_label_set_mnemonic_widget(GTK_LABEL(label1_), edOutput_);
  gtk_grid_attach(GTK_GRID(grid), edOutput_, 0, 1, 1, 1);

  GtkWidget* browse = NewButton("btnBrowser", 35, [this] { form_.btnBrowserClick(); });
  gtk_button_set_label(GTK_BUTTON(browse), "...");
  gtk_grid_attach(GTK_GRID(grid), browse, 1, 1, 1, 1);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
  gtk_widget_set_halign(buttons, GTK_ALIGN_END);
  gtk_widget_set_margin_top(buttons, 12);
  btnOK_ = NewButton("btnOK", 90, [this] { form_.btnOKClick(); });
  btnCancel_ = NewButton("btnCancel", 90, [this] { form_.btnCancelClick(); });
  gtk_box_pack_start(GTK_BOX(buttons), btnOK_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(buttons), btnCancel_, FALSE, FALSE, 0);
  gtk_grid_attach(GTK_GRID(grid), buttons, 0, 2, 2, 1);

  // OK first: the proposed folder is accepted with one key.
  gtk::SetTabOrder(window_.get(), {btnOK_, btnCancel_, edOutput_, browse});
  gtk_container_add(GTK_CONTAINER(window_.get()), grid);
  gtk_widget_show_all(grid);
  form_.set_view(this);
}

SetOutputWindow::~SetOutputWindow() { form_.set_view(nullptr); }

void SetOutputWindow::ApplyTexts(const Texts& t) {
  gtk_window_set_title(window(), t.caption.c_str());
  gtk_label_set_text_with_mnemonic(GTK_LABEL(label1_), i18n::ToMnemonic(t.Label1).c_str());
  gtk_button_set_label(GTK_BUTTON(btnOK_), i18n::ToMnemonic(t.btnOK).c_str());
  gtk_button_set_label(GTK_BUTTON(btnCancel_), i18n::ToMnemonic(t.btnCancel).c_str());
}

std::string SetOutputWindow::OutputText() const { return gtk_entry_get_text(GTK_ENTRY(edOutput_)); }

void SetOutputWindow::SetOutputText(const std::string& text) {
  gtk_entry_set_text(GTK_ENTRY(edOutput_), text.c_str());
}

void SetOutputWindow::ShowModal() {
  // Focus first, so that showing gives no other widget a turn (an entry
  // that has had the focus keeps its text selected).
  gtk_widget_grab_focus(btnOK_);  // Enter or Space accepts the proposed folder
  gtk_widget_show(window_.get());
  gtk_window_present(window());
}

void SetOutputWindow::Hide() { gtk_widget_hide(window_.get()); }

void SetOutputWindow::PickFolder(const std::string& title, const std::string& initial,
                                 std::function<void(std::optional<std::string>)> done) {
  FolderPickerSpec spec{title, initial, i18n::ToMnemonic(i18n::Text("02000702")),
                        i18n::ToMnemonic(i18n::Text("02000710"))};
  coffer::PickFolder(window(), spec, std::move(done));
}

}  // namespace coffer
