#include "platform/locale.h"
#include "platform/system-win32.h"

namespace coffer {

std::string UserTimeSeparator() {
  wchar_t buffer[8];
  const int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, 8);
  if (n <= 1) return ":";
  return win32::Narrow(std::wstring_view(buffer, static_cast<size_t>(n - 1)));
}

uint16_t SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

}  // namespace coffer
