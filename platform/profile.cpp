#include "platform/profile.h"

#include "platform/profile_fold.h"

namespace coffer {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string Utf16FromBytes(std::string_view b, bool big_endian) {
  std::u16string out;
  out.reserve(b.size() / 2);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {  // an odd last byte is dropped
    const auto lo = static_cast<unsigned char>(b[i + (big_endian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(b[i + (big_endian ? 0 : 1)]);
    out += static_cast<char16_t>(lo | (hi << 8));
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int len = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    // A sequence broken off stands for one U+FFFD, lead and continuations alike.
    int k = 1;
    for (; len > 0 && k < len && i + k < s.size(); ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) break;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (len == 0 || k < len) {
      out += kReplacement;
      i += k;
      continue;
    }
    // Overlong forms, encoded surrogates and values past U+10FFFF are not text.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += kReplacement;
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::string Utf8FromUtf16(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (IsHigh(s[i]) && i + 1 < s.size() && IsLow(s[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (IsHigh(s[i]) || IsLow(s[i])) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string Decode(std::string_view b) {
  if (b.starts_with("\xFF\xFE")) return Utf16FromBytes(b.substr(2), false);
  if (b.starts_with("\xFE\xFF")) return Utf16FromBytes(b.substr(2), true);
  if (b.starts_with("\xEF\xBB\xBF")) return Utf16FromUtf8(b.substr(3));
  // Text in UTF-8 never holds a zero byte; UTF-16 text in Latin script is
  // full of them.
  if (b.find('\0') != std::string_view::npos) return Utf16FromBytes(b, false);
  return Utf16FromUtf8(b);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Folded(std::u16string_view s) { return ProfileCaseFolded(Utf8FromUtf16(s)); }

std::u16string_view Value(std::u16string_view v) {
  v = v.substr(0, v.find(u'\0'));  // the reader's result is a zero-ended string
  if (v.size() >= 2 && v.front() == u'"' && v.back() == u'"') v = v.substr(1, v.size() - 2);
  if (v.size() > kProfileValueMax) {
    v = v.substr(0, kProfileValueMax);
    // Never hand out half of a character cut in two.
    if (IsHigh(v.back())) v.remove_suffix(1);
  }
  return v;
}

}  // namespace

std::string ProfileStringFromBytes(std::string_view bytes, std::string_view section, std::string_view key,
                                   std::string_view fallback) {
  const std::u16string text = Decode(bytes);
  const std::string want_section = Folded(Trim(Utf16FromUtf8(section)));
  const std::string want_key = Folded(Trim(Utf16FromUtf8(key)));
  bool in_section = want_section.empty();
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of(u"\r\n");
    const std::u16string_view line = Trim(rest.substr(0, end));
    rest = end == std::u16string_view::npos ? std::u16string_view{} : rest.substr(end + 1);
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        // Only the first section of the name counts.
        if (in_section) break;
        in_section = Folded(Trim(line.substr(1, close - 1))) == want_section;
        continue;
      }
    }
    if (!in_section) continue;
    const size_t eq = line.find(u'=');
    if (Folded(Trim(line.substr(0, eq))) != want_key) continue;
    if (eq == std::u16string_view::npos) break;
    return Utf8FromUtf16(Value(Trim(line.substr(eq + 1))));
  }
  return std::string(fallback);
}

}  // namespace coffer
