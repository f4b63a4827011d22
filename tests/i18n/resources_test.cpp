#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/profile.h"
#include "tests/support/encode.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

const char* const kLanguages[] = {"Lang_Arabic",  "Lang_Deutsch",    "Lang_English",    "Lang_French",
                                  "Lang_Italian", "Lang_Japanese",   "Lang_Portuguese", "Lang_Simplified",
                                  "Lang_Spanish", "Lang_Traditional"};

// Every key the program reads.
const char* const kKeys[] = {
    "01000000", "02000105", "02000603", "02000702", "02000705", "02000707", "02000709", "0200070B", "02000710",
    "02000800", "02000801", "02000881", "02000900", "02000901", "02000902", "02000903", "02000911", "02000982",
    "02000983", "02000984", "02000B00", "02000B01", "02000B02", "02000B10", "02000C01", "02000C02", "02000C03",
    "02000C04", "02000C05", "02000C10", "02000C12", "02000C13", "02000C30", "02000C50", "02000C51", "02000C52", "03020209",
    // the packing window
    "04000000", "04000001", "04000002", "04000003", "04000004", "04000005", "04000006", "04000007", "04000008",
    "04000009", "0400000B", "0400000C", "0400000D", "0400000E", "0400000F", "04000010", "04000011", "04000012",
    "04000020", "04000021", "04000022", "04000023", "04000024", "04000030", "04000031", "04000032", "04000033",
    "04000034", "04000035", "04000036", "04000037", "04000038", "04000039", "0400003A", "0400003B", "0400003C",
    "0400003D", "0400003E", "0400003F", "04000040", "04000041", "04000042", "04000043", "04000044", "04000045",
    "04000046", "04000047"};

// Controls shown together, whose mnemonics must differ.
const std::vector<std::vector<const char*>> kTogether = {
    {"02000705", "02000707", "02000709", "0200070B", "02000911"},  // overwrite dialog
    {"02000C10", "02000C12"},                                      // progress window
    {"02000C10", "02000C13"},                                      // progress window, paused
    {"04000001", "04000002", "04000003", "04000004", "04000005", "04000006", "04000007", "04000008",
     "04000009", "02000B02", "0400000B", "0400000D", "0400000E", "0400000F", "04000010"},  // packing window
    {"04000045", "04000010"},                                      // its final message
};

// Texts that may rightly read as in English.
const std::set<std::string> kMayMatchEnglish = {"01000000", "02000702", "02000709", "02000C12", "02000982",
                                                 "0400000D", "0400000E", "04000008"};

std::string Text(const std::string& bytes, const std::string& key) {
  return ProfileStringFromBytes(bytes, "Main", key, "");
}

std::set<std::string> Places(const std::string& text) {
  std::set<std::string> out;
  for (const char* place : {"{0}", "{1}"})
    if (text.find(place) != std::string::npos) out.insert(place);
  return out;
}

// The mnemonic characters of a text: those after a single "&".
std::vector<std::string> Mnemonics(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&') {
      ++i;
      continue;
    }
    out.push_back(test::FoldedCharacter(text.c_str() + i + 1));
  }
  return out;
}

std::vector<std::string> Lines(const std::string& utf8) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end; (end = utf8.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(utf8.substr(start, end - start));
  if (start < utf8.size()) out.push_back(utf8.substr(start));
  return out;
}

TEST(LanguageFiles, AreUtf16LeWithBomAndCrLf) {
  for (const char* name : kLanguages) {
    const std::string bytes(ResourceData(name, "FILE").bytes());
    ASSERT_GE(bytes.size(), 4u) << name;
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << name;
    ASSERT_EQ(bytes.size() % 2, 0u) << name;
    const std::string text = test::Decode(bytes.substr(2), "UTF-16LE");
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << name << " LF alone at " << i;
      }
      if (text[i] == '\r') {
        EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << name << " CR alone at " << i;
      }
    }
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << name;
  }
}

TEST(LanguageFiles, HaveTheirFrameAndEveryKeyOnce) {
  for (const char* name : kLanguages) {
    const std::string bytes(ResourceData(name, "FILE").bytes());
    std::string text = test::Decode(bytes.substr(2), "UTF-16LE");
    std::erase(text, '\r');
    const auto lines = Lines(text);
    ASSERT_GE(lines.size(), 3u) << name;
    EXPECT_EQ(lines.front(), ";!@Lang@!UTF-8!") << name;
    EXPECT_EQ(lines.back(), ";!@LangEnd@!") << name;
    int headers = 0, comments = 0;
    bool in_main = false;
    std::map<std::string, int> keys;
    for (const auto& line : lines) {
      if (line.empty()) continue;
      if (line[0] == ';') {
        comments += !in_main;
      } else if (line[0] == '[') {
        EXPECT_FALSE(in_main) << name << ": a second section";
        EXPECT_EQ(line, "[Main]") << name;
        in_main = true;
      } else {
        ASSERT_NE(line.find("=\""), std::string::npos) << name << ": " << line;
        EXPECT_EQ(line.back(), '"') << name << ": " << line;
        if (in_main) ++keys[line.substr(0, line.find('='))];
        else ++headers;
      }
    }
    EXPECT_EQ(headers, 3) << name;
    EXPECT_EQ(comments, 2) << name;  // the first line and the file's comment
    std::map<std::string, int> expected;
    for (const char* key : kKeys) expected[key] = 1;
    EXPECT_EQ(keys, expected) << name;
  }
}

TEST(LanguageFiles, MatchEnglishInPlacesAndMnemonics) {
  const std::string english(ResourceData("Lang_English", "FILE").bytes());
  for (const char* name : kLanguages) {
    const std::string bytes(ResourceData(name, "FILE").bytes());
    EXPECT_EQ(Text(bytes, "01000000"), "Coffer") << name;
    for (const char* key : kKeys) {
      const std::string text = Text(bytes, key), source = Text(english, key);
      ASSERT_FALSE(text.empty()) << name << " " << key;
      EXPECT_EQ(Places(text), Places(source)) << name << " " << key << ": " << text;
      EXPECT_EQ(Mnemonics(text).size(), Mnemonics(source).size()) << name << " " << key << ": " << text;
      EXPECT_LE(Mnemonics(text).size(), 1u) << name << " " << key;
      EXPECT_EQ(text.ends_with("..."), source.ends_with("...")) << name << " " << key;
      if (std::strcmp(name, "Lang_English") != 0 && !kMayMatchEnglish.count(key)) {
        EXPECT_NE(text, source) << name << " " << key << " left in English";
      }
    }
    for (const auto& group : kTogether) {
      std::set<std::string> seen;
      for (const char* key : group)
        for (const auto& m : Mnemonics(Text(bytes, key)))
          EXPECT_TRUE(seen.insert(m).second) << name << ": mnemonic " << m << " twice in one window (" << key << ")";
    }
  }
}

// The resource's path is each system's own (see resources_test-posix.cpp).
TEST(Resources, NamesCompareCaseInsensitively) {
  const std::pair<std::pair<const char*, const char*>, bool> cases[] = {
      {{"Lang_English", "FILE"}, true},  {{"lang_english", "FILE"}, true},  {{"LANG_ARABIC", "file"}, true},
      {{"7Z_DLL", "File"}, true},        {{"Lang_Klingon", "FILE"}, false}, {{"Lang_English", "ICON"}, false},
      {{"Lang_English", "FIL"}, false},  {{"", "FILE"}, false},             {{"Lang_English/", "FILE"}, false},
      {{"FILE/Lang_English", ""}, false}, {{"Lang_\xFF", "FILE"}, false},
  };
  for (const auto& [query, expected] : cases) {
    const auto found = FindProgramResource(query.first, query.second);
    EXPECT_EQ(found.has_value(), expected) << query.first << " " << query.second << " found " << found.value_or("");
  }
  EXPECT_EQ(ResourceData("lang_deutsch", "FILE").bytes(), ResourceData("Lang_Deutsch", "FILE").bytes());
}

TEST(Resources, MissingOnesThrowNamingThem) {
  try {
    ResourceData("Lang_Klingon", "FILE");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("Lang_Klingon"), std::string::npos) << e.what();
  }
}

TEST(ResourceToFile, WritesTheBytesWholeOverAnyOldContent) {
  test::ScratchDir dir;
  const std::string target = dir / "7z.dll";
  test::WriteFile(target, std::string(1 << 20, 'o'));  // longer than the module: must be cut off
  ResourceToFile("7z_dll", "FILE", target);
  EXPECT_EQ(test::ReadFile(target), test::ReadFile(test::EngineModule()));
  ResourceToFile("LANG_SPANISH", "FILE", dir / "en.txt");
  EXPECT_EQ(test::ReadFile(dir / "en.txt"), std::string(ResourceData("Lang_Spanish", "FILE").bytes()));
}

// The system's reasons are checked per system (resources_test-posix.cpp).
TEST(ResourceToFile, FailuresNameTheResourceOrFile) {
  test::ScratchDir dir;
  test::WriteFile(dir / "plain", "x");
  const std::pair<const char*, std::string> cases[] = {
      {"Lang_English", dir / "plain/en.txt"},
      {"Lang_English", dir.path()},
      {"Lang_English", dir / "missing/en.txt"},
      {"Lang_Klingon", dir / "klingon.txt"},
  };
  for (const auto& [name, target] : cases) {
    try {
      ResourceToFile(name, "FILE", target);
      ADD_FAILURE() << target << ": no error";
    } catch (const Error& e) {
      const std::string part = std::string(name) == "Lang_Klingon" ? name : target;
      EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what() << " lacks " << part;
    }
  }
  EXPECT_FALSE(test::Exists(dir / "klingon.txt"));  // nothing made for a missing resource
}

}  // namespace
}  // namespace coffer
