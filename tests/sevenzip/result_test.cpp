#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "platform/error.h"
#include "sevenzip/result.h"
#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {
namespace {

// The same on every system; result_test-<system>.cpp has the texts that
// differ.
TEST(ResultCodes, TextsComeFromOurTableOrTheWrappedErrno) {
  const struct {
    uint32_t code;
    std::string text;
  } cases[] = {
      {0x80004004, "Operation aborted"},
      {0x88000000 | ENOSPC, std::strerror(ENOSPC)},
      {0x8800FFFF, ""},
      {0x12345678, ""},
      {0xA0000000, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemMessage(static_cast<int32_t>(c.code)), c.text) << std::hex << c.code;
}

TEST(ResultCodes, CheckResultPassesOnlyZero) {
  EXPECT_NO_THROW(CheckResult(0));
  for (int32_t code : {1, static_cast<int32_t>(0x80004004), 2}) {
    try {
      CheckResult(code);
      ADD_FAILURE() << code << " passed";
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code().value(), code);
      EXPECT_EQ(e.code().category(), EngineCategory());
      EXPECT_EQ(std::string(e.what()), SystemMessage(code));
    }
  }
}

template <class E>
HRESULT CodeFor(E e) {
  try {
    throw e;
  } catch (...) {
    return ResultOfCurrentException();
  }
}

TEST(ResultCodes, OurExceptionsBecomeFailureCodesForTheLibrary) {
  EXPECT_EQ(CodeFor(std::bad_alloc()), E_OUTOFMEMORY);
  EXPECT_EQ(CodeFor(std::system_error(ENOSPC, std::generic_category())), static_cast<HRESULT>(0x88000000 | ENOSPC));
  EXPECT_EQ(CodeFor(std::system_error(MakeEngineError(E_ABORT))), E_ABORT);
  EXPECT_EQ(CodeFor(Error("anything")), E_FAIL);
  EXPECT_EQ(CodeFor(42), E_FAIL);
}

}  // namespace
}  // namespace coffer::sevenzip
