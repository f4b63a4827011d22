#pragma once
// The extractor over the Win32 views (see app/extractor_app_of.h).
#include <cstdint>

#include "app/extractor_app_of.h"
#include "ui/MainFrmWin32.h"
#include "ui/PasswordFrmWin32.h"
#include "ui/SetOutputFrmWin32.h"

namespace coffer {

struct Win32Views {
  using Main = MainWindowWin32;
  using SetOutput = SetOutputWindowWin32;
  using Password = PasswordWindowWin32;
  static bool ChooseDirection(uint16_t lang_id);
  static SetOutputWindowWin32 MakeSetOutput(TfrmSetOutput& form, MainWindowWin32& main) {
    return SetOutputWindowWin32(form, main.hwnd());
  }
  static PasswordWindowWin32 MakePassword(TfrmPassword& form, MainWindowWin32& main) {
    return PasswordWindowWin32(form, main.hwnd());
  }
};

using ExtractorApp = ExtractorAppOf<Win32Views>;

// The program: per-monitor scaling declared, the system's language, one
// ExtractorApp run until it closes; no command line is read. Returns the
// exit status.
int RunExtractor();

}  // namespace coffer
