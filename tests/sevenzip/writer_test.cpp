// The archive writer over the real read-write module, checked by the real
// 7zz and by our reader, also when the archive starts deep inside a file.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "platform/error.h"
#include "sevenzip/writer.h"
#include "tests/sevenzip/fixtures.h"

namespace coffer::sevenzip {
namespace {

using test::Quote;
using test::ScratchDir;

constexpr const char* kProbe = "1e1c8ebb-9299-4834-ab8f-9e5a0c04ba8b.tavrenis";

namespace fs = std::filesystem;
using FileClock = fs::file_time_type::clock;

fs::path FsPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

void SetModificationTime(const std::string& path, std::time_t t) {
  fs::last_write_time(FsPath(path), FileClock::from_sys(std::chrono::system_clock::from_time_t(t)));
}

std::time_t ModificationTime(const std::string& path) {
  const auto sys = FileClock::to_sys(fs::last_write_time(FsPath(path)));
  return std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
}

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override { expected_ = test::MakeSampleTree(dir_ / "src"); }
  // Writes the items behind `prefix_size` bytes of other content; returns the file.
  std::string WriteBehind(size_t prefix_size, const std::vector<ArchiveItem>& items, const WriteOptions& options) {
    const std::string path = dir_ / "out.bin";
    FileStream file(path, FileMode::kCreate);
    const std::string prefix = test::RandomBytes(prefix_size, 5);
    file.Write(prefix.data(), static_cast<int64_t>(prefix.size()));
    T7zOutArchive(test::EngineRwModule()).Write(file, items, options);
    EXPECT_EQ(file.Position(), file.Size());
    return path;
  }
  // The archive alone, cut out of the file it was written into.
  std::string CutOut(const std::string& path, size_t offset) {
    const std::string archive = dir_ / "alone.7z";
    test::WriteFile(archive, test::ReadFile(path).substr(offset));
    return archive;
  }
  ScratchDir dir_;
  std::vector<std::pair<std::string, std::string>> expected_;
  std::vector<UnpackableEntry> unpackable_;  // the sample tree has none
};

TEST_F(WriterTest, RoundTripsThroughTheReal7zzAndOurReaderAtAnOffset) {
  auto items = ItemsBelow(dir_ / "src", "", unpackable_);
  items.push_back(ArchiveItem::FromBytes(kProbe, test::RandomBytes(4096, 11)));
  WriteOptions options;
  options.password = "pass word";
  const size_t offset = 1004544;
  const std::string file = WriteBehind(offset, items, options);
  const std::string archive = CutOut(file, offset);

  std::string out;
  EXPECT_EQ(test::Run("7zz t -bd -p" + Quote(options.password) + " " + Quote(archive), &out), 0) << out;
  EXPECT_NE(test::Run("7zz t -bd -pwrong " + Quote(archive), &out), 0) << out;
  ASSERT_EQ(test::Run("7zz l -slt -bd " + Quote(archive) + " </dev/null", &out), 0) << out;  // no password asked
  EXPECT_NE(out.find("Path = names/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("Path = empty_folder"), std::string::npos) << out;
  EXPECT_NE(out.find("Method = LZMA2:"), std::string::npos) << out;
  EXPECT_NE(out.find("7zAES"), std::string::npos) << out;
  EXPECT_NE(out.find("Solid = +"), std::string::npos) << out;

  ASSERT_EQ(test::Run("7zz x -bd -y -p" + Quote(options.password) + " -o" + Quote(dir_ / "by7zz") + " " + Quote(archive), &out), 0) << out;
  auto with_probe = expected_;
  with_probe.emplace_back(kProbe, test::RandomBytes(4096, 11));
  std::sort(with_probe.begin(), with_probe.end());
  EXPECT_EQ(test::TreeContents(dir_ / "by7zz"), with_probe);
  EXPECT_TRUE(test::Exists(dir_ / "by7zz/empty_folder"));

  auto reader = test::RealReader();
  reader->OpenFromFile(file);  // the whole file: the archive is inside the scan window
  reader->SetKnownPassword(options.password);
  reader->ExtractAllToFolder(dir_ / "byus");
  EXPECT_TRUE(reader->LastFailures().empty());
  EXPECT_EQ(test::TreeContents(dir_ / "byus"), with_probe);
}

TEST_F(WriterTest, OptionsReachTheArchive) {
  const auto items = ItemsBelow(dir_ / "src", "top", unpackable_);
  const struct {
    WriteOptions options;
    std::vector<std::string> shown;
  } cases[] = {
      {{"", 5, 0, true, false}, {"Path = top/readme.txt", "Solid = +"}},
      {{"", 1, 1, false, false}, {"Path = top/readme.txt", "Solid = -"}},
      {{"", 0, 2, true, false}, {"Method = Copy"}},
  };
  for (const auto& c : cases) {
    const std::string archive = CutOut(WriteBehind(0, items, c.options), 0);
    std::string out;
    ASSERT_EQ(test::Run("7zz l -slt -bd " + Quote(archive), &out), 0) << out;
    for (const auto& text : c.shown) EXPECT_NE(out.find(text), std::string::npos) << text << "\n" << out;
    EXPECT_EQ(out.find("7zAES"), std::string::npos);
  }
  WriteOptions hidden;
  hidden.password = "x";
  hidden.encrypt_names = true;
  const std::string archive = CutOut(WriteBehind(0, items, hidden), 0);
  std::string out;
  EXPECT_NE(test::Run("7zz l -bd -p " + Quote(archive) + " </dev/null", &out), 0) << out;
  EXPECT_EQ(out.find("readme.txt"), std::string::npos) << out;
}

TEST_F(WriterTest, StoresModificationTimesOfDiskAndMemoryItems) {
  const std::string disk = dir_ / "old.txt";
  test::WriteFile(disk, "old");
  SetModificationTime(disk, 1262304000);  // 2010-01-01 00:00:00 UTC
  auto memory = ArchiveItem::FromBytes("mem.txt", "mem");
  memory.mtime = std::chrono::system_clock::from_time_t(946684800);  // 2000-01-01
  auto folder = ArchiveItem::Folder("dir");
  folder.mtime = std::chrono::system_clock::from_time_t(1577836800);  // 2020-01-01
  const std::string archive =
      CutOut(WriteBehind(0, {ArchiveItem::FromDisk("old.txt", disk), memory, folder}, {}), 0);
  std::string out;
  ASSERT_EQ(test::Run("7zz x -bd -y -o" + Quote(dir_ / "x") + " " + Quote(archive), &out), 0) << out;
  const struct {
    const char* name;
    time_t mtime;
  } cases[] = {{"old.txt", 1262304000}, {"mem.txt", 946684800}, {"dir", 1577836800}};
  for (const auto& c : cases) {
    EXPECT_EQ(ModificationTime(dir_ / "x/" + c.name), c.mtime) << c.name;
  }
}

TEST_F(WriterTest, FailuresRaiseReadableErrors) {
  const std::string missing = dir_ / "missing.txt";
  const struct {
    std::vector<ArchiveItem> items;
    std::string message_part;
  } cases[] = {
      {{ArchiveItem::FromDisk("m.txt", missing)}, missing},
      {{ArchiveItem::FromBytes("../up.txt", "x")}, "../up.txt"},
      {{ArchiveItem::FromBytes("/abs.txt", "x")}, "/abs.txt"},
      {{ArchiveItem::FromBytes("a//b", "x")}, "a//b"},
  };
  for (const auto& c : cases) {
    try {
      WriteBehind(0, c.items, {});
      ADD_FAILURE() << c.message_part << " was written";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message_part), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(T7zOutArchive(dir_ / "none.so"), Error);
}

TEST_F(WriterTest, TheProgressHandlerSeesTheTotalAndCanCancel) {
  ScratchDir big;
  for (int i = 0; i < 4; ++i) test::WriteFile(big / ("f" + std::to_string(i)), test::RandomBytes(2 << 20, i));
  const auto items = ItemsBelow(big.path(), "", unpackable_);
  FileStream file(dir_ / "cancel.7z", FileMode::kCreate);
  T7zOutArchive writer(test::EngineRwModule());
  uint64_t last_total = 0, last_done = 0;
  writer.Write(file, items, {}, [&](uint64_t total, uint64_t done) {
    last_total = total;
    last_done = done;
    return true;
  });
  EXPECT_EQ(last_total, uint64_t{8} << 20);
  EXPECT_EQ(last_done, last_total);

  FileStream again(dir_ / "cancel2.7z", FileMode::kCreate);
  int calls = 0;
  try {
    writer.Write(again, items, {}, [&](uint64_t, uint64_t) { return ++calls < 3; });
    FAIL() << "not cancelled";
  } catch (const std::system_error& e) {
    EXPECT_EQ(std::string(e.what()), "Operation aborted");
  }
}

}  // namespace
}  // namespace coffer::sevenzip
