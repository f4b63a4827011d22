// Names compare in GLib's full case folding on Linux: "ß" folds to "ss".
#include "platform/profile.h"

#include <gtest/gtest.h>

#include "tests/support/encode.h"

namespace coffer {
namespace {

TEST(Profile, NamesCompareInFullCaseFolding) {
  const std::string text = "[Ärger]\nGröße=groß\n";
  for (const std::string& bytes : {text, test::LanguageFileBytes(text)})
    EXPECT_EQ(ProfileStringFromBytes(bytes, "ärger", "GRÖSSE", "<fallback>"), "groß");
}

}  // namespace
}  // namespace coffer
