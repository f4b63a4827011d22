#include "pack/temp_output.h"

#include <filesystem>

#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/fs_path.h"

namespace coffer::pack {

TempOutput::TempOutput(std::string final_path) : final_path_(std::move(final_path)) {
  const std::filesystem::path p = FsPath(final_path_);
  const std::string folder = p.has_parent_path() ? Utf8Path(p.parent_path()) + "/" : std::string();
  std::string reason;
  const auto name = CreateUniqueFile(folder + "." + Utf8Path(p.filename()) + ".part-", &reason);
  if (!name) throw Error("cannot create a file beside " + final_path_ + ": " + reason);
  temp_path_ = *name;
  try {
    stream_ = std::make_unique<FileStream>(temp_path_, FileMode::kCreate);
  } catch (...) {
    RemoveFile(temp_path_);
    throw;
  }
}

TempOutput::~TempOutput() {
  stream_.reset();
  if (!committed_) RemoveFile(temp_path_);
}

void TempOutput::Commit() {
  if (!stream_->MakeExecutable()) throw Error("cannot make " + temp_path_ + " executable: " + LastErrorText());
  stream_.reset();
  const std::string reason = RenameReplacing(temp_path_, final_path_);
  if (!reason.empty()) throw Error("cannot rename " + temp_path_ + " to " + final_path_ + ": " + reason);
  committed_ = true;
}

}  // namespace coffer::pack
