// The progress window as the job's host: the worker's calls, made on its
// own thread, carried to the main thread.
#include <condition_variable>
#include <mutex>
#include <optional>

#include "platform/main_thread.h"
#include "ui/MainFrm.h"
#include "ui/progress_format.h"

namespace coffer {
namespace {

// One question's answer: given on the main thread, awaited by the worker.
template <typename T>
class Answer {
 public:
  void Give(T value) {
    {
      std::lock_guard lock(mutex_);
      value_ = std::move(value);
    }
    given_.notify_all();
  }
  T Wait() {
    std::unique_lock lock(mutex_);
    while (!value_) given_.wait(lock);
    return *value_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable given_;
  std::optional<T> value_;
};

}  // namespace

void TfrmMain::ShowTotalSize(int64_t total_bytes) {
  RunOnMainThread([this, total_bytes] {
    if (view_ && !closed_) view_->SetLabel(MainLabel::lblTotalSize, FormatSize(total_bytes));
  });
}

OverwriteAnswer TfrmMain::AskOverwrite(const std::string& existing_file, const std::string& new_file) {
  auto answer = std::make_shared<Answer<OverwriteAnswer>>();
  std::weak_ptr<TfrmMain*> self = self_;
  PostToMainThread([self, answer, existing_file, new_file] {
    auto form = self.lock();
    if (!form || !(*form)->view_ || (*form)->closed_) {
      answer->Give(OverwriteAnswer::kCancel);
      return;
    }
    (*form)->view_->AskOverwrite(existing_file, new_file, [answer](OverwriteAnswer a) { answer->Give(a); });
  });
  return answer->Wait();
}

bool TfrmMain::AskPassword(std::string& password) {
  auto answer = std::make_shared<Answer<std::optional<std::string>>>();
  std::weak_ptr<TfrmMain*> self = self_;
  PostToMainThread([self, answer] {
    auto form = self.lock();
    if (!form || (*form)->closed_) {
      answer->Give(std::nullopt);
      return;
    }
    TfrmMain* main = *form;
    main->password_form_.ShowModal([main, answer] {
      if (main->password_form_.confirmed() == 0) {
        // The worker stops on this answer; its end then closes the window.
        main->cancelling_ = true;
        answer->Give(std::nullopt);
      } else {
        answer->Give(main->password_form_.password_text());
      }
    });
  });
  auto entered = answer->Wait();
  if (!entered) return false;
  password = *entered;
  return true;
}

// Posted, never waited for: the worker is at its very end.
void TfrmMain::JobEnded(const JobEnd& end) {
  std::weak_ptr<TfrmMain*> self = self_;
  PostToMainThread([self, end] {
    if (auto form = self.lock()) (*form)->JobEndMessage(end);
  });
}

}  // namespace coffer
