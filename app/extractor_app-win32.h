#pragma once
// The extractor as a whole on Windows: the three windows that exist from
// the start, created in order (progress window, output folder dialog,
// password dialog), and the progress window's first showing. The program
// entry runs one of these until its progress window has closed.
#include <cstdint>
#include <functional>

#include "ui/MainFrm.h"
#include "ui/MainFrmWin32.h"
#include "ui/PasswordFrm.h"
#include "ui/PasswordFrmWin32.h"
#include "ui/SetOutputFrm.h"
#include "ui/SetOutputFrmWin32.h"

namespace coffer {

// Makes the extraction worker, TThreaEncryptFile, as the job.
JobFactory ExtractionWorkerFactory();

class ExtractorApp {
 public:
  // `lang_id` chooses the language file; with Arabic the windows are laid
  // out right to left. `closed` runs when the progress window has closed.
  ExtractorApp(uint16_t lang_id, std::function<void()> closed, JobFactory job = ExtractionWorkerFactory());
  ~ExtractorApp();
  ExtractorApp(const ExtractorApp&) = delete;
  ExtractorApp& operator=(const ExtractorApp&) = delete;

  // Shows the progress window for the first time (which starts the rest).
  void Start() { main_window_.Show(); }

  TfrmMain& main_form() { return main_form_; }
  MainWindowWin32& main_window() { return main_window_; }
  SetOutputWindowWin32& set_output_window() { return set_output_window_; }
  PasswordWindowWin32& password_window() { return password_window_; }
  bool closed() const { return main_form_.closed(); }

 private:
  bool right_to_left_;
  TfrmSetOutput set_output_;
  TfrmPassword password_;
  TfrmMain main_form_;
  MainWindowWin32 main_window_;
  SetOutputWindowWin32 set_output_window_;
  PasswordWindowWin32 password_window_;
};

// The program: per-monitor scaling declared, the system's language, one
// ExtractorApp run until it closes; no command line is read. Returns the
// exit status.
int RunExtractor();

}  // namespace coffer
