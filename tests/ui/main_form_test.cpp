// The progress window's behaviour without a display: first showing,
// start-up sequence and close handling.
#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/paths.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "ui/MainFrm.h"

namespace coffer {
namespace {

using test::Exists;
using test::ScratchDir;

class MainFormTest : public ::testing::Test {
 protected:
  explicit MainFormTest(uint16_t lang = 0x0409)
      : main_(set_output_, password_, lang, test::ScriptedFactory(job_)) {}
  void TearDown() override { i18n::SetLanguageFile(""); }

  // Up to the output folder question.
  void StartUp() {
    main_.FormShow();
    ASSERT_TRUE(main_view_.Running(MainTimer::Timer1));
    main_.Timer1Timer();
  }

  test::JobScript job_;
  ScratchDir dir_;
  test::RoomyTemp space_{dir_ / "tmp/"};
  ScopedFreeSpaceSource scoped_{space_};
  TfrmSetOutput set_output_{"/opt/dl/"};
  TfrmPassword password_;
  TfrmMain main_;
  test::FakeSetOutputView set_output_view_{set_output_};
  test::FakePasswordView password_view_{password_};
  test::FakeMainView main_view_{main_};
};

TEST_F(MainFormTest, FirstShowingMakesTheWorkingFolderWritesTheLanguageAndStaysUnseen) {
  main_.FormShow();
  const std::string& folder = main_.working_folder();
  EXPECT_EQ(folder.rfind(dir_ / "tmp/tv_", 0), 0u) << folder;
  EXPECT_EQ(folder.back(), (dir_ / "/").back());
  EXPECT_TRUE(Exists(folder + "en.txt"));
  EXPECT_EQ(i18n::LanguageFile(), folder + "en.txt");
  EXPECT_EQ(main_.module_path(), folder + "7z.dll");
  EXPECT_EQ(main_view_.transparent, true);
  EXPECT_EQ(main_view_.timers, (std::map<MainTimer, unsigned>{{MainTimer::Timer1, 50}}));
  const MainView::Texts& t = main_view_.texts;
  EXPECT_EQ(t.caption, "Extract");
  EXPECT_EQ(t.btnHide, "&Background");
  EXPECT_EQ(t.btnPause, "&Pause");
  EXPECT_EQ(t.btnCancel, "Cancel");
  EXPECT_EQ(t.lblTotalSize_Tip, "Total size:");
  EXPECT_EQ(t.lblCurrentSize_Tip, "Processed:");
  EXPECT_EQ(t.lblSpeed_Tip, "Speed:");
  EXPECT_EQ(t.lblTime_Used_Tip, "Elapsed time:");
  EXPECT_EQ(t.lblTime_Left_Tip, "Remaining time:");
  EXPECT_FALSE(set_output_view_.visible) << "nothing is asked before the start-up timer";
}

TEST_F(MainFormTest, TheStartUpTimerRunsOnceAndAsksForTheOutputFolder) {
  StartUp();
  EXPECT_FALSE(main_view_.Running(MainTimer::Timer1));
  EXPECT_TRUE(set_output_view_.visible);
  EXPECT_EQ(set_output_view_.texts.Label1, "E&xtract to:") << "the dialog reads this run's language file";
  EXPECT_EQ(password_view_.shows, 0);
}

TEST_F(MainFormTest, BothAnswersMakeTheWindowVisibleAndAreKeptAsTyped) {
  StartUp();
  set_output_view_.text = "  /data/out  ";
  set_output_.btnOKClick();
  ASSERT_TRUE(password_view_.visible);
  EXPECT_EQ(main_view_.transparent, true);
  password_view_.text = " pw ";
  password_.btnOKClick();
  EXPECT_EQ(main_view_.transparent, false);
  EXPECT_EQ(main_view_.labels[MainLabel::lblPercent], "0%");
  EXPECT_EQ(main_view_.labels[MainLabel::lblSpeed], "");
  EXPECT_EQ(main_view_.labels[MainLabel::lblFileName], "Extract files...");
  EXPECT_EQ(main_.output_folder(), "  /data/out  ");
  EXPECT_EQ(main_.password(), " pw ");
  EXPECT_TRUE(main_.has_worker());
  EXPECT_EQ(main_view_.closes, 0);
}

TEST_F(MainFormTest, ABlankOutputFolderIsRefusedAndAskedForAgain) {
  StartUp();
  for (const char* blank : {"", "   ", "\t \n"}) {
    set_output_view_.text = blank;
    set_output_.btnOKClick();
    ASSERT_EQ(main_view_.messages.pending.size(), 1u);
    EXPECT_EQ(main_view_.messages.pending[0].spec.icon, MessageIcon::kInformation);
    EXPECT_EQ(main_view_.messages.pending[0].spec.caption, "Coffer");
    EXPECT_FALSE(set_output_view_.visible);
    const int shows = set_output_view_.shows;
    EXPECT_EQ(main_view_.messages.Answer(), "Specify a location for extracted files.");
    EXPECT_EQ(set_output_view_.shows, shows + 1) << "the output folder dialog comes back";
    EXPECT_TRUE(set_output_view_.visible);
    EXPECT_EQ(set_output_.confirmed(), 0);
  }
  EXPECT_EQ(password_view_.shows, 0);
  set_output_view_.text = "/out";
  set_output_.btnOKClick();
  EXPECT_TRUE(password_view_.visible);
}

TEST_F(MainFormTest, CancellingEitherQuestionClosesAndRemovesTheWorkingFolder) {
  for (int question = 0; question < 2; ++question) {
    ScratchDir dir;
    test::RoomyTemp space(dir / "tmp/");
    ScopedFreeSpaceSource scoped(space);
    TfrmSetOutput set_output("/p/");
    TfrmPassword password;
    test::JobScript job;
    TfrmMain main(set_output, password, 0x0409, test::ScriptedFactory(job));
    test::FakeSetOutputView set_output_view(set_output);
    test::FakePasswordView password_view(password);
    test::FakeMainView main_view(main);
    main.FormShow();
    main.Timer1Timer();
    if (question == 1) {
      set_output.btnOKClick();
      ASSERT_TRUE(password_view.visible);
      password.btnCancelClick();
    } else {
      set_output.FormClose();
    }
    EXPECT_EQ(main_view.closes, 1) << question;
    EXPECT_TRUE(main.closed());
    EXPECT_FALSE(Exists(main.working_folder())) << question;
    EXPECT_TRUE(main_view.messages.pending.empty()) << "no message on a cancelled question";
  }
}

TEST_F(MainFormTest, CloseWithoutAJobRemovesTheWorkingFolderOnce) {
  main_.FormShow();
  test::WriteFile(main_.working_folder() + "sub/file", "x");
  main_.btnCancelClick();
  main_.FormClose();
  EXPECT_EQ(main_view_.closes, 1);
  EXPECT_FALSE(Exists(main_.working_folder()));
}

TEST_F(MainFormTest, NoWorkingFolderIsReportedAndEndsTheRun) {
  test::WriteFile(dir_ / "blocked", "a file where the temporary folder should be");
  test::RoomyTemp blocked(dir_ / "blocked/");
  ScopedFreeSpaceSource scoped(blocked);
  main_.FormShow();
  ASSERT_EQ(main_view_.messages.pending.size(), 1u);
  EXPECT_EQ(main_view_.messages.pending[0].spec.icon, MessageIcon::kError);
  EXPECT_FALSE(main_view_.Running(MainTimer::Timer1));
  main_view_.messages.Answer();
  EXPECT_EQ(main_view_.closes, 1);
  EXPECT_TRUE(Exists(dir_ / "blocked")) << "nothing that was not ours is removed";
}

class GermanMainFormTest : public MainFormTest {
 protected:
  GermanMainFormTest() : MainFormTest(0x0407) {}
};

TEST_F(GermanMainFormTest, TextsComeFromTheSystemLanguage) {
  StartUp();
  EXPECT_EQ(main_view_.texts.btnPause, "&Pause");
  EXPECT_EQ(main_view_.texts.lblTime_Left_Tip, "Verbleibende Zeit:");
  EXPECT_EQ(set_output_view_.texts.btnCancel, "Abbrechen");
}

}  // namespace
}  // namespace coffer
