#pragma once
// The overwrite question as a Win32 dialog window over the behaviour of
// OverWriteFrm.h: client area 402 × 272, Tahoma 8 pt, centred over its
// owner, btnYes focused.
#include <functional>
#include <string>

#include "extract/job_host.h"
#include "platform/locale.h"
#include "platform/system-win32.h"

namespace coffer {

// Control identifiers (none is IDOK or IDCANCEL).
enum class OverWriteId {
  GroupBox1 = 101, Label1, lblFile, Label2, imgExists, lblExistsFile_Size, lblExistsFile_Time, Label5, imgNew,
  lblNewFile_Size, lblNewFile_Time, btnYes, btnYesAll, btnRename, btnNo, btnNoAll, btnCancel
};

// Builds a new dialog for one question, shows it modal over `owner` (which
// stays disabled meanwhile) and returns its window at once. `done` gets the
// answer after the window has been destroyed: by a button, by the close box
// (which answers Yes) or with its owner. The dialog frees itself.
HWND OpenOverwriteDialogWin32(HWND owner, const std::string& existing_file, const std::string& new_file,
                              std::function<void(OverwriteAnswer)> done,
                              const std::string& time_separator = UserTimeSeparator());

}  // namespace coffer
