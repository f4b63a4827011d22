#pragma once
// The system's default language as a Windows language identifier (LANGID),
// the form the language choice is written in. Here it comes from the
// locale names of the environment.
#include <cstdint>
#include <string>
#include <string_view>

namespace coffer {

// The language identifier of a locale name such as "de_DE.UTF-8",
// "sr_RS@latin", "fr" or "C". The codeset and modifier are ignored; a
// territory we do not know falls back to the language's main identifier,
// and an unknown language (or an empty name) gives 0x0409, US English.
uint16_t LangIdFromLocale(std::string_view locale);

// The identifier of the first non-empty of LC_ALL, LC_MESSAGES and LANG
// (the order in which the C library picks the language of messages).
uint16_t SystemDefaultLangId();

// The user's own time separator, the text between hours and minutes in the
// time format of the user's time locale (LC_ALL, else LC_TIME, else LANG);
// ":" where the locale is unknown or its format has none.
std::string UserTimeSeparator();

// The separator of a time format in the C library's strftime form, as the
// time locale states it: "%H.%M.%S" gives ".", "%T" ":". `ampm_format`
// stands for "%r" (itself a format, the locale's 12-hour one). A format
// without hours followed by minutes, with nothing between them, or with
// other text between minutes and seconds ("%H時%M分%S秒") gives ":".
std::string TimeSeparatorFromFormat(std::string_view time_format, std::string_view ampm_format = "");

}  // namespace coffer
