#pragma once
// The progress window's behaviour, free of any toolkit: the first showing
// (working folder, language file, texts, transparency, start-up timer), the
// start-up sequence through the two questions, the job it then runs (as the
// job's host), the one-second progress tick, pause, background mode, the
// job's end and the close handling. The GTK view (MainFrmGtk.h) builds the
// widgets and forwards events here.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "extract/job_host.h"
#include "extract/progress.h"
#include "extract/worker.h"  // WorkerInputs
#include "platform/debug.h"
#include "platform/message_box.h"
#include "ui/PasswordFrm.h"
#include "ui/SetOutputFrm.h"
#include "ui/progress_tick.h"

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
  virtual void SetPauseCaption(const std::string& text) = 0;
  // On the taskbar but unseen (true), or plainly visible (false).
  virtual void SetTransparent(bool transparent) = 0;
  // Each timer calls back the form's handler for it until stopped.
  virtual void StartTimer(MainTimer timer, unsigned interval_ms) = 0;
  virtual void StopTimer(MainTimer timer) = 0;
  virtual void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) = 0;
  virtual void AskOverwrite(const std::string& existing_file, const std::string& new_file,
                            std::function<void(OverwriteAnswer)> done) = 0;
  // Background mode: `done(true)` once the notification-area icon is up.
  virtual void ShowTrayIcon(std::function<void(bool shown)> done) = 0;
  virtual void HideTrayIcon() = 0;
  virtual void HideWindow() = 0;      // window and taskbar button go
  virtual void MinimiseWindow() = 0;  // where no notification area is
  virtual void RestoreWindow() = 0;
  // The window goes and the program ends.
  virtual void Close() = 0;
};

// What the window runs: the extraction worker, or a scripted job in tests.
class RunningJob {
 public:
  virtual ~RunningJob() = default;
  virtual void Start() = 0;
  virtual void Join() = 0;
};
class PendingQuestions;  // the worker's questions in flight (MainFrmHost.cpp)

using JobFactory = std::function<std::unique_ptr<RunningJob>(const WorkerInputs&, ProgressRecord&, PauseGate&,
                                                              JobHost&)>;

class TfrmMain final : public JobHost {
 public:
  // `factory` makes the job once both questions are answered (the program
  // passes the extraction worker's, see app/extractor_app.h).
  TfrmMain(TfrmSetOutput& set_output, TfrmPassword& password, uint16_t lang_id, JobFactory factory);
  ~TfrmMain() override;  // a job still running is stopped and waited for
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  void set_view(MainView* view) { view_ = view; }

  // First showing, before the window is on screen.
  void FormShow();
  // The start-up timer: the output folder and password questions.
  void Timer1Timer();
  void TimerProcessTimer();
  void EndDelayTimer();
  void btnPauseClick();
  void btnHideClick();
  void TrayIcon1Click();
  // Cancel, the close box, Alt+F4: the close handling.
  void btnCancelClick() { FormClose(); }
  void FormClose();
  // The job's end as it arrives on the main thread.
  void JobEndMessage(const JobEnd& end);
  // The system ends the program (a termination signal, the session's
  // end): a confirmed cancel without the question, in every stage, and the
  // close as soon as the job has ended, without the end's delay or message.
  void Terminate();
  // The windows are gone (the display was lost) and the process is about
  // to end: stops the job and waits for it, then removes the working folder,
  // touching no window. Nothing else may run after it.
  void EndWithoutWindows();

  // JobHost, called on the worker's thread.
  void ShowTotalSize(int64_t total_bytes) override;
  OverwriteAnswer AskOverwrite(const std::string& existing_file, const std::string& new_file) override;
  bool AskPassword(std::string& password) override;
  void JobEnded(const JobEnd& end) override;

  const std::string& working_folder() const { return working_folder_; }
  const std::string& module_path() const { return module_path_; }
  const std::string& output_folder() const { return output_folder_; }
  const std::string& password() const { return password_; }
  ProgressRecord& record() { return record_; }
  bool has_worker() const { return worker_ != nullptr; }
  bool paused() const { return pause_.Paused(); }
  bool cancelling() const { return cancelling_; }
  bool closed() const { return closed_; }

  // The text shown for an end, or "" for none.
  std::string EndText(const JobEnd& end) const;

 private:
  void AskOutputFolder();
  void OutputAnswered();
  void PasswordAnswered();
  void StartJob();
  void Cancel();
  void ReleaseWorkerAndClose();
  void Finish();
  // Stops the job and waits for it outside the main loop: the worker's
  // calls to the main thread and its questions are answered with a stop.
  void StopWorkerOutsideLoop();
  void AbandonQuestions();
  static std::shared_ptr<PendingQuestions> NewPendingQuestions();

  TfrmSetOutput& set_output_;
  TfrmPassword& password_form_;
  uint16_t lang_id_;
  JobFactory factory_;
  MainView* view_ = nullptr;

  std::string working_folder_;
  std::string module_path_;
  std::string output_folder_;
  std::string password_;
  std::unique_ptr<TraceSecret> password_secret_;  // keeps it out of the trace
  ProgressRecord record_;
  PauseGate pause_;
  ProgressTicker ticker_;
  std::unique_ptr<RunningJob> worker_;
  JobEnd end_;
  bool asking_close_ = false;
  bool cancelling_ = false;
  bool ending_ = false;
  bool terminating_ = false;
  bool closed_ = false;
  std::shared_ptr<PendingQuestions> questions_ = NewPendingQuestions();
  // Calls queued from the worker check it, as the window may be gone first.
  std::shared_ptr<TfrmMain*> self_ = std::make_shared<TfrmMain*>(this);
};

}  // namespace coffer
