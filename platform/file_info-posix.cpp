#include "platform/file_info.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace coffer {

int64_t FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<int64_t>(st.st_size);
}

std::optional<FileTime> PackedLocalTime(int64_t seconds) {
  const auto t = static_cast<std::time_t>(seconds);
  std::tm tm {};
  if (::localtime_r(&t, &tm) == nullptr) return std::nullopt;
  const int year = tm.tm_year + 1900;
  if (year < 1980 || year > 2107) return std::nullopt;
  return FileTime{year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59) & ~1};
}

std::optional<FileTime> FileModifiedTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return PackedLocalTime(st.st_mtim.tv_sec);
}

}  // namespace coffer
