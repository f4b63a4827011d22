#include "platform/system-win32.h"

#include <cstdio>
#include <vector>

namespace coffer::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring LongPath(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.empty()) return {};
  if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const bool folder = IsSeparator(wide.back());
  // GetFullPathNameW resolves "." and "..", turns "/" into "\" and makes
  // the path absolute; it takes paths of any length.
  DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return {};
  full.resize(size);
  if (folder && full.back() != L'\\') full += L'\\';
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring Join(const std::wstring& folder, std::string_view name) {
  std::wstring out = folder;
  if (!out.empty() && out.back() != L'\\') out += L'\\';
  for (wchar_t c : Widen(name)) out += c == L'/' ? L'\\' : c;
  return out;
}

std::string ErrorText(DWORD code) {
  wchar_t buffer[256];
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                   buffer, 256, nullptr);
  std::wstring text(buffer, n);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
  if (!text.empty()) return Narrow(text);
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "error %lu", static_cast<unsigned long>(code));
  return fallback;
}

namespace {
// 100-nanosecond intervals from 1601 to 1970.
constexpr int64_t kEpochTicks = 116444736000000000LL;
}  // namespace

FILETIME FileTimeFromUnixNs(int64_t ns) {
  // Floor division, so that times before 1970 round the same way.
  int64_t ticks = ns / 100;
  if (ns % 100 < 0) --ticks;
  const auto value = static_cast<uint64_t>(ticks + kEpochTicks);
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(value);
  t.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return t;
}

int64_t UnixNsFromFileTime(const FILETIME& time) {
  const uint64_t value = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return (static_cast<int64_t>(value) - kEpochTicks) * 100;
}

Handle OpenEntry(const std::wstring& path, DWORD access, DWORD share) {
  return Handle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool DeleteEntryItself(const std::wstring& path) {
  const Handle h = OpenEntry(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (!h.valid()) return false;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return ::SetFileInformationByHandle(h.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

DWORD AttributesOf(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(h, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

DWORD EntryAttributesOf(HANDLE h, const std::wstring& path) {
  const DWORD attributes = AttributesOf(h);
  if (attributes == INVALID_FILE_ATTRIBUTES) return attributes;
  const DWORD listed = ::GetFileAttributesW(path.c_str());
  if (listed == INVALID_FILE_ATTRIBUTES) return attributes;
  return (listed & FILE_ATTRIBUTE_REPARSE_POINT) ? listed : attributes;
}

}  // namespace coffer::win32
