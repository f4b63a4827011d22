#pragma once
// The system's default language as a Windows language identifier (LANGID),
// the form the language choice is written in. Here it comes from the
// locale names of the environment.
#include <cstdint>
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

}  // namespace coffer
