#include "i18n/texts.h"

#include <mutex>

#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/resources.h"

namespace coffer::i18n {
namespace {

constexpr const char* kMissing = "???";

std::mutex language_mutex;
std::string language_file;

}  // namespace

std::string LanguageResourceFor(uint16_t lang_id) {
  switch (lang_id) {
    case 0x0804: return "Lang_Simplified";
    case 0x0404: case 0x0C04: case 0x1004: return "Lang_Traditional";
    case 0x0407: return "Lang_Deutsch";
    case 0x0410: return "Lang_Italian";
    case 0x0416: case 0x0816: return "Lang_Portuguese";
    case 0x040C: case 0x080C: return "Lang_French";
    case 0x0411: return "Lang_Japanese";
    default: break;
  }
  if (lang_id >= 0x040A && lang_id <= 0x300A && (lang_id & 0x3FF) == 0x0A) return "Lang_Spanish";
  switch (lang_id) {
    case 0x0401: case 0x0801: case 0x0C01: case 0x1001: return "Lang_Arabic";
    default: return "Lang_English";
  }
}

std::string Lookup(const std::string& path, const std::string& section, const std::string& key) {
  std::string file = path;
  if (!IsRegularFile(file)) {
    // Beside the program only for a relative path: an absolute one glued to
    // the program's folder would name some unrelated file.
    if (path.empty() || path.front() == '/') return kMissing;
    file = FolderOfPath(OwnExecutablePath()) + path;
    if (!IsRegularFile(file)) return kMissing;
  }
  std::string value = ReadProfileString(file, section, key, kMissing);
  return value.empty() ? kMissing : value;
}

void SetLanguageFile(const std::string& path) {
  std::lock_guard lock(language_mutex);
  language_file = path;
}

std::string LanguageFile() {
  std::lock_guard lock(language_mutex);
  return language_file;
}

std::string Text(const std::string& key) { return Lookup(LanguageFile(), "Main", key); }

std::string WriteLanguageFile(const std::string& working_folder, uint16_t lang_id) {
  const std::string path = working_folder + "en.txt";
  try {
    ResourceToFile(LanguageResourceFor(lang_id), "FILE", path);
  } catch (const Error&) {
    // Nothing is reported: every text then shows "???", which tells enough.
  }
  SetLanguageFile(path);
  return path;
}

std::string ToMnemonic(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '_') {
      out += "__";
    } else if (c != '&') {
      out += c;
    } else if (i + 1 < text.size()) {
      // "&&" is a literal "&"; "&x" marks x. A lone "&" at the end marks nothing.
      out += text[i + 1] == '&' ? "&" : "_";
      if (text[i + 1] == '&') ++i;
    }
  }
  return out;
}

std::string Format(std::string text, const std::string& a, const std::string& b) {
  // One pass, so that a replacement holding "{1}" (a file name, say) stays as it is.
  std::string out;
  out.reserve(text.size() + a.size() + b.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "{0}") == 0) {
      out += a;
      i += 2;
    } else if (text.compare(i, 3, "{1}") == 0) {
      out += b;
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace coffer::i18n
