#pragma once
// A language file of our own for the overwrite dialog's tests: the texts
// the dialog looks up, in the UTF-16 form the program reads.
#include <string>
#include <utility>
#include <vector>

#include "i18n/texts.h"
#include "tests/support/encode.h"
#include "tests/support/scratch.h"

namespace coffer::test {

inline const std::vector<std::pair<std::string, std::string>> kOverwriteEnglish = {
    {"02000900", "Confirm File Replace"},
    {"02000901", "Destination folder already contains processed file."},
    {"02000902", "Would you like to replace the existing file"},
    {"02000903", "with this one?"},
    {"02000705", "&Yes"},
    {"02000707", "Yes to &All"},
    {"02000911", "A&uto Rename"},
    {"02000709", "&No"},
    {"0200070B", "No to A&ll"},
    {"02000710", "Cancel"},
    {"02000982", "{0} bytes"},
    {"02000983", "modified on"},
    {"02000984", "unknown"},
};

// Writes `texts` as section "Main" of `dir` + "lang.txt" and makes it the
// language file of the process.
inline void UseLanguage(const ScratchDir& dir, const std::vector<std::pair<std::string, std::string>>& texts) {
  std::string ini = "[Main]\n";
  for (const auto& [key, value] : texts) ini += key + "=" + value + "\n";
  const std::string bytes = LanguageFileBytes(ini);
  WriteFile(dir / "lang.txt", bytes);
  i18n::SetLanguageFile(dir / "lang.txt");
}

}  // namespace coffer::test
