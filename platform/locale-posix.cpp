#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "platform/locale.h"

namespace coffer {

std::string UserTimeSeparator() {
  // The environment's time locale itself, whatever the process's global
  // locale is (GTK sets it, a test may not have).
  const locale_t time_locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (time_locale == static_cast<locale_t>(nullptr)) return ":";
  std::string separator =
      TimeSeparatorFromFormat(nl_langinfo_l(T_FMT, time_locale), nl_langinfo_l(T_FMT_AMPM, time_locale));
  freelocale(time_locale);
  return separator;
}

uint16_t SystemDefaultLangId() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return LangIdFromLocale(value);
  }
  return 0x0409;
}

}  // namespace coffer
