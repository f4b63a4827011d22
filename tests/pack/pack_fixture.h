#pragma once
// Runs the real coffer-pack as a child process, without a controlling
// terminal (so it can never stop to ask), in a scratch folder holding a
// small stand-in extractor image, a password file and a source tree.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/scratch.h"

namespace coffer::pack::test {

using coffer::test::Exists;
using coffer::test::Quote;
using coffer::test::ReadFile;
using coffer::test::TreeContents;
using coffer::test::TreeEntries;
using coffer::test::WriteFile;

inline const char* kPassword = "pass wörd";

// The shell, under a name the test fixtures' own Run() does not hide.
inline int Sh(const std::string& command, std::string* output = nullptr) {
  return coffer::test::Run(command, output);
}

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    coffer::test::WriteFile(dir_ / "pw", std::string(kPassword) + "\r\n");
    coffer::test::WriteFile(dir_ / "wrong", "not the password\n");
    coffer::test::WriteFile(dir_ / "stand-in", coffer::test::RandomBytes(4096, 1));
    MakeTree(dir_ / "src");
    coffer::test::Run("mkdir -p " + Quote(dir_ / "tmp"));
  }
  // The packer's working folders go to tmp/ here, which must end up empty.
  std::string Env() const { return "TMPDIR=" + Quote(dir_ / "tmp") + " "; }

  // Nested folders, an empty folder, unicode names, an empty file, a
  // compressible and an incompressible file.
  static void MakeTree(const std::string& root) {
    using coffer::test::WriteFile;
    WriteFile(root + "/a/b/c/deep.txt", "deep down\n");
    WriteFile(root + "/a/empty-file", "");
    WriteFile(root + "/\xE6\x97\xA5\xE6\x9C\xAC/\xC3\xA9t\xC3\xA9 d'\xC3\xA9t\xC3\xA9.txt", "unicode\n");
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\n";
    WriteFile(root + "/text.txt", text);
    WriteFile(root + "/random.bin", coffer::test::RandomBytes(300000, 7));
    coffer::test::Run("mkdir -p " + Quote(root + "/empty/inner"));
  }

  // `coffer-pack ARGS` run in the scratch folder; returns the exit status.
  // Standard input is empty, or what the shell command `feed` writes to it.
  int Pack(const std::string& args, std::string* output = nullptr, const std::string& feed = {}) {
    std::string out;
    const int rc = coffer::test::Run("cd " + Quote(dir_.path()) + " && " + (feed.empty() ? "" : feed + " | ") + Env() +
                                         "setsid -w " + Quote(coffer::test::BinaryDir() + "coffer-pack") + " " + args +
                                         (feed.empty() ? " </dev/null" : "") + " 2>&1",
                                     &out);
    if (output) *output = out;
    return rc;
  }
  // Packs the sources with the stand-in image and the password file.
  void PackOk(const std::string& output, const std::string& sources, const std::string& image = "stand-in") {
    std::string out;
    ASSERT_EQ(Pack("--extractor " + image + " --password-file pw " + output + " " + sources, &out), 0) << out;
  }
  // The entries of the scratch folder's top level, to see nothing was left.
  std::vector<std::string> TopLevel() {
    std::vector<std::string> names;
    for (const auto& e : coffer::test::TreeEntries(dir_.path()))
      if (e.find('/') == std::string::npos) names.push_back(e);
    return names;
  }

  coffer::test::ScratchDir dir_;
};

}  // namespace coffer::pack::test
