// The whole start-up with the real windows under Xvfb: the three windows,
// the questions answered by clicking, the progress window coming into view,
// and closing it.
#include "app/extractor_app.h"

#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/paths.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::SpinUntil;

class FixedTemp final : public FreeSpaceSource {
 public:
  explicit FixedTemp(std::string temp) : temp_(std::move(temp)) {}
  std::string TempFolder() const override { return temp_; }
  std::vector<std::string> CandidateRoots() const override { return {}; }
  std::optional<int64_t> FreeMiB(const std::string&) const override { return 1000; }
  std::string temp_;
};

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

  test::ScratchDir dir_;
  FixedTemp space_{dir_ / "tmp/"};
  ScopedFreeSpaceSource scoped_{space_};
};

TEST_F(ExtractorAppTest, AnsweringBothQuestionsShowsTheProgressWindowAndClosingCleansUp) {
  int closed = 0;
  ExtractorApp app(0x0409, [&] { ++closed; });
  GtkWindow* main = app.main_window().window();
  GtkWindow* output = app.set_output_window().window();
  GtkWindow* password = app.password_window().window();
  app.Start();
  const std::string folder = app.main_form().working_folder();
  ASSERT_TRUE(test::Exists(folder + "en.txt"));
  EXPECT_TRUE(app.main_window().transparent());
  EXPECT_STREQ(gtk_window_get_title(main), "Extract");
  EXPECT_EQ(LabelText(main, "lblTotalSize_Tip"), "Total size:");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(main, "btnHide"))), "_Background");

  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(output)); }));
  if (!gdk_screen_is_composited(gdk_screen_get_default())) {
    EXPECT_FALSE(gtk_widget_get_mapped(GTK_WIDGET(main))) << "unseen until both questions are answered";
  }
  gtk_entry_set_text(GTK_ENTRY(In(output, "edOutput")), " /somewhere/out ");
  gtk_button_clicked(GTK_BUTTON(In(output, "btnOK")));

  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(password)); }));
  gtk_entry_set_text(GTK_ENTRY(In(password, "edPassword")), "s3cret ");
  gtk_button_clicked(GTK_BUTTON(In(password, "btnOK")));

  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(main)); }));
  EXPECT_FALSE(app.main_window().transparent());
  EXPECT_DOUBLE_EQ(gtk_widget_get_opacity(GTK_WIDGET(main)), 1.0);
  EXPECT_EQ(LabelText(main, "lblFileName"), "Extract files...");
  EXPECT_EQ(LabelText(main, "lblPercent"), "0%");
  EXPECT_FALSE(gtk_widget_get_visible(In(main, "lblCurrentSize")));
  EXPECT_EQ(app.main_form().output_folder(), " /somewhere/out ");
  EXPECT_EQ(app.main_form().password(), "s3cret ");

  gtk_window_close(main);
  ASSERT_TRUE(SpinUntil([&] { return closed == 1; }));
  EXPECT_FALSE(test::Exists(folder));
}

TEST_F(ExtractorAppTest, CancellingTheFirstQuestionEndsTheRun) {
  int closed = 0;
  ExtractorApp app(0x0409, [&] { ++closed; });
  app.Start();
  GtkWindow* output = app.set_output_window().window();
  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(output)); }));
  gtk_button_clicked(GTK_BUTTON(In(output, "btnCancel")));
  EXPECT_EQ(closed, 1);
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
    ExtractorApp app(c.lang, [] {});
    app.Start();
    GtkWindow* output = app.set_output_window().window();
    ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(output)); }));
    EXPECT_STREQ(gtk_window_get_title(app.main_window().window()), c.caption) << c.lang;
    EXPECT_STREQ(gtk_window_get_title(output), c.caption) << c.lang;
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(In(output, "btnOK"))), c.ok) << c.lang;
    for (GtkWindow* w : {app.main_window().window(), output, app.password_window().window()})
      EXPECT_EQ(gtk_widget_get_direction(gtk_bin_get_child(GTK_BIN(w))), c.direction) << c.lang;
    gtk_button_clicked(GTK_BUTTON(In(output, "btnCancel")));
    gtk_widget_set_default_direction(GTK_TEXT_DIR_LTR);
  }
}

}  // namespace
}  // namespace coffer
