#pragma once
// The library's 32-bit result codes as std::error_code values of their own
// category. A failure raised from a code is a std::system_error whose
// what() is the code's message text.
#include <cstdint>
#include <string>
#include <system_error>

namespace coffer::sevenzip {

const std::error_category& EngineCategory();

inline std::error_code MakeEngineError(int32_t code) { return {code, EngineCategory()}; }

// The text for a code: the system's own message where it has one
// (Windows), else our own table for the codes the library returns; errno
// values wrapped as 0x8800xxxx (the library's form on Linux), and on Linux
// 0x8007xxxx, give the system's text for the errno; unknown codes give "".
// No trailing blanks, control characters or full stops.
std::string SystemMessage(int32_t code);

// Raises std::system_error for `code`, whatever it is.
[[noreturn]] void ThrowResult(int32_t code);

// Passes 0; raises for every other value, also the success code 1.
inline void CheckResult(int32_t code) {
  if (code != 0) ThrowResult(code);
}

}  // namespace coffer::sevenzip
