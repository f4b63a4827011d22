#include "platform/file_info.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

// The directory entry of `path` as the system lists it.
bool FindEntry(const std::string& path, WIN32_FIND_DATAW* data) {
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  std::wstring wide = win32::LongPath(path);
  while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  const HANDLE find = ::FindFirstFileW(wide.c_str(), data);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  return true;
}

std::optional<FileTime> Packed(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME parts;
  WORD date = 0, time = 0;
  // The packed form holds the years 1980 to 2107 only. Windows refuses the
  // others; Wine wraps them round (2108 gives 1980), so they are kept out
  // here.
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &parts) || parts.wYear < 1980 ||
      parts.wYear > 2107 || !::FileTimeToDosDateTime(&local, &date, &time))
    return std::nullopt;
  return FileTime{1980 + (date >> 9), (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2};
}

}  // namespace

int64_t FileSize(const std::string& path) {
  WIN32_FIND_DATAW data;
  if (!FindEntry(path, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  return static_cast<int64_t>((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

std::optional<FileTime> FileModifiedTime(const std::string& path) {
  WIN32_FIND_DATAW data;
  if (!FindEntry(path, &data)) return std::nullopt;
  return Packed(data.ftLastWriteTime);
}

std::optional<FileTime> PackedLocalTime(int64_t seconds) {
  // Far outside the packed form's years, and the nanoseconds would not fit.
  if (seconds < -(int64_t{1} << 33) || seconds > (int64_t{1} << 33)) return std::nullopt;
  return Packed(win32::FileTimeFromUnixNs(seconds * 1000000000));
}

}  // namespace coffer
