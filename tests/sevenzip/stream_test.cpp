// T7zStream as the library sees it: through its interfaces only.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "sevenzip/t7z_stream.h"
#include "tests/support/scratch.h"

namespace coffer::sevenzip {
namespace {

using test::ScratchDir;

// Tells whether it was freed; the rest is a real file.
class WatchedFile final : public HostStream {
 public:
  WatchedFile(const std::string& path, FileMode mode, bool* freed) : file_(path, mode), freed_(freed) {}
  ~WatchedFile() override { *freed_ = true; }
  int64_t Read(void* b, int64_t n) override { return file_.Read(b, n); }
  void Write(const void* b, int64_t n) override { file_.Write(b, n); }
  int64_t Seek(int64_t o, SeekOrigin w) override { return file_.Seek(o, w); }
  int64_t Position() override { return file_.Position(); }
  int64_t Size() override { return file_.Size(); }
  void SetSize(int64_t n) override { file_.SetSize(n); }

 private:
  FileStream file_;
  bool* freed_;
};

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFile(path_, "0123456789"); }
  ScratchDir dir_;
  std::string path_ = dir_ / "data.bin";
};

TEST_F(StreamTest, AnswersEveryInterfaceOfItsTableAsOneObject) {
  FileStream file(path_, FileMode::kRead);
  auto stream = T7zStream::Create(&file, StreamOwnership::Borrowed, nullptr);
  const GUID* ids[] = {&IID_IUnknown, &IID_ISequentialInStream, &IID_IInStream, &IID_ISequentialOutStream,
                       &IID_IOutStream, &IID_IStreamGetSize, &IID_IOutStreamFinish};
  for (const GUID* id : ids) {
    IUnknown* p = nullptr;
    ASSERT_EQ(stream->QueryInterface(*id, reinterpret_cast<void**>(&p)), S_OK);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->AddRef(), 3u);  // ours, the query's, this one
    p->Release();
    p->Release();
  }
  IUnknown* p = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(stream->QueryInterface(IID_IInArchive, reinterpret_cast<void**>(&p)), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
}

TEST_F(StreamTest, ReadsSeeksAndSizesStraightThrough) {
  FileStream file(path_, FileMode::kRead);
  auto stream = T7zStream::Create(&file, StreamOwnership::Borrowed, nullptr);
  IInStream* in = stream->AsInStream();
  char buf[16] = {};
  UInt32 got = 0;
  EXPECT_EQ(in->Read(buf, 4, &got), S_OK);
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::string(buf, 4), "0123");
  UInt64 pos = 0;
  EXPECT_EQ(in->Seek(0, STREAM_SEEK_END, &pos), S_OK);
  EXPECT_EQ(pos, 10u);
  EXPECT_EQ(in->Read(buf, sizeof buf, &got), S_OK);  // at the end
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(in->Seek(-3, STREAM_SEEK_CUR, &pos), S_OK);
  EXPECT_EQ(pos, 7u);
  EXPECT_EQ(in->Seek(2, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(in->Read(buf, 1, nullptr), S_OK);
  EXPECT_EQ(buf[0], '2');
  UInt64 size = 0;
  IStreamGetSize* sizer = stream.get();
  EXPECT_EQ(sizer->GetSize(&size), S_OK);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(sizer->GetSize(nullptr), S_OK);
  EXPECT_EQ(in->Seek(0, 3, &pos), STG_E_INVALIDFUNCTION);
}

TEST_F(StreamTest, WritesAndSetsSizeStraightThrough) {
  FileStream file(path_, FileMode::kCreate);
  auto stream = T7zStream::Create(&file, StreamOwnership::Borrowed, nullptr);
  IOutStream* out = stream->AsOutStream();
  UInt32 done = 0;
  EXPECT_EQ(out->Write("abcdef", 6, &done), S_OK);
  EXPECT_EQ(done, 6u);
  EXPECT_EQ(out->Write("g", 1, nullptr), S_OK);
  EXPECT_EQ(out->SetSize(3), S_OK);
  EXPECT_EQ(static_cast<IOutStreamFinish*>(stream.get())->OutStreamFinish(), S_OK);
  stream.reset();
  EXPECT_EQ(test::ReadFile(path_), "abc");
}

// Id {23170F69-40C1-278A-0000-000300070000}: the engine names it
// IOutStreamFinish, older ones IOutStreamFlush with a Flush method; either
// way one method in the same place, which writes nothing and succeeds.
TEST_F(StreamTest, AnswersTheFlushIdAndItsMethodDoesNothing) {
  const GUID flush_id = {0x23170F69, 0x40C1, 0x278A, {0, 0, 0, 3, 0, 7, 0, 0}};
  FileStream file(path_, FileMode::kRead);
  auto stream = T7zStream::Create(&file, StreamOwnership::Borrowed, nullptr);
  IOutStreamFinish* flush = nullptr;
  ASSERT_EQ(stream->QueryInterface(flush_id, reinterpret_cast<void**>(&flush)), S_OK);
  ASSERT_NE(flush, nullptr);
  EXPECT_EQ(flush->OutStreamFinish(), S_OK);
  flush->Release();
  EXPECT_EQ(test::ReadFile(path_), "0123456789");
}

TEST_F(StreamTest, BorrowedStreamOutlivesTheAdapterAndOwnedOneGoesWithIt) {
  bool borrowed_freed = false, owned_freed = false;
  WatchedFile borrowed(path_, FileMode::kRead, &borrowed_freed);
  auto a = T7zStream::Create(&borrowed, StreamOwnership::Borrowed, nullptr);
  auto b = T7zStream::Create(std::make_unique<WatchedFile>(path_, FileMode::kRead, &owned_freed), nullptr);
  EXPECT_EQ(b->ownership(), StreamOwnership::Owned);
  a.reset();
  b.reset();
  EXPECT_FALSE(borrowed_freed);
  EXPECT_TRUE(owned_freed);
  char c = 0;
  EXPECT_EQ(borrowed.Read(&c, 1), 1);
  EXPECT_EQ(c, '0');
}

TEST_F(StreamTest, HostFailuresGiveFailureCodesAndKeepTheException) {
  auto slot = std::make_shared<FailureSlot>();
  FileStream read_only(path_, FileMode::kRead);
  auto stream = T7zStream::Create(&read_only, StreamOwnership::Borrowed, slot);

  UInt32 count = 77;
  EXPECT_LT(stream->AsOutStream()->Write("x", 1, &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_THROW(slot->RethrowIfAny(), Error);
  EXPECT_NO_THROW(slot->RethrowIfAny());  // taken once

  EXPECT_LT(stream->AsInStream()->Seek(-5, STREAM_SEEK_SET, nullptr), 0);
  try {
    slot->RethrowIfAny();
    FAIL() << "nothing kept";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(path_), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace coffer::sevenzip
