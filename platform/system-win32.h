#pragma once
// What the Windows back end's files share: the system's headers (with the
// macros that would rename our own functions taken away), the UTF-8 to
// UTF-16 edge, long-path forms and the system's error texts.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace coffer::win32 {

// Our text is UTF-8; the system's is UTF-16. Invalid input becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

bool IsSeparator(wchar_t c);

// The full path of `path` in the form that has no length limit: absolute,
// "\" between components, "." and ".." resolved, and prefixed with "\\?\"
// (or "\\?\UNC\" for a share). Ends in "\" when `path` does. Empty when the
// system cannot make it absolute.
std::wstring LongPath(const std::string& path);

// `folder` (a LongPath, with or without a final "\") and `name` joined.
std::wstring Join(const std::wstring& folder, std::string_view name);

// The system's text for `code` (a Win32 error), without its final full
// stop and line end; "error N" when the system has none.
std::string ErrorText(DWORD code);

// FILETIME and nanoseconds since 1970 (UTC).
FILETIME FileTimeFromUnixNs(int64_t ns);
int64_t UnixNsFromFileTime(const FILETIME& time);

// Closes the handle when it goes.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { Close(); }
  Handle(Handle&& other) noexcept : h_(other.Release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.Release();
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE Release() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  void Close() {
    if (valid()) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// Opens an existing entry without following a reparse point (a symbolic
// link or junction is opened as itself), folders too.
Handle OpenEntry(const std::wstring& path, DWORD access, DWORD share);

// Deletes the entry at `path` itself: a link or junction goes, never what
// it leads to, and a folder only when empty.
bool DeleteEntryItself(const std::wstring& path);

// The attributes of the entry open as `h`; INVALID_FILE_ATTRIBUTES when
// the system does not tell.
DWORD AttributesOf(HANDLE h);

// The same for an entry opened by OpenEntry from `path`, with the reparse
// mark as the listing of its folder shows it too: Wine gives a link opened
// as itself no attributes at all.
DWORD EntryAttributesOf(HANDLE h, const std::wstring& path);

}  // namespace coffer::win32
