#pragma once
// Which archive item paths may be joined below an output folder on
// Windows. A pure rule, the same on every build, so that it is tested
// everywhere; the Windows back end refuses what it rejects before it
// touches the file system. All in this header: it belongs to no system.
#include <array>
#include <string_view>

namespace coffer {

// True when `rel` (UTF-8) names something inside a folder on Windows. Both
// "/" and "\" separate components there, so both count as separators.
// Refused: an empty path or component, a leading separator (covers "\",
// "\\server\share" and "\\?\"), any ":" (a drive letter as in "C:\" and
// "C:x", or an alternate data stream as in "a.txt:evil"), "." and ".."
// components, a component that ends in a dot or a space (Windows drops
// those, so the name on disk would not be the one checked), a reserved
// device name with or without extension in any case (CON, PRN, AUX, NUL,
// COM0-COM9, LPT0-LPT9, also with the superscript digits 1-3, CONIN$,
// CONOUT$), characters Windows does not allow in names (< > " | ? * and
// control characters), and NUL bytes.
bool IsSafeWindowsItemPath(std::string_view rel);

namespace item_name_detail {

inline bool IsSeparator(char c) { return c == '/' || c == '\\'; }

inline char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// Windows opens the device whatever follows the name's first dot, and it
// drops blanks before that dot ("NUL .txt" is NUL too).
inline bool IsDeviceName(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kPlain)
    if (EqualsIgnoringCase(name, device)) return true;
  if (name.size() < 4) return false;
  const std::string_view stem = name.substr(0, 3);
  if (!EqualsIgnoringCase(stem, "COM") && !EqualsIgnoringCase(stem, "LPT")) return false;
  const std::string_view digit = name.substr(3);
  // 0 to 9, or the superscripts one, two and three (UTF-8).
  return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
         digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

inline bool IsForbiddenCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u < 0x20) return true;
  switch (c) {
    case '<': case '>': case '"': case '|': case '?': case '*': case ':': return true;
    default: return false;
  }
}

inline bool IsSafeComponent(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;  // also "." and ".."
  for (char c : name)
    if (IsForbiddenCharacter(c)) return false;
  return !IsDeviceName(name);
}

}  // namespace item_name_detail

inline bool IsSafeWindowsItemPath(std::string_view rel) {
  if (rel.empty() || item_name_detail::IsSeparator(rel.front())) return false;
  size_t start = 0;
  while (true) {
    size_t end = start;
    while (end < rel.size() && !item_name_detail::IsSeparator(rel[end])) ++end;
    if (!item_name_detail::IsSafeComponent(rel.substr(start, end - start))) return false;
    if (end == rel.size()) return true;
    start = end + 1;
  }
}

}  // namespace coffer
