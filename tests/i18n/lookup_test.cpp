#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "i18n/texts.h"
#include "platform/fs_path.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "tests/support/encode.h"
#include "tests/support/scratch.h"

namespace coffer::i18n {
namespace {

const std::string kFile =
    ";!@Lang@!UTF-8!\n"
    "[Main]\n"
    "02000710=\"Cancel\"\n"
    "  02000c30 = \"Are you sure you want to cancel?\"  \n"
    "02000800=\"\"\n"
    "02000801=\n"
    "02000900=  Confirm File Replace  \n"
    "02000901=\"" + std::string(2100, 'z') + "\"\n"
    ";!@LangEnd@!\n";

TEST(Lookup, FallsBackToQuestionMarks) {
  test::ScratchDir dir;
  const std::string file = dir / "en.txt";
  test::WriteFile(file, test::LanguageFileBytes(kFile));
  struct Case {
    std::string path, section, key, expected;
  };
  const Case cases[] = {
      {file, "Main", "02000710", "Cancel"},
      {file, "main", "02000C30", "Are you sure you want to cancel?"},
      {file, " MAIN ", " 02000c30 ", "Are you sure you want to cancel?"},
      {file, "Main", "02000900", "Confirm File Replace"},
      {file, "Main", "02000901", std::string(2047, 'z')},
      {file, "Main", "02000800", "???"},  // quoted empty value
      {file, "Main", "02000801", "???"},  // empty value
      {file, "Main", "02000B00", "???"},  // missing key
      {file, "Other", "02000710", "???"},
      {dir / "missing.txt", "Main", "02000710", "???"},
      {dir.path(), "Main", "02000710", "???"},  // a folder is no file
      {"", "Main", "02000710", "???"},
  };
  for (const auto& c : cases) EXPECT_EQ(Lookup(c.path, c.section, c.key), c.expected) << c.path << " " << c.key;
}

// A file beside the test program, removed again.
class BesideProgram {
 public:
  explicit BesideProgram(const std::string& content)
      : name_("coffer-lookup-" + std::to_string(std::random_device()()) + ".txt"),
        path_(FolderOfPath(OwnExecutablePath()) + name_) {
    test::WriteFile(path_, content);
  }
  ~BesideProgram() {
    std::error_code ec;
    std::filesystem::remove(FsPath(path_), ec);
  }
  const std::string& name() const { return name_; }

 private:
  std::string name_, path_;
};

TEST(Lookup, TriesARelativePathBesideTheProgram) {
  const BesideProgram file(test::LanguageFileBytes(kFile));
  // ctest starts the program in its own folder: look from somewhere else.
  test::ScratchDir elsewhere;
  struct Back {
    std::filesystem::path to = std::filesystem::current_path();
    ~Back() {
      std::error_code ec;
      std::filesystem::current_path(to, ec);
    }
  } back;
  std::filesystem::current_path(FsPath(elsewhere.path()));
  ASSERT_FALSE(test::Exists(file.name()));  // not in the working directory
  EXPECT_EQ(Lookup(file.name(), "Main", "02000710"), "Cancel");
  // An absolute path is not glued to the program's folder.
  EXPECT_EQ(Lookup("/" + file.name(), "Main", "02000710"), "???");
}

TEST(Lookup, TextReadsTheLanguageFileOfTheRun) {
  test::ScratchDir dir;
  SetLanguageFile(dir / "nothing.txt");
  EXPECT_EQ(Text("02000710"), "???");
  const std::string path = WriteLanguageFile(dir.path(), 0x0407);
  EXPECT_EQ(path, dir / "en.txt");
  EXPECT_EQ(LanguageFile(), path);
  EXPECT_EQ(test::ReadFile(path), std::string(ResourceData("Lang_Deutsch", "FILE").bytes()));
  EXPECT_EQ(Text("02000710"), "Abbrechen");
  EXPECT_EQ(Text("01000000"), "Coffer");
  // A second run's language replaces the file whole.
  WriteLanguageFile(dir.path(), 0x0411);
  EXPECT_EQ(Text("02000710"), "キャンセル");
  WriteLanguageFile(dir.path(), 0x0409);
  EXPECT_EQ(Text("02000800"), "Extract");
}

TEST(Lookup, AnUnwritableLanguageFileLeavesQuestionMarks) {
  test::ScratchDir dir;
  test::WriteFile(dir / "file", "x");
  const std::string path = WriteLanguageFile(dir / "file/", 0x0409);  // below a regular file
  EXPECT_EQ(path, dir / "file/en.txt");
  EXPECT_EQ(Text("01000000"), "???");
  SetLanguageFile("");
}

TEST(Mnemonic, AmpersandsBecomeUnderscores) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Yes", "_Yes"},         {"Yes to &All", "Yes to _All"}, {"No to A&ll", "No to A_ll"},
      {"Tom && Jerry", "Tom & Jerry"}, {"&&&x", "&_x"},         {"snake_case", "snake__case"},
      {"是(&Y)", "是(_Y)"},      {"trailing&", "trailing"},      {"", ""},
      {"Cancel", "Cancel"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ToMnemonic(in), out) << in;
}

TEST(Format, FillsPlacesOnce) {
  struct Case {
    const char *text, *a, *b, *expected;
  };
  const Case cases[] = {
      {"{0} bytes", "1018", "", "1018 bytes"},
      {"{0} files could not be extracted intact, for example '{1}'", "3", "a/b.txt",
       "3 files could not be extracted intact, for example 'a/b.txt'"},
      {"{1} before {0}, {0} again", "A", "B", "B before A, A again"},
      {"'{0}'", "odd {1} name", "never", "'odd {1} name'"},  // a replacement is not looked into
      {"{0", "x", "y", "{0"},
      {"no places", "x", "y", "no places"},
      {"{1}", "x", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.text, c.a, c.b), c.expected) << c.text;
}

}  // namespace
}  // namespace coffer::i18n
