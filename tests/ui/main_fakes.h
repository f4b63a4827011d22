#pragma once
// Views that record what the window behaviours ask of them, so that the
// behaviours run without a display. Dialog answers are given by the tests.
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "ui/MainFrm.h"
#include "ui/PasswordFrm.h"
#include "ui/SetOutputFrm.h"

namespace coffer::test {

// Working folders go into the given folder, which always has room.
class RoomyTemp final : public FreeSpaceSource {
 public:
  explicit RoomyTemp(std::string temp) : temp_(std::move(temp)) {}
  std::string TempFolder() const override { return temp_; }
  std::vector<std::string> CandidateRoots() const override { return {}; }
  std::optional<int64_t> FreeMiB(const std::string&) const override { return 1000; }

 private:
  std::string temp_;
};

struct PendingMessage {
  MessageBoxSpec spec;
  std::function<void(MessageAnswer)> done;
};

// Message boxes wait here until the test answers them.
class MessageQueue {
 public:
  void Push(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
    pending.push_back({spec, std::move(done)});
  }
  // Answers the oldest box; returns its text.
  std::string Answer(MessageAnswer answer = MessageAnswer::kOk) {
    PendingMessage m = std::move(pending.front());
    pending.erase(pending.begin());
    if (m.done) m.done(answer);
    return m.spec.text;
  }
  std::vector<PendingMessage> pending;
};

class FakeSetOutputView final : public SetOutputView {
 public:
  explicit FakeSetOutputView(TfrmSetOutput& form) { form.set_view(this); }
  void ApplyTexts(const Texts& t) override { texts = t; }
  std::string OutputText() const override { return text; }
  void SetOutputText(const std::string& t) override { text = t; }
  void ShowModal() override { ++shows, visible = true; }
  void Hide() override { visible = false; }
  void PickFolder(const std::string& title, const std::string& initial,
                  std::function<void(std::optional<std::string>)> done) override {
    picker_title = title;
    picker_initial = initial;
    done(picker_answer);
  }
  Texts texts;
  std::string text;
  int shows = 0;
  bool visible = false;
  std::string picker_title, picker_initial;
  std::optional<std::string> picker_answer;
};

class FakePasswordView final : public PasswordView {
 public:
  explicit FakePasswordView(TfrmPassword& form) { form.set_view(this); }
  void ApplyTexts(const Texts& t) override { texts = t; }
  std::string PasswordText() const override { return text; }
  void SetMasked(bool m) override { masked = m; }
  void ShowModal() override { ++shows, visible = true; }
  void FocusPassword() override { ++focus_requests; }
  void Hide() override { visible = false; }
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override {
    messages.Push(spec, std::move(done));
  }
  Texts texts;
  std::string text;
  bool masked = true;
  int shows = 0;
  int focus_requests = 0;
  bool visible = false;
  MessageQueue messages;
};

class FakeMainView final : public MainView {
 public:
  explicit FakeMainView(TfrmMain& form) { form.set_view(this); }
  void ApplyTexts(const Texts& t) override { texts = t; }
  void SetLabel(MainLabel l, const std::string& text) override { labels[l] = text; }
  void SetProgress(int32_t p) override { progress = p; }
  void SetTransparent(bool t) override { transparent = t; }
  void StartTimer(MainTimer t, unsigned ms) override { timers[t] = ms; }
  void StopTimer(MainTimer t) override { timers.erase(t); }
  void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) override {
    messages.Push(spec, std::move(done));
  }
  void SetPauseCaption(const std::string& text) override { pause_caption = text; }
  void AskOverwrite(const std::string& existing, const std::string& fresh,
                    std::function<void(OverwriteAnswer)> done) override {
    if (overwrite_fails) throw std::runtime_error("no dialog");
    overwrite_questions.push_back(existing + " <- " + fresh);
    overwrite_done = std::move(done);
  }
  void ShowTrayIcon(std::function<void(bool)> done) override {
    tray_requests++;
    done(tray_available);
    tray_shown = tray_available;
  }
  void HideTrayIcon() override { tray_shown = false; }
  void HideWindow() override { window = "hidden"; }
  void MinimiseWindow() override { window = "minimised"; }
  void RestoreWindow() override { window = "shown"; }
  void Close() override { ++closes; }
  bool Running(MainTimer t) const { return timers.count(t) != 0; }

  std::string pause_caption;
  std::vector<std::string> overwrite_questions;
  std::function<void(OverwriteAnswer)> overwrite_done;
  bool overwrite_fails = false;
  bool tray_available = false;
  bool tray_shown = false;
  int tray_requests = 0;
  std::string window = "shown";

  Texts texts;
  std::map<MainLabel, std::string> labels;
  std::optional<int32_t> progress;
  std::optional<bool> transparent;
  std::map<MainTimer, unsigned> timers;
  MessageQueue messages;
  int closes = 0;
};

// The job the window runs, played by the test: what the window handed it,
// and an optional body run on a thread of its own (the worker's part).
struct JobScript {
  WorkerInputs inputs;
  ProgressRecord* record = nullptr;
  PauseGate* pause = nullptr;
  JobHost* host = nullptr;
  int starts = 0;
  int joins = 0;
  std::function<void()> body;
};

class ScriptedJob final : public RunningJob {
 public:
  explicit ScriptedJob(JobScript& script) : script_(script) {}
  ~ScriptedJob() override { Join(); }
  void Start() override {
    ++script_.starts;
    if (script_.body) thread_ = std::thread(script_.body);
  }
  void Join() override {
    ++script_.joins;
    if (thread_.joinable()) thread_.join();
  }

 private:
  JobScript& script_;
  std::thread thread_;
};

inline JobFactory ScriptedFactory(JobScript& script) {
  return [&script](const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host) {
    script.inputs = in;
    script.record = &record;
    script.pause = &pause;
    script.host = &host;
    return std::make_unique<ScriptedJob>(script);
  };
}

}  // namespace coffer::test
