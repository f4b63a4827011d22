#include "ui/gtk_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/debug.h"
#include "platform/main_thread.h"
#include "tests/support/scratch.h"

namespace coffer::gtk {
namespace {

class GtkUtil : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
};

TEST_F(GtkUtil, SourceRepeatsUntilItsTickSaysStop) {
  Source source;
  int ticks = 0;
  source.Every(1, [&] { return ++ticks < 3; });
  ASSERT_TRUE(test::SpinUntil([&] { return !source.Active(); }));
  EXPECT_EQ(ticks, 3);
}

TEST_F(GtkUtil, SourceMayBeCancelledRestartedOrDestroyedInsideItsCallback) {
  int ticks = 0;
  Source restarted;
  restarted.Every(1, [&] {
    restarted.After(1, [&] { ticks += 10; });  // replaces the running source
    return true;
  });
  ASSERT_TRUE(test::SpinUntil([&] { return ticks == 10; }));
  EXPECT_FALSE(restarted.Active());

  auto* owned = new Source;
  bool ran = false;
  owned->After(1, [&] {
    ran = true;
    delete owned;
  });
  ASSERT_TRUE(test::SpinUntil([&] { return ran; }));
}

TEST_F(GtkUtil, CancelledSourceNeverRuns) {
  bool ran = false;
  {
    Source source;
    source.After(1, [&] { ran = true; });
  }
  Source other;
  other.After(1, [&] { ran = true; });
  other.Cancel();
  g_usleep(5000);
  while (g_main_context_iteration(nullptr, FALSE)) {}
  EXPECT_FALSE(ran);
}

TEST_F(GtkUtil, SignalsReachTheirHandlerAndAreFreedWithTheWidget) {
  OwnedWindow window(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  gtk_widget_set_name(window.get(), "frmTest");
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* button = gtk_button_new_with_label("b");
  GtkWidget* check = gtk_check_button_new();
  gtk_widget_set_name(button, "btnTest");
  gtk_widget_set_name(check, "chkTest");
  gtk_container_add(GTK_CONTAINER(box), button);
  gtk_container_add(GTK_CONTAINER(box), check);
  gtk_container_add(GTK_CONTAINER(window.get()), box);

  int clicks = 0;
  bool toggled = false;
  OnClicked(GTK_BUTTON(FindByName(window.get(), "btnTest")), [&] { ++clicks; });
  OnToggled(GTK_TOGGLE_BUTTON(check), [&](bool on) { toggled = on; });
  gtk_button_clicked(GTK_BUTTON(button));
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), TRUE);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(toggled);
  EXPECT_EQ(FindToplevel("frmTest"), window.get());
  EXPECT_EQ(FindToplevel("chkTest"), window.get());
  EXPECT_EQ(FindByName(window.get(), "nothing"), nullptr);
}

TEST_F(GtkUtil, MismatchedSignalSignatureAborts) {
  GtkWidget* button = gtk_button_new();
  g_object_ref_sink(button);
  EXPECT_DEATH(Signal<gboolean(GtkButton*)>::Connect(GTK_BUTTON(button), "clicked", [](GtkButton*) { return TRUE; }),
               "clicked");
  EXPECT_DEATH(Signal<void(GtkButton*)>::Connect(GTK_BUTTON(button), "no-such-signal", [](GtkButton*) {}),
               "no-such-signal");
  g_object_unref(button);
}

// GLib's C code cannot unwind: an exception of ours stops at its edge,
// traced, and the loop goes on.
TEST_F(GtkUtil, ExceptionsStopAtTheMainLoopsEdge) {
  std::vector<std::string> trace;
  ScopedDebugSink sink([&](const std::string& line) { trace.push_back(line); });
  GtkWidget* button = gtk_button_new();
  g_object_ref_sink(button);
  OnClicked(GTK_BUTTON(button), [] { throw std::runtime_error("from a click"); });
  gtk_button_clicked(GTK_BUTTON(button));
  g_object_unref(button);

  Source timer;
  int ticks = 0;
  timer.Every(1, [&]() -> bool {
    ++ticks;
    throw std::runtime_error("from a timer");
  });
  bool posted_after = false;
  PostToMainThread([] { throw std::runtime_error("from a posted call"); });
  PostToMainThread([&] { posted_after = true; });
  ASSERT_TRUE(test::SpinUntil([&] { return posted_after && !timer.Active(); }));
  EXPECT_EQ(ticks, 1) << "a failing timer stops";
  for (const char* what : {"from a click", "from a timer", "from a posted call"}) {
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(),
                            [&](const std::string& l) { return l.find(what) != std::string::npos; }))
        << what;
  }
}

}  // namespace
}  // namespace coffer::gtk
