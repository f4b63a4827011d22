// The progress window as the job's host: the worker's calls, made on its
// own thread, carried to the main thread.
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/debug.h"
#include "platform/main_thread.h"
#include "ui/MainFrm.h"
#include "ui/progress_format.h"

namespace coffer {

// A question in flight can always be ended from the main thread, so a
// worker waiting for an answer never outlives the window's ability to give
// one: the window gives the stop answer when it tears down or terminates.
class PendingQuestion {
 public:
  virtual ~PendingQuestion() = default;
  virtual void Abandon() = 0;
};

class PendingQuestions {
 public:
  void Add(const std::shared_ptr<PendingQuestion>& q) {
    std::lock_guard lock(mutex_);
    if (abandoning_) {
      q->Abandon();
      return;
    }
    questions_.push_back(q);
  }
  void Remove(const PendingQuestion* q) {
    std::lock_guard lock(mutex_);
    std::erase_if(questions_, [q](const auto& w) {
      auto p = w.lock();
      return !p || p.get() == q;
    });
  }
  // Ends every question now, and every later one as soon as it is asked.
  void AbandonAll() {
    std::vector<std::shared_ptr<PendingQuestion>> now;
    {
      std::lock_guard lock(mutex_);
      abandoning_ = true;
      for (const auto& w : questions_)
        if (auto p = w.lock()) now.push_back(p);
      questions_.clear();
    }
    for (const auto& q : now) q->Abandon();
  }

 private:
  std::mutex mutex_;
  std::vector<std::weak_ptr<PendingQuestion>> questions_;
  bool abandoning_ = false;
};

namespace {

// One question's answer: given (or failed) on the main thread, awaited by
// the worker; the first of the three outcomes counts.
template <typename T>
class Answer final : public PendingQuestion {
 public:
  explicit Answer(T stop_value) : stop_value_(std::move(stop_value)) {}
  void Give(T value) { Settle(std::move(value), nullptr); }
  void Fail(std::exception_ptr error) { Settle(std::nullopt, std::move(error)); }
  void Abandon() override { Settle(stop_value_, nullptr); }
  T Wait() {
    std::unique_lock lock(mutex_);
    while (!settled_) given_.wait(lock);
    if (error_) std::rethrow_exception(error_);
    return *value_;
  }

 private:
  void Settle(std::optional<T> value, std::exception_ptr error) {
    {
      std::lock_guard lock(mutex_);
      if (settled_) return;
      settled_ = true;
      value_ = std::move(value);
      error_ = std::move(error);
    }
    given_.notify_all();
  }

  const T stop_value_;
  std::mutex mutex_;
  std::condition_variable given_;
  bool settled_ = false;
  std::optional<T> value_;
  std::exception_ptr error_;
};

// Asks on the main thread through `ask`, which settles the answer; an
// exception there fails it. Returns what the worker gets.
template <typename T, typename Ask>
T AskOnMainThread(PendingQuestions& pending, T stop_value, Ask ask) {
  auto answer = std::make_shared<Answer<T>>(std::move(stop_value));
  pending.Add(answer);
  PostToMainThread([answer, ask = std::move(ask)]() mutable {
    try {
      ask(answer);
    } catch (const std::exception& e) {
      DebugLine(std::string("the window could not ask: ") + e.what());
      answer->Fail(std::make_exception_ptr(HostFailure(std::string("the window could not ask: ") + e.what())));
    } catch (...) {
      answer->Fail(std::make_exception_ptr(HostFailure("the window could not ask")));
    }
  });
  struct Done {
    PendingQuestions& pending;
    const PendingQuestion* q;
    ~Done() { pending.Remove(q); }
  } done{pending, answer.get()};
  return answer->Wait();
}

}  // namespace

std::shared_ptr<PendingQuestions> TfrmMain::NewPendingQuestions() { return std::make_shared<PendingQuestions>(); }

void TfrmMain::AbandonQuestions() { questions_->AbandonAll(); }

void TfrmMain::ShowTotalSize(int64_t total_bytes) {
  RunOnMainThread([this, total_bytes] {
    if (view_ && !closed_) view_->SetLabel(MainLabel::lblTotalSize, FormatSize(total_bytes));
  });
}

OverwriteAnswer TfrmMain::AskOverwrite(const std::string& existing_file, const std::string& new_file) {
  std::weak_ptr<TfrmMain*> self = self_;
  return AskOnMainThread<OverwriteAnswer>(
      *questions_, OverwriteAnswer::kCancel, [self, existing_file, new_file](auto answer) {
        auto form = self.lock();
        if (!form || !(*form)->view_ || (*form)->closed_) {
          answer->Give(OverwriteAnswer::kCancel);
          return;
        }
        (*form)->view_->AskOverwrite(existing_file, new_file, [answer](OverwriteAnswer a) { answer->Give(a); });
      });
}

bool TfrmMain::AskPassword(std::string& password) {
  std::weak_ptr<TfrmMain*> self = self_;
  auto entered = AskOnMainThread<std::optional<std::string>>(*questions_, std::nullopt, [self](auto answer) {
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
