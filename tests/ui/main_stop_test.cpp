// The progress window stopping its job from outside the usual close: the
// system ending the program, the window torn down while the worker waits
// on it, and a window that fails to ask.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/main_thread.h"
#include "platform/paths.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "ui/MainFrm.h"

namespace coffer {
namespace {

using namespace std::chrono_literals;
using test::Exists;

// A window, its two questions answered, running `job_.body` as its worker.
struct Window {
  // With `answer` false the window stops at its first question.
  explicit Window(std::function<void(test::JobScript&)> body, bool answer = true) {
    job.body = [this, body] { body(job); };
    main->FormShow();
    main->Timer1Timer();
    if (!answer) return;
    set_output_view.text = "/out";
    set_output.btnOKClick();
    password_view.text = "pw";
    password.btnOKClick();
  }
  test::JobScript job;
  test::ScratchDir dir;
  test::RoomyTemp space{dir / "tmp/"};
  ScopedFreeSpaceSource scoped{space};
  TfrmSetOutput set_output{"/p/"};
  TfrmPassword password;
  std::unique_ptr<TfrmMain> main =
      std::make_unique<TfrmMain>(set_output, password, 0x0409, test::ScriptedFactory(job));
  test::FakeSetOutputView set_output_view{set_output};
  test::FakePasswordView password_view{password};
  test::FakeMainView view{*main};
};

// Runs `fn` and fails (ending the process: the hung thread cannot be
// undone) when it does not return within a minute.
void ReturnsInTime(const std::function<void()>& fn, const char* what) {
  auto done = std::async(std::launch::async, fn);
  if (done.wait_for(60s) != std::future_status::ready) {
    ADD_FAILURE() << what << " hangs";
    std::_Exit(1);
  }
  done.get();
}

// The worker waits on the main thread, whose loop is not running (the
// window is torn down outside it): the teardown still ends, the worker gets
// a stop for its question, and the main thread's calls work again after.
TEST(MainStop, TearingDownNeverWaitsForAWorkerThatWaitsOnTheWindow) {
  struct Case {
    const char* waits_in;
    std::function<void(JobHost&, std::atomic<int>&)> call;
  } cases[] = {
      {"a synchronised call", [](JobHost& h, std::atomic<int>&) { h.ShowTotalSize(1); }},
      {"an overwrite question",
       [](JobHost& h, std::atomic<int>& got) { got = static_cast<int>(h.AskOverwrite("/a", "/b")); }},
      {"a password question",
       [](JobHost& h, std::atomic<int>& got) {
         std::string p;
         got = h.AskPassword(p) ? 1 : 0;
       }},
  };
  for (const auto& c : cases) {
    std::atomic<bool> waiting{false};
    std::atomic<int> got{-1};
    auto w = std::make_unique<Window>([&](test::JobScript& job) {
      waiting = true;
      c.call(*job.host, got);
    });
    for (int i = 0; i < 1000 && !waiting; ++i) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);  // well inside its wait
    ReturnsInTime([&] { w.reset(); }, c.waits_in);
    if (c.call && got != -1) {
      // Overwrite: Cancel (5); password: refused (0).
      EXPECT_TRUE(got == static_cast<int>(OverwriteAnswer::kCancel) || got == 0) << c.waits_in << " " << got;
    }
  }
  bool ran = false;
  std::thread t([&] { RunOnMainThread([&] { ran = true; }); });
  ASSERT_TRUE(test::SpinUntil([&] { return ran; }));
  t.join();
}

TEST(MainStop, TerminateEndsEveryStageAsAConfirmedCancelWithoutDelayOrMessage) {
  // Before the job: the window just closes and its folder goes.
  {
    Window w([](test::JobScript&) {}, false);  // the output folder question is open
    const std::string folder = w.main->working_folder();
    w.main->Terminate();
    EXPECT_EQ(w.view.closes, 1);
    EXPECT_FALSE(Exists(folder));
    EXPECT_EQ(w.job.starts, 0);
  }
  // During the job, paused at an overwrite question: the question gets a
  // stop, the job ends, and its end closes at once.
  {
    std::atomic<int> answer{-1};
    Window w([&](test::JobScript& job) {
      answer = static_cast<int>(job.host->AskOverwrite("/a", "/b"));
      job.host->JobEnded({});
    });
    const std::string folder = w.main->working_folder();
    w.main->btnPauseClick();
    ASSERT_TRUE(test::SpinUntil([&] { return !w.view.overwrite_questions.empty(); }));
    w.main->Terminate();
    EXPECT_TRUE(w.job.record->Cancelled());
    EXPECT_FALSE(w.job.pause->Paused());
    ASSERT_TRUE(test::SpinUntil([&] { return w.view.closes == 1; }));
    EXPECT_EQ(answer, static_cast<int>(OverwriteAnswer::kCancel));
    EXPECT_TRUE(w.view.messages.pending.empty());
    EXPECT_FALSE(w.view.Running(MainTimer::EndDelay));
    EXPECT_FALSE(Exists(folder));
    w.main->Terminate();  // a second signal changes nothing
    EXPECT_EQ(w.view.closes, 1);
  }
  // After the job's end, while its message waits: closes at once.
  {
    Window w([](test::JobScript&) {});
    w.main->JobEndMessage({0, 2, ""});
    w.main->EndDelayTimer();
    ASSERT_EQ(w.view.messages.pending.size(), 1u);
    w.main->Terminate();
    EXPECT_EQ(w.view.closes, 1);
  }
}

TEST(MainStop, AWindowThatCannotAskEndsTheJobWithAnError) {
  std::promise<std::string> error;
  auto got = error.get_future();
  Window w([&](test::JobScript& job) {
    try {
      job.host->AskOverwrite("/a", "/b");
      error.set_value("answered");
    } catch (const HostFailure& e) {
      error.set_value(e.what());
    }
  });
  w.view.overwrite_fails = true;
  ASSERT_TRUE(test::SpinUntil([&] { return got.wait_for(0s) == std::future_status::ready; }));
  EXPECT_NE(got.get().find("no dialog"), std::string::npos);
}

}  // namespace
}  // namespace coffer
