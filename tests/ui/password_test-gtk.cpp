#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/message_box.h"
#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "tests/ui/main_keys.h"
#include "ui/PasswordFrm.h"
#include "ui/PasswordFrmGtk.h"

namespace coffer {
namespace {

using test::FakePasswordView;
using test::ScratchDir;

class PasswordFormTest : public ::testing::Test {
 protected:
  void SetUp() override { i18n::WriteLanguageFile(dir_.path(), 0x0409); }
  void TearDown() override { i18n::SetLanguageFile(""); }
  ScratchDir dir_;
  TfrmPassword form_;
  FakePasswordView view_{form_};
};

TEST_F(PasswordFormTest, EveryShowingAppliesTheTextsAndClearsTheFlag) {
  for (int round = 0; round < 2; ++round) {
    form_.ShowModal({});
    EXPECT_EQ(view_.texts.caption, "Enter password");
    EXPECT_EQ(view_.texts.lblPassword, "Enter password:");
    EXPECT_EQ(view_.texts.chkDisplayPassword, "&Show password");
    EXPECT_EQ(view_.texts.btnOK, "OK");
    EXPECT_EQ(view_.texts.btnCancel, "Cancel");
    EXPECT_EQ(form_.confirmed(), 0);
    view_.text = "pw";
    form_.btnOKClick();
    EXPECT_EQ(form_.confirmed(), -1);
  }
}

TEST_F(PasswordFormTest, ABlankEntryIsRefusedWithEnterPasswordAndTheDialogStays) {
  for (const std::string& blank : {std::string(), std::string("   "), std::string("\t \r\n"),
                                  std::string("\x01\x1f ", 3), std::string(1, '\0')}) {
    bool closed = false;
    form_.ShowModal([&] { closed = true; });
    view_.text = blank;
    form_.btnOKClick();
    ASSERT_EQ(view_.messages.pending.size(), 1u);
    const MessageBoxSpec& box = view_.messages.pending[0].spec;
    EXPECT_EQ(box.caption, "Coffer");
    EXPECT_EQ(box.icon, MessageIcon::kInformation);
    EXPECT_EQ(box.buttons, MessageButtons::kOk);
    form_.btnOKClick();  // the box is modal: a second OK meanwhile asks nothing more
    EXPECT_EQ(view_.messages.pending.size(), 1u);
    EXPECT_EQ(view_.messages.Answer(), "Enter password");
    EXPECT_EQ(form_.confirmed(), 0);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(view_.visible);
    EXPECT_EQ(view_.text, blank);
    form_.btnCancelClick();
    EXPECT_TRUE(closed);
  }
}

TEST_F(PasswordFormTest, BlanksAroundOtherCharactersArePartOfThePassword) {
  for (const std::string typed : {" pw ", "\tsecret", "a b", "пароль ", "密码"}) {
    bool closed = false;
    form_.ShowModal([&] { closed = true; });
    view_.text = typed;
    form_.btnOKClick();
    EXPECT_TRUE(closed);
    EXPECT_EQ(form_.confirmed(), -1);
    EXPECT_EQ(form_.password_text(), typed);
    EXPECT_TRUE(view_.messages.pending.empty());
  }
}

TEST_F(PasswordFormTest, CancelAndTheCloseBoxLeaveTheFlagZero) {
  using Action = void (TfrmPassword::*)();
  for (Action close : {&TfrmPassword::btnCancelClick, &TfrmPassword::FormClose}) {
    int closes = 0;
    form_.ShowModal([&] { ++closes; });
    view_.text = "pw";
    (form_.*close)();
    form_.btnOKClick();
    EXPECT_EQ(form_.confirmed(), 0);
    EXPECT_EQ(closes, 1);
  }
}

TEST(TrimControlAndBlank, StripsEverythingUpToSpaceAtBothEnds) {
  const std::pair<std::string, std::string> cases[] = {
      {"  a b  ", "a b"}, {"\x01x\x1f", "x"}, {"   ", ""}, {"", ""}, {"\xc2\xa0x", "\xc2\xa0x"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TrimControlAndBlank(in), out);
}

class PasswordWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void SetUp() override { i18n::WriteLanguageFile(dir_.path(), 0x0409); }
  void TearDown() override { i18n::SetLanguageFile(""); }
  ScratchDir dir_;
  GtkWidget* Find(const char* name) { return gtk::FindByName(GTK_WIDGET(window_.window()), name); }
  TfrmPassword form_;
  PasswordWindow window_{form_};
};

TEST_F(PasswordWindowTest, MaskedEntryToggledByShowPasswordWithFocusInTheEntry) {
  form_.ShowModal({});
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::ToplevelVisible("frmPassword"); }));
  auto* entry = GTK_ENTRY(Find("edPassword"));
  auto* check = GTK_TOGGLE_BUTTON(Find("chkDisplayPassword"));
  EXPECT_STREQ(gtk_window_get_title(window_.window()), "Enter password");
  EXPECT_STREQ(gtk_window_get_role(window_.window()), "coffer-password");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(check)), "_Show password");
  EXPECT_TRUE(gtk_button_get_use_underline(GTK_BUTTON(check)));
  EXPECT_EQ(gtk_window_get_focus(window_.window()), GTK_WIDGET(entry));
  EXPECT_FALSE(gtk_entry_get_visibility(entry));
  EXPECT_EQ(gtk_entry_get_invisible_char(entry), gunichar('*'));
  gtk_entry_set_text(entry, " my secret ");
  for (bool on : {true, false, true, false}) {
    gtk_toggle_button_set_active(check, on);
    EXPECT_EQ(gtk_entry_get_visibility(entry), on);
    EXPECT_STREQ(gtk_entry_get_text(entry), " my secret ");
  }
}

TEST_F(PasswordWindowTest, TabGoesFromTheEntryStraightToOk) {
  form_.ShowModal({});
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::ToplevelVisible("frmPassword"); }));
  GtkWindow* w = window_.window();
  for (const char* name : {"btnOK", "btnCancel", "chkDisplayPassword", "edPassword"}) {
    test::PressKey(w, GDK_KEY_Tab);
    EXPECT_EQ(gtk_window_get_focus(w), Find(name)) << name;
  }
  test::PressKey(w, GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
  EXPECT_EQ(gtk_window_get_focus(w), Find("chkDisplayPassword"));
}

// No button has the cancel role: Escape leaves the dialog open, while the
// close box ends the question unanswered.
TEST_F(PasswordWindowTest, EscapeDoesNothingAndTheCloseBoxCloses) {
  bool closed = false;
  form_.ShowModal([&] { closed = true; });
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::ToplevelVisible("frmPassword"); }));
  gtk_entry_set_text(GTK_ENTRY(Find("edPassword")), "typed");
  test::PressKey(window_.window(), GDK_KEY_Escape);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window_.window())));
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Find("edPassword"))), "typed");
  gtk_window_close(window_.window());
  ASSERT_TRUE(test::SpinUntil([&] { return closed; }));
  EXPECT_EQ(form_.confirmed(), 0);
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window_.window())));
}

TEST_F(PasswordWindowTest, BlankOkShowsTheMessageBoxOverTheDialogAndTypedOkCloses) {
  bool closed = false;
  form_.ShowModal([&] { closed = true; });
  auto* entry = GTK_ENTRY(Find("edPassword"));
  gtk_entry_set_text(entry, "  ");
  gtk_button_clicked(GTK_BUTTON(Find("btnOK")));
  GtkWidget* box = nullptr;
  ASSERT_TRUE(test::SpinUntil([&] { return (box = gtk::FindToplevel(kMessageBoxName)) != nullptr; }));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(box)), window_.window());
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(box)));
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(box)), "Coffer");
  gchar* text = nullptr;
  g_object_get(box, "text", &text, nullptr);
  EXPECT_STREQ(text, "Enter password");
  g_free(text);
  gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  ASSERT_TRUE(test::SpinUntil([&] { return gtk::FindToplevel(kMessageBoxName) == nullptr; }));
  EXPECT_FALSE(closed);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window_.window())));
  EXPECT_EQ(gtk_window_get_focus(window_.window()), GTK_WIDGET(entry));

  gtk_entry_set_text(entry, " pw ");
  gtk_button_clicked(GTK_BUTTON(Find("btnOK")));
  EXPECT_TRUE(closed);
  EXPECT_EQ(form_.confirmed(), -1);
  EXPECT_EQ(form_.password_text(), " pw ");
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window_.window())));
}

}  // namespace
}  // namespace coffer
