// The whole program with the real windows under Xvfb: the three windows,
// the questions answered by clicking, the job run to its end (a scripted
// one, or the real worker on a real self-extracting file), cancel, pause
// and background mode.
#include "app/extractor_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "app/files.h"
#include "i18n/texts.h"
#include "platform/debug.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"

namespace coffer {
namespace {

using test::SpinUntil;

class ExtractorAppTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void TearDown() override {
    gtk_widget_set_default_direction(GTK_TEXT_DIR_LTR);
    i18n::SetLanguageFile("");
  }
  static GtkWidget* In(GtkWindow* window, const char* name) { return gtk::FindByName(GTK_WIDGET(window), name); }
  static std::string LabelText(GtkWindow* window, const char* name) {
    return gtk_label_get_text(GTK_LABEL(In(window, name)));
  }
  static void Click(GtkWindow* window, const char* name) { gtk_button_clicked(GTK_BUTTON(In(window, name))); }

  // Answers both questions; returns once the progress window is in view.
  void AnswerQuestions(ExtractorApp& app, const std::string& output, const std::string& password) {
    GtkWindow* out = app.set_output_window().window();
    ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(out)); }));
    gtk_entry_set_text(GTK_ENTRY(In(out, "edOutput")), output.c_str());
    Click(out, "btnOK");
    GtkWindow* pw = app.password_window().window();
    ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(pw)); }));
    gtk_entry_set_text(GTK_ENTRY(In(pw, "edPassword")), password.c_str());
    Click(pw, "btnOK");
    ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(app.main_window().window())); }));
  }

  // The message box now on screen, answered; returns its text.
  static std::string AnswerMessage(int response = GTK_RESPONSE_OK) {
    GtkWidget* box = nullptr;
    EXPECT_TRUE(SpinUntil([&] { return (box = gtk::FindToplevel(kMessageBoxName)) != nullptr; }, 30000));
    if (!box) return {};
    gchar* text = nullptr;
    g_object_get(box, "text", &text, nullptr);
    std::string s = text ? text : "";
    g_free(text);
    gtk_dialog_response(GTK_DIALOG(box), response);
    return s;
  }

  test::ScratchDir dir_;
  test::RoomyTemp space_{dir_ / "tmp/"};
  ScopedFreeSpaceSource scoped_{space_};
  test::JobScript job_;
  int closed_ = 0;
};

TEST_F(ExtractorAppTest, AnsweringBothQuestionsStartsTheJobAndItsEndClosesAndCleansUp) {
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  GtkWindow* main = app.main_window().window();
  app.Start();
  const std::string folder = app.main_form().working_folder();
  ASSERT_TRUE(test::Exists(folder + "en.txt"));
  EXPECT_TRUE(app.main_window().transparent());
  EXPECT_STREQ(gtk_window_get_title(main), "Extract");
  EXPECT_EQ(LabelText(main, "lblTotalSize_Tip"), "Total size:");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(main, "btnHide"))), "_Background");
  if (!gdk_screen_is_composited(gdk_screen_get_default())) {
    EXPECT_FALSE(gtk_widget_get_mapped(GTK_WIDGET(main))) << "unseen until both questions are answered";
  }
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, " /somewhere/out ", "s3cret "));
  EXPECT_FALSE(app.main_window().transparent());
  EXPECT_DOUBLE_EQ(gtk_widget_get_opacity(GTK_WIDGET(main)), 1.0);
  EXPECT_EQ(LabelText(main, "lblFileName"), "Extract files...");
  EXPECT_EQ(LabelText(main, "lblPercent"), "0%");
  EXPECT_FALSE(gtk_widget_get_visible(In(main, "lblCurrentSize")));

  EXPECT_EQ(job_.starts, 1);
  EXPECT_EQ(job_.inputs.output_folder, " /somewhere/out ");
  EXPECT_EQ(job_.inputs.password, "s3cret ");
  EXPECT_EQ(job_.inputs.working_folder, folder);
  EXPECT_EQ(job_.inputs.module_path, folder + "7z.dll");
  EXPECT_EQ(job_.inputs.program_path, OwnExecutablePath());

  std::thread worker([&] {
    job_.host->ShowTotalSize(1610612736);
    job_.host->JobEnded({});
  });
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }));
  worker.join();
  EXPECT_EQ(LabelText(main, "lblTotalSize"), "1.5 GB");
  EXPECT_GE(job_.joins, 1);
  EXPECT_FALSE(test::Exists(folder));
}

TEST_F(ExtractorAppTest, CancellingTheFirstQuestionEndsTheRun) {
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  app.Start();
  GtkWindow* output = app.set_output_window().window();
  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(output)); }));
  Click(output, "btnCancel");
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(job_.starts, 0);
  EXPECT_FALSE(test::Exists(app.main_form().working_folder()));
  EXPECT_FALSE(gtk_widget_get_mapped(GTK_WIDGET(app.main_window().window())));
}

TEST_F(ExtractorAppTest, EveryWindowFollowsTheLanguageAndArabicRunsRightToLeft) {
  struct Case {
    uint16_t lang;
    const char* caption;
    const char* ok;
    GtkTextDirection direction;
  };
  const Case cases[] = {
      {0x0407, "Entpacken", "OK", GTK_TEXT_DIR_LTR},
      {0x0411, "展開", "OK", GTK_TEXT_DIR_LTR},
      {0x0C01, "استخراج", "موافق", GTK_TEXT_DIR_RTL},
  };
  for (const auto& c : cases) {
    ExtractorApp app(c.lang, [] {}, test::ScriptedFactory(job_));
    app.Start();
    GtkWindow* output = app.set_output_window().window();
    ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(output)); }));
    EXPECT_STREQ(gtk_window_get_title(app.main_window().window()), c.caption) << c.lang;
    EXPECT_STREQ(gtk_window_get_title(output), c.caption) << c.lang;
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(output, "btnOK"))), c.ok) << c.lang;
    for (GtkWindow* w : {app.main_window().window(), output, app.password_window().window()})
      EXPECT_EQ(gtk_widget_get_direction(gtk_bin_get_child(GTK_BIN(w))), c.direction) << c.lang;
    Click(output, "btnCancel");
    gtk_widget_set_default_direction(GTK_TEXT_DIR_LTR);
  }
}

// A job that copies until it is told to stop, passing the pause gate as the
// worker's copy loop does.
void CopyUntilCancelled(test::JobScript& job, std::atomic<int>& passes) {
  job.body = [&job, &passes] {
    job.record->total_size.store(1000);
    while (!job.record->Cancelled()) {
      job.pause->Wait(*job.record);
      ++passes;
      g_usleep(1000);
    }
    job.host->JobEnded({});
  };
}

TEST_F(ExtractorAppTest, CloseAsksFirstAndOkStopsTheJobThenClosesEvenWhilePaused) {
  std::atomic<int> passes{0};
  CopyUntilCancelled(job_, passes);
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, "/out", "pw"));
  GtkWindow* main = app.main_window().window();
  const std::string folder = app.main_form().working_folder();

  Click(main, "btnCancel");
  EXPECT_EQ(AnswerMessage(GTK_RESPONSE_CANCEL), "Are you sure you want to cancel?");
  EXPECT_FALSE(app.main_form().record().Cancelled()) << "Cancel in the question leaves the job running";

  Click(main, "btnPause");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(main, "btnPause"))), "_Continue");
  EXPECT_TRUE(app.main_form().paused());
  gtk_window_close(main);  // the close box goes the same way
  EXPECT_EQ(AnswerMessage(GTK_RESPONSE_OK), "Are you sure you want to cancel?");
  EXPECT_TRUE(app.main_form().record().Cancelled());
  EXPECT_TRUE(test::Exists(folder)) << "kept until the job has ended";
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; })) << "a paused job still gets to its end";
  EXPECT_FALSE(test::Exists(folder));
  EXPECT_GT(passes.load(), 0);
}

TEST_F(ExtractorAppTest, PauseHoldsTheJobAtItsGateAndContinueLetsItOn) {
  std::atomic<int> passes{0};
  CopyUntilCancelled(job_, passes);
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, "/out", "pw"));
  GtkWindow* main = app.main_window().window();
  ASSERT_TRUE(SpinUntil([&] { return passes.load() > 0; }));
  Click(main, "btnPause");
  // Once the job is held, its count stays put however long we look.
  int held = passes.load();
  ASSERT_TRUE(SpinUntil([&] {
    const int now = passes.load();
    const bool still = now == held;
    held = now;
    return still;
  }));
  test::SpinUntil([] { return false; }, 100);
  EXPECT_LE(passes.load(), held + 1) << "the job moved on while paused";
  held = passes.load();
  Click(main, "btnPause");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(main, "btnPause"))), "_Pause");
  ASSERT_TRUE(SpinUntil([&] { return passes.load() > held + 2; }));
  app.main_form().record().RequestCancel();  // as the overwrite dialog's Cancel does
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }));
}

TEST_F(ExtractorAppTest, BackgroundWithoutANotificationAreaMinimisesInstead) {
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, "/out", "pw"));
  GtkWindow* main = app.main_window().window();
  Click(main, "btnHide");
  // Xvfb has no notification area: the icon is never taken, so the window
  // must stay where the user can get it back.
  ASSERT_TRUE(SpinUntil([&] { return !app.main_window().tray_icon().Visible(); }));
  test::SpinUntil([] { return false; }, TrayIcon::kEmbedWaitMs + 200);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(main)));
  EXPECT_FALSE(app.main_window().tray_icon().Visible());
  job_.host->JobEnded({});
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }));
}

TEST_F(ExtractorAppTest, TheWorkersQuestionsAreAskedOnTheMainThread) {
  std::optional<std::string> asked_password;
  OverwriteAnswer answer = OverwriteAnswer::kCancel;
  std::atomic<bool> done{false};
  test::WriteFile(dir_ / "old.txt", "old");
  test::WriteFile(dir_ / "new.txt", "newer");
  job_.body = [&] {
    std::string pw;
    if (job_.host->AskPassword(pw)) asked_password = pw;
    answer = job_.host->AskOverwrite(dir_ / "old.txt", dir_ / "new.txt");
    done = true;
    job_.host->JobEnded({});
  };
  ExtractorApp app(0x0409, [&] { ++closed_; }, test::ScriptedFactory(job_));
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, "/out", "first"));
  GtkWindow* pw = app.password_window().window();
  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(pw)); }));
  gtk_entry_set_text(GTK_ENTRY(In(pw, "edPassword")), " again ");
  Click(pw, "btnOK");
  GtkWidget* overwrite = nullptr;
  ASSERT_TRUE(SpinUntil([&] { return (overwrite = gtk::FindToplevel("frmOverWrite")) != nullptr; }));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(overwrite)), app.main_window().window());
  Click(GTK_WINDOW(overwrite), "btnNoAll");
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }));
  EXPECT_TRUE(done);
  EXPECT_EQ(asked_password, " again ");
  EXPECT_EQ(answer, OverwriteAnswer::kNoToAll);
}

// The real worker on a real self-extracting file: an image of filler with
// a password-protected archive behind it, inside the scan window.
class RealJobTest : public ExtractorAppTest {
 protected:
  void SetUp() override {
    test::WriteFile(dir_ / "src/docs/a.txt", "alpha");
    test::WriteFile(dir_ / "src/b.bin", test::RandomBytes(200000, 7));
    test::WriteFile(dir_ / "src/" + kProbeItemName, "probe");
    test::Make7z(dir_ / "payload.7z", dir_ / "src", "-pright docs b.bin " + std::string(kProbeItemName));
    test::WriteFile(program_, std::string(1000000, 'x') + test::ReadFile(dir_ / "payload.7z"));
  }
  JobFactory RealWorker() {
    return [this](const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host) {
      WorkerInputs inputs = in;
      inputs.program_path = program_;
      return ExtractionWorkerFactory()(inputs, record, pause, host);
    };
  }
  std::string program_ = dir_ / "sample.run";
};

TEST_F(RealJobTest, TheRightPasswordExtractsEverythingAndTheWindowCloses) {
  ExtractorApp app(0x0409, [&] { ++closed_; }, RealWorker());
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, dir_ / "out", "right"));
  const std::string folder = app.main_form().working_folder();
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }, 60000));
  EXPECT_TRUE(gtk::FindToplevel(kMessageBoxName) == nullptr) << "success shows no message";
  // Everything but the probe item, which only tests the password.
  EXPECT_EQ(test::TreeContents(dir_ / "out/sample"),
            (std::vector<std::pair<std::string, std::string>>{{"b.bin", test::RandomBytes(200000, 7)},
                                                              {"docs/a.txt", "alpha"}}));
  EXPECT_FALSE(test::Exists(folder));
}

TEST_F(RealJobTest, AWrongPasswordIsReportedAndNothingIsWritten) {
  ExtractorApp app(0x0409, [&] { ++closed_; }, RealWorker());
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, dir_ / "out", "wrong"));
  EXPECT_EQ(AnswerMessage(), "Passwords do not match");
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }));
  EXPECT_FALSE(test::Exists(dir_ / "out/sample/b.bin"));
}

// Typed into the first dialog or into the worker's fallback one, the
// password never reaches the trace, while the trace itself is on.
TEST_F(RealJobTest, TheTraceNeverShowsThePasswordTypedInEitherDialog) {
  const std::string secret = "right";
  std::vector<std::string> trace;
  std::mutex mutex;
  ScopedDebugSink sink([&](const std::string& line) {
    std::lock_guard lock(mutex);
    trace.push_back(line);
  });
  // No password for the worker: the engine's request goes to the dialog.
  ExtractorApp app(0x0409, [&] { ++closed_; }, [this](const WorkerInputs& in, ProgressRecord& r, PauseGate& p, JobHost& h) {
    DebugLine("a careless trace line quoting " + in.password);
    WorkerInputs inputs = in;
    inputs.password.clear();
    return RealWorker()(inputs, r, p, h);
  });
  app.Start();
  ASSERT_NO_FATAL_FAILURE(AnswerQuestions(app, dir_ / "out", secret));
  GtkWindow* pw = app.password_window().window();
  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(pw)); }, 30000));
  gtk_entry_set_text(GTK_ENTRY(In(pw, "edPassword")), (" " + secret + " ").c_str());
  Click(pw, "btnOK");
  ASSERT_TRUE(SpinUntil([&] { return closed_ == 1; }, 60000));
  EXPECT_EQ(test::ReadFile(dir_ / "out/sample/docs/a.txt"), "alpha");
  std::lock_guard lock(mutex);
  EXPECT_NE(std::find(trace.begin(), trace.end(), "password-------------***"), trace.end());
  EXPECT_NE(std::find(trace.begin(), trace.end(), "a careless trace line quoting ***"), trace.end());
  for (const auto& line : trace) EXPECT_EQ(line.find(secret), std::string::npos) << line;
}

}  // namespace
}  // namespace coffer
