// The packer's command line, output naming, overwrite replies and bar.
#include <gtest/gtest.h>

#include "pack/options.h"
#include "pack/packer.h"
#include "pack/terminal.h"
#include "pack/terminal_host.h"

namespace coffer::pack {
namespace {

ParseResult Parse(std::vector<std::string> args) { return ParseArguments(args); }

TEST(PackOptions, PasswordsOnTheCommandLineAreRefusedWithTheReason) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-p", "x", "out", "src"}, {"-psecret", "out", "src"}, {"--password", "x", "out", "src"},
           {"--password=x", "out", "src"}, {"--test", "f.run", "-p", "x"}, {"--extract", "f", "-o", "d", "-px"}}) {
    const auto r = Parse(args);
    EXPECT_NE(r.error.find("never taken from the command line"), std::string::npos) << args[0] << ": " << r.error;
  }
  EXPECT_EQ(Parse({"--password-file", "pw", "out", "src"}).error, "");
  EXPECT_EQ(*Parse({"--password-file=pw", "out", "src"}).options.password_file, "pw");
}

TEST(PackOptions, ModesAndTheirArguments) {
  auto r = Parse({"--extractor", "img", "out", "a", "b"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.mode, Mode::kPack);
  EXPECT_EQ(r.options.output, "out");
  EXPECT_EQ(r.options.sources, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(*r.options.extractor, "img");
  EXPECT_FALSE(r.options.windows);
  EXPECT_TRUE(Parse({"--windows", "out", "a"}).options.windows);
  EXPECT_TRUE(Parse({"--hide-names", "out", "a"}).options.hide_names);
  EXPECT_TRUE(Parse({"--skip-unreadable", "out", "a"}).options.skip_unreadable);
  EXPECT_EQ(Parse({"--window"}).options.mode, Mode::kWindow);
  EXPECT_EQ(*Parse({"--list", "f.run", "--password-file", "-"}).options.password_file, "-");

  r = Parse({"--extract", "f.run", "-o", "dest", "--overwrite", "rename"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.mode, Mode::kExtract);
  EXPECT_EQ(r.options.archive, "f.run");
  EXPECT_EQ(r.options.output_folder, "dest");
  EXPECT_EQ(r.options.overwrite, OverwriteMode::kRename);
  EXPECT_EQ(Parse({"--extract", "f.run", "-odest"}).options.output_folder, "dest");
  EXPECT_EQ(Parse({"--list", "f.run"}).options.mode, Mode::kList);
  EXPECT_EQ(Parse({"--test=f.run"}).options.archive, "f.run");
  EXPECT_EQ(Parse({"out", "--help"}).options.mode, Mode::kHelp);
  EXPECT_EQ(Parse({"--", "-out", "-src"}).options.sources, (std::vector<std::string>{"-src"}));
}

TEST(PackOptions, UsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {},
           {"out"},
           {"--list"},
           {"--list", "a", "--test", "b"},
           {"--extract", "f.run"},
           {"--extract", "f.run", "-o", "d", "--overwrite", "sometimes"},
           {"--list", "f.run", "extra"},
           {"--list", "f.run", "--hide-names"},
           {"--test", "f.run", "--skip-unreadable"},
           {"--window", "out", "src"},
           {"--window", "--list", "f.run"},
           {"-o", "d", "out", "src"},
           {"--test", "f.run", "--extractor", "img"},
           {"--list", "f.exe", "--windows"},
           {"--frobnicate", "out", "src"},
           {"out", "src", "--password-file"}}) {
    EXPECT_NE(Parse(args).error, "") << (args.empty() ? "(none)" : args[0]);
  }
}

TEST(PackOptions, OutputWithoutExtensionGetsRun) {
  const std::pair<const char*, const char*> cases[] = {
      {"out", "out.run"},         {"out.bin", "out.bin"},     {"dir.d/out", "dir.d/out.run"},
      {"/x/photos.run", "/x/photos.run"}, {".hidden", ".hidden.run"}, {"a.b.c", "a.b.c"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(WithRunExtension(in), out) << in;
  EXPECT_EQ(WithRunExtension("photos", true), "photos.exe");
  EXPECT_EQ(WithRunExtension("photos.run", true), "photos.run");
}

TEST(PackOptions, OverwriteRepliesAndModes) {
  const std::pair<const char*, std::optional<OverwriteAnswer>> cases[] = {
      {"y", OverwriteAnswer::kYes},        {"Y", OverwriteAnswer::kYes},
      {"n", OverwriteAnswer::kNo},         {"N", OverwriteAnswer::kNoToAll},
      {"A", OverwriteAnswer::kYesToAll},   {"a", std::nullopt},
      {"r", OverwriteAnswer::kAutoRename}, {"c", OverwriteAnswer::kCancel},
      {"", std::nullopt},                  {"yes", std::nullopt},
  };
  for (const auto& [reply, answer] : cases) EXPECT_EQ(ParseOverwriteReply(reply), answer) << reply;
  EXPECT_EQ(AnswerForMode(OverwriteMode::kAlways), OverwriteAnswer::kYesToAll);
  EXPECT_EQ(AnswerForMode(OverwriteMode::kNever), OverwriteAnswer::kNoToAll);
  EXPECT_EQ(AnswerForMode(OverwriteMode::kRename), OverwriteAnswer::kAutoRename);
  EXPECT_EQ(AnswerForMode(OverwriteMode::kAsk), std::nullopt);
}

TEST(PackOptions, BarLine) {
  EXPECT_EQ(BarLine("packing", 0, 0, true, 4), "[----]   0%  packing");
  EXPECT_EQ(BarLine("packing", 512, 1024, true, 4), "[##--]  50%  packing  512 B / 1.0 KiB");
  EXPECT_EQ(BarLine("placing", 9, 3, false, 4), "[####] 100%  placing  3 / 3");
  EXPECT_EQ(BarLine("x", -5, 3 << 20, true, 2), "[--]   0%  x  0 B / 3.0 MiB");
}

TEST(PackOptions, BarStageFollowsTheRecord) {
  ProgressRecord r;
  r.total_size = 100;
  r.current_size = 40;
  EXPECT_EQ(BarStateOf(r).stage, "copying");
  r.hold = -1;
  EXPECT_EQ(BarStateOf(r).stage, "preparing");
  r.hold = 0;
  r.extraction_phase = -1;
  EXPECT_EQ(BarStateOf(r).stage, "extracting");
  EXPECT_EQ(BarStateOf(r).done, 40);
  r.placing = -1;
  r.items_placed = 2;
  r.item_count = 5;
  const BarState s = BarStateOf(r);
  EXPECT_EQ(s.stage, "placing");
  EXPECT_EQ(s.done, 2);
  EXPECT_EQ(s.total, 5);
  EXPECT_FALSE(s.bytes);
}

}  // namespace
}  // namespace coffer::pack
