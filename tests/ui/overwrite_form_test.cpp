#include <gtest/gtest.h>

#include <string>

#include "platform/file_info.h"
#include "platform/locale.h"
#include "tests/support/scratch.h"
#include "tests/ui/overwrite_support.h"
#include "ui/OverWriteFrm.h"

namespace coffer {
namespace {

using test::ScratchDir;
using test::WriteFile;

int64_t Local(int year, int month, int day, int hour, int minute, int second) {
  return test::LocalSeconds(year, month, day, hour, minute, second);
}

void SetModified(const std::string& path, int64_t seconds) { test::SetModifiedTime(path, seconds); }

TEST(OverwriteSizeLine, UnitComesFromTheSizeText) {
  const struct {
    const char* unit_text;
    int64_t bytes;
    const char* line;
  } rows[] = {
      {"{0} bytes", 1048576, "1048576 bytes"},
      {"{0} Bytes", 123, "123 Bytes"},
      {"  {0} Bytes {0} ", 0, "0 Bytes"},
      {"Bytes", 7, "7 Bytes"},          // no "{0}": as it stands
      {" octets ", 7, "7  octets "},    // ... blanks and all
      {"???", 5000000000, "5000000000 ???"},
  };
  for (const auto& r : rows) EXPECT_EQ(SizeLine(r.bytes, SizeUnit(r.unit_text)), r.line) << r.unit_text;
}

TEST(OverwriteTimeLine, DateOrUnknownWithTheUsersTimeSeparator) {
  EXPECT_EQ(TimeLine(FileTime{2024, 3, 5, 7, 8, 10}, "modified on", "unknown", ":"),
            "modified on: 2024-03-05 07:08:10");
  EXPECT_EQ(TimeLine(FileTime{1980, 1, 1, 0, 0, 0}, "m", "u", ":"), "m: 1980-01-01 00:00:00");
  EXPECT_EQ(TimeLine(FileTime{2107, 12, 31, 23, 59, 58}, "m", "u", "."), "m: 2107-12-31 23.59.58");
  EXPECT_EQ(TimeLine(std::nullopt, "modified on", "unknown", "."), "modified on: unknown");
}

// The C library's time formats (T_FMT, and T_FMT_AMPM for "%r") as locales
// state them.
TEST(UserTimeSeparator, ComesFromBetweenHoursAndMinutes) {
  const struct {
    const char* format;
    const char* ampm;
    const char* separator;
  } rows[] = {
      {"%H:%M:%S", "", ":"},          // C, and most locales
      {"%T", "", ":"},                // de_DE
      {"%H.%M.%S", "", "."},          // fi_FI
      {"%k.%M.%S", "", "."},          // with a blank-padded hour
      {"%r", "%I.%M.%S %p", "."},     // 12-hour locales refer to their AM/PM form
      {"%r", "%I:%M:%S %p", ":"},
      {"%R", "", ":"},
      {"%-H,%M", "", ","},            // flags, no seconds
      {"%OH:%OM:%OS", "", ":"},       // alternative digits
      {"%H h %M", "", " h "},
      {"%H時%M分%S秒", "", ":"},      // words after each field are no separator
      {"%H%M%S", "", ":"},            // nothing between them
      {"%p %I", "", ":"},             // no minutes
      {"", "", ":"},
      {"%H", "", ":"},
      {"%%%H", "", ":"},
  };
  for (const auto& r : rows) EXPECT_EQ(TimeSeparatorFromFormat(r.format, r.ampm), r.separator) << r.format;
}

TEST(FileInfo, PackedTimeKeepsTwoSecondStepsInItsYears) {
  const struct {
    int64_t seconds;
    std::optional<FileTime> expected;
  } rows[] = {
      {Local(2024, 3, 5, 7, 8, 9), FileTime{2024, 3, 5, 7, 8, 8}},
      {Local(2024, 3, 5, 7, 8, 10), FileTime{2024, 3, 5, 7, 8, 10}},
      {Local(1980, 1, 1, 0, 0, 0), FileTime{1980, 1, 1, 0, 0, 0}},
      {Local(1979, 12, 31, 23, 59, 59), std::nullopt},
      {Local(1975, 6, 1, 12, 0, 0), std::nullopt},
      {Local(2107, 12, 31, 23, 59, 59), FileTime{2107, 12, 31, 23, 59, 58}},
      {Local(2108, 1, 1, 0, 0, 0), std::nullopt},
  };
  for (const auto& r : rows) EXPECT_EQ(PackedLocalTime(r.seconds), r.expected) << r.seconds;
}

TEST(FileInfo, SizeAndTimeOfRealFiles) {
  ScratchDir dir;
  WriteFile(dir / "empty", "");
  WriteFile(dir / "big", "");
  test::SetFileSize(dir / "big", 5000000000);
  EXPECT_EQ(FileSize(dir / "empty"), 0);
  EXPECT_EQ(FileSize(dir / "big"), 5000000000);
  EXPECT_EQ(FileSize(dir / "missing"), 0);
  EXPECT_EQ(FileSize(dir.path()), 0);  // a folder has no size of its own

  SetModified(dir / "empty", Local(2021, 11, 30, 7, 8, 9));
  EXPECT_EQ(FileModifiedTime(dir / "empty"), (FileTime{2021, 11, 30, 7, 8, 8}));
  EXPECT_EQ(FileModifiedTime(dir / "missing"), std::nullopt);
}

class OverwriteForm : public testing::Test {
 protected:
  void SetUp() override { test::UseLanguage(dir_, test::kOverwriteEnglish); }
  ScratchDir dir_;
};

TEST_F(OverwriteForm, ShowFillsEveryTextFromItsKey) {
  WriteFile(dir_ / "out/a.txt", std::string(1048576, 'x'));
  WriteFile(dir_ / "new/a.txt", "");
  SetModified(dir_ / "out/a.txt", Local(2024, 3, 5, 7, 8, 9));
  SetModified(dir_ / "new/a.txt", Local(1975, 1, 2, 3, 4, 5));

  TfrmOverWrite form(dir_ / "out/a.txt", dir_ / "new/a.txt", ":");
  form.FormShow();
  const auto& t = form.texts();
  EXPECT_EQ(t.caption, "Confirm File Replace");
  EXPECT_EQ(t.Label1, "Destination folder already contains processed file.");
  EXPECT_EQ(t.lblFile, dir_ / "out/a.txt");
  EXPECT_EQ(t.Label2, "Would you like to replace the existing file");
  EXPECT_EQ(t.lblExistsFile_Size, "1048576 bytes");
  EXPECT_EQ(t.lblExistsFile_Time, "modified on: 2024-03-05 07:08:08");
  EXPECT_EQ(t.Label5, "with this one?");
  EXPECT_EQ(t.lblNewFile_Size, "0 bytes");
  EXPECT_EQ(t.lblNewFile_Time, "modified on: unknown");
  EXPECT_EQ(t.btnYes, "&Yes");
  EXPECT_EQ(t.btnYesAll, "Yes to &All");
  EXPECT_EQ(t.btnRename, "A&uto Rename");
  EXPECT_EQ(t.btnNo, "&No");
  EXPECT_EQ(t.btnNoAll, "No to A&ll");
  EXPECT_EQ(t.btnCancel, "Cancel");
}

TEST_F(OverwriteForm, MissingTextsShowQuestionMarks) {
  test::UseLanguage(dir_, {});
  TfrmOverWrite form(dir_ / "gone", dir_ / "gone too", ":");
  form.FormShow();
  EXPECT_EQ(form.texts().caption, "???");
  EXPECT_EQ(form.texts().btnYes, "???");
  EXPECT_EQ(form.texts().lblExistsFile_Size, "0 ???");
  EXPECT_EQ(form.texts().lblNewFile_Time, "???: ???");
}

TEST_F(OverwriteForm, EachButtonAnswersAndClosesShowResetsToYes) {
  using A = OverwriteAnswer;
  const struct {
    void (TfrmOverWrite::*click)();
    A answer;
    int value;
  } rows[] = {
      {&TfrmOverWrite::btnYesClick, A::kYes, 0},         {&TfrmOverWrite::btnNoClick, A::kNo, 1},
      {&TfrmOverWrite::btnYesAllClick, A::kYesToAll, 2}, {&TfrmOverWrite::btnNoAllClick, A::kNoToAll, 3},
      {&TfrmOverWrite::btnRenameClick, A::kAutoRename, 4}, {&TfrmOverWrite::btnCancelClick, A::kCancel, 5},
  };
  for (const auto& r : rows) {
    TfrmOverWrite form("a", "b", ":");
    int closes = 0;
    form.set_on_close([&] { ++closes; });
    form.FormShow();
    (form.*r.click)();
    EXPECT_EQ(form.answer(), r.answer);
    EXPECT_EQ(static_cast<int>(form.answer()), r.value);
    EXPECT_EQ(closes, 1);
    form.FormShow();
    EXPECT_EQ(form.answer(), A::kYes);
  }
}

}  // namespace
}  // namespace coffer
