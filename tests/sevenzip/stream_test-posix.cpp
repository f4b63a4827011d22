// Linux opens a folder as a stream; reading it fails.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "sevenzip/t7z_stream.h"
#include "tests/support/scratch.h"

namespace coffer::sevenzip {
namespace {

TEST(FolderStream, FailingReadsGiveFailureCodesAndKeepTheException) {
  test::ScratchDir dir_;
  const std::string path_ = dir_ / "data.bin";
  test::WriteFile(path_, "0123456789");
  auto slot = std::make_shared<FailureSlot>();
  FileStream read_only(path_, FileMode::kRead);
  FileStream folder(dir_.path(), FileMode::kRead);  // reading a folder fails
  auto out = T7zStream::Create(&read_only, StreamOwnership::Borrowed, slot);
  auto in = T7zStream::Create(&folder, StreamOwnership::Borrowed, slot);

  UInt32 count = 77;
  EXPECT_LT(out->AsOutStream()->Write("x", 1, &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_THROW(slot->RethrowIfAny(), Error);
  EXPECT_NO_THROW(slot->RethrowIfAny());  // taken once

  char buf[4];
  count = 77;
  EXPECT_LT(in->AsInStream()->Read(buf, 4, &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_LT(in->AsInStream()->Seek(-5, STREAM_SEEK_SET, nullptr), 0);
  try {
    slot->RethrowIfAny();
    FAIL() << "nothing kept";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(dir_.path()), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace coffer::sevenzip
