#pragma once
// The output folder question as a GTK window over TfrmSetOutput. Widgets
// carry the control names (frmSetOutput, Label1, edOutput, btnBrowser,
// btnOK, btnCancel) so that tests can find them.
#include <gtk/gtk.h>

#include "ui/SetOutputFrm.h"
#include "ui/gtk_util.h"

namespace coffer {

class SetOutputWindow final : public SetOutputView {
 public:
  explicit SetOutputWindow(TfrmSetOutput& form);
  ~SetOutputWindow() override;
  SetOutputWindow(const SetOutputWindow&) = delete;
  SetOutputWindow& operator=(const SetOutputWindow&) = delete;

  GtkWindow* window() const { return window_.window(); }

  void ApplyTexts(const Texts& texts) override;
  std::string OutputText() const override;
  void SetOutputText(const std::string& text) override;
  void ShowModal() override;
  void Hide() override;
  void PickFolder(const std::string& title, const std::string& initial,
                  std::function<void(std::optional<std::string>)> done) override;

 private:
  TfrmSetOutput& form_;
  gtk::OwnedWindow window_;
  GtkWidget* label1_ = nullptr;
  GtkWidget* edOutput_ = nullptr;
  GtkWidget* btnOK_ = nullptr;
  GtkWidget* btnCancel_ = nullptr;
};

// What the dialogs share: a fixed-size, modal dialog window centred on the
// desktop whose close box (and Alt+F4) runs `close`; Escape does nothing.
GtkWidget* NewDialogWindow(const char* name, std::function<void()> close);
// A push button with a mnemonic, at least `min_width` pixels wide.
GtkWidget* NewButton(const char* name, int min_width, std::function<void()> click);

}  // namespace coffer
