// The test-side encoders through GLib's converter.
#include <glib.h>
#include <gtest/gtest.h>

#include "tests/support/encode.h"

namespace coffer::test {

std::string Encode(const std::string& utf8, const char* charset) {
  gsize written = 0;
  gchar* out = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), charset, "UTF-8", nullptr, &written, nullptr);
  EXPECT_NE(out, nullptr) << charset;
  std::string bytes = out ? std::string(out, written) : std::string();
  g_free(out);
  return bytes;
}

std::string Decode(const std::string& bytes, const char* charset) {
  gsize written = 0;
  gchar* out = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset, nullptr, &written, nullptr);
  EXPECT_NE(out, nullptr) << charset;
  std::string text = out ? std::string(out, written) : std::string();
  g_free(out);
  return text;
}

std::string FoldedCharacter(const char* text) {
  const char* next = g_utf8_next_char(text);
  gchar* folded = g_utf8_casefold(text, next - text);
  std::string out(folded);
  g_free(folded);
  return out;
}

}  // namespace coffer::test
