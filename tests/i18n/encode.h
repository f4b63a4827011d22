#pragma once
// Test-side encoders for profile files, through GLib's converter so that
// the reader is never checked against its own decoding.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>

namespace coffer::test {

inline std::string Encode(const std::string& utf8, const char* charset) {
  gsize written = 0;
  gchar* out = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), charset, "UTF-8", nullptr, &written, nullptr);
  EXPECT_NE(out, nullptr) << charset;
  std::string bytes = out ? std::string(out, written) : std::string();
  g_free(out);
  return bytes;
}

inline std::string Decode(const std::string& bytes, const char* charset) {
  gsize written = 0;
  gchar* out = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset, nullptr, &written, nullptr);
  EXPECT_NE(out, nullptr) << charset;
  std::string text = out ? std::string(out, written) : std::string();
  g_free(out);
  return text;
}

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
