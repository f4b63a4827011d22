// Resources as GLib holds them: their paths, and the C library's reasons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/resources.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

TEST(Resources, FoundOnesAreNamedByTheirPathInTheBundle) {
  const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
      {{"Lang_English", "FILE"}, "/coffer/FILE/Lang_English"},
      {{"lang_english", "FILE"}, "/coffer/FILE/Lang_English"},
      {{"LANG_ARABIC", "file"}, "/coffer/FILE/Lang_Arabic"},
      {{"7Z_DLL", "File"}, "/coffer/FILE/7z_dll"},
  };
  for (const auto& [query, expected] : cases)
    EXPECT_EQ(FindProgramResource(query.first, query.second).value_or("(none)"), expected) << query.first;
}

TEST(ResourceToFile, FailuresNameTheResourceOrFileAndTheReason) {
  test::ScratchDir dir;
  test::WriteFile(dir / "plain", "x");
  struct Case {
    const char* name;
    std::string target;
    std::vector<std::string> in_message;
  };
  const Case cases[] = {
      {"Lang_English", dir / "plain/en.txt", {dir / "plain/en.txt", std::strerror(ENOTDIR)}},
      {"Lang_English", dir.path(), {dir.path(), std::strerror(EISDIR)}},
      {"Lang_English", dir / "missing/en.txt", {dir / "missing/en.txt", std::strerror(ENOENT)}},
      {"Lang_English", dir / std::string(300, 'n'), {std::strerror(ENAMETOOLONG)}},
      {"Lang_Klingon", dir / "klingon.txt", {"Lang_Klingon"}},
  };
  for (const auto& c : cases) {
    try {
      ResourceToFile(c.name, "FILE", c.target);
      ADD_FAILURE() << c.target << ": no error";
    } catch (const Error& e) {
      for (const auto& part : c.in_message)
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what() << " lacks " << part;
    }
  }
  EXPECT_FALSE(test::Exists(dir / "klingon.txt"));  // nothing made for a missing resource
}

}  // namespace
}  // namespace coffer
