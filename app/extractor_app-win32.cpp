#include "app/extractor_app-win32.h"

#include <objbase.h>

#include "i18n/texts.h"
#include "platform/locale.h"
#include "platform/termination.h"

namespace coffer {

// Must run before any window is made: windows take the process's default
// layout when they are created.
bool Win32Views::ChooseDirection(uint16_t lang_id) {
  const bool rtl = i18n::LanguageResourceFor(lang_id) == "Lang_Arabic";
  ::SetProcessDefaultLayout(rtl ? LAYOUT_RTL : 0);
  return rtl;
}

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
