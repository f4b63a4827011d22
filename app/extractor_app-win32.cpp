#include "app/extractor_app-win32.h"

#include <objbase.h>

#include "extract/worker.h"
#include "i18n/texts.h"
#include "platform/locale.h"
#include "platform/paths.h"
#include "platform/termination.h"

namespace coffer {
namespace {

// Must run before any window is made: windows take the process's default
// layout when they are created.
bool ChooseDirection(uint16_t lang_id) {
  const bool rtl = i18n::LanguageResourceFor(lang_id) == "Lang_Arabic";
  ::SetProcessDefaultLayout(rtl ? LAYOUT_RTL : 0);
  return rtl;
}

class WorkerJob final : public RunningJob {
 public:
  WorkerJob(const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host)
      : worker_(in, record, pause, host) {}
  void Start() override { worker_.Start(); }
  void Join() override { worker_.Join(); }

 private:
  TThreaEncryptFile worker_;
};

}  // namespace

JobFactory ExtractionWorkerFactory() {
  return [](const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host) {
    return std::make_unique<WorkerJob>(in, record, pause, host);
  };
}

ExtractorApp::ExtractorApp(uint16_t lang_id, std::function<void()> closed, JobFactory job)
    : right_to_left_(ChooseDirection(lang_id)),
      set_output_(FolderOfPath(OwnExecutablePath())),
      main_form_(set_output_, password_, lang_id, std::move(job)),
      main_window_(main_form_, std::move(closed)),
      set_output_window_(set_output_, main_window_.hwnd()),
      password_window_(password_, main_window_.hwnd()) {}

ExtractorApp::~ExtractorApp() = default;

int RunExtractor() {
  // Positions are given at 96 DPI and scaled: the system must not stretch
  // the windows' pixels a second time.
  ::SetProcessDPIAware();
  // The folder browser and the shell's icons want a single-threaded
  // apartment on the window thread.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int ended_by = 0;  // the session's end, if it came
  {
    ExtractorApp app(SystemDefaultLangId(), [] { ::PostQuitMessage(0); });
    // Ended by the system, the run ends as a confirmed cancel does: the job
    // stops, its unfinished item and the working folder go.
    WatchTermination([&app, &ended_by](int signal) {
      if (!ended_by) ended_by = signal;
      app.main_form().Terminate();
    });
    app.Start();
    if (!app.closed()) win32::RunMessageLoop();
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  if (ended_by) ExitBySignal(ended_by);
  return 0;
}

}  // namespace coffer
