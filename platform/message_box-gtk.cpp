#include "platform/message_box.h"

#include <gtk/gtk.h>

namespace coffer {
namespace {

struct Pending {
  MessageButtons buttons;
  std::function<void(MessageAnswer)> done;
};

void Answered(GtkDialog* dialog, gint response, gpointer data) {
  auto* pending = static_cast<Pending*>(data);
  const MessageAnswer answer = response == GTK_RESPONSE_OK || pending->buttons == MessageButtons::kOk
                                   ? MessageAnswer::kOk
                                   : MessageAnswer::kCancel;
  auto done = std::move(pending->done);
  gtk_widget_destroy(GTK_WIDGET(dialog));  // frees `pending`
  if (done) done(answer);
}

void FreePending(gpointer data, GClosure*) { delete static_cast<Pending*>(data); }

const char* IconNameOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kWarning: return "dialog-warning";
    case MessageIcon::kQuestion: return "dialog-question";
    case MessageIcon::kError: return "dialog-error";
    case MessageIcon::kInformation: break;
  }
  return "dialog-information";
}

GtkMessageType TypeOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kWarning: return GTK_MESSAGE_WARNING;
    case MessageIcon::kQuestion: return GTK_MESSAGE_QUESTION;
    case MessageIcon::kError: return GTK_MESSAGE_ERROR;
    case MessageIcon::kInformation: break;
  }
  return GTK_MESSAGE_INFO;
}

}  // namespace

void ShowMessageBox(NativeWindow native_owner, const MessageBoxSpec& spec,
                    std::function<void(MessageAnswer)> done) {
  GtkWindow* owner = static_cast<GtkWindow*>(native_owner);
  GtkWidget* dialog = gtk_message_dialog_new(owner, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             TypeOf(spec.icon), GTK_BUTTONS_NONE, "%s", spec.text.c_str());
  gtk_widget_set_name(dialog, kMessageBoxName);
  gtk_window_set_role(GTK_WINDOW(dialog), "coffer-message");  // found by role: its caption is translated
  // GTK 3 message dialogs no longer draw their type's icon themselves; the
  // box is to show one, as the question's kind is read from it at a glance.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkWidget* image = gtk_image_new_from_icon_name(IconNameOf(spec.icon), GTK_ICON_SIZE_DIALOG);
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_widget_show(image);
  gtk_window_set_title(GTK_WINDOW(dialog), spec.caption.c_str());
  // An owner that is not on screen yet (the progress window before the
  // start-up questions are answered) gives no place to centre on.
  gtk_window_set_position(GTK_WINDOW(dialog), owner && gtk_widget_get_mapped(GTK_WIDGET(owner))
                                                  ? GTK_WIN_POS_CENTER_ON_PARENT
                                                  : GTK_WIN_POS_CENTER);
  if (spec.buttons == MessageButtons::kOkCancel)
    gtk_dialog_add_button(GTK_DIALOG(dialog), spec.cancel_label.c_str(), GTK_RESPONSE_CANCEL);
  gtk_dialog_add_button(GTK_DIALOG(dialog), spec.ok_label.c_str(), GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  g_signal_connect_data(dialog, "response", G_CALLBACK(Answered), new Pending{spec.buttons, std::move(done)},
                        FreePending, GConnectFlags(0));
  gtk_widget_show(dialog);
}

}  // namespace coffer
