#include "ui/OverWriteView.h"

#include "i18n/texts.h"
#include "platform/file_icon.h"
#include "ui/OverWriteFrm.h"
#include "ui/gtk_util.h"

namespace coffer {
namespace {

// Lives as long as its window: deleted from the window's "destroy".
class OverWriteView {
 public:
  OverWriteView(GtkWindow* owner, const std::string& existing_file, const std::string& new_file,
                std::function<void(OverwriteAnswer)> done, const std::string& time_separator);
  GtkWidget* window() const { return window_; }

 private:
  GtkWidget* Label(const char* name, const std::string& text, int indent = 0);
  GtkWidget* FileRow(const char* image, const std::string& path, const char* size_name, const std::string& size,
                     const char* time_name, const std::string& time);
  GtkWidget* Button(const char* name, const std::string& text, void (TfrmOverWrite::*click)());

  TfrmOverWrite form_;
  std::function<void(OverwriteAnswer)> done_;
  GtkWidget* window_ = nullptr;
  bool close_requested_ = false;
};

// Control offsets from the frame's edge, in pixels.
constexpr int kPathIndent = 25;
constexpr int kIconIndent = 27;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 90;

// A path reads left to right in every language. Without the marks a path
// that starts with Arabic letters turns right to left as a whole, and a
// number after an Arabic folder name joins that folder's run ("/صور/2024/"
// would show 2024 before the folder).
std::string LeftToRightPath(const std::string& path) {
  const std::string mark = "\u200E";
  std::string out = mark;
  for (char c : path) {
    out += c;
    if (c == '/') out += mark;
  }
  return out;
}

OverWriteView::OverWriteView(GtkWindow* owner, const std::string& existing_file, const std::string& new_file,
                             std::function<void(OverwriteAnswer)> done, const std::string& time_separator)
    : form_(existing_file, new_file, time_separator), done_(std::move(done)) {
  form_.FormShow();
  const TfrmOverWrite::Texts& t = form_.texts();

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* w = GTK_WINDOW(window_);
  gtk_widget_set_name(window_, "frmOverWrite");
  gtk_window_set_role(w, "coffer-overwrite");  // found by role, not by its translated title
  gtk_window_set_title(w, t.caption.c_str());
  gtk_window_set_type_hint(w, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(w, FALSE);
  gtk_window_set_skip_taskbar_hint(w, TRUE);
  gtk_window_set_modal(w, TRUE);
  if (owner != nullptr) {
    gtk_window_set_transient_for(w, owner);
    gtk_window_set_destroy_with_parent(w, TRUE);
    gtk_window_set_position(w, GTK_WIN_POS_CENTER_ON_PARENT);
  } else {
    gtk_window_set_position(w, GTK_WIN_POS_CENTER);
  }
  gtk_container_set_border_width(GTK_CONTAINER(w), 8);

  GtkWidget* inner = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  gtk_container_set_border_width(GTK_CONTAINER(inner), 10);
  gtk_box_pack_start(GTK_BOX(inner), Label("Label1", t.Label1), FALSE, FALSE, 0);
  GtkWidget* file = Label("lblFile", LeftToRightPath(t.lblFile), kPathIndent);
  // A deep path wraps anywhere instead of widening the dialog off screen.
  gtk_label_set_line_wrap(GTK_LABEL(file), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(file), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(file), 60);
  gtk_widget_set_margin_bottom(file, 8);
  gtk_box_pack_start(GTK_BOX(inner), file, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(inner), Label("Label2", t.Label2), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(inner),
                     FileRow("imgExists", form_.existing_file(), "lblExistsFile_Size", t.lblExistsFile_Size,
                             "lblExistsFile_Time", t.lblExistsFile_Time),
                     FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(inner), Label("Label5", t.Label5), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(inner),
                     FileRow("imgNew", form_.new_file(), "lblNewFile_Size", t.lblNewFile_Size, "lblNewFile_Time",
                             t.lblNewFile_Time),
                     FALSE, FALSE, 0);

  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_widget_set_name(frame, "GroupBox1");
  gtk_container_add(GTK_CONTAINER(frame), inner);

  // Two rows of three, in the tab order Yes, Yes to all, Auto rename, No,
  // No to all, Cancel.
  GtkWidget* grid = gtk_grid_new();
  gtk_widget_set_name(grid, "Buttons");
  gtk_grid_set_column_homogeneous(GTK_GRID(grid), TRUE);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 42);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
  gtk_widget_set_halign(grid, GTK_ALIGN_CENTER);
  GtkWidget* yes = Button("btnYes", t.btnYes, &TfrmOverWrite::btnYesClick);
  gtk_grid_attach(GTK_GRID(grid), yes, 0, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Button("btnYesAll", t.btnYesAll, &TfrmOverWrite::btnYesAllClick), 1, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Button("btnRename", t.btnRename, &TfrmOverWrite::btnRenameClick), 2, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Button("btnNo", t.btnNo, &TfrmOverWrite::btnNoClick), 0, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Button("btnNoAll", t.btnNoAll, &TfrmOverWrite::btnNoAllClick), 1, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Button("btnCancel", t.btnCancel, &TfrmOverWrite::btnCancelClick), 2, 1, 1, 1);

  GtkWidget* outer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_box_pack_start(GTK_BOX(outer), frame, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(outer), grid, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(w), outer);

  // The window goes only once the click handler has returned: destroying it
  // deletes this view, and with it the form whose handler is running.
  form_.set_on_close([this] { close_requested_ = true; });
  // The close box keeps the default handling (the window is destroyed) and
  // so the answer FormShow left: Yes.
  gtk::Signal<void(GtkWidget*)>::Connect(window_, "destroy", [this](GtkWidget*) {
    auto done = std::move(done_);
    const OverwriteAnswer answer = form_.answer();
    delete this;
    if (done) done(answer);
  });

  gtk_widget_show_all(window_);
  gtk_window_set_focus(w, yes);
  gtk_widget_grab_focus(yes);
}

GtkWidget* OverWriteView::Label(const char* name, const std::string& text, int indent) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_widget_set_name(label, name);
  gtk_widget_set_halign(label, GTK_ALIGN_START);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_widget_set_margin_start(label, indent);
  return label;
}

GtkWidget* OverWriteView::FileRow(const char* image, const std::string& path, const char* size_name,
                                  const std::string& size, const char* time_name, const std::string& time) {
  GtkWidget* img = gtk_image_new();
  if (GdkPixbuf* icon = FileIcon(path, kIconSize)) {
    gtk_image_set_from_pixbuf(GTK_IMAGE(img), icon);
    g_object_unref(icon);
  }
  gtk_widget_set_name(img, image);
  gtk_widget_set_size_request(img, kIconSize, kIconSize);
  gtk_widget_set_valign(img, GTK_ALIGN_START);

  GtkWidget* lines = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
  gtk_box_pack_start(GTK_BOX(lines), Label(size_name, size), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(lines), Label(time_name, time), FALSE, FALSE, 0);

  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 20);
  gtk_widget_set_margin_start(row, kIconIndent);
  gtk_widget_set_margin_top(row, 4);
  gtk_widget_set_margin_bottom(row, 8);
  gtk_box_pack_start(GTK_BOX(row), img, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(row), lines, FALSE, FALSE, 0);
  return row;
}

GtkWidget* OverWriteView::Button(const char* name, const std::string& text, void (TfrmOverWrite::*click)()) {
  GtkWidget* button = gtk_button_new_with_mnemonic(i18n::ToMnemonic(text).c_str());
  gtk_widget_set_name(button, name);
  gtk_widget_set_size_request(button, kButtonWidth, -1);
  gtk::OnClicked(GTK_BUTTON(button), [this, click] {
    (form_.*click)();
    if (close_requested_) gtk_widget_destroy(window_);  // deletes this
  });
  return button;
}

}  // namespace

GtkWidget* OpenOverwriteDialog(GtkWindow* owner, const std::string& existing_file, const std::string& new_file,
                               std::function<void(OverwriteAnswer)> done, const std::string& time_separator) {
  return (new OverWriteView(owner, existing_file, new_file, std::move(done), time_separator))->window();
}

OverwriteAnswer AskOverwrite(GtkWindow* owner, const std::string& existing_file, const std::string& new_file) {
  OverwriteAnswer answer = OverwriteAnswer::kYes;
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  OpenOverwriteDialog(owner, existing_file, new_file, [&](OverwriteAnswer a) {
    answer = a;
    g_main_loop_quit(loop);
  });
  g_main_loop_run(loop);
  g_main_loop_unref(loop);
  return answer;
}

}  // namespace coffer
