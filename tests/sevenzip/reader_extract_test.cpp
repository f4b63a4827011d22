// The reader over the real engine module and archives made by the real
// 7zz: listing, extracting into a folder and into streams.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/error.h"
#include "sevenzip/reader.h"
#include "tests/sevenzip/fixtures.h"

namespace coffer::sevenzip {
namespace {

using test::FindItem;
using test::Make7z;
using test::RealReader;
using test::ScratchDir;

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { expected_ = test::MakeSampleTree(dir_ / "src"); }
  std::string Archive(const std::string& name, const std::string& switches) {
    const std::string archive = dir_ / (name + ".7z");
    Make7z(archive, dir_ / "src", switches + " .");
    return archive;
  }
  ScratchDir dir_;
  std::vector<std::pair<std::string, std::string>> expected_;
};

TEST_F(ReaderTest, ExtractsEveryCodecAndFilterSolidOrNot) {
  const char* methods[] = {"-m0=LZMA",  "-m0=LZMA2", "-m0=PPMd",    "-m0=BZip2",   "-m0=Deflate",
                           "-m0=Copy",  "-mf=BCJ",   "-mf=BCJ2",    "-mf=ARM",     "-mf=ARMT",
                           "-mf=ARM64", "-mf=PPC",   "-mf=SPARC",   "-mf=IA64",    "-mf=Delta:4",
                           "-m0=LZMA2 -mhc=off"};
  int n = 0;
  for (const char* method : methods) {
    for (const char* solid : {"-ms=on", "-ms=off"}) {
      SCOPED_TRACE(std::string(method) + " " + solid);
      const std::string name = "a" + std::to_string(n++);
      const std::string archive = Archive(name, std::string(method) + " " + solid);
      auto reader = RealReader();
      reader->OpenFromFile(archive);
      reader->ExtractAllToFolder(dir_ / ("out_" + name));
      EXPECT_TRUE(reader->LastFailures().empty());
      EXPECT_EQ(test::TreeContents(dir_ / ("out_" + name)), expected_);
    }
  }
}

TEST_F(ReaderTest, ListsPathsSizesAndFolders) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("list", "-m0=LZMA2"));
  const uint32_t count = reader->ItemCount();
  EXPECT_EQ(count, expected_.size() + 6);  // the files and six folders
  for (const auto& [path, content] : expected_) {
    const int i = FindItem(reader, path);
    ASSERT_GE(i, 0) << path;
    EXPECT_FALSE(reader->ItemIsFolder(i)) << path;
    EXPECT_EQ(reader->ItemSize(i), static_cast<int64_t>(content.size())) << path;
  }
  const int folder = FindItem(reader, "empty_folder");
  ASSERT_GE(folder, 0);
  EXPECT_TRUE(reader->ItemIsFolder(folder));
  EXPECT_EQ(reader->ItemSize(folder), 0);
  EXPECT_EQ(reader->ItemName(folder), "");  // the 7z handler has no name property
}

TEST_F(ReaderTest, FolderItemsMakeTheirFoldersAndExistingFilesAreRewritten) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("folders", "-m0=LZMA2"));
  const std::string out = dir_ / "out/";
  test::WriteFile(out + "readme.txt", std::string(1 << 20, 'x'));
  reader->ExtractAllToFolder(dir_ / "out");  // without the final "/"
  EXPECT_EQ(test::TreeContents(out), expected_);
  // An empty folder is part of the sender's tree too.
  EXPECT_TRUE(std::filesystem::is_directory(out + "empty_folder"));
  EXPECT_TRUE(test::Exists(out + "deep/er/still/leaf.txt"));
}

TEST_F(ReaderTest, ExtractsOneItemIntoABorrowedStreamThatStaysUsable) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("one", "-m0=LZMA2"));
  const int i = FindItem(reader, "readme.txt");
  ASSERT_GE(i, 0);
  FileStream target(dir_ / "one.out", FileMode::kCreate);
  target.Write("head", 4);  // written from the current position
  reader->ExtractItemToStream(i, target, false);
  EXPECT_EQ(target.Size(), 4 + reader->ItemSize(i));
  target.Seek(0, SeekOrigin::kBegin);
  char head[4];
  EXPECT_EQ(target.Read(head, 4), 4);
  EXPECT_EQ(std::string(head, 4), "head");
  EXPECT_EQ(test::ReadFile(dir_ / "one.out"), "head" + test::ReadFile(dir_ / "src/readme.txt"));
}

TEST_F(ReaderTest, TestModeWritesNothing) {
  auto reader = RealReader();
  reader->OpenFromFile(Archive("test", "-m0=LZMA2"));
  FileStream target(dir_ / "test.out", FileMode::kCreate);
  reader->ExtractItemToStream(FindItem(reader, "readme.txt"), target, true);
  EXPECT_EQ(target.Size(), 0);
  EXPECT_TRUE(reader->LastFailures().empty());
}

TEST_F(ReaderTest, OpensFromACallersStream) {
  const std::string archive = Archive("stream", "-m0=PPMd");
  FileStream in(archive, FileMode::kRead);
  auto reader = RealReader();
  reader->OpenFromStream(in);
  reader->ExtractAllToFolder(dir_ / "out");
  EXPECT_EQ(test::TreeContents(dir_ / "out"), expected_);
  reader->CloseArchive();
  EXPECT_GT(in.Size(), 0);  // still the caller's and open
}

TEST_F(ReaderTest, FindsTheSignatureOnlyInsideTheScanWindow) {
  const std::string archive = test::ReadFile(Archive("window", "-m0=LZMA2"));
  const struct {
    size_t offset;
    bool opens;
  } cases[] = {{0, true}, {1004544, true}, {1048576, true}, {1048577, false}, {1100000, false}};
  for (const auto& c : cases) {
    const std::string path = dir_ / ("payload" + std::to_string(c.offset));
    test::WriteFile(path, test::RandomBytes(c.offset, 3) + archive);
    auto reader = RealReader();
    if (c.opens) {
      ASSERT_NO_THROW(reader->OpenFromFile(path)) << c.offset;
      EXPECT_EQ(reader->ItemCount(), expected_.size() + 6);
    } else {
      EXPECT_THROW(reader->OpenFromFile(path), std::system_error) << c.offset;
    }
  }
}

TEST_F(ReaderTest, RefusesWorkBeforeOpeningAndIndicesOutOfRange) {
  auto reader = RealReader();
  EXPECT_THROW(reader->ItemCount(), Error);
  EXPECT_THROW(reader->ItemPath(0), Error);
  EXPECT_THROW(reader->ExtractAllToFolder(dir_ / "out"), Error);
  EXPECT_NO_THROW(reader->CloseArchive());
  EXPECT_THROW(reader->OpenFromFile(dir_ / "missing.7z"), Error);
  reader->OpenFromFile(Archive("range", "-m0=LZMA2"));
  const uint32_t n = reader->ItemCount();
  EXPECT_THROW(reader->ItemPath(n), Error);
  EXPECT_THROW(reader->ItemSize(n + 100), Error);
  FileStream target(dir_ / "x.out", FileMode::kCreate);
  EXPECT_THROW(reader->ExtractItemToStream(n, target, false), Error);
  reader->CloseArchive();
  EXPECT_THROW(reader->ItemCount(), Error);
}

TEST_F(ReaderTest, OpenFailureLeavesTheReaderUsable) {
  test::WriteFile(dir_ / "junk.7z", test::RandomBytes(5000, 1));
  auto reader = RealReader();
  EXPECT_THROW(reader->OpenFromFile(dir_ / "junk.7z"), std::system_error);
  reader->OpenFromFile(Archive("after", "-m0=LZMA2"));
  EXPECT_EQ(reader->ItemCount(), expected_.size() + 6);
}

}  // namespace
}  // namespace coffer::sevenzip
