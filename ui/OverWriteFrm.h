#pragma once
// The overwrite question's behaviour, free of any toolkit: the texts the
// dialog shows for an existing file and the fresh copy that would replace
// it, and the answer each button gives. The GTK view (OverWriteView.h)
// builds the widgets, applies these texts and forwards the clicks.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "extract/job_host.h"
#include "platform/file_info.h"

namespace coffer {

// The unit of the size line: "{0} bytes" gives "bytes"; a text without
// "{0}" is used as it stands.
std::string SizeUnit(const std::string& unit_text);

// "%d %s": the full byte count, no grouping, and the unit.
std::string SizeLine(int64_t bytes, const std::string& unit);

// "yyyy-mm-dd HH:MM:SS", the time's parts joined by the user's
// `time_separator` (the date keeps "-").
std::string FormatFileTime(const FileTime& t, const std::string& time_separator);

// "%s: %s" with the "modified" word and the date, or `unknown_text` in
// place of the date when there is none to show.
std::string TimeLine(const std::optional<FileTime>& t, const std::string& modified_word,
                     const std::string& unknown_text, const std::string& time_separator);

class TfrmOverWrite {
 public:
  // Every visible text, by control; buttons keep their "&" mnemonics.
  struct Texts {
    std::string caption, Label1, lblFile, Label2, lblExistsFile_Size, lblExistsFile_Time, Label5,
        lblNewFile_Size, lblNewFile_Time, btnYes, btnYesAll, btnRename, btnNo, btnNoAll, btnCancel;
  };

  // `time_separator` joins the hours, minutes and seconds of both times.
  TfrmOverWrite(std::string existing_file, std::string new_file, std::string time_separator);
  TfrmOverWrite(const TfrmOverWrite&) = delete;
  TfrmOverWrite& operator=(const TfrmOverWrite&) = delete;

  // Looks up every text and reads both files' size and time. The answer
  // becomes Yes, which is what closing without a button leaves.
  void FormShow();
  const Texts& texts() const { return texts_; }

  void btnYesClick() { Answer(OverwriteAnswer::kYes); }
  void btnNoClick() { Answer(OverwriteAnswer::kNo); }
  void btnYesAllClick() { Answer(OverwriteAnswer::kYesToAll); }
  void btnNoAllClick() { Answer(OverwriteAnswer::kNoToAll); }
  void btnRenameClick() { Answer(OverwriteAnswer::kAutoRename); }
  void btnCancelClick() { Answer(OverwriteAnswer::kCancel); }

  OverwriteAnswer answer() const { return answer_; }
  const std::string& existing_file() const { return existing_file_; }
  const std::string& new_file() const { return new_file_; }

  // What an answer button does after setting the answer: the view closes
  // its window there.
  void set_on_close(std::function<void()> fn) { on_close_ = std::move(fn); }

 private:
  void Answer(OverwriteAnswer a);

  std::string existing_file_;
  std::string new_file_;
  std::string time_separator_;
  OverwriteAnswer answer_ = OverwriteAnswer::kYes;
  Texts texts_;
  std::function<void()> on_close_;
};

}  // namespace coffer
