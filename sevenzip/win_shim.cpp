// The interface ids are defined here, once, from the library's own headers.
#define INITGUID
#include "sevenzip/win_shim.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <string_view>
#include <system_error>

#include "sevenzip/result.h"

namespace coffer::sevenzip {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

static_assert(sizeof(HRESULT) == 4 && sizeof(ULONG) == 4, "32-bit result codes and counts");

namespace {
// 1601-01-01 to 1970-01-01 in FILETIME units.
constexpr int64_t kFileTimeUnixEpoch = 116444736000000000LL;
}  // namespace

FILETIME FileTimeFromUnixNs(int64_t unix_ns) {
  const uint64_t ticks = static_cast<uint64_t>(unix_ns / 100 + kFileTimeUnixEpoch);
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

int64_t UnixNsFromFileTime(const FILETIME& time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  // Times an archive may hold lie far beyond what nanoseconds in 64 bits
  // reach (past the year 2262): those stop at the largest one.
  constexpr int64_t kMaxTicks = std::numeric_limits<int64_t>::max() / 100;
  const int64_t since_1970 =
      ticks > static_cast<uint64_t>(kMaxTicks) + kFileTimeUnixEpoch ? kMaxTicks
                                                                      : static_cast<int64_t>(ticks) - kFileTimeUnixEpoch;
  return since_1970 * 100;
}

std::wstring Widen(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    if (b < 0x80) { c = b; }
    else if (b >= 0xC2 && b < 0xE0) { c = b & 0x1F; extra = 1; }
    else if (b >= 0xE0 && b < 0xF0) { c = b & 0x0F; extra = 2; }
    else if (b >= 0xF0 && b < 0xF5) { c = b & 0x07; extra = 3; }
    else { out += static_cast<wchar_t>(kReplacement); ++i; continue; }
    size_t j = i + 1;
    for (; j <= i + extra; ++j) {
      if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80) break;
      c = (c << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
    }
    const bool complete = j == i + extra + 1;
    const bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (!complete || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += static_cast<wchar_t>(kReplacement);
      i = complete ? j : std::max(j, i + 1);
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
    i = j;
  }
  return out;
}

std::string Narrow(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    auto c = static_cast<char32_t>(wide[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) {
      const auto low = static_cast<char32_t>(wide[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string Narrow(const wchar_t* wide) { return wide ? Narrow(std::wstring_view(wide)) : std::string(); }

std::wstring ArchivePathFromEngine(std::wstring_view path, wchar_t separator) {
  std::wstring out(path);
  if (separator == L'/') return out;
  // The library's stand-in for a backslash inside a stored name.
  constexpr wchar_t kStoredBackslash = 0xF000 + L'\\';
  for (wchar_t& c : out) {
    if (c == separator) c = L'/';
    else if (c == kStoredBackslash) c = L'\\';
  }
  return out;
}

void PropValue::Clear() {
  if (value_.vt == VT_BSTR) FreeBstr(value_.bstrVal);
  value_.vt = VT_EMPTY;
}

std::string PropValue::Text() const {
  if (value_.vt != VT_BSTR || !value_.bstrVal) return {};
  return Narrow(std::wstring_view(value_.bstrVal, BstrByteLength(value_.bstrVal) / sizeof(wchar_t)));
}

std::string PropValue::PathText() const {
  if (value_.vt != VT_BSTR || !value_.bstrVal) return {};
  return Narrow(ArchivePathFromEngine(
      std::wstring_view(value_.bstrVal, BstrByteLength(value_.bstrVal) / sizeof(wchar_t))));
}

bool PropValue::Bool() const { return value_.vt == VT_BOOL && value_.boolVal != VARIANT_FALSE; }

uint64_t PropValue::UInt() const {
  switch (value_.vt) {
    case VT_UI8: return value_.uhVal.QuadPart;
    case VT_UI4: return value_.ulVal;
    case VT_UI2: return value_.uiVal;
    case VT_UI1: return value_.bVal;
    default: return 0;
  }
}

HRESULT ResultOfCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::system_error& e) {
    const int value = e.code().value();
    if (e.code().category() == EngineCategory() && value < 0) return value;
    if (value <= 0) return E_FAIL;
    // An errno in the library's errno form, as its Linux build makes them;
    // a system error code (errno on Linux, a Win32 code on Windows) as the
    // system's own HRESULT.
    if (e.code().category() == std::generic_category())
      return static_cast<HRESULT>(0x88000000u | (static_cast<uint32_t>(value) & 0xFFFF));
    if (e.code().category() == std::system_category()) return HRESULT_FROM_WIN32(value);
    return E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace coffer::sevenzip
