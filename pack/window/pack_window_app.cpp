#include "pack/window/pack_window_app.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "app/extractor_app.h"
#include "app/files.h"
#include "app/working_folder.h"
#include "i18n/texts.h"
#include "pack/packer.h"
#include "pack/window/PackFrmGtk.h"
#include "platform/locale.h"
#include "platform/main_thread.h"
#include "platform/termination.h"

namespace coffer::pack {
namespace {

// The language file lives in a working folder of its own for the run, as
// the extractor's does.
class LanguageFolder {
 public:
  explicit LanguageFolder(uint16_t lang_id) : folder_(MakeWorkingFolder(kWorkingFolderNeed)) {
    i18n::WriteLanguageFile(folder_, lang_id);
  }
  ~LanguageFolder() { RemoveTree(folder_); }
  LanguageFolder(const LanguageFolder&) = delete;
  LanguageFolder& operator=(const LanguageFolder&) = delete;

 private:
  std::string folder_;
};

}  // namespace

int RunPackWindow() {
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "coffer-pack-window: no display to show the window on\n");
    return 1;
  }
  int ended_by = 0;  // the termination signal, if one came
  try {
    const uint16_t lang_id = SystemDefaultLangId();
    LanguageFolder language(lang_id);
    GtkViews::ChooseDirection(lang_id);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    {
      TfrmPack form(WindowsImageAvailable(), [](std::function<void()> fn) { PostToMainThread(std::move(fn)); });
      PackWindow window(form, [loop] { g_main_loop_quit(loop); });
      WatchTermination([&form, &ended_by](int signal) {
        if (!ended_by) ended_by = signal;
        form.Terminate();
      });
      WatchDisplayLoss([&form] { form.StopAndWait(); });
      window.Show();
      g_main_loop_run(loop);
    }
    g_main_loop_unref(loop);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "coffer-pack-window: %s\n", e.what());
    return 1;
  }
  if (ended_by) ExitBySignal(ended_by);  // once the language folder is gone
  return 0;
}

}  // namespace coffer::pack
