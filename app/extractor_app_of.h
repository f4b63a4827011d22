#pragma once
// The extractor as a whole over one system's views: the three windows that
// exist from the start, created in order (progress window, output folder
// dialog, password dialog), and the progress window's first showing. The
// program entry runs one of these until its progress window has closed;
// tests drive one.
#include <cstdint>
#include <functional>
#include <utility>

#include "app/worker_job.h"
#include "platform/paths.h"
#include "ui/MainFrm.h"
#include "ui/PasswordFrm.h"
#include "ui/SetOutputFrm.h"

namespace coffer {

// `Views` is the system's set of windows: the types Main, SetOutput and
// Password; ChooseDirection(lang_id), which sets the layout every window
// made after it takes and says whether that is right to left; and
// MakeSetOutput(form, main) and MakePassword(form, main), which make the
// two dialogs over the progress window.
template <class Views>
class ExtractorAppOf {
 public:
  using MainView = typename Views::Main;
  using SetOutputView = typename Views::SetOutput;
  using PasswordView = typename Views::Password;

  // `lang_id` chooses the language file; with Arabic the windows are laid
  // out right to left. `closed` runs when the progress window has closed.
  // `job` makes the job run once both questions are answered.
  ExtractorAppOf(uint16_t lang_id, std::function<void()> closed, JobFactory job = ExtractionWorkerFactory())
      : right_to_left_(Views::ChooseDirection(lang_id)),
        set_output_(FolderOfPath(OwnExecutablePath())),
        main_form_(set_output_, password_, lang_id, std::move(job)),
        main_window_(main_form_, std::move(closed)),
        set_output_window_(Views::MakeSetOutput(set_output_, main_window_)),
        password_window_(Views::MakePassword(password_, main_window_)) {}
  ExtractorAppOf(const ExtractorAppOf&) = delete;
  ExtractorAppOf& operator=(const ExtractorAppOf&) = delete;

  // Shows the progress window for the first time (which starts the rest).
  void Start() { main_window_.Show(); }

  TfrmMain& main_form() { return main_form_; }
  MainView& main_window() { return main_window_; }
  SetOutputView& set_output_window() { return set_output_window_; }
  PasswordView& password_window() { return password_window_; }
  bool closed() const { return main_form_.closed(); }

 private:
  bool right_to_left_;
  TfrmSetOutput set_output_;
  TfrmPassword password_;
  TfrmMain main_form_;
  MainView main_window_;
  SetOutputView set_output_window_;
  PasswordView password_window_;
};

}  // namespace coffer
