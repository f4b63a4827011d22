#include "ui/MainFrmGtk.h"

#include "i18n/texts.h"
#include "ui/OverWriteView.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer {
namespace {

const char* const kLabelNames[] = {"lblFileName", "lblPercent", "lblTotalSize", "lblTime_Used", "lblTime_Left",
                                   "lblSpeed"};
enum Tip { kTotalSizeTip, kCurrentSizeTip, kSpeedTip, kTimeUsedTip, kTimeLeftTip };

}  // namespace

GtkWidget* MainWindow::Label(const char* name, float xalign) {
  GtkWidget* label = gtk_label_new("");
  gtk_widget_set_name(label, name);
  gtk_label_set_xalign(GTK_LABEL(label), xalign);
  return label;
}

MainWindow::MainWindow(TfrmMain& form, std::function<void()> closed)
    : form_(form), closed_(std::move(closed)), window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)) {
  GtkWindow* w = window();
  gtk_widget_set_name(window_.get(), "frmMain");
  gtk_window_set_role(w, "coffer-progress");  // found by role, not by its translated title
  gtk_window_set_resizable(w, FALSE);
  gtk_window_set_position(w, GTK_WIN_POS_CENTER);
  gtk_window_set_icon_name(w, kIconName);
  tray_ = std::make_unique<TrayIcon>(kIconName, "", [this] { form_.TrayIcon1Click(); });
  gtk::OnDeleteEvent(window_.get(), [this] {
    form_.FormClose();
    return true;
  });

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(box), 12);

  GtkWidget* top = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  GtkWidget* file_name = labels_[int(MainLabel::lblFileName)] = Label("lblFileName");
  gtk_label_set_ellipsize(GTK_LABEL(file_name), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_width_chars(GTK_LABEL(file_name), 40);
  gtk_box_pack_start(GTK_BOX(top), file_name, TRUE, TRUE, 0);
  GtkWidget* percent = labels_[int(MainLabel::lblPercent)] = Label("lblPercent", 1.0f);
  gtk_box_pack_end(GTK_BOX(top), percent, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), top, FALSE, FALSE, 0);

  pbTotal_ = gtk_progress_bar_new();
  gtk_widget_set_name(pbTotal_, "pbTotal");
  gtk_box_pack_start(GTK_BOX(box), pbTotal_, FALSE, FALSE, 0);

  GtkWidget* group = gtk_frame_new(nullptr);
  gtk_widget_set_name(group, "GroupBox1");
  gtk_widget_set_margin_top(group, 6);
  GtkWidget* grid = gtk_grid_new();
  gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_grid_set_column_homogeneous(GTK_GRID(grid), FALSE);
  struct Pair {
    Tip tip;
    const char* tip_name;
    const char* value_name;
    int label;  // index into labels_, or -1 for the hidden pair
    int column, row;
  };
  const Pair pairs[] = {
      {kTotalSizeTip, "lblTotalSize_Tip", "lblTotalSize", int(MainLabel::lblTotalSize), 0, 0},
      {kSpeedTip, "lblSpeed_Tip", "lblSpeed", int(MainLabel::lblSpeed), 2, 0},
      {kTimeUsedTip, "lblTime_Used_Tip", "lblTime_Used", int(MainLabel::lblTime_Used), 0, 1},
      {kTimeLeftTip, "lblTime_Left_Tip", "lblTime_Left", int(MainLabel::lblTime_Left), 2, 1},
      {kCurrentSizeTip, "lblCurrentSize_Tip", "lblCurrentSize", -1, 0, 2},
  };
  for (const Pair& p : pairs) {
    GtkWidget* tip = tips_[p.tip] = Label(p.tip_name);
    GtkWidget* value = p.label >= 0 ? (labels_[p.label] = Label(p.value_name)) : Label(p.value_name);
    gtk_widget_set_hexpand(value, TRUE);
    // Room for "999.99 MB/s" and "100:00:00", so the columns stay put.
    gtk_label_set_width_chars(GTK_LABEL(value), 11);
    gtk_grid_attach(GTK_GRID(grid), tip, p.column, p.row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), value, p.column + 1, p.row, 1, 1);
    if (p.label < 0) {
      // Never shown, but present as in the window's design.
      gtk_widget_set_no_show_all(tip, TRUE);
      gtk_widget_set_no_show_all(value, TRUE);
    }
  }
  gtk_container_add(GTK_CONTAINER(group), grid);
  gtk_box_pack_start(GTK_BOX(box), group, TRUE, TRUE, 0);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  gtk_widget_set_halign(buttons, GTK_ALIGN_END);
  gtk_widget_set_margin_top(buttons, 6);
  btnHide_ = NewButton("btnHide", 90, [this] { form_.btnHideClick(); });
  btnPause_ = NewButton("btnPause", 90, [this] { form_.btnPauseClick(); });
  btnCancel_ = NewButton("btnCancel", 90, [this] { form_.btnCancelClick(); });
  for (GtkWidget* b : {btnHide_, btnPause_, btnCancel_}) gtk_box_pack_start(GTK_BOX(buttons), b, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

  gtk_container_add(GTK_CONTAINER(window_.get()), box);
  gtk_widget_show_all(box);
  form_.set_view(this);
}

MainWindow::~MainWindow() {
  timer1_.Cancel();
  timer_process_.Cancel();
  end_delay_.Cancel();
  form_.set_view(nullptr);
}

void MainWindow::Show() {
  form_.FormShow();
  if (!gone_ && transparent_ && gdk_screen_is_composited(gtk_widget_get_screen(window_.get())))
    gtk_widget_show(window_.get());
}

void MainWindow::ApplyTexts(const Texts& t) {
  gtk_window_set_title(window(), t.caption.c_str());
  tray_->set_tooltip(t.caption);
  // GLib takes the application's name once per process.
  static const bool named = (g_set_application_name(i18n::Text("01000000").c_str()), true);
  (void)named;
  gtk_button_set_label(GTK_BUTTON(btnHide_), i18n::ToMnemonic(t.btnHide).c_str());
  gtk_button_set_label(GTK_BUTTON(btnPause_), i18n::ToMnemonic(t.btnPause).c_str());
  gtk_button_set_label(GTK_BUTTON(btnCancel_), i18n::ToMnemonic(t.btnCancel).c_str());
  const std::string* tips[] = {&t.lblTotalSize_Tip, &t.lblCurrentSize_Tip, &t.lblSpeed_Tip, &t.lblTime_Used_Tip,
                               &t.lblTime_Left_Tip};
  for (int i = 0; i < 5; ++i) gtk_label_set_text(GTK_LABEL(tips_[i]), tips[i]->c_str());
}

void MainWindow::SetLabel(MainLabel label, const std::string& text) {
  gtk_label_set_text(GTK_LABEL(labels_[int(label)]), text.c_str());
}

void MainWindow::SetProgress(int32_t percent) {
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(pbTotal_), percent / 100.0);
}

// Where a compositor draws the desktop the window is mapped with opacity 0
// and lets every click through, so it is on the taskbar but unseen; without
// one opacity does nothing, so the window stays unmapped until visible.
void MainWindow::SetTransparent(bool transparent) {
  transparent_ = transparent;
  GtkWidget* w = window_.get();
  if (transparent) {
    gtk_widget_set_opacity(w, 0.0);
    cairo_region_t* none = cairo_region_create();
    gtk_widget_input_shape_combine_region(w, none);
    cairo_region_destroy(none);
    if (gtk_widget_get_mapped(w) && !gdk_screen_is_composited(gtk_widget_get_screen(w))) gtk_widget_hide(w);
    return;
  }
  gtk_widget_set_opacity(w, 1.0);
  gtk_widget_input_shape_combine_region(w, nullptr);
  gtk_widget_show(w);
  gtk_window_present(window());
}

gtk::Source& MainWindow::SourceOf(MainTimer timer) {
  switch (timer) {
    case MainTimer::Timer1: return timer1_;
    case MainTimer::TimerProcess: return timer_process_;
    case MainTimer::EndDelay: break;
  }
  return end_delay_;
}

void MainWindow::Fire(MainTimer timer) {
  switch (timer) {
    case MainTimer::Timer1: form_.Timer1Timer(); break;
    case MainTimer::TimerProcess: form_.TimerProcessTimer(); break;
    case MainTimer::EndDelay: form_.EndDelayTimer(); break;
  }
}

void MainWindow::StartTimer(MainTimer timer, unsigned interval_ms) {
  SourceOf(timer).Every(interval_ms, [this, timer] {
    Fire(timer);
    return true;
  });
}

void MainWindow::StopTimer(MainTimer timer) { SourceOf(timer).Cancel(); }

void MainWindow::ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  ShowMessageBox(window(), spec, std::move(done));
}

void MainWindow::SetPauseCaption(const std::string& text) {
  gtk_button_set_label(GTK_BUTTON(btnPause_), i18n::ToMnemonic(text).c_str());
}

void MainWindow::AskOverwrite(const std::string& existing_file, const std::string& new_file,
                              std::function<void(OverwriteAnswer)> done) {
  OpenOverwriteDialog(window(), existing_file, new_file, std::move(done));
}

void MainWindow::ShowTrayIcon(std::function<void(bool shown)> done) { tray_->Show(std::move(done)); }

void MainWindow::HideTrayIcon() { tray_->Hide(); }

void MainWindow::HideWindow() { gtk_widget_hide(window_.get()); }

void MainWindow::MinimiseWindow() { gtk_window_iconify(window()); }

void MainWindow::RestoreWindow() {
  gtk_widget_show(window_.get());
  gtk_window_deiconify(window());
  gtk_window_present(window());
}

void MainWindow::Close() {
  if (gone_) return;
  gone_ = true;
  timer1_.Cancel();
  timer_process_.Cancel();
  end_delay_.Cancel();
  tray_->Hide();
  gtk_widget_hide(window_.get());
  if (closed_) closed_();
}

}  // namespace coffer
