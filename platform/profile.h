#pragma once
// The reader of INI-form "profile" files such as the language file, with
// the results of the Windows profile reader: section and key compare
// case-insensitively, blanks around keys and values are dropped, one pair
// of enclosing double quotes is removed, values are cut to 2,047
// characters (UTF-16 units), and lines starting with ";" are comments.
// Entries before the first section belong to the section named "".
// The file may be UTF-16LE or UTF-16BE with a byte-order mark, UTF-8 with
// or without one, or UTF-16LE without one; lines end in CR LF, LF or CR.
// Malformed text never fails: it reads as U+FFFD where it cannot be decoded.
#include <cstddef>
#include <string>
#include <string_view>

namespace coffer {

inline constexpr size_t kProfileValueMax = 2047;

// The value of `key` in `section` of the profile file at `path`, as UTF-8.
// `fallback` when the file cannot be read or holds no such key, and when
// the key stands without "=" (a key with "=" and nothing after it gives "").
// Only the first section of a name is searched, and its first such key.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback);

// The same on the bytes of a profile file already in memory.
std::string ProfileStringFromBytes(std::string_view bytes, std::string_view section, std::string_view key,
                                   std::string_view fallback);

}  // namespace coffer
