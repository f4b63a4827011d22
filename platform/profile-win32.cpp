#include "platform/profile.h"
#include "platform/profile_fold.h"
#include "platform/system-win32.h"

namespace coffer {

std::string ProfileCaseFolded(const std::string& utf8) {
  std::wstring wide = win32::Widen(utf8);
  if (!wide.empty()) ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return win32::Narrow(wide);
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback) {
  // The system's reader looks for a bare name in the Windows folder.
  if (path.empty()) return std::string(fallback);
  const std::wstring file = win32::Widen(path);
  if (::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY) return std::string(fallback);
  wchar_t buffer[kProfileValueMax + 1];
  const std::wstring wide_default = win32::Widen(fallback);
  const DWORD n = ::GetPrivateProfileStringW(win32::Widen(section).c_str(), win32::Widen(key).c_str(),
                                             wide_default.c_str(), buffer, kProfileValueMax + 1, file.c_str());
  return win32::Narrow(std::wstring_view(buffer, n));
}

}  // namespace coffer
