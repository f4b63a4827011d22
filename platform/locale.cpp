#include "platform/locale.h"

#include <array>
#include <string>
#include <vector>

namespace coffer {
namespace {

struct Entry {
  std::string_view name;  // "ll" for the language's main identifier, or "ll_TT"
  uint16_t id;
};

// Windows identifiers: the primary language in the low ten bits, the
// territory (sublanguage) above them.
constexpr auto kTable = std::to_array<Entry>({
    {"ar", 0x0401}, {"ar_SA", 0x0401}, {"ar_IQ", 0x0801}, {"ar_EG", 0x0C01}, {"ar_LY", 0x1001},
    {"ar_DZ", 0x1401}, {"ar_MA", 0x1801}, {"ar_TN", 0x1C01}, {"ar_OM", 0x2001}, {"ar_YE", 0x2401},
    {"ar_SY", 0x2801}, {"ar_JO", 0x2C01}, {"ar_LB", 0x3001}, {"ar_KW", 0x3401}, {"ar_AE", 0x3801},
    {"ar_BH", 0x3C01}, {"ar_QA", 0x4001},
    {"de", 0x0407}, {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007},
    {"de_LI", 0x1407},
    {"en", 0x0409}, {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_JM", 0x2009}, {"en_BZ", 0x2809},
    {"en_TT", 0x2C09}, {"en_ZW", 0x3009}, {"en_PH", 0x3409}, {"en_IN", 0x4009}, {"en_MY", 0x4409},
    {"en_SG", 0x4809},
    // Spain has two identifiers; 0x0C0A is the one with modern sorting.
    {"es", 0x0C0A}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_GT", 0x100A}, {"es_CR", 0x140A},
    {"es_PA", 0x180A}, {"es_DO", 0x1C0A}, {"es_VE", 0x200A}, {"es_CO", 0x240A}, {"es_PE", 0x280A},
    {"es_AR", 0x2C0A}, {"es_EC", 0x300A}, {"es_CL", 0x340A}, {"es_UY", 0x380A}, {"es_PY", 0x3C0A},
    {"es_BO", 0x400A}, {"es_SV", 0x440A}, {"es_HN", 0x480A}, {"es_NI", 0x4C0A}, {"es_PR", 0x500A},
    {"es_US", 0x540A},
    {"fr", 0x040C}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"fr_LU", 0x140C}, {"fr_MC", 0x180C},
    {"it", 0x0410}, {"it_IT", 0x0410}, {"it_CH", 0x0810},
    {"ja", 0x0411}, {"ja_JP", 0x0411},
    {"pt", 0x0416}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
    {"zh", 0x0804}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
    // Languages without a language file of their own still get their true
    // identifier; the language choice sends them to English.
    {"bg", 0x0402}, {"ca", 0x0403}, {"cs", 0x0405}, {"da", 0x0406}, {"el", 0x0408}, {"fi", 0x040B},
    {"he", 0x040D}, {"hu", 0x040E}, {"is", 0x040F}, {"ko", 0x0412}, {"nl", 0x0413}, {"nl_BE", 0x0813},
    {"nb", 0x0414}, {"no", 0x0414}, {"nn", 0x0814}, {"pl", 0x0415}, {"ro", 0x0418}, {"ru", 0x0419},
    {"hr", 0x041A}, {"sk", 0x041B}, {"sq", 0x041C}, {"sv", 0x041D}, {"th", 0x041E}, {"tr", 0x041F},
    {"ur", 0x0420}, {"id", 0x0421}, {"uk", 0x0422}, {"be", 0x0423}, {"sl", 0x0424}, {"et", 0x0425},
    {"lv", 0x0426}, {"lt", 0x0427}, {"fa", 0x0429}, {"vi", 0x042A}, {"hy", 0x042B}, {"eu", 0x042D},
    {"mk", 0x042F}, {"af", 0x0436}, {"ka", 0x0437}, {"hi", 0x0439}, {"ms", 0x043E}, {"kk", 0x043F},
    {"sw", 0x0441}, {"bn", 0x0445}, {"ta", 0x0449}, {"gl", 0x0456}, {"sr", 0x0C1A},
});

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int Find(std::string_view name) {
  for (const auto& e : kTable)
    if (SameName(e.name, name)) return e.id;
  return -1;
}

// One piece of a strftime format: a conversion letter, or literal text
// (letter 0).
struct Piece {
  char letter;
  std::string text;
};

void Split(std::string_view format, std::string_view ampm_format, bool expand_ampm, std::vector<Piece>& out) {
  auto literal = [&](std::string_view text) {
    if (!out.empty() && out.back().letter == 0) out.back().text += text;
    else out.push_back({0, std::string(text)});
  };
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      literal(format.substr(i, 1));
      continue;
    }
    // Flags, a width and the E/O modifiers change how a field is written,
    // not which field it is.
    size_t j = i + 1;
    while (j < format.size() && std::string_view("_-0^#").find(format[j]) != std::string_view::npos) ++j;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9') ++j;
    if (j < format.size() && (format[j] == 'E' || format[j] == 'O')) ++j;
    if (j >= format.size()) break;
    const char c = format[j];
    i = j;
    if (c == '%') literal("%");
    else if (c == 'T') Split("%H:%M:%S", "", false, out);
    else if (c == 'R') Split("%H:%M", "", false, out);
    else if (c == 'r' && expand_ampm) Split(ampm_format, "", false, out);
    else out.push_back({c, {}});
  }
}

}  // namespace

std::string TimeSeparatorFromFormat(std::string_view time_format, std::string_view ampm_format) {
  std::vector<Piece> pieces;
  Split(time_format, ampm_format, true, pieces);
  for (size_t i = 0; i + 2 < pieces.size(); ++i) {
    if (std::string_view("HIkl").find(pieces[i].letter) == std::string_view::npos) continue;
    if (pieces[i + 1].letter != 0 || pieces[i + 2].letter != 'M') break;
    const std::string& separator = pieces[i + 1].text;
    // A word after each field ("7時8分") is no separator: it would be
    // repeated after the minutes.
    const bool seconds_follow = i + 4 < pieces.size() && pieces[i + 4].letter == 'S';
    if (seconds_follow && pieces[i + 3].text != separator) break;
    return separator;
  }
  return ":";
}

uint16_t LangIdFromLocale(std::string_view locale) {
  // language[_territory][.codeset][@modifier]; some systems write "-".
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale.empty() || locale == "C" || locale == "POSIX") return 0x0409;
  std::string name(locale);
  const size_t sep = name.find_first_of("_-");
  if (sep != std::string::npos) name[sep] = '_';
  if (const int id = Find(name); id >= 0) return static_cast<uint16_t>(id);
  if (sep != std::string::npos) {
    if (const int id = Find(std::string_view(name).substr(0, sep)); id >= 0) return static_cast<uint16_t>(id);
  }
  return 0x0409;
}

}  // namespace coffer
