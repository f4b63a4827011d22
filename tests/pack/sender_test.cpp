// The sender's protections: a password piped in, its strength called out,
// links followed and the unpackable named, and names hidden end to end.
#include <algorithm>

#include "pack/strength.h"
#include "tests/pack/pack_fixture.h"

namespace coffer::pack::test {
namespace {

TEST(PasswordStrength, LevelsOfKnownPasswords) {
  const std::pair<const char*, StrengthLevel> cases[] = {
      {"", StrengthLevel::kVeryWeak},
      {"password", StrengthLevel::kVeryWeak},
      {"Sommer2024", StrengthLevel::kWeak},
      {"Tr0ub4dour&3", StrengthLevel::kWeak},
      {"pass w\xC3\xB6rd", StrengthLevel::kFair},
      {"correct horse battery staple", StrengthLevel::kStrong},
  };
  for (const auto& [password, level] : cases) EXPECT_EQ(EstimateStrength(password).level, level) << password;
  EXPECT_EQ(EstimateStrength("").fraction, 0);
  EXPECT_EQ(EstimateStrength("correct horse battery staple").fraction, 1);
}

TEST(PasswordStrength, GuessTimeTexts) {
  const std::pair<double, const char*> cases[] = {
      {5, "less than a minute"}, {60, "about 1 minute"},  {5400, "about 2 hours"},
      {3 * 86400, "about 3 days"}, {86400 * 365.25 * 2, "about 2 years"}, {1e12, "more than a century"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(GuessTimeText(seconds), text) << seconds;
}

using Sender = PackTest;

TEST_F(Sender, PasswordFromStandardInput) {
  const struct {
    const char* feed;
    int status;
    const char* message;
  } cases[] = {
      {"printf 'pass w\\303\\266rd\\nsecond line\\n'", 0, "written"},
      {"printf 'pass w\\303\\266rd'", 0, "written"},  // no line end
      {"printf 'Tr0ub4dour&3\\n'", 0, "could be guessed in about"},
      {"printf ''", 2, "first line of standard input is empty"},
      {"printf '\\n'", 2, "first line of standard input is empty"},
  };
  for (const auto& c : cases) {
    Sh("rm -rf " + Quote(dir_ / "piped.run") + " " + Quote(dir_ / "o"));
    std::string out;
    EXPECT_EQ(Pack("--extractor stand-in --password-file - piped src/a", &out, c.feed), c.status) << c.feed << out;
    EXPECT_NE(out.find(c.message), std::string::npos) << c.feed << out;
    if (c.status != 0 || std::string(c.message) != "written") continue;
    EXPECT_EQ(out.find("could be guessed"), std::string::npos) << out;
    ASSERT_EQ(Pack("--extract piped.run -o o --overwrite never --password-file -", &out, c.feed), 0) << out;
    EXPECT_EQ(TreeContents(dir_ / "o/piped"), TreeContents(dir_ / "src/a"));
  }
}

TEST_F(Sender, LinksAreFollowedAndTheUnpackableNamed) {
  WriteFile(dir_ / "tree/real/target.txt", "target\n");
  Sh("cd " + Quote(dir_ / "tree") + " && ln -s real/target.txt link.txt && ln -s real linkdir && ln -s " +
     Quote(dir_ / "tree/real/target.txt") + " abs");
  std::string out;
  ASSERT_EQ(Pack("--extractor stand-in --password-file pw links tree"), 0);
  // A link given as a source keeps its own name too.
  ASSERT_EQ(Pack("--extractor stand-in --password-file pw given tree/linkdir tree/link.txt", &out), 0) << out;
  ASSERT_EQ(Pack("--extract given.run -o given-out --overwrite never --password-file pw", &out), 0) << out;
  EXPECT_EQ(TreeContents(dir_ / "given-out/given"),
            (std::vector<std::pair<std::string, std::string>>{{"link.txt", "target\n"}, {"linkdir/target.txt", "target\n"}}));
  Sh("cd " + Quote(dir_ / "tree") + " && ln -s nowhere dangling && ln -s loop1 loop2 && ln -s loop2 loop1 && "
     "ln -s .. real/up && mkfifo fifo");
  // (The tree helpers would follow the loops: the top level by ls.)
  std::string before, after;
  Sh("ls -A " + Quote(dir_.path()), &before);
  EXPECT_EQ(Pack("--extractor stand-in --password-file pw refused tree", &out), 1) << out;
  const char* loop = "the link leads round in a loop";
  const std::pair<const char*, const char*> named[] = {
      {"tree/dangling", "the link leads nowhere"}, {"tree/loop1", loop},     {"tree/loop2", loop},
      {"tree/real/up", loop},                      {"tree/linkdir/up", loop}, {"tree/fifo", "neither a file nor a folder"},
  };
  for (const auto& [name, why] : named)
    EXPECT_NE(out.find(std::string(name) + ": " + why + "\n"), std::string::npos) << name << out;
  Sh("ls -A " + Quote(dir_.path()), &after);
  EXPECT_EQ(after, before);

  ASSERT_EQ(Pack("--extractor stand-in --password-file pw --skip-unreadable skipped tree", &out), 0) << out;
  for (const auto& [name, why] : named)
    EXPECT_NE(out.find(std::string("skipped ") + name + ": " + why + "\n"), std::string::npos) << out;
  // abs, link.txt, linkdir/target.txt, real/target.txt; linkdir/, real/.
  EXPECT_NE(out.find("4 files and 2 folders"), std::string::npos) << out;
  for (const char* file : {"links.run", "skipped.run"}) {
    Sh("rm -rf " + Quote(dir_ / "o"));
    ASSERT_EQ(Pack(std::string("--extract ") + file + " -o o --overwrite never --password-file pw", &out), 0) << out;
    const std::string base = dir_ / ("o/" + std::string(file, 0, std::string(file).find('.')));
    EXPECT_EQ(TreeContents(base), (std::vector<std::pair<std::string, std::string>>{
                                      {"abs", "target\n"},
                                      {"link.txt", "target\n"},
                                      {"linkdir/target.txt", "target\n"},
                                      {"real/target.txt", "target\n"}}))
        << file;
  }
}

TEST_F(Sender, HiddenNamesEndToEnd) {
  ASSERT_EQ(Pack("--extractor stand-in --password-file pw --hide-names hidden src"), 0);
  std::string out;
  // Without the password neither names nor sizes can be read.
  EXPECT_NE(Sh("7zz l -slt -bd -p " + Quote(dir_ / "hidden.run") + " </dev/null", &out), 0) << out;
  EXPECT_EQ(out.find("text.txt"), std::string::npos) << out;
  EXPECT_EQ(Pack("--list hidden.run", &out), 1);
  EXPECT_NE(out.find("hidden and need the password"), std::string::npos) << out;
  for (const char* mode : {"--list", "--test"}) {
    EXPECT_EQ(Pack(std::string(mode) + " hidden.run --password-file wrong", &out), 3) << mode << out;
    EXPECT_EQ(Pack(std::string(mode) + " hidden.run --password-file pw", &out), 0) << mode << out;
  }
  EXPECT_NE(out.find("intact"), std::string::npos) << out;
  ASSERT_EQ(Pack("--list hidden.run --password-file pw", &out), 0);
  EXPECT_NE(out.find("a/b/c/deep.txt"), std::string::npos) << out;

  // A wrong password: one message, nothing written.
  EXPECT_EQ(Pack("--extract hidden.run -o x --overwrite never --password-file wrong", &out), 3) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_FALSE(Exists(dir_ / "x"));
  ASSERT_EQ(Pack("--extract hidden.run -o x --overwrite never --password-file pw", &out), 0) << out;
  EXPECT_EQ(TreeContents(dir_ / "x/hidden"), TreeContents(dir_ / "src"));
  // The second run asks about each file that is there; "N" keeps them all.
  WriteFile(dir_ / "x/hidden/text.txt", "mine\n");
  const int rc = Sh("cd " + Quote(dir_.path()) + " && printf 'N\\n' | " + Env() + "script -qec " +
                        Quote(coffer::test::BinaryDir() + "coffer-pack --extract hidden.run -o x --password-file pw") +
                        " /dev/null",
                    &out);
  EXPECT_EQ(rc, 0) << out;
  EXPECT_NE(out.find("already exists"), std::string::npos) << out;
  EXPECT_EQ(ReadFile(dir_ / "x/hidden/text.txt"), "mine\n");
  EXPECT_EQ(TreeEntries(dir_ / "tmp"), std::vector<std::string>{});
}

// The window is for desktops: asked for, or started with no arguments and no
// terminal where a display is. (The display named here does not exist, so
// the window program ends at once, saying so.)
TEST_F(Sender, WindowModeIsChosenForDesktops) {
  const struct {
    const char* env;
    const char* args;
    int status;
    const char* message;
  } cases[] = {
      {"DISPLAY=:99999 ", "--window", 1, "no display to show the window on"},
      {"DISPLAY=:99999 ", "", 1, "no display to show the window on"},
      {"DISPLAY= WAYLAND_DISPLAY= ", "", 2, "packing needs an OUTPUT file"},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_EQ(Sh("cd " + Quote(dir_.path()) + " && " + c.env + Quote(coffer::test::BinaryDir() + "coffer-pack") + " " +
                     c.args + " </dev/null 2>&1",
                 &out),
              c.status)
        << c.env << c.args << out;
    EXPECT_NE(out.find(c.message), std::string::npos) << c.env << c.args << out;
  }
}

// Ended by the system, the window program goes as its signal would end it,
// its working folder (the language file's) removed first.
TEST_F(Sender, WindowProgramEndsBySignalLeavingNothing) {
  std::string out;
  const int rc = Sh("cd " + Quote(dir_.path()) + " && { " + Env() + "LC_ALL=C " +
                        Quote(coffer::test::BinaryDir() + "coffer-pack-window") +
                        " & pid=$!; xdotool search --sync --name 'Make a self-extracting file' >/dev/null; "
                        "kill -TERM $pid; wait $pid; }",
                    &out);
  EXPECT_EQ(rc, 143) << out;
  EXPECT_EQ(TreeEntries(dir_ / "tmp"), std::vector<std::string>{});
}

}  // namespace
}  // namespace coffer::pack::test
