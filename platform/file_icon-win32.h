#pragma once
// The shell's icon for a file, as the overwrite dialog shows it.
#include "platform/system-win32.h"

#include <string>

namespace coffer {

// The large icon (the system's size, normally 32 × 32) the shell shows for
// the file at `path`: a new handle for the caller to destroy, or null when
// the shell has none.
HICON FileIcon(const std::string& path);

}  // namespace coffer
