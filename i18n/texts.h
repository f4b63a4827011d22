#pragma once
// Every visible text is looked up by an eight-hex-digit key in section
// "Main" of the language file written into the working folder at start-up.
#include <cstdint>
#include <string>

namespace coffer::i18n {

// The resource name of the language file for a system language identifier.
std::string LanguageResourceFor(uint16_t lang_id);

// The profile lookup with its fall-backs: "???" for a missing file, key or
// empty value. A relative `path` is also tried beside the program.
std::string Lookup(const std::string& path, const std::string& section, const std::string& key);

// The language file of this run; Text(key) looks up section "Main" there.
void SetLanguageFile(const std::string& path);
std::string LanguageFile();
std::string Text(const std::string& key);

// Writes the language resource for `lang_id` to `working_folder` + "en.txt",
// makes it the language file of this run and returns its path.
std::string WriteLanguageFile(const std::string& working_folder, uint16_t lang_id);

// A text with "&" mnemonics in the form GTK labels take ("_"), for widgets
// created with use-underline.
std::string ToMnemonic(const std::string& text);

// `text` with every "{0}" replaced by `a` and every "{1}" by `b`.
std::string Format(std::string text, const std::string& a, const std::string& b = {});

}  // namespace coffer::i18n
