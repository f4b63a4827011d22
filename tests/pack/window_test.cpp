// The packing window: its refusals before anything is written, and the GTK
// window driven as a user would, the file it makes unpacked by the
// extractor's own job and compared.
#include <gtk/gtk.h>

#include "i18n/texts.h"
#include "pack/window/PackFrmGtk.h"
#include "platform/folder_picker.h"
#include "platform/main_thread.h"
#include "tests/pack/pack_fixture.h"

namespace coffer::pack::test {
namespace {

class PackWindowTest : public PackTest {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void SetUp() override {
    PackTest::SetUp();
    i18n::WriteLanguageFile(dir_ / "tmp/", 0x0409);
    form_.set_extractor(dir_ / "stand-in");
  }
  void TearDown() override { i18n::SetLanguageFile(""); }

  GtkWidget* Find(const char* name) { return gtk::FindByName(GTK_WIDGET(window_.window()), name); }
  void Type(const char* entry, const std::string& text) { gtk_entry_set_text(GTK_ENTRY(Find(entry)), text.c_str()); }
  void Click(const char* button) { gtk_button_clicked(GTK_BUTTON(Find(button))); }
  // The text of the message box that comes next; answers it with `response`.
  std::string Answer(int response) {
    GtkWidget* box = nullptr;
    EXPECT_TRUE(coffer::test::SpinUntil([&] { return (box = gtk::FindToplevel(kMessageBoxName)) != nullptr; }, 60000));
    if (!box) return {};
    gchar* text = nullptr;
    g_object_get(box, "text", &text, nullptr);
    const std::string result = text ? text : "";
    g_free(text);
    gtk_dialog_response(GTK_DIALOG(box), response);
    EXPECT_TRUE(coffer::test::SpinUntil([&] { return gtk::FindToplevel(kMessageBoxName) == nullptr; }));
    return result;
  }
  void AddFolder(const std::string& folder) {
    Click("btnAddFolder");
    GtkWidget* picker = nullptr;
    ASSERT_TRUE(coffer::test::SpinUntil([&] { return (picker = gtk::FindToplevel(kFolderPickerName)) != nullptr; }));
    gtk_file_chooser_select_filename(GTK_FILE_CHOOSER(picker), folder.c_str());
    ASSERT_TRUE(coffer::test::SpinUntil([&] {
      gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(picker));
      const bool selected = name && folder == name;
      g_free(name);
      return selected;
    }));
    gtk_dialog_response(GTK_DIALOG(picker), GTK_RESPONSE_ACCEPT);
    ASSERT_TRUE(coffer::test::SpinUntil([&] { return gtk::FindToplevel(kFolderPickerName) == nullptr; }));
  }
  // Unpacks `file` with the extractor's job into o/.
  std::string Unpacked(const std::string& file) {
    std::string out;
    Sh("rm -rf " + Quote(dir_ / "o"));
    EXPECT_EQ(Pack("--extract " + file + " -o o --overwrite never --password-file pw", &out), 0) << out;
    return dir_ / ("o/" + file.substr(0, file.find('.')));
  }

  TfrmPack form_{false, [](std::function<void()> fn) { PostToMainThread(std::move(fn)); }};
  bool closed_ = false;
  PackWindow window_{form_, [this] { closed_ = true; }};
};

TEST_F(PackWindowTest, RefusalsBeforeAnythingIsWritten) {
  WriteFile(dir_ / "taken.run", "already here");
  const PackInput good{{dir_ / "src"}, "fine", dir_.path(), kPassword, kPassword, false, false};
  const struct {
    std::function<void(PackInput&)> change;
    std::string refusal;
  } cases[] = {
      {[](PackInput&) {}, ""},
      {[](PackInput& in) { in.sources.clear(); }, i18n::Text("04000030")},
      {[](PackInput& in) { in.name = " "; }, i18n::Text("04000031")},
      {[](PackInput& in) { in.name = "a/b"; }, i18n::Text("04000031")},
      {[&](PackInput& in) { in.folder = dir_ / "gone"; }, i18n::Format(i18n::Text("04000032"), dir_ / "gone")},
      {[](PackInput& in) { in.password = in.repeat = " \t"; }, i18n::Text("04000033")},
      {[](PackInput& in) { in.repeat = "pass word"; }, i18n::Text("02000B10")},
      {[](PackInput& in) { in.name = "taken"; }, i18n::Format(i18n::Text("04000034"), dir_ / "taken.run")},
      {[](PackInput& in) { in.name = "taken", in.windows = true; }, ""},  // taken.exe is free
  };
  for (const auto& c : cases) {
    PackInput input = good;
    c.change(input);
    EXPECT_EQ(CheckInput(input), c.refusal) << input.name;
  }
}

// Each figure is isolated, so that a right-to-left sentence keeps a number
// and its unit together.
TEST_F(PackWindowTest, ProgressLineFigures) {
  const auto iso = [](const std::string& s) { return "\u2068" + s + "\u2069"; };
  const struct {
    uint64_t total, done;
    double elapsed;
    std::string line;
  } cases[] = {
      {2 << 20, 0, 0, iso("0 B") + " of " + iso("2 MB")},
      {4 << 20, 1 << 20, 2, iso("1 MB") + " of " + iso("4 MB") + "   Speed: " + iso("512 KB/s") +
                                "   Remaining time: " + iso("00:00:06")},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.total, c.done, c.elapsed), c.line) << c.done;
}

// The progress line begins with a figure; in a right-to-left window it is
// still laid out from the right (Pango would take the figure's direction).
TEST_F(PackWindowTest, ProgressLineTakesTheWindowsDirection) {
  for (const GtkTextDirection direction : {GTK_TEXT_DIR_RTL, GTK_TEXT_DIR_LTR}) {
    gtk_widget_set_default_direction(direction);
    TfrmPack form{false, [](std::function<void()>) {}};
    PackWindow window{form, {}};
    window.ShowProgress(0.5, "1 MB");
    GtkLabel* label = GTK_LABEL(gtk::FindByName(GTK_WIDGET(window.window()), "lblProgress"));
    PangoLayout* layout = gtk_label_get_layout(label);
    const PangoDirection laid = pango_layout_get_direction(layout, 0);
    EXPECT_EQ(laid, direction == GTK_TEXT_DIR_RTL ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
  }
}

TEST_F(PackWindowTest, CreateAsAUserWould) {
  window_.Show();
  ASSERT_TRUE(coffer::test::SpinUntil([] { return gtk::ToplevelVisible("frmPack"); }));
  AddFolder(dir_ / "src");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Find("edName"))), "src");
  EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(Find("edFolder"))), dir_.path());
  EXPECT_FALSE(gtk_widget_get_sensitive(Find("rbWindows"))) << "no Windows image here";
  Type("edName", "made");
  Type("edPassword", "Sommer2024");
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(Find("lblAdvice"))), i18n::Text("04000022"));
  Type("edPassword", kPassword);
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(Find("lblAdvice"))), i18n::Text("04000023"));
  Type("edRepeat", "something else");
  Click("btnCreate");
  EXPECT_EQ(Answer(GTK_RESPONSE_OK), "Passwords do not match");
  EXPECT_FALSE(Exists(dir_ / "made.run"));

  Type("edRepeat", kPassword);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Find("chkHideNames")), TRUE);
  Click("btnCreate");
  const std::string done = Answer(GTK_RESPONSE_CANCEL);  // Close, not "Open folder"
  EXPECT_NE(done.find("The file is ready:\n" + (dir_ / "made.run")), std::string::npos) << done;
  EXPECT_NE(done.find("Allow executing file as program"), std::string::npos) << done;
  EXPECT_EQ(TreeContents(Unpacked("made.run")), TreeContents(dir_ / "src"));
  std::string out;
  EXPECT_EQ(Pack("--list made.run", &out), 1) << "names hidden: " << out;

  Click("btnClose");
  EXPECT_TRUE(closed_);
}

TEST_F(PackWindowTest, UnpackableEntriesAskAndCancelLeavesNothing) {
  window_.Show();
  WriteFile(dir_ / "tree/kept.txt", "kept\n");
  Sh("ln -s nowhere " + Quote(dir_ / "tree/dangling"));
  AddFolder(dir_ / "tree");
  Type("edPassword", kPassword);
  Type("edRepeat", kPassword);
  Click("btnCreate");
  const std::string question = Answer(GTK_RESPONSE_OK);  // leave it out
  EXPECT_NE(question.find(dir_ / "tree/dangling: the link leads nowhere"), std::string::npos) << question;
  EXPECT_NE(Answer(GTK_RESPONSE_CANCEL).find("The file is ready"), std::string::npos);
  EXPECT_EQ(TreeContents(Unpacked("tree.run")), (std::vector<std::pair<std::string, std::string>>{{"kept.txt", "kept\n"}}));

  WriteFile(dir_ / "big/noise.bin", coffer::test::RandomBytes(size_t{8} << 20, 4));
  form_.RemoveSource(0);
  AddFolder(dir_ / "big");
  Type("edName", "stopped");
  const auto before = TopLevel();
  Click("btnCreate");
  ASSERT_TRUE(gtk_widget_get_visible(Find("btnCancel")));
  Click("btnCancel");
  EXPECT_EQ(Answer(GTK_RESPONSE_OK), "Packing was cancelled; nothing was written.");
  EXPECT_EQ(TopLevel(), before);

  // The close box while packing asks first; confirmed, the job stops and
  // then the window closes.
  Click("btnCreate");
  gboolean handled = FALSE;
  g_signal_emit_by_name(window_.window(), "delete-event", nullptr, &handled);
  EXPECT_FALSE(closed_);
  EXPECT_EQ(Answer(GTK_RESPONSE_OK), "Stop packing? Nothing will be written.");
  EXPECT_TRUE(coffer::test::SpinUntil([&] { return closed_; }));
  EXPECT_EQ(TopLevel(), before);

  // Ended by the system, as that confirmed close without the question.
  closed_ = false;
  Click("btnCreate");
  form_.Terminate();
  EXPECT_TRUE(coffer::test::SpinUntil([&] { return closed_; }));
  EXPECT_EQ(gtk::FindToplevel(kMessageBoxName), nullptr);
  EXPECT_EQ(TopLevel(), before);
}

TEST_F(PackWindowTest, ForWindowsRecipientsWhereTheImageIsThere) {
  if (!WindowsImageAvailable()) GTEST_SKIP() << "no Windows build beside this one";
  TfrmPack form{true, [](std::function<void()> fn) { PostToMainThread(std::move(fn)); }};
  PackWindow window{form, {}};
  window.Show();
  form.AddSources({dir_ / "src"});
  auto find = [&](const char* name) { return gtk::FindByName(GTK_WIDGET(window.window()), name); };
  for (const char* entry : {"edPassword", "edRepeat"}) gtk_entry_set_text(GTK_ENTRY(find(entry)), kPassword);
  ASSERT_TRUE(gtk_widget_get_sensitive(find("rbWindows")));
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(find("rbWindows")), TRUE);
  gtk_button_clicked(GTK_BUTTON(find("btnCreate")));
  const std::string done = Answer(GTK_RESPONSE_CANCEL);
  EXPECT_NE(done.find(dir_ / "src.exe"), std::string::npos) << done;
  EXPECT_NE(done.find("A Windows recipient just starts the file."), std::string::npos) << done;
  EXPECT_EQ(ReadFile(dir_ / "src.exe").substr(0, 2), "MZ");
  EXPECT_EQ(TreeContents(Unpacked("src.exe")), TreeContents(dir_ / "src"));
}

// What the file manager hands over on a drop: a URI list, as selection
// data from a clipboard this test owns.
TEST_F(PackWindowTest, DroppedFilesAndFoldersAreAdded) {
  const std::string uris = "file://" + (dir_ / "src") + "\r\nfile://" + (dir_ / "pw") + "\r\n";
  GtkClipboard* clipboard = gtk_clipboard_get(gdk_atom_intern_static_string("COFFER_TEST_DROP"));
  GtkTargetEntry target = {const_cast<gchar*>("text/uri-list"), 0, 0};
  gtk_clipboard_set_with_data(
      clipboard, &target, 1,
      [](GtkClipboard*, GtkSelectionData* data, guint, gpointer list) {
        const auto& text = *static_cast<const std::string*>(list);
        gtk_selection_data_set(data, gdk_atom_intern_static_string("text/uri-list"), 8,
                               reinterpret_cast<const guchar*>(text.data()), static_cast<gint>(text.size()));
      },
      nullptr, const_cast<std::string*>(&uris));
  GtkSelectionData* data = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern_static_string("text/uri-list"));
  ASSERT_NE(data, nullptr);
  GtkWidget* area = gtk_widget_get_parent(gtk_widget_get_parent(Find("lstSources")));  // list, viewport, scrolled
  g_signal_emit_by_name(area, "drag-data-received", nullptr, 0, 0, data, 0u, 0u);
  gtk_selection_data_free(data);
  gtk_clipboard_clear(clipboard);
  EXPECT_EQ(form_.sources(), (std::vector<std::string>{dir_ / "src", dir_ / "pw"}));
}

// The window may go while its job runs (the program ends): the job stops,
// and its end, still queued for the main loop, must find nothing to touch.
TEST_F(PackWindowTest, AWindowGoneWhilePackingLeavesNothing) {
  WriteFile(dir_ / "big/noise.bin", coffer::test::RandomBytes(size_t{8} << 20, 5));
  const auto before = TopLevel();
  {
    TfrmPack form{false, [](std::function<void()> fn) { PostToMainThread(std::move(fn)); }};
    form.set_extractor(dir_ / "stand-in");
    PackWindow window{form, {}};
    window.Show();
    form.AddSources({dir_ / "big"});
    for (const char* entry : {"edPassword", "edRepeat"})
      gtk_entry_set_text(GTK_ENTRY(gtk::FindByName(GTK_WIDGET(window.window()), entry)), kPassword);
    form.btnCreateClick();
    ASSERT_TRUE(form.busy());
  }
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_EQ(TopLevel(), before);
}

}  // namespace
}  // namespace coffer::pack::test
