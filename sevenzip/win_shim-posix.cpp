// The library's ABI as its Linux build has it: BSTRs malloc'd with the
// layout of its MyWindows.cpp (a 32-bit byte length before the text), 4-byte
// wchar_t, errno values inside result codes, and no system texts for them.
#include "sevenzip/win_shim.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace coffer::sevenzip {

static_assert(sizeof(wchar_t) == 4, "the library's wchar_t text is UTF-32 here");

BSTR AllocBstr(std::wstring_view text) {
  const size_t bytes = text.size() * sizeof(wchar_t);
  if (bytes > 0xFFFFFFF0u - sizeof(uint32_t) - sizeof(wchar_t)) return nullptr;
  void* block = std::malloc(sizeof(uint32_t) + bytes + sizeof(wchar_t));
  if (!block) return nullptr;
  *static_cast<uint32_t*>(block) = static_cast<uint32_t>(bytes);
  auto* chars = reinterpret_cast<wchar_t*>(static_cast<uint32_t*>(block) + 1);
  if (bytes) std::memcpy(chars, text.data(), bytes);
  chars[text.size()] = 0;
  return chars;
}

void FreeBstr(BSTR text) {
  if (text) std::free(reinterpret_cast<uint32_t*>(text) - 1);
}

uint32_t BstrByteLength(BSTR text) { return text ? *(reinterpret_cast<uint32_t*>(text) - 1) : 0; }

std::string SystemText(uint32_t) { return ""; }

std::string ErrnoText(uint32_t code) {
  const uint32_t facility = code & 0xFFFF0000u;
  if (facility != 0x88000000u && facility != 0x80070000u) return "";
  const int err = static_cast<int>(code & 0xFFFF);
  if (err == 0) return "";
  char buffer[256];
  // The GNU strerror_r returns its text, which need not be in `buffer`.
  const char* text = strerror_r(err, buffer, sizeof buffer);
  if (std::string_view(text).starts_with("Unknown error")) return "";
  return text;
}

}  // namespace coffer::sevenzip
