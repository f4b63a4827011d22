#include "platform/profile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/encode.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::Encode;

constexpr const char* kFallback = "<fallback>";

const std::string kProfile =
    "; comment=not an entry\n"
    "Header=\"before any section\"\n"
    "[Main]\n"
    "plain=value\n"
    "quoted=\"  blanks kept  \"\n"
    "  \tspaced   =   trimmed value \t \n"
    "UPPER=upper\n"
    "empty=\n"
    "emptyquotes=\"\"\n"
    "lonequote=\"\n"
    "openquote=\"abc\n"
    "inner=a \"b\" c\n"
    "twice=first\n"
    "twice=second\n"
    "noequals\n"
    "semicolon=a;b\n"
    "   ; indented comment=x\n"
    "equals=a=b\n"
    "[ Spaced ]\n"
    "in spaced=yes\n"
    "[Ärger]\n"
    "Größe=groß\n"
    "[main]\n"
    "later=the second section of a name is never searched\n"
    "[Other]\n"
    "plain=other\n";

struct Case {
  const char* section;
  const char* key;
  const char* expected;
};

const Case kCases[] = {
    {"Main", "plain", "value"},
    {"MAIN", "PLAIN", "value"},
    {"  Main ", " plain\t", "value"},
    {"main", "upper", "upper"},
    {"Main", "quoted", "  blanks kept  "},
    {"Main", "spaced", "trimmed value"},
    {"Main", "empty", ""},
    {"Main", "emptyquotes", ""},
    {"Main", "lonequote", "\""},
    {"Main", "openquote", "\"abc"},
    {"Main", "inner", "a \"b\" c"},
    {"Main", "twice", "first"},
    {"Main", "noequals", kFallback},
    {"Main", "semicolon", "a;b"},
    {"Main", "; indented comment", kFallback},
    {"Main", "; comment", kFallback},
    {"Main", "equals", "a=b"},
    {"Main", "missing", kFallback},
    {"Main", "later", kFallback},
    {"Main", "Header", kFallback},
    {"", "Header", "before any section"},
    {"Spaced", "in spaced", "yes"},
    {"ärger", "GRÖßE", "groß"},
    {"Other", "plain", "other"},
    {"Nowhere", "plain", kFallback},
};

// The same text in every form the reader takes.
const std::vector<std::pair<const char*, std::function<std::string(const std::string&)>>> kForms = {
    {"UTF-16LE BOM CR LF", [](const std::string& s) { return test::LanguageFileBytes(s); }},
    {"UTF-16LE BOM LF", [](const std::string& s) { return "\xFF\xFE" + Encode(s, "UTF-16LE"); }},
    {"UTF-16LE no BOM", [](const std::string& s) { return Encode(s, "UTF-16LE"); }},
    {"UTF-16BE BOM", [](const std::string& s) { return "\xFE\xFF" + Encode(s, "UTF-16BE"); }},
    {"UTF-8 BOM", [](const std::string& s) { return "\xEF\xBB\xBF" + s; }},
    {"UTF-8", [](const std::string& s) { return s; }},
    {"UTF-8 CR", [](const std::string& s) {
       std::string cr = s;
       for (char& c : cr)
         if (c == '\n') c = '\r';
       return cr;
     }},
};

TEST(Profile, ReadsEveryFormAlike) {
  for (const auto& [form, encode] : kForms) {
    const std::string bytes = encode(kProfile);
    for (const auto& c : kCases)
      EXPECT_EQ(ProfileStringFromBytes(bytes, c.section, c.key, kFallback), c.expected)
          << form << ": [" << c.section << "] " << c.key;
  }
}

TEST(Profile, ReadsRealFilesAndFallsBackWhenUnreadable) {
  test::ScratchDir dir;
  test::WriteFile(dir / "lang.txt", test::LanguageFileBytes(kProfile));
  EXPECT_EQ(ReadProfileString(dir / "lang.txt", "Main", "plain", kFallback), "value");
  EXPECT_EQ(ReadProfileString(dir / "missing.txt", "Main", "plain", kFallback), kFallback);
  EXPECT_EQ(ReadProfileString(dir.path(), "Main", "plain", kFallback), kFallback);  // a folder
  EXPECT_EQ(ReadProfileString("", "Main", "plain", kFallback), kFallback);
}

TEST(Profile, CutsValuesTo2047Units) {
  const std::string long_text(3000, 'x');
  const std::string cut(kProfileValueMax, 'x');
  const std::string emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
  const Case cases[] = {
      {"Main", "long", cut.c_str()},
      {"Main", "quoted", cut.c_str()},
      {"Main", "exact", cut.c_str()},
  };
  const std::string file = "[Main]\nlong=" + long_text + "\nquoted=\"" + long_text + "\"\nexact=\"" + cut + "\"\n" +
                           "split=" + std::string(kProfileValueMax - 1, 'a') + emoji + "\n" +
                           "fits=" + std::string(kProfileValueMax - 2, 'a') + emoji + "\n";
  const std::string bytes = test::LanguageFileBytes(file);
  for (const auto& c : cases) EXPECT_EQ(ProfileStringFromBytes(bytes, c.section, c.key, ""), c.expected) << c.key;
  // A character cut in two is left out, not handed out as half a pair.
  EXPECT_EQ(ProfileStringFromBytes(bytes, "Main", "split", ""), std::string(kProfileValueMax - 1, 'a'));
  EXPECT_EQ(ProfileStringFromBytes(bytes, "Main", "fits", ""), std::string(kProfileValueMax - 2, 'a') + emoji);
}

TEST(Profile, OddInputReadsAsFarAsItMakesSense) {
  const std::string good = test::LanguageFileBytes("[Main]\nk=v\n");
  const std::string lone_high = std::string("\xFF\xFE") + Encode("[Main]\r\nk=a", "UTF-16LE") + std::string("\x00\xD8", 2) +
                                Encode("b\r\n", "UTF-16LE");
  const std::string lone_low = std::string("\xFF\xFE") + Encode("[Main]\r\nk=", "UTF-16LE") + std::string("\x00\xDC", 2);
  struct Odd {
    const char* what;
    std::string bytes;
    const char* expected;
  };
  const Odd cases[] = {
      {"odd byte count", good + "\x41", "v"},
      {"odd last byte after the value", good.substr(0, good.size() - 4) + "w", "v"},
      {"lone high surrogate", lone_high, "a\xEF\xBF\xBD" "b"},
      {"lone low surrogate at the end", lone_low, "\xEF\xBF\xBD"},
      {"invalid UTF-8", "[Main]\nk=\xC3(\xFF\xE2\x82\n", "\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"NUL inside the value", test::LanguageFileBytes(std::string("[Main]\nk=ab\0cd\n", 15)), "ab"},
      {"only a BOM", "\xFF\xFE", kFallback},
      {"empty", "", kFallback},
      {"section without end", "[Main\nk=v\n", kFallback},
  };
  for (const auto& c : cases) EXPECT_EQ(ProfileStringFromBytes(c.bytes, "Main", "k", kFallback), c.expected) << c.what;
  // Arguments that are not UTF-8 match nothing but do no harm.
  EXPECT_EQ(ProfileStringFromBytes(good, "Ma\xFFin", "k", kFallback), kFallback);
}

TEST(Profile, SurvivesHugeLinesAndNoise) {
  const std::string huge = "[Main]\nfirst=" + std::string(8 << 20, 'y') + "\nk=v";
  EXPECT_EQ(ProfileStringFromBytes(huge, "Main", "k", kFallback), "v");
  EXPECT_EQ(ProfileStringFromBytes(test::LanguageFileBytes(huge), "Main", "first", "").size(), kProfileValueMax);
  for (uint32_t seed = 1; seed <= 64; ++seed) {
    std::string noise = test::RandomBytes(4096 + seed, seed);
    if (seed % 2) noise = "\xFF\xFE" + noise;
    // Only that it returns: any answer is acceptable for noise.
    (void)ProfileStringFromBytes(noise, "Main", "k", kFallback);
  }
}

}  // namespace
}  // namespace coffer
