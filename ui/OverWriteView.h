#pragma once
// The overwrite question as a GTK dialog over the behaviour of
// OverWriteFrm.h. Widgets carry the control names (frmOverWrite, GroupBox1,
// Label1, lblFile, imgExists, btnYes, ...) so that tests can find them.
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "extract/job_host.h"
#include "platform/locale.h"

namespace coffer {

// Builds a new dialog for one question, shows it modal over `owner` (may be
// null) and returns its window at once. `done` receives the answer after
// the window has been destroyed: by a button, by the close box (which
// answers Yes) or with its owner. The dialog frees itself. Times are
// written with `time_separator`, normally the user's own.
GtkWidget* OpenOverwriteDialog(GtkWindow* owner, const std::string& existing_file, const std::string& new_file,
                               std::function<void(OverwriteAnswer)> done,
                               const std::string& time_separator = UserTimeSeparator());

// The question as the worker needs it: shows the dialog and returns its
// answer once the dialog is gone. Main thread only; it runs a nested main
// loop meanwhile, which is what lets the waiting worker's caller block.
OverwriteAnswer AskOverwrite(GtkWindow* owner, const std::string& existing_file, const std::string& new_file);

}  // namespace coffer
