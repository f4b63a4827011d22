#pragma once
// The library's Windows types, and the few helpers our side needs to meet
// them. The library's own headers come in here and only here (and only in
// sevenzip/): everything in this folder includes this file instead of them.
// On Windows those headers bring the system's own <windows.h> types; on
// Linux the library's imitation of them (its MyWindows.h).
//
// What the layout is in this library version (checked by the tests):
// - IUnknown has QueryInterface, AddRef and Release and no virtual
//   destructor, so an interface's own methods start at vtable slot 3;
// - every method has the system's COM calling convention (__stdcall on
//   32-bit Windows, the default elsewhere): our overrides say
//   STDMETHODCALLTYPE, or the two sides would disagree on who pops the
//   arguments;
// - HRESULT is a 32-bit int; on Linux errno values travel as 0x8800xxxx;
// - a BSTR points at its text, after a 32-bit byte length; the library
//   frees the BSTRs we hand out and we free the ones it hands us, so both
//   allocate alike: SysAllocString on Windows; on Linux malloc, as the
//   library's MyWindows.cpp does, with wchar_t units of 4 bytes.
#include "7zip/Archive/IArchive.h"
#include "7zip/IPassword.h"
#include "7zip/PropID.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "sevenzip/reader.h"

namespace coffer::sevenzip {

static_assert(sizeof(Guid) == sizeof(GUID), "our Guid is laid out as the library's");
inline const GUID& AsGuid(const Guid& g) { return *reinterpret_cast<const GUID*>(&g); }
inline const Guid& FromGuid(const GUID& g) { return *reinterpret_cast<const Guid*>(&g); }

// An item's attributes carry a Unix mode in their high 16 bits when this bit
// is set, as the library's own Linux build stores it.
inline constexpr uint32_t kAttribUnixExtension = 0x8000;

// FILETIME (100 ns units since 1601) <-> nanoseconds since 1970; a FILETIME
// past what 64-bit nanoseconds hold gives the largest value.
FILETIME FileTimeFromUnixNs(int64_t unix_ns);
int64_t UnixNsFromFileTime(const FILETIME& time);

// BSTR, allocated and freed as the library does it on this system.
BSTR AllocBstr(std::wstring_view text);  // nullptr when memory runs out
void FreeBstr(BSTR text);
uint32_t BstrByteLength(BSTR text);

// UTF-8 <-> the library's wchar_t text. The library keeps UTF-16 code
// units in its wchar_t strings on every system (a character beyond U+FFFF
// is a surrogate pair, also in the bytes it derives a key from, even where
// wchar_t has 32 bits), so we do the same; a UTF-32 value from outside is
// read as well. Each malformed UTF-8 sequence and each unpaired surrogate
// becomes one U+FFFD instead of being dropped.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
std::string Narrow(const wchar_t* wide);  // nullptr gives ""

// An item path as the handler gives it -> the path as the archive stores
// it, "/" between components. Where the system separator is "\" the
// handler turns each stored "/" into "\" and each stored "\" into
// U+F05C; that is undone here, so item paths read the same on every system.
std::wstring ArchivePathFromEngine(std::wstring_view path, wchar_t separator = WCHAR_PATH_SEPARATOR);

// The texts behind result codes that differ between systems. SystemText:
// the system's own message for the code (Windows' FormatMessageW), ""
// where it has none or keeps no such texts (Linux). ErrnoText: the text of
// the errno value the code wraps (0x8800xxxx, and on Linux also
// 0x8007xxxx), "" when it wraps none or the system does not know it.
std::string SystemText(uint32_t code);
std::string ErrnoText(uint32_t code);

// A PROPVARIANT that is cleared (its BSTR freed) when it goes.
class PropValue {
 public:
  PropValue() { value_.vt = VT_EMPTY; }
  ~PropValue() { Clear(); }
  PropValue(const PropValue&) = delete;
  PropValue& operator=(const PropValue&) = delete;

  PROPVARIANT* out() { Clear(); return &value_; }
  const PROPVARIANT& get() const { return value_; }
  void Clear();

  // Absent or of another type: "", false, 0.
  std::string Text() const;
  std::string PathText() const;  // Text(), as ArchivePathFromEngine gives it
  bool Bool() const;
  uint64_t UInt() const;

 private:
  PROPVARIANT value_;
};

// Turns the exception in flight (inside a catch block) into a result code
// for the library: errno values in the library's errno form, memory
// exhaustion as E_OUTOFMEMORY, anything else E_FAIL.
HRESULT ResultOfCurrentException() noexcept;

}  // namespace coffer::sevenzip
