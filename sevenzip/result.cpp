#include "sevenzip/result.h"

#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {
namespace {

struct CodeText {
  uint32_t code;
  const char* text;
};

// The codes this library's 7z handler and codecs return on Linux.
constexpr CodeText kTexts[] = {
    {0x00000001, "The file is not an archive of this format, or the operation was stopped"},
    {0x80004001, "Not implemented"},
    {0x80004002, "No such interface supported"},
    {0x80004004, "Operation aborted"},
    {0x80004005, "Unspecified error"},
    {0x80030001, "Unable to perform requested operation"},
    {0x80040111, "ClassFactory cannot supply requested class"},
    {0x8007000E, "Not enough memory resources are available to complete this operation"},
    {0x80070057, "The parameter is incorrect"},
    {0x80070083, "An attempt was made to move the file pointer before the beginning of the file"},
    {0x8007012A, "Too many posts were made to a semaphore"},
    {0x8007054F, "An internal error occurred"},
    {0x80071128, "The data present in the reparse point buffer is invalid"},
    {0x80071129, "The tag present in the reparse point buffer is invalid"},
};

std::string Trimmed(std::string text) {
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.back());
    if (c > ' ' && c != '.' && c != 0x7F) break;
    text.pop_back();
  }
  return text;
}

class EngineErrorCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "7-Zip engine"; }
  std::string message(int code) const override { return SystemMessage(code); }
};

}  // namespace

const std::error_category& EngineCategory() {
  static const EngineErrorCategory category;
  return category;
}

std::string SystemMessage(int32_t code) {
  const auto u = static_cast<uint32_t>(code);
  // Where the system keeps texts for these codes (Windows), they are the
  // ones its users know; the table stands in where it does not.
  if (std::string text = Trimmed(SystemText(u)); !text.empty()) return text;
  for (const auto& entry : kTexts)
    if (entry.code == u) return entry.text;
  return Trimmed(ErrnoText(u));
}

void ThrowResult(int32_t code) { throw std::system_error(MakeEngineError(code)); }

}  // namespace coffer::sevenzip
