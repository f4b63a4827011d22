// Packing with the real coffer-pack: what lands in the file, read back by
// the real 7zz and by our own extraction, and every refusal leaving nothing.
#include <sys/stat.h>

#include <algorithm>

#include "app/files.h"
#include "pack/packer.h"
#include "tests/pack/pack_fixture.h"

namespace coffer::pack::test {
namespace {

class PackRun : public PackTest {
 protected:
  // `7zz x` of the whole packed file into `folder`.
  void Unpack7zz(const std::string& file, const std::string& folder) {
    std::string out;
    ASSERT_EQ(Sh("7zz x -bd -y -p" + Quote(kPassword) + " -o" + Quote(folder) + " " + Quote(file), &out), 0)
        << out;
  }
  std::string Extract(const std::string& file, const std::string& folder, const std::string& mode = "never") {
    std::string out;
    EXPECT_EQ(Pack("--extract " + file + " -o " + folder + " --overwrite " + mode + " --password-file pw", &out), 0)
        << out;
    return out;
  }
};

TEST_F(PackRun, TreeComesBackWhole) {
  WriteFile(dir_ / "zero.dat", "");
  PackOk("out", "src zero.dat");
  const std::string file = dir_ / "out.run";
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  const std::string bytes = ReadFile(file);
  EXPECT_EQ(bytes.substr(0, 4096), ReadFile(dir_ / "stand-in"));
  EXPECT_EQ(bytes.substr(4096, kPayloadOffset - 4096), std::string(kPayloadOffset - 4096, '\0'));
  EXPECT_EQ(bytes.substr(kPayloadOffset, 6), std::string("7z\xBC\xAF\x27\x1C", 6));

  // Every entry of the tree under "src", the empty folders included.
  std::vector<std::string> expected = {"src", "zero.dat"};
  for (const auto& e : TreeEntries(dir_ / "src")) expected.push_back("src/" + e);
  std::sort(expected.begin(), expected.end());

  Unpack7zz(file, dir_ / "by7zz");
  EXPECT_FALSE(ReadFile(dir_ / ("by7zz/" + std::string(kProbeItemName))).empty());
  auto entries = TreeEntries(dir_ / "by7zz");
  std::erase(entries, kProbeItemName);
  EXPECT_EQ(entries, expected);
  EXPECT_EQ(TreeContents(dir_ / "by7zz/src"), TreeContents(dir_ / "src"));
  EXPECT_EQ(ReadFile(dir_ / "by7zz/zero.dat"), "");

  Extract("out.run", "ours");
  EXPECT_EQ(TreeEntries(dir_ / "ours/out"), expected);
  EXPECT_EQ(TreeContents(dir_ / "ours/out/src"), TreeContents(dir_ / "src"));
}

TEST_F(PackRun, NamesAndMethodsAsTheExtractorExpects) {
  PackOk("out.bin", "src");
  std::string out;
  ASSERT_EQ(Sh("7zz l -slt -bd " + Quote(dir_ / "out.bin") + " </dev/null", &out), 0) << out;  // no password
  EXPECT_NE(out.find("Path = " + std::string(kProbeItemName)), std::string::npos) << out;
  // One folder packed: its content is the top level.
  EXPECT_NE(out.find("Path = a/b/c/deep.txt"), std::string::npos);
  EXPECT_NE(out.find("Offset = 786432"), std::string::npos);
  EXPECT_NE(out.find("LZMA2"), std::string::npos);
  EXPECT_NE(out.find("7zAES"), std::string::npos);
  EXPECT_NE(out.find("Solid = +"), std::string::npos);
  EXPECT_NE(Sh("7zz t -bd -pwrong " + Quote(dir_ / "out.bin"), &out), 0);
  // Two packs of the same tree get different probe content.
  PackOk("again.bin", "src");
  Unpack7zz(dir_ / "out.bin", dir_ / "x1");
  Unpack7zz(dir_ / "again.bin", dir_ / "x2");
  EXPECT_NE(ReadFile(dir_ / ("x1/" + std::string(kProbeItemName))),
            ReadFile(dir_ / ("x2/" + std::string(kProbeItemName))));
}

TEST_F(PackRun, ImageSizesAtTheEdges) {
  struct Case {
    size_t size;
    bool accepted;
  } cases[] = {{786432, true}, {size_t(kMaxImageSize), true}, {size_t(kMaxImageSize) + 1, false}};
  for (const auto& c : cases) {
    WriteFile(dir_ / "image", coffer::test::RandomBytes(c.size, 3));
    Sh("rm -f " + Quote(dir_ / "edge.run"));
    std::string out;
    const int rc = Pack("--extractor image --password-file pw edge.run src/a", &out);
    if (!c.accepted) {
      EXPECT_EQ(rc, 1) << c.size;
      EXPECT_NE(out.find("at most 1835008 bytes"), std::string::npos) << out;
      EXPECT_FALSE(Exists(dir_ / "edge.run"));
      continue;
    }
    ASSERT_EQ(rc, 0) << c.size << out;
    const std::string bytes = ReadFile(dir_ / "edge.run");
    EXPECT_EQ(bytes.substr(c.size, 2), "7z") << c.size;
    Sh("rm -rf " + Quote(dir_ / "o"));
    Extract("edge.run", "o");
    EXPECT_EQ(TreeContents(dir_ / "o/edge"), TreeContents(dir_ / "src/a")) << c.size;
  }
}

TEST_F(PackRun, RealExtractorImageIsCopiedExactly) {
  const std::string image = coffer::test::BinaryDir() + "coffer";
  struct stat st;
  ASSERT_EQ(::stat(image.c_str(), &st), 0);
  if (st.st_size > kMaxImageSize) GTEST_SKIP() << "unstripped extractor (sanitizer build): " << st.st_size;
  std::string out;
  ASSERT_EQ(Pack("--password-file pw real src", &out), 0) << out;
  const std::string bytes = ReadFile(dir_ / "real.run");
  const size_t start = std::max<size_t>(kPayloadOffset, static_cast<size_t>(st.st_size));
  EXPECT_EQ(bytes.substr(0, static_cast<size_t>(st.st_size)), ReadFile(image));
  EXPECT_EQ(bytes.substr(start, 2), "7z");
  Extract("real.run", "o");
  EXPECT_EQ(TreeContents(dir_ / "o/real"), TreeContents(dir_ / "src"));
}

// For Windows recipients: the Windows program in front (".exe" added), and
// the terminal modes read such a file as they read a Linux one.
TEST_F(PackRun, ForWindowsRecipients) {
  const std::string image = COFFER_WINDOWS_BUILD_DIR "coffer.exe";
  struct stat st;
  if (::stat(image.c_str(), &st) != 0) GTEST_SKIP() << "no Windows build beside this one: " << image;
  std::string out;
  ASSERT_EQ(Pack("--windows --password-file pw photos src", &out), 0) << out;
  const std::string bytes = ReadFile(dir_ / "photos.exe");
  EXPECT_EQ(bytes.substr(0, static_cast<size_t>(st.st_size)), ReadFile(image));
  EXPECT_EQ(bytes.substr(std::max<size_t>(kPayloadOffset, static_cast<size_t>(st.st_size)), 2), "7z");
  ASSERT_EQ(Pack("--list photos.exe", &out), 0) << out;
  EXPECT_NE(out.find("text.txt"), std::string::npos) << out;
  Extract("photos.exe", "o");
  EXPECT_EQ(TreeContents(dir_ / "o/photos"), TreeContents(dir_ / "src"));
}

TEST_F(PackRun, RefusalsLeaveNothingBehind) {
  WriteFile(dir_ / "empty-pw", "\n");
  WriteFile(dir_ / "big", std::string(size_t(kMaxImageSize) + 1, 'x'));
  WriteFile(dir_ / "mz", "MZ" + coffer::test::RandomBytes(4096, 2));
  WriteFile(dir_ / "elf", "\x7f" "ELF" + coffer::test::RandomBytes(4096, 2));
  WriteFile(dir_ / "b/a/file", "other a");
  WriteFile(dir_ / "1E1C8EBB-9299-4834-AB8F-9E5A0C04BA8B.TAVRENIS", "clash");
  WriteFile(dir_ / "c/1e1c8ebb-9299-4834-ab8f-9e5a0C04ba8b.tavrenis", "clash inside a lone folder");
  Sh("mkdir -p " + Quote(dir_ / "outdir.run"));
  const std::pair<std::string, std::string> cases[] = {
      {"--extractor stand-in --password-file pw out src missing", "missing"},
      {"--extractor stand-in --password-file pw out src 1E1C8EBB-9299-4834-AB8F-9E5A0C04BA8B.TAVRENIS",
       "password check"},
      {"--extractor stand-in --password-file pw out src/a b/a", "two sources"},
      {"--extractor stand-in --password-file pw out c", "password check"},
      {"--extractor stand-in --password-file empty-pw out src", "empty"},
      {"--extractor stand-in --password-file no-such-file out src", "no-such-file"},
      {"--extractor big --password-file pw out src", "at most"},
      {"--extractor no-image --password-file pw out src", "missing"},
      {"--extractor mz --password-file pw out src", "add --windows"},
      {"--windows --extractor elf --password-file pw out src", "is a Linux program"},
      {"--extractor stand-in --password-file pw src/inside.run src", "inside the source"},
      {"--extractor stand-in --password-file pw src/text.txt src/text.txt", "would be the source"},
      {"--extractor stand-in --password-file pw outdir src", "is a folder"},
      {"--extractor stand-in out src", "no terminal"},
      {"--password secret out src", "never taken"},
  };
  const auto before = TreeEntries(dir_.path());
  for (const auto& [args, message] : cases) {
    std::string out;
    EXPECT_NE(Pack(args, &out), 0) << args;
    EXPECT_NE(out.find(message), std::string::npos) << args << "\n" << out;
    EXPECT_EQ(TreeEntries(dir_.path()), before) << args;
  }
}

TEST_F(PackRun, MismatchingPasswordsAtThePromptAreRefused) {
  // `script` gives the packer a terminal of its own and types the answers.
  auto typed = [&](const std::string& first, const std::string& second) {
    std::string out;
    const int rc = Sh("cd " + Quote(dir_.path()) + " && (sleep 0.3; printf '%s\\n' " + Quote(first) +
                           "; sleep 0.3; printf '%s\\n' " + Quote(second) + ") | script -qec " +
                           Quote(coffer::test::BinaryDir() + "coffer-pack --extractor stand-in typed src/a") +
                           " /dev/null",
                       &out);
    return std::make_pair(rc, out);
  };
  auto [rc, out] = typed("one", "two");
  EXPECT_EQ(rc, 1) << out;
  EXPECT_NE(out.find("do not match"), std::string::npos) << out;
  EXPECT_EQ(out.find("one"), std::string::npos) << "echoed: " << out;
  EXPECT_FALSE(Exists(dir_ / "typed.run"));
  std::tie(rc, out) = typed(kPassword, kPassword);
  EXPECT_EQ(rc, 0) << out;
  Extract("typed.run", "o");
  EXPECT_EQ(TreeContents(dir_ / "o/typed"), TreeContents(dir_ / "src/a"));
}

TEST_F(PackRun, SignalRemovesTheHalfWrittenFile) {
  WriteFile(dir_ / "big/noise.bin", coffer::test::RandomBytes(size_t{96} << 20, 9));
  // Each ends with the status its signal gives: 128 + its number.
  for (const auto& [sig, status] : {std::pair{"INT", 130}, {"TERM", 143}, {"HUP", 129}}) {
    const auto before = TreeEntries(dir_.path());
    std::string out;
    const int rc = Sh("cd " + Quote(dir_.path()) + " && { setsid " + Quote(coffer::test::BinaryDir() + "coffer-pack") +
                           " --extractor stand-in --password-file pw sig.run big </dev/null & pid=$!; sleep 0.7; "
                           "kill -" + sig + " $pid; wait $pid; }",
                       &out);
    EXPECT_EQ(rc, status) << sig << out;
    EXPECT_EQ(TreeEntries(dir_.path()), before) << sig;
  }
}

}  // namespace
}  // namespace coffer::pack::test
