// The test-side encoders through the Windows code-page functions.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/encode.h"

namespace coffer::test {
namespace {

bool BigEndian(const char* charset) {
  if (std::strcmp(charset, "UTF-16BE") == 0) return true;
  EXPECT_STREQ(charset, "UTF-16LE") << "no converter for this charset";
  return false;
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  EXPECT_GT(n, 0) << "not UTF-8";
  if (n <= 0) return {};
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  EXPECT_GT(n, 0) << "not UTF-16";
  if (n <= 0) return {};
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

}  // namespace

std::string Encode(const std::string& utf8, const char* charset) {
  const bool big = BigEndian(charset);
  std::string bytes;
  for (wchar_t unit : Wide(utf8)) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += big ? high : low;
    bytes += big ? low : high;
  }
  return bytes;
}

std::string Decode(const std::string& bytes, const char* charset) {
  const bool big = BigEndian(charset);
  EXPECT_EQ(bytes.size() % 2, 0u) << "an odd byte count";
  std::wstring w;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    w += static_cast<wchar_t>(big ? (first << 8 | second) : (second << 8 | first));
  }
  return Utf8(w);
}

std::string FoldedCharacter(const char* text) {
  const auto lead = static_cast<unsigned char>(*text);
  const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  std::wstring w = Wide(std::string(text, strnlen(text, length)));
  CharLowerBuffW(w.data(), static_cast<DWORD>(w.size()));
  return Utf8(w);
}

}  // namespace coffer::test
