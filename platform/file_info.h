#pragma once
// What the overwrite dialog shows about a file: its size and its
// last-write time in the two-second form (its icon: platform/file_icon.h).
#include <cstdint>
#include <optional>
#include <string>

namespace coffer {

// The byte count of the file at `path` (links followed), 64-bit; 0 when
// there is no such file or it is not a regular file.
int64_t FileSize(const std::string& path);

// A local date and time as the packed two-second form holds it.
struct FileTime {
  int year = 0;    // 1980 to 2107
  int month = 0;   // 1 to 12
  int day = 0;     // 1 to 31
  int hour = 0;    // 0 to 23
  int minute = 0;  // 0 to 59
  int second = 0;  // 0 to 58, always even
  friend bool operator==(const FileTime&, const FileTime&) = default;
};

// The last-write time of `path` in local time, seconds rounded down to
// even. Nothing when the file is missing or the year lies outside 1980 to
// 2107, which the packed form cannot hold.
std::optional<FileTime> FileModifiedTime(const std::string& path);

// The local time of `seconds` since the epoch in the same form and range.
std::optional<FileTime> PackedLocalTime(int64_t seconds);

}  // namespace coffer
