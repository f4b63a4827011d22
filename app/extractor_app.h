#pragma once
// The extractor over the GTK views (see app/extractor_app_of.h).
#include <cstdint>

#include "app/extractor_app_of.h"
#include "ui/MainFrmGtk.h"
#include "ui/PasswordFrmGtk.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer {

struct GtkViews {
  using Main = MainWindow;
  using SetOutput = SetOutputWindow;
  using Password = PasswordWindow;
  static bool ChooseDirection(uint16_t lang_id);
  static SetOutputWindow MakeSetOutput(TfrmSetOutput& form, MainWindow&) { return SetOutputWindow(form); }
  static PasswordWindow MakePassword(TfrmPassword& form, MainWindow&) { return PasswordWindow(form); }
};

using ExtractorApp = ExtractorAppOf<GtkViews>;

// The program: GTK set up without reading the command line, the system's
// language, one ExtractorApp run until it closes. Returns the exit status.
int RunExtractor();

}  // namespace coffer
