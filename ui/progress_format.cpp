#include "ui/progress_format.h"

#include <clocale>

namespace coffer {
namespace {

std::string TwoDigits(int64_t n) {
  return n < 10 ? "0" + std::to_string(n) : std::to_string(n);
}

// bytes / divisor in hundredths, rounded half to even on the exact quotient.
// Dividing first keeps every product inside 64 bits; a double and printf
// would round the binary value instead and could land on the other side of
// a tie.
uint64_t Hundredths(uint64_t bytes, uint64_t divisor) {
  const uint64_t rest = bytes % divisor;
  uint64_t h = bytes / divisor * 100 + rest * 100 / divisor;
  const uint64_t r = rest * 100 % divisor;
  if (2 * r > divisor || (2 * r == divisor && h % 2 == 1)) ++h;
  return h;
}

// The shortest text of hundredths / 100. The largest value that can reach
// here (2^63 bytes in GB) has 12 significant digits, so the 15-digit limit
// of the general form never cuts anything.
std::string Decimal(uint64_t hundredths, std::string_view separator) {
  std::string text = std::to_string(hundredths / 100);
  const unsigned frac = hundredths % 100;
  if (frac != 0) {
    text += separator;
    text += static_cast<char>('0' + frac / 10);
    if (frac % 10 != 0) text += static_cast<char>('0' + frac % 10);
  }
  return text;
}

}  // namespace

std::string FormatTime(int64_t seconds) {
  if (seconds <= 0) return "00:00:00";
  const int64_t h = seconds / 3600;
  const int64_t m = seconds / 60 - 60 * h;
  const int64_t s = seconds - 3600 * h - 60 * m;
  return TwoDigits(h) + ":" + TwoDigits(m) + ":" + TwoDigits(s);
}

std::string FormatSize(int64_t bytes, std::string_view decimal_separator) {
  // A negative count (a speed from a counter that went backwards) is shown
  // as the size of its magnitude with a minus sign.
  const bool negative = bytes < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
  const std::string sign = negative ? "-" : "";
  static constexpr struct {
    uint64_t divisor;
    const char* unit;
  } kUnits[] = {{1ull << 30, " GB"}, {1ull << 20, " MB"}, {1ull << 10, " KB"}};
  for (const auto& u : kUnits) {
    // A value below 1 would read "0.xx": the next smaller unit shows it.
    const uint64_t h = Hundredths(magnitude, u.divisor);
    if (h >= 100) return sign + Decimal(h, decimal_separator) + u.unit;
  }
  return sign + std::to_string(magnitude) + " B";
}

std::string FormatSize(int64_t bytes) { return FormatSize(bytes, UserDecimalSeparator()); }

std::string UserDecimalSeparator() {
  const std::lconv* conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr || *conv->decimal_point == '\0') return ".";
  return conv->decimal_point;
}

}  // namespace coffer
