#include "ui/PasswordFrm.h"

#include <utility>

#include "i18n/texts.h"
#include "ui/MainFrmMessages.h"

namespace coffer {

std::string TrimControlAndBlank(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

void TfrmPassword::ShowModal(std::function<void()> closed) {
  closed_ = std::move(closed);
  FormShow();
  shown_ = true;
  view_->ShowModal();
}

void TfrmPassword::FormShow() {
  using i18n::Text;
  view_->ApplyTexts({Text("02000B00"), Text("02000B01"), Text("02000B02"), Text("02000702"), Text("02000710")});
  confirmed_ = 0;
}

void TfrmPassword::btnOKClick() {
  if (!shown_ || refusing_) return;
  if (TrimControlAndBlank(view_->PasswordText()).empty()) {
    refusing_ = true;
    view_->ShowMessage(AppMessage(i18n::Text("02000B00"), MessageIcon::kInformation),
                       [this](MessageAnswer) {
                         refusing_ = false;
                         if (shown_) view_->FocusPassword();
                       });
    return;
  }
  confirmed_ = -1;
  FormClose();
}

void TfrmPassword::FormClose() {
  if (!shown_) return;
  shown_ = false;
  view_->Hide();
  auto closed = std::exchange(closed_, nullptr);
  if (closed) closed();
}

}  // namespace coffer
