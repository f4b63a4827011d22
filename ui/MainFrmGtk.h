#pragma once
// The progress window as a GTK window over TfrmMain. Widgets carry the
// control names (frmMain, lblFileName, lblPercent, pbTotal, GroupBox1, the
// label pairs, btnHide, btnPause, btnCancel) so that tests can find them.
#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "platform/tray.h"
#include "ui/MainFrm.h"
#include "ui/gtk_util.h"

namespace coffer {

class MainWindow final : public MainView {
 public:
  // `closed` runs when the window has gone (the program is to end).
  MainWindow(TfrmMain& form, std::function<void()> closed);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  GtkWindow* window() const { return window_.window(); }
  // The first showing: the form's FormShow, then on screen unseen.
  void Show();
  bool transparent() const { return transparent_; }

  void ApplyTexts(const Texts& texts) override;
  void SetLabel(MainLabel label, const std::string& text) override;
  void SetProgress(int32_t percent) override;
  void SetTransparent(bool transparent) override;
  void StartTimer(MainTimer timer, unsigned interval_ms) override;
  void StopTimer(MainTimer timer) override;
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override;
  void SetPauseCaption(const std::string& text) override;
  void AskOverwrite(const std::string& existing_file, const std::string& new_file,
                    std::function<void(OverwriteAnswer)> done) override;
  void ShowTrayIcon(std::function<void(bool shown)> done) override;
  void HideTrayIcon() override;
  void HideWindow() override;
  void MinimiseWindow() override;
  void RestoreWindow() override;
  void Close() override;

  TrayIcon& tray_icon() { return *tray_; }

  // The icon of the window and of the notification area.
  static constexpr char kIconName[] = "package-x-generic";

 private:
  GtkWidget* Label(const char* name, float xalign = 0.0f);
  gtk::Source& SourceOf(MainTimer timer);
  void Fire(MainTimer timer);

  TfrmMain& form_;
  std::function<void()> closed_;
  gtk::OwnedWindow window_;
  GtkWidget* labels_[6] = {};
  GtkWidget* pbTotal_ = nullptr;
  GtkWidget* tips_[5] = {};
  GtkWidget* btnHide_ = nullptr;
  GtkWidget* btnPause_ = nullptr;
  GtkWidget* btnCancel_ = nullptr;
  gtk::Source timer1_, timer_process_, end_delay_;
  std::unique_ptr<TrayIcon> tray_;
  bool transparent_ = false;
  bool gone_ = false;
};

}  // namespace coffer
