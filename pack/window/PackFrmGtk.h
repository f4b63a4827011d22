#pragma once
// The packing window as a GTK window over TfrmPack. Widgets carry names
// that tests can find: frmPack, lstSources, btnAddFiles, btnAddFolder,
// btnRemove, edName, edFolder, btnBrowse, edPassword, edRepeat,
// chkShowPassword, pbStrength, lblAdvice, chkHideNames, rbLinux,
// rbWindows, pbProgress, lblProgress, btnCreate, btnCancel, btnClose; the
// file chooser of "Add files" is dlgAddFiles.
#include <gtk/gtk.h>

#include <functional>

#include "pack/window/PackFrm.h"
#include "ui/gtk_util.h"

namespace coffer::pack {

class PackWindow final : public PackView {
 public:
  // `closed` runs once the window has been asked to close for good.
  PackWindow(TfrmPack& form, std::function<void()> closed);
  ~PackWindow() override;
  PackWindow(const PackWindow&) = delete;
  PackWindow& operator=(const PackWindow&) = delete;

  GtkWindow* window() const { return window_.window(); }
  void Show();

  void ApplyTexts(const Texts& texts) override;
  void ShowSources(const std::vector<std::string>& sources) override;
  std::string OutputName() const override;
  void SetOutputName(const std::string& name) override;
  std::string OutputFolder() const override;
  void SetOutputFolder(const std::string& folder) override;
  std::string PasswordText() const override;
  std::string RepeatText() const override;
  bool HideNames() const override;
  bool ForWindows() const override;
  void SetWindowsAvailable(bool available) override;
  void SetMasked(bool masked) override;
  void ShowStrength(double fraction, StrengthLevel level, const std::string& advice) override;
  void SetBusy(bool busy) override;
  void ShowProgress(double fraction, const std::string& line) override;
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override;
  void OpenFolder(const std::string& folder) override;
  void Close() override;

 private:
  GtkWidget* BuildSources();
  GtkWidget* BuildFields();
  void AddFiles();
  void PickInto(std::function<void(const std::string&)> chosen);
  void DataReceived(GtkSelectionData* data);

  TfrmPack& form_;
  std::function<void()> closed_;
  gtk::OwnedWindow window_;
  gtk::Source timer_;
  Texts texts_;
  GtkWidget *lblSources_ = nullptr, *lstSources_ = nullptr, *btnAddFiles_ = nullptr, *btnAddFolder_ = nullptr,
            *btnRemove_ = nullptr, *lblName_ = nullptr, *edName_ = nullptr, *lblFolder_ = nullptr,
            *edFolder_ = nullptr, *btnBrowse_ = nullptr, *lblPassword_ = nullptr, *edPassword_ = nullptr,
            *lblRepeat_ = nullptr, *edRepeat_ = nullptr, *chkShowPassword_ = nullptr, *pbStrength_ = nullptr,
            *lblAdvice_ = nullptr, *chkHideNames_ = nullptr, *lblTarget_ = nullptr, *rbLinux_ = nullptr,
            *rbWindows_ = nullptr, *pbProgress_ = nullptr, *lblProgress_ = nullptr, *btnCreate_ = nullptr,
            *btnCancel_ = nullptr, *btnClose_ = nullptr;
};

}  // namespace coffer::pack
