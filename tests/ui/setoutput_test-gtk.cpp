#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/folder_picker.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "tests/ui/main_keys.h"
#include "ui/SetOutputFrm.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer {
namespace {

using test::FakeSetOutputView;
using test::ScratchDir;

struct Language {
  uint16_t id;
  SetOutputView::Texts texts;
};
const Language kLanguages[] = {
    {0x0409, {"Extract", "E&xtract to:", "OK", "Cancel"}},
    {0x0407, {"Entpacken", "Entpacken &nach:", "OK", "Abbrechen"}},
};

bool operator==(const SetOutputView::Texts& a, const SetOutputView::Texts& b) {
  return a.caption == b.caption && a.Label1 == b.Label1 && a.btnOK == b.btnOK && a.btnCancel == b.btnCancel;
}

TEST(SetOutputForm, EveryShowingAppliesTextsClearsTheFlagAndProposesTheProgramFolder) {
  ScratchDir dir;
  for (const auto& lang : kLanguages) {
    i18n::WriteLanguageFile(dir.path(), lang.id);
    TfrmSetOutput form("/opt/dl/");
    FakeSetOutputView view(form);
    int closes = 0;
    for (int round = 0; round < 2; ++round) {
      view.text = "typed before";
      form.ShowModal([&] { ++closes; });
      EXPECT_TRUE(view.texts == lang.texts) << lang.id << " " << view.texts.Label1;
      EXPECT_EQ(form.confirmed(), 0);
      EXPECT_EQ(view.text, "/opt/dl/");
      EXPECT_TRUE(view.visible);
      form.btnOKClick();
      EXPECT_EQ(form.confirmed(), -1);
      EXPECT_FALSE(view.visible);
    }
    EXPECT_EQ(closes, 2);
  }
  i18n::SetLanguageFile("");
}

TEST(SetOutputForm, CancelCloseBoxAndOkAfterCloseLeaveTheFlagZero) {
  TfrmSetOutput form("/p/");
  FakeSetOutputView view(form);
  using Action = void (TfrmSetOutput::*)();
  for (Action close : {&TfrmSetOutput::btnCancelClick, &TfrmSetOutput::FormClose}) {
    int closes = 0;
    form.ShowModal([&] { ++closes; });
    (form.*close)();
    form.btnOKClick();  // a late click on a hidden dialog does nothing
    form.FormClose();
    EXPECT_EQ(form.confirmed(), 0);
    EXPECT_EQ(closes, 1);
  }
}

TEST(SetOutputForm, TheTextIsHandedOnAsTypedAndOkAcceptsABlankOne) {
  TfrmSetOutput form("/p/");
  FakeSetOutputView view(form);
  for (const std::string typed : {"  /data/out  ", "", "   ", "relative/path"}) {
    form.ShowModal({});
    view.text = typed;
    form.btnOKClick();
    EXPECT_EQ(form.confirmed(), -1);
    EXPECT_EQ(form.output_text(), typed);
  }
}

TEST(SetOutputForm, BrowsingPutsTheChosenFolderWithOneTrailingSlash) {
  struct Case {
    std::optional<std::string> chosen;
    const char* expected;
  };
  const Case cases[] = {
      {"/data", "/data/"}, {"/", "/"}, {"/media/usb/", "/media/usb/"}, {std::nullopt, "typed"}, {"", "typed"},
  };
  TfrmSetOutput form("/p/");
  FakeSetOutputView view(form);
  form.ShowModal({});
  for (const auto& c : cases) {
    view.text = "typed";
    view.picker_answer = c.chosen;
    form.btnBrowserClick();
    EXPECT_EQ(view.picker_initial, "typed");
    EXPECT_EQ(view.text, c.expected) << c.chosen.value_or("(cancelled)");
  }
  EXPECT_EQ(view.picker_title, "???");  // no language file in this test
}

// The real window under Xvfb.
class SetOutputWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void SetUp() override { i18n::WriteLanguageFile(dir_.path(), 0x0409); }
  void TearDown() override { i18n::SetLanguageFile(""); }
  GtkWidget* Find(const char* name) { return gtk::FindByName(GTK_WIDGET(window_->window()), name); }

  ScratchDir dir_;
  TfrmSetOutput form_{"/opt/programs/"};
  std::unique_ptr<SetOutputWindow> window_ = std::make_unique<SetOutputWindow>(form_);
};

TEST_F(SetOutputWindowTest, ShowsTheTextsAndFolderWithOkFocused) {
  bool closed = false;
  form_.ShowModal([&] { closed = true; });
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::ToplevelVisible("frmSetOutput"); }));
  EXPECT_STREQ(gtk_window_get_title(window_->window()), "Extract");
  EXPECT_TRUE(gtk_window_get_modal(window_->window()));
  EXPECT_STREQ(gtk_window_get_role(window_->window()), "coffer-output-folder");
  EXPECT_STREQ(gtk_label_get_label(GTK_LABEL(Find("Label1"))), "E_xtract to:");
  EXPECT_EQ(gtk_label_get_mnemonic_widget(GTK_LABEL(Find("Label1"))), Find("edOutput"));
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(Find("btnOK"))), "OK");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(Find("btnCancel"))), "Cancel");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(Find("btnBrowser"))), "...");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Find("edOutput"))), "/opt/programs/");
  EXPECT_EQ(gtk_window_get_focus(window_->window()), Find("btnOK"));

  gtk_button_clicked(GTK_BUTTON(Find("btnOK")));
  EXPECT_TRUE(closed);
  EXPECT_EQ(form_.confirmed(), -1);
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window_->window())));
}

TEST_F(SetOutputWindowTest, TabRunsFromOkThroughCancelAndTheFolderToBrowseAndEscapeDoesNothing) {
  bool closed = false;
  form_.ShowModal([&] { closed = true; });
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::ToplevelVisible("frmSetOutput"); }));
  GtkWindow* w = window_->window();
  const char* forward[] = {"btnCancel", "edOutput", "btnBrowser", "btnOK"};
  for (const char* name : forward) {
    test::PressKey(w, GDK_KEY_Tab);
    EXPECT_EQ(gtk_window_get_focus(w), Find(name)) << name;
  }
  for (const char* name : {"btnBrowser", "edOutput"}) {
    test::PressKey(w, GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
    EXPECT_EQ(gtk_window_get_focus(w), Find(name)) << name;
  }
  // No button has the cancel role: Escape neither closes nor answers.
  test::PressKey(w, GDK_KEY_Escape);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(w)));
}

TEST_F(SetOutputWindowTest, TheCloseBoxAndCancelAnswerNotConfirmed) {
  for (int way = 0; way < 2; ++way) {
    bool closed = false;
    form_.ShowModal([&] { closed = true; });
    if (way == 0) gtk_window_close(window_->window());
    else gtk_button_clicked(GTK_BUTTON(Find("btnCancel")));
    ASSERT_TRUE(test::SpinUntil([&] { return closed; }));
    EXPECT_EQ(form_.confirmed(), 0);
    EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window_->window())));
  }
}

TEST_F(SetOutputWindowTest, BrowsingOpensTheFolderPickerOverTheDialog) {
  test::WriteFile(dir_ / "target/inner/f", "x");
  form_.ShowModal({});
  auto* entry = GTK_ENTRY(Find("edOutput"));
  const std::string target = dir_ / "target";

  struct Case {
    std::string typed;
    bool accept;
    std::string expected;
  };
  const Case cases[] = {
      {dir_.path(), true, target + "/"},
      {"/no/such/folder", false, "/no/such/folder"},
  };
  for (const auto& c : cases) {
    gtk_entry_set_text(entry, c.typed.c_str());
    gtk_button_clicked(GTK_BUTTON(Find("btnBrowser")));
    GtkWidget* picker = nullptr;
    ASSERT_TRUE(test::SpinUntil([&] { return (picker = gtk::FindToplevel(kFolderPickerName)) != nullptr; }));
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(picker)), "Select destination folder.");
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(picker)), window_->window());
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(picker)));
    EXPECT_EQ(gtk_file_chooser_get_action(GTK_FILE_CHOOSER(picker)), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
    if (c.accept) {
      gchar* current = nullptr;
      ASSERT_TRUE(test::SpinUntil([&] {
        g_free(current);
        current = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(picker));
        return current && std::string(current) + "/" == c.typed;
      })) << "opens on the typed folder";
      g_free(current);
      gtk_file_chooser_select_filename(GTK_FILE_CHOOSER(picker), target.c_str());
      ASSERT_TRUE(test::SpinUntil([&] {
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(picker));
        const bool selected = name && target == name;
        g_free(name);
        return selected;
      }));
      gtk_dialog_response(GTK_DIALOG(picker), GTK_RESPONSE_ACCEPT);
    } else {
      gtk_dialog_response(GTK_DIALOG(picker), GTK_RESPONSE_CANCEL);
    }
    ASSERT_TRUE(test::SpinUntil([&] { return gtk::FindToplevel(kFolderPickerName) == nullptr; }))
        << "the picker is freed";
    EXPECT_EQ(gtk_entry_get_text(entry), c.expected);
  }
}

}  // namespace
}  // namespace coffer
