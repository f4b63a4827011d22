#pragma once
// Test-side encoders for profile files, through the system's own converter
// (GLib's on Linux, the Windows code-page functions there), so that the
// reader is never checked against its own decoding.
#include <string>

namespace coffer::test {

// `utf8` in `charset` ("UTF-16LE" or "UTF-16BE"), and back. A text the
// converter refuses fails the current test and gives "".
std::string Encode(const std::string& utf8, const char* charset);
std::string Decode(const std::string& bytes, const char* charset);

// The character that starts at `text`, case-folded, as UTF-8.
std::string FoldedCharacter(const char* text);

// `lines` (LF-separated UTF-8) as a language file ships: UTF-16LE, BOM, CR LF.
inline std::string LanguageFileBytes(const std::string& lines) {
  std::string crlf;
  for (char c : lines) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return "\xFF\xFE" + Encode(crlf, "UTF-16LE");
}

}  // namespace coffer::test
