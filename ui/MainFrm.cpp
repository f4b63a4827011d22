#include "ui/MainFrm.h"

#include "app/files.h"
#include "app/working_folder.h"
#include "i18n/texts.h"
#include "platform/error.h"
#include "ui/MainFrmMessages.h"

namespace coffer {

TfrmMain::TfrmMain(TfrmSetOutput& set_output, TfrmPassword& password, uint16_t lang_id)
    : set_output_(set_output), password_form_(password), lang_id_(lang_id) {}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormShow() {
  try {
    working_folder_ = MakeWorkingFolder(kWorkingFolderNeed);
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
  tick_counter_ = 0;
  elapsed_seconds_ = 0;
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
  StartJob();
}

void TfrmMain::StartJob() {
  job_started_ = true;
  // SEAM: the extraction worker is created, the progress timer started and
  // the worker run from here.
}

void TfrmMain::FormClose() {
  if (closed_) return;
  Finish();
}

void TfrmMain::Finish() {
  closed_ = true;
  if (!working_folder_.empty()) RemoveTree(working_folder_);
  view_->Close();
}

}  // namespace coffer
