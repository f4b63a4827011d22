#pragma once
// The extractor as a whole: the three windows that exist from the start,
// created in order (progress window, output folder dialog, password
// dialog), and the progress window's first showing. The program entry runs
// one of these until its progress window has closed; tests drive one.
#include <cstdint>
#include <functional>

#include "ui/MainFrm.h"
#include "ui/MainFrmGtk.h"
#include "ui/PasswordFrm.h"
#include "ui/PasswordFrmGtk.h"
#include "ui/SetOutputFrm.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer {

// Makes the extraction worker, TThreaEncryptFile, as the job.
JobFactory ExtractionWorkerFactory();

class ExtractorApp {
 public:
  // `lang_id` chooses the language file; with Arabic the windows are laid
  // out right to left. `closed` runs when the progress window has closed.
  // `job` makes the job run once both questions are answered.
  ExtractorApp(uint16_t lang_id, std::function<void()> closed, JobFactory job = ExtractionWorkerFactory());
  ~ExtractorApp();
  ExtractorApp(const ExtractorApp&) = delete;
  ExtractorApp& operator=(const ExtractorApp&) = delete;

  // Shows the progress window for the first time (which starts the rest).
  void Start() { main_window_.Show(); }

  TfrmMain& main_form() { return main_form_; }
  MainWindow& main_window() { return main_window_; }
  SetOutputWindow& set_output_window() { return set_output_window_; }
  PasswordWindow& password_window() { return password_window_; }
  bool closed() const { return main_form_.closed(); }

 private:
  bool right_to_left_;
  TfrmSetOutput set_output_;
  TfrmPassword password_;
  TfrmMain main_form_;
  MainWindow main_window_;
  SetOutputWindow set_output_window_;
  PasswordWindow password_window_;
};

// The program: GTK set up without reading the command line, the system's
// language, one ExtractorApp run until it closes. Returns the exit status.
int RunExtractor();

}  // namespace coffer
