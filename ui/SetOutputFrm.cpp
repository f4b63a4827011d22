#include "ui/SetOutputFrm.h"

#include <utility>

#include "i18n/texts.h"
#include "platform/paths.h"

namespace coffer {

TfrmSetOutput::TfrmSetOutput(std::string program_folder) : program_folder_(std::move(program_folder)) {}

void TfrmSetOutput::ShowModal(std::function<void()> closed) {
  closed_ = std::move(closed);
  FormShow();
  shown_ = true;
  view_->ShowModal();
}

void TfrmSetOutput::FormShow() {
  using i18n::Text;
  view_->ApplyTexts({Text("02000800"), Text("02000801"), Text("02000702"), Text("02000710")});
  confirmed_ = 0;
  view_->SetOutputText(program_folder_);
}

void TfrmSetOutput::btnBrowserClick() {
  const std::string initial = view_->OutputText();
  view_->PickFolder(i18n::Text("03020209"), initial, [this](std::optional<std::string> chosen) {
    if (!chosen || chosen->empty()) return;
    view_->SetOutputText(WithSlash(*chosen));
  });
}

void TfrmSetOutput::btnOKClick() {
  if (!shown_) return;
  confirmed_ = -1;
  FormClose();
}

void TfrmSetOutput::FormClose() {
  if (!shown_) return;
  shown_ = false;
  view_->Hide();
  // The caller may show this dialog again from its callback.
  auto closed = std::exchange(closed_, nullptr);
  if (closed) closed();
}

std::string TfrmSetOutput::output_text() const { return view_->OutputText(); }

}  // namespace coffer
