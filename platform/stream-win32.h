#pragma once
// The handle behind a FileStream, for the Windows back end's files only.
#include <memory>
#include <string>

#include "platform/stream.h"
#include "platform/system-win32.h"

namespace coffer {

struct FileStream::Native {
  win32::Handle handle;
};

// Creates (or truncates) the file at `path` (a long path) without following
// a reparse point there: a link or junction of that name is refused.
// `shown_path` names it in errors.
std::unique_ptr<FileStream> CreateFileNoFollow(const std::wstring& path, const std::string& shown_path);

}  // namespace coffer
