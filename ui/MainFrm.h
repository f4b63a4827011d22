#pragma once
// The progress window's behaviour, free of any toolkit: the first showing
// (working folder, language file, texts, transparency, start-up timer), the
// start-up sequence through the two questions, and the close handling. The
// GTK view (MainFrmGtk.h) builds the widgets and forwards events here.
#include <cstdint>
#include <functional>
#include <string>

#include "extract/progress.h"
#include "platform/message_box.h"
#include "ui/PasswordFrm.h"
#include "ui/SetOutputFrm.h"

namespace coffer {

enum class MainLabel { lblFileName, lblPercent, lblTotalSize, lblTime_Used, lblTime_Left, lblSpeed };
enum class MainTimer { Timer1, TimerProcess, EndDelay };

class MainView {
 public:
  struct Texts {  // "&" marks mnemonics
    std::string caption, btnHide, btnPause, btnCancel, lblTotalSize_Tip, lblCurrentSize_Tip, lblSpeed_Tip,
        lblTime_Used_Tip, lblTime_Left_Tip;
  };
  virtual ~MainView() = default;
  virtual void ApplyTexts(const Texts& texts) = 0;
  virtual void SetLabel(MainLabel label, const std::string& text) = 0;
  virtual void SetProgress(int32_t percent) = 0;
  // On the taskbar but unseen (true), or plainly visible (false).
  virtual void SetTransparent(bool transparent) = 0;
  // Each timer calls back the form's handler for it until stopped.
  virtual void StartTimer(MainTimer timer, unsigned interval_ms) = 0;
  virtual void StopTimer(MainTimer timer) = 0;
  virtual void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) = 0;
  // The window goes and the program ends.
  virtual void Close() = 0;
};

class TfrmMain {
 public:
  TfrmMain(TfrmSetOutput& set_output, TfrmPassword& password, uint16_t lang_id);
  ~TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  void set_view(MainView* view) { view_ = view; }

  // First showing, before the window is on screen.
  void FormShow();
  // The start-up timer: the output folder and password questions.
  void Timer1Timer();
  // Cancel, the close box, Alt+F4: the close handling.
  void btnCancelClick() { FormClose(); }
  void FormClose();

  const std::string& working_folder() const { return working_folder_; }
  const std::string& module_path() const { return module_path_; }
  const std::string& output_folder() const { return output_folder_; }
  const std::string& password() const { return password_; }
  ProgressRecord& record() { return record_; }
  bool closed() const { return closed_; }
  // Set once both questions are answered and the job is to start.
  bool job_started() const { return job_started_; }

 private:
  void AskOutputFolder();
  void OutputAnswered();
  void PasswordAnswered();
  void StartJob();
  void Finish();

  TfrmSetOutput& set_output_;
  TfrmPassword& password_form_;
  uint16_t lang_id_;
  MainView* view_ = nullptr;

  int32_t tick_counter_ = 0;
  int32_t elapsed_seconds_ = 0;
  std::string working_folder_;
  std::string module_path_;
  std::string output_folder_;
  std::string password_;
  ProgressRecord record_;
  bool job_started_ = false;
  bool closed_ = false;
};

}  // namespace coffer
