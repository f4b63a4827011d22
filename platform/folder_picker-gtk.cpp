#include "platform/folder_picker.h"

#include <gtk/gtk.h>

namespace coffer {
namespace {

struct Pending {
  std::function<void(std::optional<std::string>)> done;
};

void Answered(GtkDialog* dialog, gint response, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  std::optional<std::string> chosen;
  if (response == GTK_RESPONSE_ACCEPT) {
    // Null for a place without a local path (a network share, say).
    if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
      chosen = name;
      g_free(name);
    }
  }
  auto done = std::move(pending->done);
  gtk_widget_destroy(GTK_WIDGET(dialog));  // frees `pending`
  if (done) done(chosen);
}

void FreePending(gpointer data, GClosure*) { delete static_cast<Pending*>(data); }

}  // namespace

void PickFolder(NativeWindow native_owner, const FolderPickerSpec& spec,
                std::function<void(std::optional<std::string>)> done) {
  GtkWindow* owner = static_cast<GtkWindow*>(native_owner);
  GtkWidget* dialog = gtk_file_chooser_dialog_new(spec.title.c_str(), owner, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                                  spec.cancel_label.c_str(), GTK_RESPONSE_CANCEL,
                                                  spec.accept_label.c_str(), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_widget_set_name(dialog, kFolderPickerName);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  auto* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_create_folders(chooser, TRUE);
  // A text that is no existing folder opens the chooser without a
  // preselection rather than on some parent of it.
  if (!spec.initial.empty() && g_file_test(spec.initial.c_str(), G_FILE_TEST_IS_DIR))
    gtk_file_chooser_set_current_folder(chooser, spec.initial.c_str());
  g_signal_connect_data(dialog, "response", G_CALLBACK(Answered), new Pending{std::move(done)}, FreePending,
                        GConnectFlags(0));
  gtk_widget_show(dialog);
}

}  // namespace coffer
