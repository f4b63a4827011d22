// The library's ABI as it is on Windows: BSTRs are the system's own
// (the library frees ours with SysFreeString), wchar_t text is UTF-16, and
// the system has texts for result codes.
#include "sevenzip/win_shim.h"

#include <oleauto.h>

#include <cstring>
#include <string_view>

namespace coffer::sevenzip {

static_assert(sizeof(wchar_t) == 2, "the system's wchar_t text is UTF-16");

BSTR AllocBstr(std::wstring_view text) {
  if (text.size() > 0x7FFFFFF0u / sizeof(wchar_t)) return nullptr;
  return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void FreeBstr(BSTR text) { ::SysFreeString(text); }

uint32_t BstrByteLength(BSTR text) { return ::SysStringByteLen(text); }

std::string SystemText(uint32_t code) {
  // FORMAT_MESSAGE_FROM_SYSTEM | _IGNORE_INSERTS | _ARGUMENT_ARRAY, the
  // system's default language, a buffer of 256 characters.
  wchar_t buffer[256];
  const DWORD n = ::FormatMessageW(0x3200, nullptr, code, 0, buffer, 256, nullptr);
  return n ? Narrow(std::wstring_view(buffer, n)) : std::string();
}

std::string ErrnoText(uint32_t code) {
  if ((code & 0xFFFF0000u) != 0x88000000u) return "";
  const int err = static_cast<int>(code & 0xFFFF);
  char buffer[256];
  if (err == 0 || strerror_s(buffer, sizeof buffer, err) != 0) return "";
  if (std::string_view(buffer).starts_with("Unknown error")) return "";
  return buffer;
}

}  // namespace coffer::sevenzip
