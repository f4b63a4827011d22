#pragma once
// Helpers for the binding's tests: small stand-in modules compiled on the
// spot with the system's C compiler, whether a module is mapped, and a
// reader over the real engine module.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sevenzip/reader.h"
#include "tests/support/scratch.h"

namespace coffer::test {

// Compiles `c_source` into a module `name` in `dir` and returns its path.
// The source marks exported functions COFFER_CALL, which is the system's
// COM calling convention (the one the library's CreateObject has).
std::string BuildModule(const ScratchDir& dir, const std::string& name, const std::string& c_source);

// True while a file of that path is mapped into this process.
bool IsMapped(const std::string& path);

// A reader over the real extract-only module, for the 7z format.
sevenzip::ReaderRef RealReader();

// Index of the item with this path, or -1.
int FindItem(const sevenzip::ReaderRef& reader, const std::string& path);

}  // namespace coffer::test

namespace coffer::test {

// A small tree under `root` (files of several kinds, names in several
// scripts, nested and empty folders, a zero-byte file); returns its files
// as TreeContents would list them.
std::vector<std::pair<std::string, std::string>> MakeSampleTree(const std::string& root);

}  // namespace coffer::test

namespace coffer::test {

// A sample tree in a scratch folder ("src" in `dir_`, its files in
// `expected_`), and 7z archives of it made by 7zz.
class SampleTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { expected_ = MakeSampleTree(dir_ / "src"); }
  // `name`.7z in the scratch folder, made with these switches.
  std::string Archive(const std::string& name, const std::string& switches) {
    const std::string archive = dir_ / (name + ".7z");
    Make7z(archive, dir_ / "src", switches + " .");
    return archive;
  }
  ScratchDir dir_;
  std::vector<std::pair<std::string, std::string>> expected_;
};

}  // namespace coffer::test
