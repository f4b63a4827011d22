#include "ui/MainFrm.h"

#include "app/files.h"
#include "app/working_folder.h"
#include "i18n/texts.h"
#include "platform/error.h"
#include "platform/main_thread.h"
#include "platform/paths.h"
#include "ui/MainFrmMessages.h"

namespace coffer {

TfrmMain::TfrmMain(TfrmSetOutput& set_output, TfrmPassword& password, uint16_t lang_id, JobFactory factory)
    : set_output_(set_output), password_form_(password), lang_id_(lang_id), factory_(std::move(factory)) {}

// The program ends only after the job's end, so a job still running here
// belongs to a test or an abnormal end: it is told to stop and waited for.
TfrmMain::~TfrmMain() { StopWorkerOutsideLoop(); }

void TfrmMain::StopWorkerOutsideLoop() {
  if (!worker_) return;
  RefuseMainThreadCalls refuse;
  pause_.Cancel(record_);
  AbandonQuestions();
  worker_->Join();
  worker_.reset();
}

void TfrmMain::FormShow() {
  try {
    // The payload's copy goes there too: a small temporary folder must give
    // way to a roomier place rather than fail the copy half-way.
    working_folder_ = MakeWorkingFolder(WorkingFolderNeed(OwnExecutablePath()));
  } catch (const Error& e) {
    // Without a working folder there is no language file either, so the
    // system's own words are all there is to show.
    view_->ShowMessage(AppMessage(e.what(), MessageIcon::kError), [this](MessageAnswer) { Finish(); });
    return;
  }
  i18n::WriteLanguageFile(working_folder_, lang_id_);
  using i18n::Text;
  view_->ApplyTexts({Text("02000800"), Text("02000C10"), Text("02000C12"), Text("02000710"), Text("02000C03"),
                     Text("02000C05"), Text("02000C04"), Text("02000C01"), Text("02000C02")});
  module_path_ = working_folder_ + "7z.dll";
  view_->SetTransparent(true);
  record_.cancel.store(0, ProgressRecord::kRelaxed);
  ticker_ = ProgressTicker();
  view_->StartTimer(MainTimer::Timer1, 50);
}

void TfrmMain::Timer1Timer() {
  view_->StopTimer(MainTimer::Timer1);
  AskOutputFolder();
}

void TfrmMain::AskOutputFolder() {
  set_output_.ShowModal([this] { OutputAnswered(); });
}

void TfrmMain::OutputAnswered() {
  if (set_output_.confirmed() == 0) {
    FormClose();
    return;
  }
  output_folder_ = set_output_.output_text();
  if (TrimControlAndBlank(output_folder_).empty()) {
    // Asking again: after this message there would be nothing on screen.
    view_->ShowMessage(AppMessage(i18n::Text("02000881"), MessageIcon::kInformation),
                       [this](MessageAnswer) { AskOutputFolder(); });
    return;
  }
  password_form_.ShowModal([this] { PasswordAnswered(); });
}

void TfrmMain::PasswordAnswered() {
  if (password_form_.confirmed() == 0) {
    FormClose();
    return;
  }
  view_->SetTransparent(false);
  view_->SetLabel(MainLabel::lblPercent, "0%");
  view_->SetLabel(MainLabel::lblSpeed, "");
  view_->SetLabel(MainLabel::lblFileName, i18n::Text("02000105"));
  password_ = password_form_.password_text();
  password_secret_ = std::make_unique<TraceSecret>(password_);
  StartJob();
}

// Everything the worker reads is in place before its thread starts.
void TfrmMain::StartJob() {
  WorkerInputs inputs;
  inputs.program_path = OwnExecutablePath();
  inputs.output_folder = output_folder_;
  inputs.password = password_;
  inputs.working_folder = working_folder_;
  inputs.module_path = module_path_;
  worker_ = factory_(inputs, record_, pause_, *this);
  view_->StartTimer(MainTimer::TimerProcess, 1000);
  worker_->Start();
}

void TfrmMain::TimerProcessTimer() {
  const TickDisplay d = ticker_.Tick(record_);
  if (d.stop_timer) {
    view_->StopTimer(MainTimer::TimerProcess);
    return;
  }
  if (d.elapsed) view_->SetLabel(MainLabel::lblTime_Used, *d.elapsed);
  if (d.speed) view_->SetLabel(MainLabel::lblSpeed, *d.speed);
  if (d.remaining) view_->SetLabel(MainLabel::lblTime_Left, *d.remaining);
  if (d.percent) view_->SetProgress(*d.percent);
  if (d.percent_text) view_->SetLabel(MainLabel::lblPercent, *d.percent_text);
}

// The worker waits at its pause points; no thread is stopped from outside.
void TfrmMain::btnPauseClick() {
  if (!worker_ || cancelling_ || ending_) return;
  if (!pause_.Paused()) {
    pause_.Pause();
    view_->SetPauseCaption(i18n::Text("02000C13"));
    view_->StopTimer(MainTimer::TimerProcess);
  } else {
    pause_.Resume();
    view_->SetPauseCaption(i18n::Text("02000C12"));
    view_->StartTimer(MainTimer::TimerProcess, 1000);
  }
}

void TfrmMain::btnHideClick() {
  view_->ShowTrayIcon([this](bool shown) {
    if (closed_) return;
    // Without a notification area the window is minimised instead, so it
    // can always be brought back.
    if (shown) view_->HideWindow();
    else view_->MinimiseWindow();
  });
}

void TfrmMain::TrayIcon1Click() {
  view_->HideTrayIcon();
  view_->RestoreWindow();
}

void TfrmMain::FormClose() {
  if (closed_) return;
  if (!worker_) {
    Finish();
    return;
  }
  if (asking_close_ || cancelling_ || ending_) return;
  asking_close_ = true;
  view_->ShowMessage(AppMessage(i18n::Text("02000C30"), MessageIcon::kQuestion, MessageButtons::kOkCancel),
                     [this](MessageAnswer answer) {
                       asking_close_ = false;
                       if (answer == MessageAnswer::kOk && !closed_ && !ending_) Cancel();
                     });
}

// In every stage the job is asked to stop and its end awaited: the end's
// handling then closes, and only then is the working folder removed, with
// nothing of the job still using it.
void TfrmMain::Cancel() {
  cancelling_ = true;
  if (pause_.Paused()) view_->SetPauseCaption(i18n::Text("02000C12"));
  pause_.Cancel(record_);
  pause_.Resume();
  view_->StopTimer(MainTimer::TimerProcess);
}

void TfrmMain::Terminate() {
  if (closed_) return;
  terminating_ = true;
  if (!worker_) {
    Finish();
    return;
  }
  if (!cancelling_) Cancel();
  // An open question (overwrite, password) is answered with a stop.
  AbandonQuestions();
  // Already past the job's end: no need to wait out its delay.
  if (ending_) {
    view_->StopTimer(MainTimer::EndDelay);
    ReleaseWorkerAndClose();
  }
}

void TfrmMain::EndWithoutWindows() {
  if (closed_) return;
  closed_ = true;
  StopWorkerOutsideLoop();
  if (!working_folder_.empty()) RemoveTree(working_folder_);
}

void TfrmMain::JobEndMessage(const JobEnd& end) {
  if (ending_ || closed_) return;
  ending_ = true;
  end_ = end;
  view_->StopTimer(MainTimer::TimerProcess);
  if (terminating_) {
    ReleaseWorkerAndClose();
    return;
  }
  view_->StartTimer(MainTimer::EndDelay, 1000);
}

void TfrmMain::EndDelayTimer() {
  view_->StopTimer(MainTimer::EndDelay);
  const std::string text = EndText(end_);
  if (text.empty()) {
    ReleaseWorkerAndClose();
    return;
  }
  view_->ShowMessage(AppMessage(text, MessageIcon::kWarning), [this](MessageAnswer) { ReleaseWorkerAndClose(); });
}

namespace {

// Whether `text` already is the worker's "{0} files could not be extracted
// intact ..." sentence: every literal piece of that text, in order.
bool IsNotIntactSentence(const std::string& text) {
  const std::string pattern = i18n::Text("02000C51");
  size_t at = 0, from = 0;
  while (from <= pattern.size()) {
    size_t hole = pattern.find('{', from);
    while (hole != std::string::npos && pattern.compare(hole, 3, "{0}") != 0 && pattern.compare(hole, 3, "{1}") != 0)
      hole = pattern.find('{', hole + 1);
    const std::string piece = pattern.substr(from, hole == std::string::npos ? std::string::npos : hole - from);
    if (!piece.empty()) {
      at = text.find(piece, at);
      if (at == std::string::npos) return false;
      at += piece.size();
    }
    if (hole == std::string::npos) break;
    from = hole + 3;
  }
  return true;
}

}  // namespace

std::string TfrmMain::EndText(const JobEnd& end) const {
  if (end.first != 0) return {};
  switch (end.second) {
    case 1: return i18n::Format(i18n::Text("02000603"), end.text.empty() ? output_folder_ : end.text);
    case 2: return i18n::Text("02000B10");
    case 3: return IsNotIntactSentence(end.text) ? end.text : i18n::Format(i18n::Text("02000C50"), end.text);
    default: return {};
  }
}

void TfrmMain::ReleaseWorkerAndClose() {
  // The worker is at its very end; should it still ask anything, the
  // answer is a stop rather than a wait on this very thread.
  StopWorkerOutsideLoop();
  Finish();
}

void TfrmMain::Finish() {
  if (closed_) return;
  closed_ = true;
  if (!working_folder_.empty()) RemoveTree(working_folder_);
  view_->Close();
}

}  // namespace coffer
