#include "app/extractor_app.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "i18n/texts.h"
#include "platform/locale.h"
#include "platform/paths.h"
#include "platform/termination.h"

namespace coffer {

// Must run before any window is built: widgets take the default direction
// when they are created.
bool GtkViews::ChooseDirection(uint16_t lang_id) {
  const bool rtl = i18n::LanguageResourceFor(lang_id) == "Lang_Arabic";
  gtk_widget_set_default_direction(rtl ? GTK_TEXT_DIR_RTL : GTK_TEXT_DIR_LTR);
  return rtl;
}

int RunExtractor() {
  // Null arguments: the program reads no command line, GTK's own options
  // included.
  if (!gtk_init_check(nullptr, nullptr)) {
    // GTK's check is silent; someone who started the file from a terminal
    // without a desktop would otherwise see nothing at all.
    const char* display = g_getenv("DISPLAY");
    std::fprintf(stderr, "%s: cannot open a window: %s%s; start it from the desktop\n",
                 FileNameOfPath(OwnExecutablePath()).c_str(),
                 display && *display ? "cannot open the display " : "no display", display && *display ? display : "");
    return 1;
  }
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  int ended_by = 0;  // the termination signal, if one came
  {
    ExtractorApp app(SystemDefaultLangId(), [loop] { g_main_loop_quit(loop); });
    // Ended by the system, the run ends as a confirmed cancel does: the job
    // stops, its unfinished item and the working folder go.
    WatchTermination([&app, &ended_by](int signal) {
      if (!ended_by) ended_by = signal;
      app.main_form().Terminate();
    });
    WatchDisplayLoss([&app] { app.main_form().EndWithoutWindows(); });
    app.Start();
    if (!app.closed()) g_main_loop_run(loop);
  }
  g_main_loop_unref(loop);
  if (ended_by) ExitBySignal(ended_by);
  return 0;
}

}  // namespace coffer
