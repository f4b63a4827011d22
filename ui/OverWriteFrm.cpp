#include "ui/OverWriteFrm.h"

#include <cstdio>

#include "i18n/texts.h"

namespace coffer {
namespace {

std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

std::string SizeUnit(const std::string& unit_text) {
  if (unit_text.find("{0}") == std::string::npos) return unit_text;
  std::string out;
  for (size_t i = 0; i < unit_text.size(); ++i) {
    if (unit_text.compare(i, 3, "{0}") == 0) i += 2;
    else out += unit_text[i];
  }
  return TrimBlanks(out);
}

std::string SizeLine(int64_t bytes, const std::string& unit) { return std::to_string(bytes) + " " + unit; }

std::string FormatFileTime(const FileTime& t, const std::string& time_separator) {
  const auto two = [](int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return std::string(buf);
  };
  return std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day) + " " + two(t.hour) + time_separator +
         two(t.minute) + time_separator + two(t.second);
}

std::string TimeLine(const std::optional<FileTime>& t, const std::string& modified_word,
                     const std::string& unknown_text, const std::string& time_separator) {
  return modified_word + ": " + (t ? FormatFileTime(*t, time_separator) : unknown_text);
}

TfrmOverWrite::TfrmOverWrite(std::string existing_file, std::string new_file, std::string time_separator)
    : existing_file_(std::move(existing_file)),
      new_file_(std::move(new_file)),
      time_separator_(std::move(time_separator)) {}

void TfrmOverWrite::FormShow() {
  using i18n::Text;
  texts_.caption = Text("02000900");
  texts_.Label1 = Text("02000901");
  texts_.Label2 = Text("02000902");
  texts_.Label5 = Text("02000903");
  texts_.btnYes = Text("02000705");
  texts_.btnYesAll = Text("02000707");
  texts_.btnRename = Text("02000911");
  texts_.btnNo = Text("02000709");
  texts_.btnNoAll = Text("0200070B");
  texts_.btnCancel = Text("02000710");
  answer_ = OverwriteAnswer::kYes;
  texts_.lblFile = existing_file_;

  const std::string modified = Text("02000983");
  const std::string unit = SizeUnit(Text("02000982"));
  // A time the two-second form cannot hold (before 1980, after 2107, or a
  // file that went away) reads as unknown rather than as a made-up date.
  const std::string unknown = Text("02000984");
  texts_.lblExistsFile_Size = SizeLine(FileSize(existing_file_), unit);
  texts_.lblExistsFile_Time = TimeLine(FileModifiedTime(existing_file_), modified, unknown, time_separator_);
  texts_.lblNewFile_Size = SizeLine(FileSize(new_file_), unit);
  texts_.lblNewFile_Time = TimeLine(FileModifiedTime(new_file_), modified, unknown, time_separator_);
}

void TfrmOverWrite::Answer(OverwriteAnswer a) {
  answer_ = a;
  if (on_close_) on_close_();
}

}  // namespace coffer
