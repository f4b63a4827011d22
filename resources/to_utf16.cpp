// Build tool: turns a UTF-8 text file with LF line ends into UTF-16LE with a
// byte-order mark and CR LF line ends, the form the language files ship in.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s INPUT OUTPUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  std::u16string out = u"\uFEFF";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > text.size()) {
      std::fprintf(stderr, "%s: not UTF-8 at byte %zu\n", argv[1], i);
      return 1;
    }
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += len;
    if (cp == U'\r') continue;
    if (cp == U'\n') out += u"\r\n";
    else if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else out += static_cast<char16_t>(cp);
  }
  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  for (char16_t u : out) {
    const char bytes[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    file.write(bytes, 2);
  }
  return file ? 0 : 1;
}
