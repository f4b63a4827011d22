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
  WORD date = 0, time = 0;
  // Fails for years the packed form cannot hold (before 1980, after 2107).
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToDosDateTime(&local, &date, &time))
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
