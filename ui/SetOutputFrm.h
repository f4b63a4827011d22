#pragma once
// The output folder question's behaviour, free of any toolkit: texts on
// every showing, the proposed folder, the browse button and the confirmed
// flag. The GTK view (SetOutputFrmGtk.h) builds the widgets and forwards
// the clicks here.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace coffer {

class SetOutputView {
 public:
  struct Texts {
    std::string caption, Label1, btnOK, btnCancel;  // "&" marks mnemonics
  };
  virtual ~SetOutputView() = default;
  virtual void ApplyTexts(const Texts& texts) = 0;
  virtual std::string OutputText() const = 0;
  virtual void SetOutputText(const std::string& text) = 0;
  // Shows the dialog modally with btnOK focused, or hides it.
  virtual void ShowModal() = 0;
  virtual void Hide() = 0;
  // The folder browser over this dialog; `done` gets the chosen path.
  virtual void PickFolder(const std::string& title, const std::string& initial,
                          std::function<void(std::optional<std::string>)> done) = 0;
};

class TfrmSetOutput {
 public:
  // `program_folder`: the folder of the program file, ending in "/".
  explicit TfrmSetOutput(std::string program_folder);
  TfrmSetOutput(const TfrmSetOutput&) = delete;
  TfrmSetOutput& operator=(const TfrmSetOutput&) = delete;

  void set_view(SetOutputView* view) { view_ = view; }

  // Shows the dialog; `closed` runs once it has been closed by any means,
  // after it is hidden. Read confirmed() and output_text() there.
  void ShowModal(std::function<void()> closed);
  bool shown() const { return shown_; }

  void FormShow();
  void btnBrowserClick();
  void btnOKClick();
  void btnCancelClick() { FormClose(); }
  // The close box, Alt+F4 or Escape.
  void FormClose();

  // 0 = not confirmed, -1 = OK pressed.
  int32_t confirmed() const { return confirmed_; }
  // edOutput exactly as it stands (not trimmed).
  std::string output_text() const;

 private:
  std::string program_folder_;
  SetOutputView* view_ = nullptr;
  std::function<void()> closed_;
  int32_t confirmed_ = 0;
  bool shown_ = false;
};

}  // namespace coffer
