#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <optional>
#include <regex>
#include <string>

#include "platform/file_icon.h"
#include "tests/support/scratch.h"
#include "tests/ui/overwrite_support.h"
#include "ui/OverWriteView.h"
#include "ui/gtk_util.h"

namespace coffer {
namespace {

using A = OverwriteAnswer;
using test::ScratchDir;
using test::SpinUntil;
using test::WriteFile;

// The text without the left-to-right marks that keep a path's order.
std::string WithoutMarks(std::string s) {
  for (size_t i; (i = s.find("\u200E")) != std::string::npos;) s.erase(i, 3);
  return s;
}

class OverwriteDialog : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void SetUp() override {
    test::UseLanguage(dir_, test::kOverwriteEnglish);
    WriteFile(existing_, "old contents");
    WriteFile(fresh_, "");
    owner_ = gtk::OwnedWindow(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_widget_set_name(owner_.get(), "frmMain");
    gtk_widget_show(owner_.get());
  }
  void TearDown() override {
    // Whatever the test did, no dialog may outlive it.
    EXPECT_TRUE(SpinUntil([] { return gtk::FindToplevel("frmOverWrite") == nullptr; }, 2000));
  }

  // Opens the dialog and returns it with the answer slot it reports into.
  GtkWidget* Open(std::optional<A>& answer, const std::string& time_separator = ":") {
    return OpenOverwriteDialog(
        owner_.window(), existing_, fresh_, [&answer](A a) { answer = a; }, time_separator);
  }
  static std::string LabelText(GtkWidget* root, const char* name) {
    GtkWidget* w = gtk::FindByName(root, name);
    EXPECT_NE(w, nullptr) << name;
    return w != nullptr ? gtk_label_get_text(GTK_LABEL(w)) : "";
  }
  static std::string ButtonLabel(GtkWidget* root, const char* name) {
    GtkWidget* w = gtk::FindByName(root, name);
    EXPECT_NE(w, nullptr) << name;
    return w != nullptr ? gtk_button_get_label(GTK_BUTTON(w)) : "";
  }

  ScratchDir dir_;
  std::string existing_ = dir_ / "out/photo.txt";
  std::string fresh_ = dir_ / "scratch/photo.txt";
  gtk::OwnedWindow owner_;
};

TEST_F(OverwriteDialog, ShowsEveryTextOnItsControl) {
  std::optional<A> answer;
  GtkWidget* w = Open(answer, ".");
  EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(w)), std::string("Confirm File Replace"));
  EXPECT_STREQ(gtk_window_get_role(GTK_WINDOW(w)), "coffer-overwrite");
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(w)), owner_.window());
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(w)));
  EXPECT_NE(gtk::FindByName(w, "GroupBox1"), nullptr);
  EXPECT_EQ(LabelText(w, "Label1"), "Destination folder already contains processed file.");
  EXPECT_EQ(WithoutMarks(LabelText(w, "lblFile")), existing_);
  EXPECT_EQ(LabelText(w, "Label2"), "Would you like to replace the existing file");
  EXPECT_EQ(LabelText(w, "lblExistsFile_Size"), "12 bytes");
  EXPECT_EQ(LabelText(w, "Label5"), "with this one?");
  EXPECT_EQ(LabelText(w, "lblNewFile_Size"), "0 bytes");
  // The time separator it is given, the date's own "-".
  const std::regex time_line(R"(modified on: \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d)");
  EXPECT_TRUE(std::regex_match(LabelText(w, "lblExistsFile_Time"), time_line)) << LabelText(w, "lblExistsFile_Time");
  EXPECT_TRUE(std::regex_match(LabelText(w, "lblNewFile_Time"), time_line)) << LabelText(w, "lblNewFile_Time");
  const struct {
    const char* name;
    const char* label;
  } buttons[] = {{"btnYes", "_Yes"},           {"btnYesAll", "Yes to _All"}, {"btnRename", "A_uto Rename"},
                 {"btnNo", "_No"},             {"btnNoAll", "No to A_ll"},   {"btnCancel", "Cancel"}};
  for (const auto& b : buttons) EXPECT_EQ(ButtonLabel(w, b.name), b.label);
  EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(w)), gtk::FindByName(w, "btnYes"));

  for (const char* img : {"imgExists", "imgNew"}) {
    GtkWidget* image = gtk::FindByName(w, img);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(gtk_image_get_storage_type(GTK_IMAGE(image)), GTK_IMAGE_PIXBUF) << img;
    EXPECT_EQ(gdk_pixbuf_get_width(gtk_image_get_pixbuf(GTK_IMAGE(image))), 32);
  }
  gtk_widget_destroy(w);
  EXPECT_EQ(answer, A::kYes);
}

TEST_F(OverwriteDialog, EachButtonGivesItsAnswerAndFreesTheDialog) {
  const struct {
    const char* button;
    A answer;
  } rows[] = {{"btnYes", A::kYes},         {"btnNo", A::kNo},           {"btnYesAll", A::kYesToAll},
              {"btnNoAll", A::kNoToAll},   {"btnRename", A::kAutoRename}, {"btnCancel", A::kCancel}};
  for (const auto& r : rows) {
    std::optional<A> answer;
    GtkWidget* w = Open(answer);
    gtk_button_clicked(GTK_BUTTON(gtk::FindByName(w, r.button)));
    ASSERT_TRUE(SpinUntil([&] { return answer.has_value(); })) << r.button;
    EXPECT_EQ(answer, r.answer) << r.button;
    EXPECT_EQ(gtk::FindToplevel("frmOverWrite"), nullptr) << r.button;
  }
}

TEST_F(OverwriteDialog, CloseBoxAnswersYes) {
  std::optional<A> answer;
  GtkWidget* w = Open(answer);
  ASSERT_TRUE(SpinUntil([&] { return gtk_widget_get_mapped(w); }));
  gtk_window_close(GTK_WINDOW(w));
  ASSERT_TRUE(SpinUntil([&] { return answer.has_value(); }));
  EXPECT_EQ(answer, A::kYes);
}

TEST_F(OverwriteDialog, ClosingTheOwnerAnswersToo) {
  std::optional<A> answer;
  Open(answer);
  owner_.reset();
  ASSERT_TRUE(SpinUntil([&] { return answer.has_value(); }));
  EXPECT_EQ(answer, A::kYes);
}

// The blocking form the main window calls: a new dialog for each question,
// gone by the time the answer is back.
TEST_F(OverwriteDialog, AskWaitsForTheAnswerOfANewDialogEachTime) {
  for (const auto& [button, expected] : {std::pair{"btnNoAll", A::kNoToAll}, std::pair{"btnRename", A::kAutoRename}}) {
    gtk::Source click;
    click.Every(5, [button = button] {
      GtkWidget* w = gtk::FindToplevel("frmOverWrite");
      if (w == nullptr || !gtk_widget_get_mapped(w)) return true;
      gtk_button_clicked(GTK_BUTTON(gtk::FindByName(w, button)));
      return false;
    });
    EXPECT_EQ(AskOverwrite(owner_.window(), existing_, fresh_), expected);
    EXPECT_EQ(gtk::FindToplevel("frmOverWrite"), nullptr);
  }
}

TEST_F(OverwriteDialog, FileIconIsThirtyTwoPixelsForAnyType) {
  WriteFile(dir_ / "x.unknownext", "\x01\x02");
  for (const std::string& p : {existing_, dir_ / "x.unknownext", dir_ / "missing.png"}) {
    GdkPixbuf* icon = FileIcon(p);
    ASSERT_NE(icon, nullptr) << p;
    EXPECT_EQ(gdk_pixbuf_get_width(icon), 32);
    EXPECT_EQ(gdk_pixbuf_get_height(icon), 32);
    g_object_unref(icon);
  }
}

}  // namespace
}  // namespace coffer
