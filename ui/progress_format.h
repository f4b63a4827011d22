#pragma once
// The texts of the progress window's figures: elapsed and remaining time,
// sizes and speeds. Pure functions, so the window, the worker's total-size
// line and the tests all share the same arithmetic.
#include <cstdint>
#include <string>
#include <string_view>

namespace coffer {

// "hh:mm:ss" with the hours unbounded ("100:00:00"); 0 or less gives
// "00:00:00".
std::string FormatTime(int64_t seconds);

// The largest of GB, MB, KB whose value, rounded half to even to two
// decimals, is at least 1; otherwise the plain byte count with " B".
// The number uses `decimal_separator` and carries no trailing zeros:
// 1,610,612,736 gives "1.5 GB", 1,023,000 gives "999.02 KB".
std::string FormatSize(int64_t bytes, std::string_view decimal_separator);

// As above with the user's decimal separator.
std::string FormatSize(int64_t bytes);

// The decimal separator of the C library's LC_NUMERIC category, which
// gtk_init takes from the environment; "." when it has none.
std::string UserDecimalSeparator();

}  // namespace coffer
