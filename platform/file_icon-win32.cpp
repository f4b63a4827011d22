#include "platform/file_icon-win32.h"

#include <shellapi.h>

namespace coffer {

HICON FileIcon(const std::string& path) {
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(win32::Widen(path).c_str(), 0, &info, sizeof info, SHGFI_ICON) == 0) return nullptr;
  return info.hIcon;
}

}  // namespace coffer
