// The progress window's behaviour while the job runs, without a display:
// the tick, pause, background, the job's end and the close handling.
#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/paths.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "ui/MainFrm.h"

namespace coffer {
namespace {

using test::Exists;

// A window whose job has been started: both questions answered.
class MainJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.FormShow();
    main_.Timer1Timer();
    set_output_view_.text = "/out";
    set_output_.btnOKClick();
    password_view_.text = "pw";
    password_.btnOKClick();
    ASSERT_EQ(job_.starts, 1);
    ASSERT_TRUE(view_.Running(MainTimer::TimerProcess));
  }
  void TearDown() override { i18n::SetLanguageFile(""); }
  std::string Label(MainLabel l) { return view_.labels[l]; }

  test::JobScript job_;
  test::ScratchDir dir_;
  test::RoomyTemp space_{dir_ / "tmp/"};
  ScopedFreeSpaceSource scoped_{space_};
  TfrmSetOutput set_output_{"/p/"};
  TfrmPassword password_;
  TfrmMain main_{set_output_, password_, 0x0409, test::ScriptedFactory(job_)};
  test::FakeSetOutputView set_output_view_{set_output_};
  test::FakePasswordView password_view_{password_};
  test::FakeMainView view_{main_};
};

TEST_F(MainJobTest, EachTickShowsTheRecordOnTheLabelsAndTheBar) {
  ProgressRecord& r = main_.record();
  r.total_size = 1000;
  r.current_size = 500;
  main_.TimerProcessTimer();
  EXPECT_EQ(Label(MainLabel::lblTime_Used), "00:00:01");
  EXPECT_EQ(Label(MainLabel::lblSpeed), "500 B/s");
  EXPECT_EQ(Label(MainLabel::lblTime_Left), "00:00:00");
  EXPECT_EQ(Label(MainLabel::lblPercent), "10%");
  EXPECT_EQ(view_.progress, 10);

  r.hold = -1;  // nothing measurable moves: only the elapsed time counts on
  r.current_size = 900;
  main_.TimerProcessTimer();
  EXPECT_EQ(Label(MainLabel::lblTime_Used), "00:00:02");
  EXPECT_EQ(Label(MainLabel::lblPercent), "10%");

  r.hold = 0;
  r.extraction_phase = -1;
  main_.TimerProcessTimer();
  EXPECT_EQ(Label(MainLabel::lblPercent), "92%");
  EXPECT_EQ(r.extraction_ticks.load(), 1);

  r.RequestCancel();
  main_.TimerProcessTimer();
  EXPECT_FALSE(view_.Running(MainTimer::TimerProcess));
  EXPECT_EQ(Label(MainLabel::lblTime_Used), "00:00:03");
}

TEST_F(MainJobTest, PauseAndContinueSwitchTheGateCaptionAndTimer) {
  main_.btnPauseClick();
  EXPECT_TRUE(job_.pause->Paused());
  EXPECT_EQ(view_.pause_caption, "&Continue");
  EXPECT_FALSE(view_.Running(MainTimer::TimerProcess));
  main_.btnPauseClick();
  EXPECT_FALSE(job_.pause->Paused());
  EXPECT_EQ(view_.pause_caption, "&Pause");
  EXPECT_EQ(view_.timers[MainTimer::TimerProcess], 1000u);
}

TEST_F(MainJobTest, BackgroundUsesTheIconWhereOneShowsElseMinimises) {
  view_.tray_available = true;
  main_.btnHideClick();
  EXPECT_EQ(view_.window, "hidden");
  EXPECT_TRUE(view_.tray_shown);
  main_.TrayIcon1Click();
  EXPECT_EQ(view_.window, "shown");
  EXPECT_FALSE(view_.tray_shown);

  view_.tray_available = false;
  main_.btnHideClick();
  EXPECT_EQ(view_.window, "minimised");
  EXPECT_FALSE(view_.tray_shown);
}

TEST_F(MainJobTest, EndTextsByCode) {
  const std::string sentence = i18n::Format(i18n::Text("02000C51"), "2", "docs/a.txt");
  const std::pair<JobEnd, std::string> cases[] = {
      {{1, 0, ""}, ""},
      {{0, 1, "/out/sample/"}, "Cannot create folder '/out/sample/'"},
      {{0, 1, ""}, "Cannot create folder '/out'"},
      {{0, 2, ""}, "Passwords do not match"},
      {{0, 3, "disk full"}, "Extraction failed: disk full"},
      {{0, 3, sentence}, sentence},
      {{0, 7, "x"}, ""},
  };
  for (const auto& [end, text] : cases) EXPECT_EQ(main_.EndText(end), text) << end.second << " " << end.text;
}

TEST_F(MainJobTest, TheEndStopsTheTickWaitsASecondShowsItsTextReleasesTheJobAndCloses) {
  const std::string folder = main_.working_folder();
  main_.JobEndMessage({0, 2, ""});
  main_.JobEndMessage({1, 0, ""});  // only one end counts
  EXPECT_FALSE(view_.Running(MainTimer::TimerProcess));
  EXPECT_EQ(view_.timers[MainTimer::EndDelay], 1000u);
  EXPECT_TRUE(view_.messages.pending.empty()) << "nothing before the second has passed";
  main_.EndDelayTimer();
  EXPECT_FALSE(view_.Running(MainTimer::EndDelay));
  ASSERT_EQ(view_.messages.pending.size(), 1u);
  EXPECT_EQ(view_.messages.pending[0].spec.icon, MessageIcon::kWarning);
  EXPECT_EQ(view_.closes, 0);
  EXPECT_EQ(view_.messages.Answer(), "Passwords do not match");
  EXPECT_GE(job_.joins, 1);
  EXPECT_FALSE(main_.has_worker());
  EXPECT_EQ(view_.closes, 1);
  EXPECT_FALSE(Exists(folder));
}

TEST_F(MainJobTest, AFinishedJobClosesWithoutAMessage) {
  main_.JobEndMessage({});
  main_.EndDelayTimer();
  EXPECT_TRUE(view_.messages.pending.empty());
  EXPECT_EQ(view_.closes, 1);
}

// In the copy stage and during extraction alike, OK asks the job to stop
// and the window closes on its end; the working folder goes only then.
class MainJobStageTest : public MainJobTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(MainJobStageTest, ClosingAsksAndOkCancelsThenWaitsForTheEnd) {
  const std::string folder = main_.working_folder();
  main_.record().extraction_phase = GetParam();
  main_.btnCancelClick();
  ASSERT_EQ(view_.messages.pending.size(), 1u);
  EXPECT_EQ(view_.messages.pending[0].spec.buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(view_.messages.pending[0].spec.icon, MessageIcon::kQuestion);
  main_.FormClose();  // a second request while asking asks nothing more
  EXPECT_EQ(view_.messages.Answer(MessageAnswer::kCancel), "Are you sure you want to cancel?");
  EXPECT_FALSE(main_.record().Cancelled());
  EXPECT_TRUE(view_.Running(MainTimer::TimerProcess));

  main_.btnPauseClick();  // and paused: the gate opens again for the stop
  main_.FormClose();
  ASSERT_EQ(view_.messages.pending.size(), 1u);
  view_.messages.Answer(MessageAnswer::kOk);
  EXPECT_TRUE(main_.record().Cancelled());
  EXPECT_TRUE(main_.cancelling());
  EXPECT_FALSE(job_.pause->Paused());
  EXPECT_EQ(view_.pause_caption, "&Pause");
  EXPECT_FALSE(view_.Running(MainTimer::TimerProcess));
  EXPECT_EQ(view_.closes, 0) << "waits for the job's end";
  EXPECT_TRUE(Exists(folder));
  main_.FormClose();
  EXPECT_TRUE(view_.messages.pending.empty()) << "nothing more is asked while cancelling";

  main_.JobEndMessage({});
  main_.EndDelayTimer();
  EXPECT_EQ(view_.closes, 1);
  EXPECT_FALSE(Exists(folder));
}

INSTANTIATE_TEST_SUITE_P(Stages, MainJobStageTest, ::testing::Values(0, -1));

TEST_F(MainJobTest, AnEndWhileTheCloseQuestionIsOpenStillCloses) {
  main_.FormClose();
  main_.JobEndMessage({});
  main_.EndDelayTimer();
  EXPECT_EQ(view_.closes, 1);
  view_.messages.Answer(MessageAnswer::kOk);  // too late to matter
  EXPECT_FALSE(main_.cancelling());
  EXPECT_EQ(view_.closes, 1);
}

TEST_F(MainJobTest, PauseWithoutAJobDoesNothing) {
  main_.JobEndMessage({});
  main_.EndDelayTimer();
  main_.btnPauseClick();
  EXPECT_EQ(view_.pause_caption, "");
}

}  // namespace
}  // namespace coffer
